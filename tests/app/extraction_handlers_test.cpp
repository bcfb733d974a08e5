// Extraction of the middle text and the generated code, on the real window.
#include "tool_window.h"

#include <algorithm>
#include <functional>
#include <tuple>

#include "platform/clipboard.h"
#include "platform/edit_control.h"
#include "platform/input_dialog.h"
#include "platform/testing/dialog_script.h"

namespace mt::test {
namespace {

using namespace app::id;

constexpr int32_t kContent = 8, kTextColor = 10, kCaption = 10, kLabelCaption = 8;

class Extraction : public ToolWindow {
protected:
    // Fills the three boxes as a handler would and clicks the extract button.
    std::string Extract(const std::string& text, const std::string& left, const std::string& right)
    {
        SetText(编辑框被查找文本, kContent, text);
        SetText(编辑框左边, kContent, left);
        SetText(编辑框右边, kContent, right);
        Click(按钮提取);
        return Text(编辑框中间, kContent);
    }
};

// The marks in the big box as (start, length, tint) triples.
using Mark = std::tuple<size_t, size_t, platform::MarkTint>;
std::vector<Mark> Marks(const ToolWindow& w)
{
    std::vector<Mark> out;
    const platform::TextMarks* marks = platform::EditControlOf(w.Handle(编辑框被查找文本))->marks();
    for (const auto& m : marks ? marks->marks : std::vector<platform::TextMark>{})
        out.emplace_back(m.start, m.length, m.tint);
    return out;
}

struct Case {
    const char* name;
    const char* text;
    const char* left;
    const char* right;
    const char* middle;
};

TEST_F(Extraction, WritesTheTextBetweenLeftAndRight)
{
    const Case cases[] = {
        {"tags", "abc[b]XYZ[/b]def", "[b]", "[/b]", "XYZ"},
        {"right only in front of left", "x]y[z", "[", "]", ""},
        {"right directly behind left", "[b][/b]", "[b]", "[/b]", ""},
        {"left at the very end", "a]b[", "[", "]", ""},
        {"empty left", "ab]c", "", "]", "ab"},
        {"empty right", "a[bc", "[", "", ""},
        {"first left, first right behind it", "a[1]b[2]c", "[", "]", "1"},
        {"Chinese", "甲《乙丙》丁", "《", "》", "乙丙"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Extract(c.text, c.left, c.right), c.middle) << c.name;
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Int(编辑框中间, kTextColor), 0);
}

TEST_F(Extraction, AMissingLeftTextIsAMessageAndTheMiddleBoxKeepsItsText)
{
    SetText(编辑框中间, kContent, "before");
    const Case cases[] = {
        {"empty text", "", "", "x", nullptr},
        {"case-sensitive", "[b]x[/b]", "[B]", "[/b]", nullptr},
        {"only on a character's first byte", "爸行", "中", "x", nullptr},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Extract(c.text, c.left, c.right), "before") << c.name;
    const auto shown = Messages();
    ASSERT_EQ(shown.size(), 3u);
    for (const auto& m : shown) {
        EXPECT_EQ(m.text, "未查找到左边文本，请重新输入！");
        EXPECT_EQ(m.flags & 0xFFF, 16u);
        EXPECT_EQ(m.caption, "信息：");
    }
    EXPECT_EQ(Int(编辑框中间, kTextColor), 0); // black even so
}

TEST_F(Extraction, TheRightTextIsCheckedInTheWholeText)
{
    Extract("a[b", "[", "]");
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "未查找到右边文本，请重新输入！");
}

TEST_F(Extraction, AnEmptiedBoxGetsItsPromptBackAfterTheMessage)
{
    SetText(编辑框被查找文本, kContent, "text");
    SetText(编辑框左边, kContent, "");
    SetText(编辑框右边, kContent, "");
    SetText(编辑框左边, kContent, "zz");
    Click(按钮提取);
    EXPECT_EQ(Text(编辑框右边, kContent), "");
    SetText(编辑框左边, kContent, "");
    SetText(编辑框被查找文本, kContent, "");
    Click(按钮提取);
    EXPECT_EQ(Text(编辑框左边, kContent), "请输入左边文本");
}

TEST_F(Extraction, PromptsTakePartAsTheirText)
{
    Enter(编辑框被查找文本, "abc", 按钮提取);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "未查找到左边文本，请重新输入！");
}

TEST_F(Extraction, ExtractingResetsTheFindButton)
{
    SetText(按钮找中间文本, kCaption, "向下查找");
    Extract("a[b]c", "[", "]");
    EXPECT_EQ(Text(按钮找中间文本, kCaption), "找中间文本");
}

TEST_F(Extraction, GeneratedCodeGoesToTheBigBoxAndTheClipboardThenTheMessage)
{
    Click(按钮生成代码);
    const std::string code = Text(编辑框被查找文本, kContent);
    EXPECT_EQ(code.rfind(".版本 2\r\n\r\n.子程序 取中间文本, 文本型, , 返回一个文本", 0), 0u);
    const std::string gb = Gb(code);
    EXPECT_EQ(gb.size() > 0 ? std::count(gb.begin(), gb.end(), '\n') : 0, 19);
    EXPECT_EQ(platform::ClipboardText(), gb); // byte for byte in GB18030
    EXPECT_EQ(Text(透明标签字符统计, kLabelCaption), "共计" + std::to_string(gb.size()) + "个字符。");
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "代码已复制到剪贴板，粘贴进开发环境即可使用。");
    EXPECT_EQ(Messages()[0].flags & 0xFFF, 64u);
    EXPECT_EQ(Messages()[0].caption, "提示");
    EXPECT_EQ(Int(编辑框被查找文本, kTextColor), 0);
}

