// The tool's real window, loaded from the program image through the frame,
// driven as a user would: clicks, focus changes and typing. Dialogs are
// scripted and recorded.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app_image.h"
#include "platform/window_handle.h"

namespace mt::test {

std::string Gb(const std::string& utf8);
std::string Utf8(const std::string& gb);

class ToolWindow : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

public:
    platform::WindowHandle Handle(uint32_t component) const;
    // A left click in the middle of the component.
    void Click(uint32_t component);
    // Types UTF-8 text character by character where the focus is.
    void Type(const std::string& utf8);
    void PressKey(int32_t virtualKey, int32_t keyState = 0);
    // The component that holds the keyboard focus (0 for none of the tool's).
    uint32_t Focused() const;

    // Properties, as a handler reads and writes them; texts in UTF-8.
    std::string Text(uint32_t component, int32_t index) const;
    int32_t Int(uint32_t component, int32_t index) const;
    void SetText(uint32_t component, int32_t index, const std::string& utf8);

    // Message boxes shown since the test began: content, flags, caption (UTF-8).
    struct Message {
        std::string text;
        uint32_t flags;
        std::string caption;
    };
    std::vector<Message> Messages() const;
    // Puts a text in a box the way a user would: click in, type, then click
    // the given component to leave.
    void Enter(uint32_t box, const std::string& utf8, uint32_t leaveTo);
};

} // namespace mt::test
