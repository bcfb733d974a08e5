// The timer kind: Interval starts, stops and restarts only on change; ticks
// raise event 0; it never shows.
#include "component_fixture.h"
#include "platform/native_window.h"
#include "platform/timer_window.h"

namespace mt::test {
namespace {

constexpr uint32_t kTimer = ComponentIdOf(1);
constexpr int32_t kInterval = 8;

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

} // namespace
} // namespace mt::test
