#include <gtest/gtest.h>

#include "commands/clipboard_command.h"
#include "commands/focus_command.h"
#include "dialog_test_service.h"
#include "platform/clipboard.h"
#include "platform/edit_control.h"
#include "platform/edit_test_support.h"
#include "platform/keyboard_focus.h"

namespace mt {
namespace {

bool SetClipboard(std::vector<ValueRecord> args)
{
    ValueRecord result{};
    SetClipboardText(&result, static_cast<int32_t>(args.size()), args.data());
    EXPECT_EQ(result.type, kTypeBool);
    return AsBool(result);
}

TEST(SetClipboardTextCommand, PutsTextAndTheEmptyText)
{
    platform::EnsureApplication();
    EXPECT_TRUE(SetClipboard({MakePointer("\xD6\xD0\xCE\xC4", kTypeText)})); // 中文
    EXPECT_EQ(platform::ClipboardText(), "\xD6\xD0\xCE\xC4");
    EXPECT_TRUE(SetClipboard({MakePointer("", kTypeText)}));
    EXPECT_TRUE(platform::ClipboardHasText());
    EXPECT_EQ(platform::ClipboardText(), "");
    EXPECT_TRUE(SetClipboard({MakePointer("x", kTypeText)}));
    EXPECT_TRUE(SetClipboard({MakePointer(nullptr, kTypeText)}));
    EXPECT_EQ(platform::ClipboardText(), "");
}

TEST(SetComponentFocusCommand, FocusesTheComponentsWindowOrRaisesTheError)
{
    dialogtest::TestService service;
    auto window = platform::test::MakeWindow();
    const auto parent = platform::test::Handle(window.get());
    platform::EditControl first(parent, {0, 0, 100, 24}, {}, "");
    platform::EditControl second(parent, {0, 40, 100, 24}, {}, "");
    service.components[{0x52010001, 0x16010002}] = first.handle();
    service.components[{0x52010001, 0x16010003}] = second.handle();
    first.setFocus();

    ValueRecord arg = MakeComponentRef(0x52010001, 0x16010003, 0x00010005);
    ValueRecord result{};
    SetComponentFocus(&result, 1, &arg);
    EXPECT_EQ(platform::KeyboardFocus(), second.handle());
    EXPECT_TRUE(second.hasFocus());

    arg = MakeComponentRef(0x52010001, 0x16019999, 0x00010005);
    EXPECT_THROW(SetComponentFocus(&result, 1, &arg), dialogtest::RuntimeErrorRaised);
    EXPECT_EQ(platform::KeyboardFocus(), second.handle());
}

} // namespace
} // namespace mt
