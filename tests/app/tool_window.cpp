#include "tool_window.h"

#include <cstring>

#include "abi/runtime_entry_table.h"
#include "platform/application.h"
#include "platform/input_dialog.h"
#include "platform/message_box.h"
#include "platform/native_window.h"
#include "platform/testing/dialog_script.h"
#include "platform/testing/input_simulation.h"
#include "platform/text_codec.h"
#include "support/runtime_fixture.h"
#include "windows/window_engine.h"

namespace mt::test {

std::string Gb(const std::string& utf8)
{
    std::string gb;
    EXPECT_TRUE(platform::Utf8ToGb(utf8, &gb));
    return gb;
}

std::string Utf8(const std::string& gb) { return platform::GbToUtf8(gb); }

void ToolWindow::SetUp()
{
    StartRuntime(&app::kProgramHeader);
    platform::ScriptInputDialogs({});
    Runtime().loadStartupWindow(app::id::MainWindow);
    platform::ProcessPendingEvents();
}

void ToolWindow::TearDown()
{
    // Nothing turns the event loop after the shutdown, as in the program: the
    // shutdown alone has to delete the window's widgets and components.
    StopRuntime();
    platform::EndDialogScript();
    // Shutdown blocks events for good; the next test starts afresh.
    while (engine::EventBlockCount() > 0)
        engine::UnblockEvents();
    engine::SetMessageLoopEntered(false);
}

platform::WindowHandle ToolWindow::Handle(uint32_t component) const
{
    return engine::ComponentWindow(engine::FindComponent(app::id::MainWindow, component));
}

void ToolWindow::Click(uint32_t component)
{
    platform::WindowHandle h = Handle(component);
    ASSERT_NE(h, nullptr);
    const platform::Rect r = platform::WindowRect(h);
    platform::SimulateMouse(h, platform::InputKind::kLeftDown, r.width / 2, r.height / 2);
    platform::SimulateMouse(h, platform::InputKind::kLeftUp, r.width / 2, r.height / 2);
    platform::ProcessPendingEvents();
}

void ToolWindow::Type(const std::string& utf8)
{
    const std::string gb = Gb(utf8);
    for (size_t p = 0; p < gb.size();) {
        const size_t n = static_cast<unsigned char>(gb[p]) >= 0x81 ? 2 : 1;
        platform::SimulateCharacter(gb.substr(p, n));
        p += n;
    }
    platform::ProcessPendingEvents();
}

void ToolWindow::PressKey(int32_t virtualKey, int32_t keyState)
{
    platform::SimulateKey(virtualKey, keyState);
    platform::ProcessPendingEvents();
}

uint32_t ToolWindow::Focused() const
{
    const platform::WindowHandle focus = platform::FocusWindow();
    for (const auto& r : engine::Descriptions().front().records) {
        if (focus && Handle(r.id) == focus)
            return r.id;
    }
    return 0;
}

std::string ToolWindow::Text(uint32_t component, int32_t index) const
{
    auto* text = reinterpret_cast<char*>(Runtime().readProperty(app::id::MainWindow, component, index, -1));
    std::string s = text ? text : "";
    Runtime().free(text);
    return Utf8(s);
}

int32_t ToolWindow::Int(uint32_t component, int32_t index) const
{
    return static_cast<int32_t>(Runtime().readProperty(app::id::MainWindow, component, index, -1));
}

void ToolWindow::SetText(uint32_t component, int32_t index, const std::string& utf8)
{
    const std::string gb = Gb(utf8);
    const auto value = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(gb.c_str()));
    Runtime().writeProperty(app::id::MainWindow, component, index, -1, LowWord(value), HighWord(value));
    platform::ProcessPendingEvents();
}

std::vector<ToolWindow::Message> ToolWindow::Messages() const
{
    std::vector<Message> out;
    for (const auto& box : platform::ShownMessageBoxes())
        out.push_back({Utf8(box.text), box.style, Utf8(box.caption)});
    return out;
}

void ToolWindow::Enter(uint32_t box, const std::string& utf8, uint32_t leaveTo)
{
    Click(box);
    Type(utf8);
    Click(leaveTo);
}

} // namespace mt::test
