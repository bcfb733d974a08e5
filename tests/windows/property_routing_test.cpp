// Property routing: lookups and their run-time errors, the common
// properties live and stored, own properties and the rebuild.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "abi/text_value.h"
#include "components/component.h"
#include "platform/application.h"
#include "platform/native_window.h"
#include "platform/push_button.h"
#include "support/engine_runtime.h"
#include "support/template_builder.h"
#include "windows/window_engine.h"
#include "windows/windows_texts.h"

namespace mt::test {
namespace {

constexpr uint32_t kButton = ComponentIdOf(1);
constexpr uint32_t kTimer = ComponentIdOf(2);
constexpr int32_t kWhole = -1;

class PropertyRouting : public ::testing::Test {
protected:
    void SetUp() override
    {
        EngineRuntime::Install({Window({WindowRecord(), ButtonRecord(kButton, "ok", 7, 9), TimerRecord(kTimer, 0)})});
    }
    void Load()
    {
        ASSERT_EQ(engine::LoadWindow(Description(), false, false, nullptr), 1);
        platform::ProcessPendingEvents(); // the activation arrives
    }
    WindowDescription& Description() { return *FindWindow(engine::Descriptions(), kWindowId); }
    Component* Object(uint32_t id) { return static_cast<Component*>(engine::FindComponent(kWindowId, id)); }
    uint64_t Read(uint32_t id, int32_t index) { return engine::ReadProperty(kWindowId, id, index, kWhole); }
    void Write(uint32_t id, int32_t index, uint64_t v) { engine::WriteProperty(kWindowId, id, index, kWhole, v); }

    static std::string ErrorOf(const std::function<void()>& f)
    {
        try {
            f();
        } catch (const RuntimeErrorRaised& e) {
            return e.what();
        }
        return "(no error)";
    }

    EngineRuntime runtime;
};

struct ClampCase {
    int32_t index;
    int32_t written;
    int32_t stored;
};

TEST_F(PropertyRouting, GeometryWritesAreClampedStoredAndApplied)
{
    const ClampCase cases[] = {
        {2, 40000, 32627},
        {2, -5, 0},
        {3, 40000, 32627},
        {0, -40000, -32627},
        {1, 40000, 32627},
        {0, 12, 12},
    };
    for (bool live : {false, true}) {
        if (live)
            Load();
        for (const auto& c : cases) {
            Write(kButton, c.index, static_cast<uint32_t>(c.written));
            EXPECT_EQ(static_cast<int32_t>(Read(kButton, c.index)), c.stored) << "index " << c.index << " live " << live;
        }
    }
    const platform::Rect r = platform::WindowRect(Object(kButton)->handle());
    EXPECT_EQ(r.left, 12);
}

TEST_F(PropertyRouting, ComponentTheWindowDoesNotContainIsAnErrorNamingBothIds)
{
    Load();
    const auto before = Description().records;
    const std::string message = ErrorOf([&] { Write(ComponentIdOf(99), 0, 5); });
    char expected[128];
    std::snprintf(expected, sizeof expected, gb::kErrComponentNotInWindow, kWindowId, ComponentIdOf(99));
    EXPECT_EQ(message, expected);
    EXPECT_EQ(ErrorOf([&] { Read(0x16000005, 0); }).substr(0, 10), std::string(expected).substr(0, 10));
    ASSERT_EQ(Description().records.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(Description().records[i].left, before[i].left);
        EXPECT_EQ(Description().records[i].state, before[i].state);
    }
}

TEST_F(PropertyRouting, RoutingErrors)
{
    EXPECT_EQ(ErrorOf([&] { engine::ReadProperty(0x52010007, kButton, 0, kWhole); }), gb::kErrWindowNotLoaded);
    EXPECT_EQ(ErrorOf([&] { Read(kButton, 10); }), gb::kErrWindowNotLive);
    EXPECT_EQ(ErrorOf([&] { Write(kTimer, 8, 5); }), gb::kErrWindowNotLive);
}

TEST_F(PropertyRouting, StoredCommonPropertiesAnswerWhileTheWindowIsNotLive)
{
    EXPECT_EQ(Read(kButton, 0), 7u);
    EXPECT_EQ(Read(kButton, 1), 9u);
    EXPECT_EQ(Read(kButton, 5), 1u);
    EXPECT_EQ(Read(kButton, 6), 0u);
    Write(kButton, 6, 1);
    EXPECT_EQ(Read(kButton, 6), 1u);
    Load();
    EXPECT_FALSE(platform::IsEnabled(Object(kButton)->handle()));
}

TEST_F(PropertyRouting, TagIsCopiedAndNullStoresEmpty)
{
    char tag[] = "note";
    Write(kButton, 4, reinterpret_cast<uintptr_t>(tag));
    tag[0] = 'X';
    auto* t = reinterpret_cast<char*>(Read(kButton, 4));
    EXPECT_STREQ(t, "note");
    std::free(t);
    Write(kButton, 4, 0);
    EXPECT_EQ(Read(kButton, 4), 0u); // the empty text is null
}

TEST_F(PropertyRouting, VisibleTrueLeavesATimerHidden)
{
    Load();
    Write(kTimer, 5, 1);
    EXPECT_EQ(Read(kTimer, 5), 0u);
    EXPECT_FALSE(platform::IsVisible(Object(kTimer)->handle()));
    Write(kButton, 5, 0);
    EXPECT_EQ(Read(kButton, 5), 0u);
    Write(kButton, 5, 1);
    EXPECT_EQ(Read(kButton, 5), 1u);
}

TEST_F(PropertyRouting, MousePointerReadsBackAsCursorNumber)
{
    Load();
    const uint8_t cross[12] = {1, 0, 0, 0, 4, 0, 0, 0, 2, 0, 0, 0};
    ByteArrayValue bytes = NewByteArray(cross + 8, 4);
    Write(kButton, 7, reinterpret_cast<uintptr_t>(bytes));
    std::free(bytes);
    auto* back = reinterpret_cast<uint8_t*>(Read(kButton, 7));
    ASSERT_EQ(ByteArrayCount(back), 4u);
    EXPECT_EQ(ByteArrayData(back)[0], 2);
    std::free(back);
}

TEST_F(PropertyRouting, PictureWriteRebuildsTheButtonInPlaceKeepingFocus)
{
    Load();
    Component* old = Object(kButton);
    const int32_t childId = old->childId();
    platform::SetFocusWindow(old->handle());
    ASSERT_EQ(platform::FocusWindow(), old->handle());
    ByteArrayValue picture = NewByteArray("not a picture", 13);
    Write(kButton, 8, reinterpret_cast<uintptr_t>(picture));
    std::free(picture);
    Component* fresh = Object(kButton);
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(fresh, old);
    EXPECT_EQ(fresh->childId(), childId);
    EXPECT_EQ(Read(kButton, 0), 7u);
    EXPECT_TRUE(platform::IsVisible(fresh->handle()));
    EXPECT_FALSE(platform::HasButtonPicture(fresh->handle())); // undecodable: the caption shows
    EXPECT_EQ(platform::FocusWindow(), fresh->handle());
    EXPECT_EQ(engine::EventBlockCount(), 0);
}

} // namespace
} // namespace mt::test
