// The window's keyboard handling: Tab order, Enter on the default button or
// moving the focus, Esc through event 1, F1 opening the help file.
#include <fstream>

#include "component_fixture.h"
#include "components/window_properties.h"
#include "platform/desktop_services.h"
#include "platform/native_window.h"
#include "platform/testing/input_simulation.h"

namespace mt::test {
namespace {

constexpr uint32_t kFirst = ComponentIdOf(1);
constexpr uint32_t kSecond = ComponentIdOf(2);
constexpr uint32_t kSkipped = ComponentIdOf(3);
constexpr uint32_t kThird = ComponentIdOf(4);
constexpr uint32_t kDefault = ComponentIdOf(5);

class WindowKeyboard : public LoadedWindow {
protected:
    void LoadButtons(const WindowProperties& p = PlainWindow())
    {
        ComponentRecord w = WindowRecord(p);
        Bind(w, 1, 1);
        ComponentRecord def = ButtonRecord(kDefault, "default", 0, 160, 1);
        Bind(def, 0, 0);
        Load({w, ButtonRecord(kFirst, "1", 0, 0), ButtonRecord(kSecond, "2", 0, 40),
              ButtonRecord(kSkipped, "x", 0, 80, 0, 0x11), ButtonRecord(kThird, "3", 0, 120), def});
    }

    void Focus(uint32_t id) { platform::SetFocusWindow(Handle(id)); }
    bool Focused(uint32_t id) { return platform::FocusWindow() == Handle(id); }
};

TEST_F(WindowKeyboard, TabFollowsTemplateOrderSkippingNonStopsAndWraps)
{
    LoadButtons();
    Focus(kFirst);
    ASSERT_TRUE(Focused(kFirst));
    const uint32_t forward[] = {kSecond, kThird, kDefault, kFirst};
    for (uint32_t id : forward) {
        platform::SimulateKey(platform::kVkTab);
        EXPECT_TRUE(Focused(id)) << std::hex << id;
    }
    platform::SimulateKey(platform::kVkTab, platform::kKeyStateShift);
    EXPECT_TRUE(Focused(kDefault));
}

TEST_F(WindowKeyboard, TabSkipsHiddenAndDisabledComponents)
{
    LoadButtons();
    Write(kSecond, 6, 1);
    Write(kThird, 5, 0);
    Focus(kFirst);
    platform::SimulateKey(platform::kVkTab);
    EXPECT_TRUE(Focused(kDefault));
}

TEST_F(WindowKeyboard, EnterClicksTheDefaultButtonOrMovesTheFocus)
{
    LoadButtons();
    int* clicked = Count(0);
    Focus(kFirst);
    platform::SimulateKey(platform::kVkReturn);
    EXPECT_EQ(*clicked, 1);
    EXPECT_TRUE(Focused(kFirst));

    Write(kWindowRecordId, 8 + kWinEnterMovesFocus, 1);
    platform::SimulateKey(platform::kVkReturn);
    EXPECT_EQ(*clicked, 1);
    EXPECT_TRUE(Focused(kSecond));
}

TEST_F(WindowKeyboard, EnterOnAFocusedDefaultButtonClicksIt)
{
    LoadButtons();
    int* clicked = Count(0);
    Focus(kDefault);
    platform::SimulateKey(platform::kVkReturn);
    EXPECT_EQ(*clicked, 1);
}

TEST_F(WindowKeyboard, EscAsksEventOneWhichMayRefuse)
{
    LoadButtons();
    int asked = 0;
    int answer = 0;
    SetHandler(1, [&](EventCall* call) {
        ++asked;
        call->hasResult = true;
        call->result = answer;
    });
    Focus(kFirst);
    platform::SimulateKey(platform::kVkEscape);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(engine::IsWindowLive(kWindowId));
    EXPECT_TRUE(platform::IsVisible(Handle(kFirst)));
    answer = 1;
    platform::SimulateKey(platform::kVkEscape);
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(engine::IsWindowLive(kWindowId));
}

TEST_F(WindowKeyboard, EscDoesNothingWhenEscClosesIsOff)
{
    WindowProperties p = PlainWindow();
    p.escCloses = false;
    LoadButtons(p);
    int* asked = Count(1);
    Focus(kFirst);
    platform::SimulateKey(platform::kVkEscape);
    EXPECT_EQ(*asked, 0);
    EXPECT_TRUE(engine::IsWindowLive(kWindowId));
}

TEST_F(WindowKeyboard, F1OpensAnExistingHelpFileAsAWholeDocument)
{
    const std::string help = testing::TempDir() + "window_keyboard_f1.hlp";
    std::ofstream(help) << "help";
    WindowProperties p = PlainWindow();
    p.f1OpensHelp = true;
    p.helpFile = help;
    p.helpContext = 7; // no viewer here reads topics: the file opens as a whole
    LoadButtons(p);
    std::vector<std::string> opened;
    platform::SetDocumentOpener([&opened](std::string_view path) {
        opened.emplace_back(path);
        return true;
    });
    Focus(kFirst);
    platform::SimulateKey(platform::kVkF1);
    EXPECT_EQ(opened, std::vector<std::string>{help});
    const std::string missing = help + ".gone";
    Write(kWindowRecordId, 8 + kWinHelpFile, reinterpret_cast<uintptr_t>(missing.c_str()));
    platform::SimulateKey(platform::kVkF1);
    Write(kWindowRecordId, 8 + kWinHelpFile, reinterpret_cast<uintptr_t>(help.c_str()));
    Write(kWindowRecordId, 8 + kWinF1OpensHelp, 0);
    platform::SimulateKey(platform::kVkF1);
    EXPECT_EQ(opened.size(), 1u);
    platform::SetDocumentOpener(nullptr);
}

TEST_F(WindowKeyboard, WindowHoldsTheFocusWhenNoComponentHasIt)
{
    LoadButtons();
    EXPECT_EQ(platform::FocusWindow(), Handle(kWindowRecordId));
    platform::SimulateKey(platform::kVkTab);
    EXPECT_TRUE(Focused(kFirst));
}

} // namespace
} // namespace mt::test
