// The timer kind: Interval starts, stops and restarts only on change; ticks
// raise event 0; it never shows.
#include "component_fixture.h"
#include "components/timer_properties.h"
#include "platform/native_window.h"
#include "platform/timer_window.h"

namespace mt::test {
namespace {

constexpr uint32_t kTimer = ComponentIdOf(1);
constexpr int32_t kInterval = 8;

// Little-endian 32-bit words, as records store their fixed fields.
std::string Words(std::initializer_list<int32_t> words)
{
    std::string out;
    for (int32_t w : words)
        out.append(reinterpret_cast<const char*>(&w), 4);
    return out;
}

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

class Timer : public LoadedWindow {
protected:
    void SetUp() override
    {
        ComponentRecord t = TimerRecord(kTimer, 50);
        Bind(t, 0, 0);
        Load({WindowRecord(), t});
    }
};

TEST_F(Timer, RunsWhileIntervalIsPositiveAndRestartsOnlyOnChange)
{
    const platform::WindowHandle h = Handle(kTimer);
    EXPECT_TRUE(platform::IsTimerRunning(h));
    EXPECT_EQ(platform::TimerStarts(h), 1);
    Write(kTimer, kInterval, 50);
    EXPECT_EQ(platform::TimerStarts(h), 1);
    Write(kTimer, kInterval, 80);
    Write(kTimer, kInterval, 80);
    EXPECT_EQ(platform::TimerStarts(h), 2);
    Write(kTimer, kInterval, 0);
    EXPECT_FALSE(platform::IsTimerRunning(h));
    Write(kTimer, kInterval, static_cast<uint32_t>(-5));
    EXPECT_EQ(Read(kTimer, kInterval), 0u);
    EXPECT_FALSE(platform::IsTimerRunning(h));
}

TEST_F(Timer, TickRaisesEventZero)
{
    int ticks = 0;
    SetHandler(0, [&ticks](EventCall*) {
        if (++ticks == 2)
            platform::PostQuit(0);
    });
    Write(kTimer, kInterval, 1);
    platform::RunEventLoop(nullptr);
    EXPECT_EQ(ticks, 2);
}

TEST_F(Timer, NeverShows)
{
    EXPECT_FALSE(platform::IsVisible(Handle(kTimer)));
    EXPECT_EQ(Read(kTimer, 5), 0u);
}

// The stored record is the version and the interval; a negative interval
// reads as 0.
TEST(TimerRecord, HoldsTheIntervalAfterTheVersionAndRefusesCutsAndNewerVersions)
{
    const std::string r = WriteTimerRecord(250).data();
    EXPECT_EQ(r, Words({1, 250}));
    int32_t interval = -1;
    ASSERT_TRUE(ReadTimerRecord(Bytes(r), r.size(), &interval));
    EXPECT_EQ(interval, 250);
    const std::string negative = Words({1, -3});
    ASSERT_TRUE(ReadTimerRecord(Bytes(negative), negative.size(), &interval));
    EXPECT_EQ(interval, 0);
    for (size_t n = 1; n < r.size(); ++n)
        EXPECT_FALSE(ReadTimerRecord(Bytes(r), n, &interval)) << n;
    const std::string newer = Words({2, 250});
    EXPECT_FALSE(ReadTimerRecord(Bytes(newer), newer.size(), &interval));
    ASSERT_TRUE(ReadTimerRecord(nullptr, 0, &interval)); // nothing stored
    EXPECT_EQ(interval, 0);
}

} // namespace
} // namespace mt::test
