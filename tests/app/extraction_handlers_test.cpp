// Extraction of the middle text and the generated code, on the real window.
#include "tool_window.h"

#include <algorithm>

#include "platform/clipboard.h"

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

} // namespace
} // namespace mt::test
