// The window kind: its record, frame styles, start position, caption and
// the events of its life.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "component_fixture.h"
#include "components/kind_routines.h"
#include "components/kind_tables.h"
#include "components/property_archive.h"
#include "components/window_properties.h"
#include "frame/message_loop.h"
#include "platform/application.h"
#include "platform/native_window.h"
#include "platform/screen_metrics.h"
#include "platform/top_window.h"

namespace mt::test {
namespace {

constexpr int32_t kOwn = 8;

TEST(WindowRecordFormat, RoundTripsAndRefusesNewerVersions)
{
    WindowProperties p;
    p.caption = "title";
    p.border = 5;
    p.icon = "ICON";
    p.helpContext = 42;
    p.alwaysOnTop = true;
    const std::string bytes = p.write().data();
    WindowProperties back;
    ASSERT_TRUE(back.read(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    EXPECT_EQ(back.caption, "title");
    EXPECT_EQ(back.border, 5);
    EXPECT_EQ(back.icon, "ICON");
    EXPECT_EQ(back.helpContext, 42);
    EXPECT_TRUE(back.alwaysOnTop);

    std::string newer = bytes;
    newer[0] = 7;
    EXPECT_FALSE(back.read(reinterpret_cast<const uint8_t*>(newer.data()), newer.size()));
    EXPECT_FALSE(back.read(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size() - 1));
    EXPECT_TRUE(back.read(nullptr, 0)); // nothing stored: defaults
    EXPECT_EQ(back.border, 2);
    EXPECT_EQ(back.startPosition, 1);
}

TEST(WindowRecordFormat, OldVersionsStopBeforeTheirMissingFields)
{
    PropertyWriter w;
    w.u32(1);
    for (int i = 0; i < 13; ++i)
        w.i32(i == 0 ? 9 : 0); // Border 9 is clamped to 6
    for (int i = 0; i < 5; ++i)
        w.bytes(i == 3 ? "cap" : "");
    WindowProperties p;
    ASSERT_TRUE(p.read(reinterpret_cast<const uint8_t*>(w.data().data()), w.data().size()));
    EXPECT_EQ(p.border, 6);
    EXPECT_EQ(p.caption, "cap");
    EXPECT_TRUE(p.showInTaskbar); // default: not in a version 1 record
}

TEST(WindowKindRoutines, IconBytesAndTextsComeFromTheStoredRecord)
{
    EngineRuntime runtime;
    WindowProperties p;
    p.icon = "icon-bytes";
    p.caption = std::string("a"); // moved in: assigning the literal trips -Wrestrict at -O3
    const std::string bytes = p.write().data();
    auto icon = KindRoutineOf<IconBytesRoutine>(&kCoreKinds[0], kRoutineIconBytes);
    int32_t n = 0;
    uint8_t* block = icon(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int32_t>(bytes.size()), &n);
    ASSERT_EQ(n, 10);
    EXPECT_EQ(std::memcmp(block, "icon-bytes", 10), 0);
    std::free(block);

    auto visit = KindRoutineOf<VisitTextsRoutine>(&kCoreKinds[0], kRoutineVisitTexts);
    block = visit(
        reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int32_t>(bytes.size()),
        [](std::string* t, void*) { *t += "!"; }, nullptr, &n);
    WindowProperties changed;
    ASSERT_TRUE(changed.read(block, static_cast<size_t>(n)));
    EXPECT_EQ(changed.caption, "a!");
    EXPECT_EQ(changed.helpFile, "!");
    std::free(block);
}

class WindowKind : public LoadedWindow {};

TEST_F(WindowKind, NewerRecordMakesLoadingFail)
{
    ComponentRecord w = WindowRecord();
    w.properties[0] = 9;
    EngineRuntime::Install({Window({w})});
    EXPECT_EQ(engine::LoadWindow(*FindWindow(engine::Descriptions(), kWindowId), false, false, nullptr), 0);
    EXPECT_FALSE(engine::AnyWindowLive());
    EXPECT_EQ(engine::EventBlockCount(), 0);
}

TEST_F(WindowKind, FrameFollowsBorderCaptionAndControlBox)
{
    WindowProperties p = PlainWindow();
    p.border = 1;
    p.controlBox = false;
    Load({WindowRecord(p)});
    const platform::WindowHandle h = Handle(kWindowRecordId);
    EXPECT_FALSE(platform::GetFrameStyle(h).caption); // sizable, no title bar
    EXPECT_EQ(platform::WindowRect(h).height, 370);

    const std::string caption = "Title";
    Write(kWindowRecordId, kOwn + kWinCaption, reinterpret_cast<uintptr_t>(caption.c_str()));
    EXPECT_TRUE(platform::GetFrameStyle(h).caption);
    EXPECT_EQ(platform::WindowText(h), "Title");
    EXPECT_EQ(platform::WindowRect(h).height, 370); // outer size kept when the frame changes
    Write(kWindowRecordId, kOwn + kWinBorder, 0);
    EXPECT_FALSE(platform::GetFrameStyle(h).caption);
    Write(kWindowRecordId, kOwn + kWinBorder, 12);
    EXPECT_EQ(Read(kWindowRecordId, kOwn + kWinBorder), 6u);
}

TEST_F(WindowKind, FrameWritesOnAShownWindowRaiseNoEventsAndKeepItActive)
{
    ComponentRecord w = WindowRecord(PlainWindow());
    Bind(w, 6, 0);
    Bind(w, 10, 1);
    Bind(w, 11, 2);
    Load({w});
    const platform::WindowHandle h = Handle(kWindowRecordId);
    ASSERT_EQ(platform::ActiveWindow(), h);
    int* deactivated = Count(0);
    int* shown = Count(1);
    int* hidden = Count(2);
    const std::string caption = "Title";
    const std::pair<int32_t, uint64_t> writes[] = {
        {kWinBorder, 1},
        {kWinControlBox, 0},
        {kWinMinButton, 1},
        {kWinMaxButton, 1},
        {kWinAlwaysOnTop, 1},
        {kWinCaption, reinterpret_cast<uintptr_t>(caption.c_str())},
        {kWinBorder, 4},
    };
    for (const auto& [own, value] : writes) {
        Write(kWindowRecordId, kOwn + own, value);
        platform::ProcessPendingEvents();
        EXPECT_EQ(*deactivated + *shown + *hidden, 0) << own;
        EXPECT_TRUE(platform::IsVisible(h)) << own;
        EXPECT_EQ(platform::ActiveWindow(), h) << own;
    }
    const platform::FrameStyle style = platform::GetFrameStyle(h);
    EXPECT_TRUE(style.minimizeBox && style.maximizeBox && style.alwaysOnTop && style.caption);
    EXPECT_FALSE(style.systemMenu);
}

TEST_F(WindowKind, MovableTakesAwayAndGivesBackMoving)
{
    WindowProperties p = PlainWindow();
    p.movable = false;
    Load({WindowRecord(p)});
    const platform::WindowHandle h = Handle(kWindowRecordId);
    EXPECT_FALSE(platform::WindowHintsAllowMove(h));
    Write(kWindowRecordId, kOwn + kWinBorder, 0); // frameless: still not movable
    EXPECT_FALSE(platform::WindowHintsAllowMove(h));
    Write(kWindowRecordId, kOwn + kWinMovable, 1);
    EXPECT_TRUE(platform::WindowHintsAllowMove(h));
    EXPECT_EQ(Read(kWindowRecordId, kOwn + kWinMovable), 1u);
}

TEST_F(WindowKind, StartPositionCentresOnTheScreen)
{
    WindowProperties p;
    p.startPosition = 1;
    Load({WindowRecord(p)});
    const platform::Rect r = platform::WindowRect(Handle(kWindowRecordId));
    EXPECT_EQ(r.left, (platform::ScreenWidth() - 528) / 2);
    EXPECT_EQ(r.top, (platform::ScreenHeight() - 370) / 2);
    EXPECT_EQ(Read(kWindowRecordId, kOwn + kWinStartPosition), 0u);
}

TEST_F(WindowKind, DestroyedEventAndShownEventsReachHandlers)
{
    ComponentRecord w = WindowRecord();
    Bind(w, 2, 0);
    Bind(w, 10, 1);
    Bind(w, 11, 2);
    EngineRuntime::Install({Window({w})});
    int* destroyed = Count(0);
    int* shown = Count(1);
    int* hidden = Count(2);
    ASSERT_EQ(engine::LoadWindow(*FindWindow(engine::Descriptions(), kWindowId), false, false, nullptr), 1);
    EXPECT_EQ(*shown, 1);
    Write(kWindowRecordId, 5, 0);
    EXPECT_EQ(*hidden, 1);
    platform::DestroyWindow(Handle(kWindowRecordId));
    EXPECT_EQ(*destroyed, 1);
}

TEST_F(WindowKind, IdleCallsRiseWithinOneIdlePeriod)
{
    ComponentRecord w = WindowRecord(PlainWindow());
    Bind(w, 7, 0);
    Load({w});
    std::vector<int32_t> elapsed;
    std::vector<int> counts;
    SetHandler(0, [&elapsed, &counts](EventCall* call) {
        elapsed.push_back(AsInt32(call->args[0]));
        // Stop once the time has risen and the framework has had its four calls; the count
        // bound keeps a fault from hanging the test.
        if ((elapsed.back() > elapsed.front() && counts.size() >= 4) || elapsed.size() > 1000000)
            platform::PostQuit(0);
        call->hasResult = true;
        call->result = 1; // more idle calls, please
    });
    SetFrameworkIdle([&counts](int count) {
        counts.push_back(count);
        return count < 3; // then the window's answer alone keeps idling going
    });
    RunMessageLoop();
    SetFrameworkIdle(nullptr);
    EXPECT_EQ(counts, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(std::is_sorted(elapsed.begin(), elapsed.end()));
    EXPECT_GT(elapsed.back(), elapsed.front());
}

TEST_F(WindowKind, BackColorDefaultsToTheButtonFace)
{
    Load({WindowRecord()});
    EXPECT_EQ(Read(kWindowRecordId, kOwn + kWinBackColor), platform::kDefaultColor);
    EXPECT_EQ(platform::ResolveColor(platform::kDefaultColor), platform::ButtonFaceColor());
    EXPECT_EQ(platform::ResolveColor(0x00112233), 0x00112233u);
}

} // namespace
} // namespace mt::test
