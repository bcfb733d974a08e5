// Loading windows: creation order, z-order, notices, child ids, visibility,
// the events at the end of loading and the rules around live windows.
#include <gtest/gtest.h>

#include "components/component.h"
#include "components/window_component.h"
#include "platform/application.h"
#include "platform/native_window.h"
#include "platform/top_window.h"
#include "spy_kind.h"
#include "support/engine_runtime.h"
#include "support/row_name.h"
#include "support/template_builder.h"
#include "windows/window_engine.h"
#include "windows/windows_texts.h"

namespace mt::test {
namespace {

ComponentRecord SpyRecord(uint32_t serial)
{
    ComponentRecord r;
    r.id = ComponentIdOf(serial);
    r.kind = kSpyKindCode;
    r.left = static_cast<int32_t>(serial) * 10;
    r.width = r.height = 20;
    r.state = kStateShownTab;
    return r;
}

class WindowLoading : public ::testing::Test {
protected:
    void SetUp() override
    {
        Spy() = SpyLog{};
        EngineRuntime::SetExtraKinds(&SpyKind);
    }

    WindowDescription& Description(uint32_t id = kWindowId) { return *FindWindow(engine::Descriptions(), id); }
    Component* Object(size_t record, uint32_t id = kWindowId)
    {
        return static_cast<Component*>(Description(id).records[record].object);
    }
    platform::WindowHandle Handle(size_t record, uint32_t id = kWindowId) { return Object(record, id)->handle(); }
    int32_t Load(uint32_t id = kWindowId, bool modal = false)
    {
        return engine::LoadWindow(Description(id), false, modal, nullptr);
    }