TEST_F(Extraction, MarksWhereTheThreeTextsWereFoundInBytes)
{
    using T = platform::MarkTint;
    struct MarkCase {
        const char* name;
        const char* text;
        const char* left;
        const char* right;
        std::vector<Mark> marks;
    };
    const MarkCase cases[] = {
        {"tags", "abc[b]XYZ[/b]def", "[b]", "[/b]", {{3, 3, T::kLeft}, {6, 3, T::kMiddle}, {9, 4, T::kRight}}},
        {"the first left, the right behind it", "]a[1]b[2]", "[", "]", {{2, 1, T::kLeft}, {3, 1, T::kMiddle}, {4, 1, T::kRight}}},
        // 𠀀 is four bytes, CR LF two, the others two each.
        {"four-byte characters and CR LF", "𠀀\r\n《甲\r\n𠀀》尾", "《", "》", {{6, 2, T::kLeft}, {8, 8, T::kMiddle}, {16, 2, T::kRight}}},
        {"an empty middle is not marked", "[b][/b]", "[b]", "[/b]", {{0, 3, T::kLeft}, {3, 4, T::kRight}}},
        {"an empty left is not marked", "ab]c", "", "]", {{0, 2, T::kMiddle}, {2, 1, T::kRight}}},
    };
    for (const auto& c : cases) {
        SetText(编辑框被查找文本, kContent, c.text);
        SetText(编辑框左边, kContent, c.left);
        SetText(编辑框右边, kContent, c.right);
        platform::EditControlOf(Handle(编辑框被查找文本))->select(1, 1);
        const int32_t selStart = Int(编辑框被查找文本, 24), selLength = Int(编辑框被查找文本, 25);
        ASSERT_GT(selLength, 0) << c.name;
        Click(按钮提取);
        EXPECT_EQ(Marks(*this), c.marks) << c.name;
        // Looks only: the bytes, the selection and the caret stay.
        EXPECT_EQ(Text(编辑框被查找文本, kContent), c.text) << c.name;
        EXPECT_EQ(Int(编辑框被查找文本, 24), selStart) << c.name;
        EXPECT_EQ(Int(编辑框被查找文本, 25), selLength) << c.name;
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Extraction, MarksGoOnEditsAndAreNotMadeWithAMessage)
{
    const struct {
        const char* name;
        std::function<void(Extraction*)> after;
    } cases[] = {
        {"a write of Content", [](Extraction* t) { t->SetText(编辑框被查找文本, kContent, "a[b]c"); }},
        {"typing", [](Extraction* t) { t->Click(编辑框被查找文本); t->Type("x"); }},
        {"generated code", [](Extraction* t) { t->Click(按钮生成代码); }},
        {"clearing", [](Extraction* t) { t->Click(按钮清空); }},
        {"an extraction with a message", [](Extraction* t) { t->SetText(编辑框左边, kContent, "zz"); t->Click(按钮提取); }},
    };
    for (const auto& c : cases) {
        Extract("a[b]c", "[", "]");
        ASSERT_EQ(Marks(*this).size(), 3u) << c.name;
        c.after(this);
        EXPECT_TRUE(Marks(*this).empty()) << c.name;
    }
}

// F5 extracts, F3 finds, Ctrl+L asks for a page, wherever the focus is;
// Enter and Tab keep theirs.
TEST_F(Extraction, KeysDoWhatTheirButtonsDo)
{
    const uint32_t focusedBoxes[] = {编辑框被查找文本, 编辑框左边, 按钮清空};
    for (const uint32_t focus : focusedBoxes) {
        Click(focus); // a box clears itself as it gains the focus
        SetText(编辑框被查找文本, kContent, "a[b]c[b]");
        SetText(编辑框左边, kContent, "[");
        SetText(编辑框右边, kContent, "]");
        SetText(编辑框中间, kContent, "x");
        PressKey(0x74); // F5
        EXPECT_EQ(Text(编辑框中间, kContent), "b") << focus;
        PressKey(0x72); // F3
        EXPECT_EQ(Int(编辑框被查找文本, 24), 2) << focus;
        PressKey(0x72);
        EXPECT_EQ(Int(编辑框被查找文本, 24), 6) << focus;
        platform::ScriptInputDialogs({{false, ""}});
        const size_t asked = platform::ShownInputDialogs().size();
        PressKey('L', 1); // Ctrl+L
        EXPECT_EQ(platform::ShownInputDialogs().size(), asked + 1) << focus;
        PressKey('L'); // L alone is no key of a button
        EXPECT_EQ(platform::ShownInputDialogs().size(), asked + 1) << focus;
    }
    EXPECT_TRUE(Messages().empty());
    Click(编辑框左边);
    PressKey(0x09); // Tab still moves the focus
    EXPECT_NE(Focused(), 编辑框左边);
}

} // namespace
} // namespace mt::test
