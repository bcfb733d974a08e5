#include <gtest/gtest.h>

#include <cstring>

#include "abi/text_value.h"
#include "command_call.h"
#include "commands/input_box_command.h"
#include "platform/input_dialog.h"
#include "platform/message_box.h"
#include "platform/testing/dialog_script.h"
#include "support/malloc_service.h"

namespace mt {
namespace {

using platform::InputDialogAnswer;

struct InputBoxCommand : ::testing::Test {
    test::MallocService heap;
    ~InputBoxCommand() override { platform::EndDialogScript(); }

    // Runs InputBox with the arguments against one scripted answer.
    bool run(std::vector<ValueRecord> args, InputDialogAnswer answer)
    {
        platform::ScriptInputDialogs({std::move(answer)});
        const ValueRecord result = test::CallCommand(InputBox, std::move(args));
        EXPECT_EQ(result.type, kTypeBool);
        return AsBool(result);
    }
    const platform::ShownInputDialog& shown() const { return platform::ShownInputDialogs().at(0); }
};

using test::Text;

TEST_F(InputBoxCommand, ChoosesTheTemplateAndClampsTheMode)
{
    struct Row {
        ValueRecord prompt;
        ValueRecord mode;
        int templateId;
        int shownMode;
    };
    const Row rows[] = {
        {Omitted(), Omitted(), platform::kInputTemplateShort, 1},
        {Text(""), MakeInt(7), platform::kInputTemplateShort, 4},
        {Text("p"), MakeInt(0), platform::kInputTemplateWithPrompt, 1},
        {Text("p"), MakeInt(-3), platform::kInputTemplateWithPrompt, 1},
        {Text("p"), MakeInt(3), platform::kInputTemplateWithPrompt, 3},
    };
    for (const Row& row : rows) {
        run({row.prompt, Text("title"), Text("init"), Omitted(), row.mode}, {true, "x"});
        EXPECT_EQ(shown().templateId, row.templateId);
        EXPECT_EQ(shown().mode, row.shownMode);
        EXPECT_EQ(shown().title, "title");
        EXPECT_EQ(shown().initial, "init");
    }
}

TEST_F(InputBoxCommand, NumericVariablesTakeTheLeadingNumber)
{
    int32_t i = -1;
    EXPECT_TRUE(run({Omitted(), Omitted(), Omitted(), MakePointer(&i, kTypeInt)}, {true, "12ab"}));
    EXPECT_EQ(i, 12);
    run({Omitted(), Omitted(), Omitted(), MakePointer(&i, kTypeInt)}, {true, "abc"});
    EXPECT_EQ(i, 0);
    run({Omitted(), Omitted(), Omitted(), MakePointer(&i, kTypeInt)}, {true, " \t-7x"});
    EXPECT_EQ(i, -7);
    run({Omitted(), Omitted(), Omitted(), MakePointer(&i, kTypeInt)}, {true, "99999999999999999999999"});
    EXPECT_EQ(i, -1); // the 64-bit bound, truncated to 32 bits

    uint8_t byte = 0;
    run({Omitted(), Omitted(), Omitted(), MakePointer(&byte, kTypeByte)}, {true, "300"});
    EXPECT_EQ(byte, 44);
    int16_t shortValue = 0;
    run({Omitted(), Omitted(), Omitted(), MakePointer(&shortValue, kTypeShort)}, {true, "+70000"});
    EXPECT_EQ(shortValue, 4464);
    int64_t longValue = 0;
    run({Omitted(), Omitted(), Omitted(), MakePointer(&longValue, kTypeLong)}, {true, "-123456789012"});
    EXPECT_EQ(longValue, -123456789012);
    float f = 0;
    run({Omitted(), Omitted(), Omitted(), MakePointer(&f, kTypeFloat)}, {true, "1.5e3x"});
    EXPECT_EQ(f, 1500.0f);
    double d = 1;
    run({Omitted(), Omitted(), Omitted(), MakePointer(&d, kTypeDouble)}, {true, "  -2.25abc"});
    EXPECT_EQ(d, -2.25);
    run({Omitted(), Omitted(), Omitted(), MakePointer(&d, kTypeDouble)}, {true, "\xD6\xD0"});
    EXPECT_EQ(d, 0.0);
}

TEST_F(InputBoxCommand, TextVariablesGetANewCopyOrNull)
{
    char* variable = NewText("old");
    ASSERT_EQ(heap.liveBlocks(), 1);
    EXPECT_TRUE(run({Omitted(), Omitted(), Omitted(), MakePointer(&variable, kTypeText)}, {true, "\xD6\xD0"}));
    EXPECT_STREQ(variable, "\xD6\xD0");
    EXPECT_EQ(heap.liveBlocks(), 1); // the old text was freed
    EXPECT_TRUE(run({Omitted(), Omitted(), Omitted(), MakePointer(&variable, kTypeText)}, {true, ""}));
    EXPECT_EQ(variable, nullptr);
    EXPECT_EQ(heap.liveBlocks(), 0);
}

TEST_F(InputBoxCommand, CancelLeavesTheVariableAlone)
{
    char* variable = NewText("old");
    int32_t number = 5;
    EXPECT_FALSE(run({Omitted(), Omitted(), Omitted(), MakePointer(&variable, kTypeText)}, {false, "x"}));
    EXPECT_FALSE(run({Omitted(), Omitted(), Omitted(), MakePointer(&number, kTypeInt)}, {false, "7"}));
    EXPECT_STREQ(variable, "old");
    EXPECT_EQ(number, 5);
    svc::Free(variable);
}

TEST_F(InputBoxCommand, OtherVariablesGetNothingButTheAnswerStands)
{
    int32_t flag = 3;
    EXPECT_TRUE(run({Omitted(), Omitted(), Omitted(), MakePointer(&flag, kTypeBool)}, {true, "1"}));
    EXPECT_EQ(flag, 3);
    EXPECT_TRUE(run({Omitted(), Omitted(), Omitted(), MakePointer(&flag, kTypeInt | kArrayBit)}, {true, "1"}));
    EXPECT_EQ(flag, 3);
    EXPECT_TRUE(run({Text("p")}, {true, "dropped"})); // no variable: the input is dropped
    EXPECT_TRUE(run({Omitted(), Omitted(), Omitted(), MakePointer(nullptr, kTypeInt)}, {true, "1"}));
}

} // namespace
} // namespace mt