    EngineRuntime runtime;
};

TEST_F(WindowLoading, CreatesBackwardsOrdersForwardsAndSendsNoticesFromTheLastRecord)
{
    EngineRuntime::Install({Window({WindowRecord(), SpyRecord(1), SpyRecord(2), SpyRecord(3)})});
    ASSERT_EQ(Load(), 1);

    const std::vector<std::string> expected = {
        "create 10003",
        "create 10002",
        "create 10001",
        "notice 806f 10003",
        "notice 806f 10002",
        "notice 806f 10001",
        "notice 8076 10003",
        "notice 8076 10002",
        "notice 8076 10001",
    };
    EXPECT_EQ(Spy().entries, expected);
    // Bottom first: the first component in template order ends on top.
    const std::vector<platform::WindowHandle> stacking = {Handle(3), Handle(2), Handle(1)};
    EXPECT_EQ(platform::ChildWindows(Handle(0)), stacking);
}

TEST_F(WindowLoading, HandsOutChildIdsFromHundredInStepsOfTenInCreationOrder)
{
    EngineRuntime::Install({Window({WindowRecord(), ButtonRecord(ComponentIdOf(1), "a", 0, 0),
                                    ButtonRecord(ComponentIdOf(2), "b", 0, 40), ButtonRecord(ComponentIdOf(3), "c", 0, 80),
                                    ButtonRecord(ComponentIdOf(4), "d", 0, 120)})});
    ASSERT_EQ(Load(), 1);
    EXPECT_EQ(Object(4)->childId(), 100);
    EXPECT_EQ(Object(3)->childId(), 110);
    EXPECT_EQ(Object(2)->childId(), 120);
    EXPECT_EQ(Object(1)->childId(), 130);
}

TEST_F(WindowLoading, ComponentStoredHiddenStaysHiddenAfterTheWindowShows)
{
    EngineRuntime::Install({Window({WindowRecord(), ButtonRecord(ComponentIdOf(1), "shown", 0, 0),
                                    ButtonRecord(ComponentIdOf(2), "hidden", 0, 40, 0, 0x14)})});
    ASSERT_EQ(Load(), 1);
    EXPECT_TRUE(platform::IsVisible(Handle(0)));
    EXPECT_TRUE(platform::IsVisible(Handle(1)));
    EXPECT_FALSE(platform::IsVisible(Handle(2)));
    EXPECT_EQ(engine::ReadProperty(kWindowId, ComponentIdOf(2), 5, -1), 0u);
}

TEST_F(WindowLoading, RaisesCreatedMovedResizedInOrderAfterLoading)
{
    ComponentRecord w = WindowRecord();
    Bind(w, 0, 0);
    Bind(w, 3, 1);
    Bind(w, 4, 2);
    EngineRuntime::Install({Window({w})});
    std::vector<int> calls;
    for (int k = 0; k < 3; ++k)
        SetHandler(k, [&calls, k](EventCall*) { calls.push_back(k); });
    ASSERT_EQ(Load(), 1);
    EXPECT_EQ(calls, (std::vector<int>{0, 1, 2}));
}

TEST_F(WindowLoading, HandlerThatDestroysItsWindowInCreatedStopsTheSequence)
{
    ComponentRecord w = WindowRecord();
    Bind(w, 0, 0);
    Bind(w, 3, 1);
    Bind(w, 4, 1);
    EngineRuntime::Install({Window({w, ButtonRecord(ComponentIdOf(1), "b", 0, 0)})});
    int later = 0;
    SetHandler(0, [](EventCall*) {
        platform::DestroyWindow(engine::ComponentWindow(engine::FindComponent(kWindowId, 0)));
    });
    SetHandler(1, [&later](EventCall*) { ++later; });
    EXPECT_EQ(Load(), 1);
    EXPECT_EQ(later, 0);
    EXPECT_FALSE(engine::IsWindowLive(kWindowId));
    for (const auto& r : Description().records)
        EXPECT_EQ(r.object, nullptr);
}

TEST_F(WindowLoading, LoadingALiveWindowAgainOnlyBringsItForward)
{
    ComponentRecord w = WindowRecord();
    Bind(w, 0, 0);
    EngineRuntime::Install({Window({w})});
    int created = 0;
    SetHandler(0, [&created](EventCall*) { ++created; });
    ASSERT_EQ(Load(), 1);
    Component* first = Object(0);
    EXPECT_EQ(Load(), 1);
    EXPECT_EQ(created, 1);
    EXPECT_EQ(Object(0), first);
}

TEST_F(WindowLoading, EventRaisedWhileAWindowLoadsCallsNoHandler)
{
    ComponentRecord other = WindowRecord();
    Bind(other, 7, 0);
    EngineRuntime::Install({Window({other}, 0x52010002), Window({WindowRecord(), SpyRecord(1)})});
    ASSERT_EQ(Load(0x52010002), 1);
    int called = 0;
    int32_t raised = -1;
    SetHandler(0, [&called](EventCall*) { ++called; });
    Spy().onCreate = [&raised] {
        EventRecord r;
        r.windowId = 0x52010002;
        r.eventIndex = 7;
        raised = engine::RaiseEvent(&r);
    };
    ASSERT_EQ(Load(), 1);
    EXPECT_EQ(raised, 0);
    EXPECT_EQ(called, 0);
}

TEST_F(WindowLoading, DestructionPutsBackTheDescriptionAsItWasBeforeTheLoad)
{
    EngineRuntime::Install({Window({WindowRecord(), ButtonRecord(ComponentIdOf(1), "b", 7, 9)})});
    ASSERT_EQ(Load(), 1);
    engine::WriteProperty(kWindowId, ComponentIdOf(1), 0, -1, 40);
    EXPECT_EQ(engine::ReadProperty(kWindowId, ComponentIdOf(1), 0, -1), 40u);
    platform::DestroyWindow(Handle(0));
    EXPECT_FALSE(engine::IsWindowLive(kWindowId));
    EXPECT_EQ(engine::ReadProperty(kWindowId, ComponentIdOf(1), 0, -1), 7u);
    EXPECT_EQ(Description().records[1].object, nullptr);
    ASSERT_EQ(Load(), 1); // loadable again
}

TEST_F(WindowLoading, LastWindowGoingAfterTheLoopStartedEndsTheLoop)
{
    EngineRuntime::Install({Window({WindowRecord()})});
    ASSERT_EQ(Load(), 1);
    engine::SetMessageLoopEntered(true);
    const int code = platform::RunEventLoop([this](int idleCount) {
        if (idleCount == 0 && engine::IsWindowLive(kWindowId))
            platform::DestroyWindow(Handle(0));
        if (idleCount > 50)
            platform::PostQuit(7); // never reached when the quit is posted
        return true;
    });
    EXPECT_EQ(code, 0);
}

TEST_F(WindowLoading, ModalWindowDisablesTheOthersUntilItGoes)
{
    EngineRuntime::Install({Window({WindowRecord()}), Window({WindowRecord(), SpyRecord(1)}, 0x52010002)});
    ASSERT_EQ(Load(), 1);
    std::vector<bool> modalDuringCreate;
    Spy().onCreate = [&modalDuringCreate] { modalDuringCreate.push_back(engine::IsWindowModal(0x52010002)); };
    ASSERT_EQ(Load(0x52010002, true), 1);
    EXPECT_FALSE(platform::IsEnabled(Handle(0)));
    platform::DestroyWindow(Handle(0, 0x52010002));
    EXPECT_TRUE(platform::IsEnabled(Handle(0)));
    EXPECT_FALSE(engine::IsWindowModal(0x52010002));
    ASSERT_EQ(Load(0x52010002, false), 1);
    EXPECT_EQ(modalDuringCreate, (std::vector<bool>{true, false}));
}

struct StartStateCase {
    const char* name;
    int32_t mode;
    int32_t startPosition;
    platform::ShowState shown;
};

void PrintTo(const StartStateCase& c, std::ostream* out) { *out << c.name; }

const StartStateCase kStartStateRows[] = {
    {"maximized", 3, 3, platform::ShowState::kMaximized},
    {"minimized", 3, 2, platform::ShowState::kMinimized},
    {"mode word clear", 0, 3, platform::ShowState::kNormal},
    {"normal start", 3, 0, platform::ShowState::kNormal},
};

class WindowStartState : public WindowLoading, public testing::WithParamInterface<StartStateCase> {};

TEST_P(WindowStartState, ShowsOnlyWhenTheModeWordIsSet)
{
    const StartStateCase& c = GetParam();
    WindowProperties p = PlainWindow();
    p.border = 1;
    p.startPosition = c.startPosition;
    EngineRuntime::SetProgramMode(c.mode);
    EngineRuntime::Install({Window({WindowRecord(p)})});
    ASSERT_EQ(Load(), 1);
    EXPECT_EQ(platform::TopWindowState(Handle(0)), c.shown);
    platform::DestroyWindow(Handle(0));
}

INSTANTIATE_TEST_SUITE_P(, WindowStartState, testing::ValuesIn(kStartStateRows), ByRowName());

TEST_F(WindowLoading, ComponentFocusedWhileEventsWereBlockedGainsFocusWhenTheWindowIsShown)
{
    ComponentRecord button = ButtonRecord(ComponentIdOf(1), "b", 0, 40);
    Bind(button, -7, 0);
    EngineRuntime::Install({Window({WindowRecord(), button})});
    ASSERT_EQ(Load(), 1);
    platform::ProcessPendingEvents();
    int gained = 0;
    SetHandler(0, [&gained](EventCall*) { ++gained; });
    engine::BlockEvents(); // the platform's focus message arrives while events are blocked
    platform::SetFocusWindow(Handle(1));
    platform::ProcessPendingEvents();
    engine::UnblockEvents();
    ASSERT_EQ(platform::FocusWindow(), Handle(1));
    EXPECT_EQ(gained, 0);
    engine::WriteProperty(kWindowId, kWindowRecordId, 5, -1, 1); // Visible: the show operation
    EXPECT_EQ(gained, 1);
    engine::WriteProperty(kWindowId, kWindowRecordId, 5, -1, 1); // delivered once: not again
    EXPECT_EQ(gained, 1);
}

TEST_F(WindowLoading, StartupWindowThatCannotLoadIsARuntimeError)
{
    ComponentRecord unknownKind = ButtonRecord(ComponentIdOf(1), "b", 0, 0);
    unknownKind.kind = 0x00010002; // an empty position of the core table
    EngineRuntime::Install({Window({WindowRecord(), unknownKind})});
    EXPECT_THROW(
        {
            try {
                engine::LoadStartupWindow(kWindowId);
            } catch (const RuntimeErrorRaised& e) {
                EXPECT_STREQ(e.what(), gb::kErrStartupWindowFailed);
                throw;
            }
        },
        RuntimeErrorRaised);
    EXPECT_FALSE(engine::AnyWindowLive());
    EXPECT_EQ(engine::EventBlockCount(), 0);
    EXPECT_THROW(engine::LoadStartupWindow(0x52010009), RuntimeErrorRaised);
}

TEST_F(WindowLoading, CentredWindowReportsNormalStartPositionWhenShown)
{
    WindowProperties p;
    p.startPosition = 1;
    EngineRuntime::Install({Window({WindowRecord(p)})});
    ASSERT_EQ(Load(), 1);
    EXPECT_EQ(engine::ReadProperty(kWindowId, kWindowRecordId, 8 + kWinStartPosition, -1), 0u);
    const platform::Rect r = platform::WindowRect(Handle(0));
    EXPECT_EQ(r.width, 528);
    EXPECT_EQ(r.height, 370);
}

} // namespace
} // namespace mt::test
