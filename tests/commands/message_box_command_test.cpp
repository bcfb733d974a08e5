#include <gtest/gtest.h>

#include "command_call.h"
#include "commands/message_box_command.h"
#include "platform/message_box.h"
#include "platform/testing/dialog_script.h"

namespace mt {
namespace {

using test::Text;

// GB18030 of 信息： (the caption when no title is given).
const std::string kInfoCaption = "\xD0\xC5\xCF\xA2\xA3\xBA";

struct Shown {
    int32_t result;
    platform::ShownMessageBox box;
};

// Runs the command with these arguments against one scripted answer.
Shown ShowBox(std::vector<ValueRecord> args, int answer)
{
    platform::ScriptMessageBoxes({answer});
    const ValueRecord result = test::CallCommand(MessageBoxCommand, std::move(args));
    EXPECT_EQ(result.type, kTypeInt);
    Shown shown{AsInt32(result), platform::ShownMessageBoxes().at(0)};
    platform::EndDialogScript();
    return shown;
}

TEST(MessageBoxCommand, CaptionStyleAndContent)
{
    Shown s = ShowBox({Text("hi")}, platform::kIdOk);
    EXPECT_EQ(s.box.text, "hi");
    EXPECT_EQ(s.box.caption, kInfoCaption); // title omitted
    EXPECT_EQ(s.box.style, 0x2000u);        // task-modal added
    EXPECT_EQ(s.result, 0);

    s = ShowBox({Text("q"), MakeInt(0x1010), Text("")}, platform::kIdOk);
    EXPECT_EQ(s.box.caption, "");    // an empty title is an empty caption
    EXPECT_EQ(s.box.style, 0x1010u); // system-modal: nothing added

    s = ShowBox({Text("q"), MakeInt(64), Text("T")}, platform::kIdOk);
    EXPECT_EQ(s.box.caption, "T");
    EXPECT_EQ(s.box.style, 0x2040u);

    s = ShowBox({}, platform::kIdOk); // nothing at all: an empty message
    EXPECT_EQ(s.box.text, "");
    EXPECT_EQ(s.box.caption, kInfoCaption);

    const test::ByteArrayBlock bytes("x");
    EXPECT_EQ(ShowBox({bytes.value()}, platform::kIdOk).box.text, ""); // not a scalar
}

TEST(MessageBoxCommand, ScalarsShowAsToTextWritesThem)
{
    EXPECT_EQ(ShowBox({MakeInt(42)}, platform::kIdOk).box.text, "42");
    EXPECT_EQ(ShowBox({MakeBool(true)}, platform::kIdOk).box.text, "\xD5\xE6");  // 真
    EXPECT_EQ(ShowBox({MakeBool(false)}, platform::kIdOk).box.text, "\xBC\xD9"); // 假
}

TEST(MessageBoxCommand, ButtonNumbers)
{
    // Flags 1 is OK and Cancel: Cancel gives 1.
    EXPECT_EQ(ShowBox({Text("q"), MakeInt(1)}, platform::kIdCancel).result, 1);
    EXPECT_EQ(ShowBox({Text("q"), MakeInt(0)}, platform::kIdOk).result, 0);
    const int answers[] = {1, 2, 3, 4, 5, 6, 7, 0, 8, -1};
    const int32_t numbers[] = {0, 1, 2, 3, 4, 5, 6, 0, 0, 0};
    for (size_t i = 0; i < std::size(answers); ++i)
        EXPECT_EQ(ButtonNumber(answers[i]), numbers[i]) << answers[i];
}

} // namespace
} // namespace mt
