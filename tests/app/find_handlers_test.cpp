// Finding the middle text occurrence by occurrence, on the real window.
#include "tool_window.h"

#include "platform/edit_control.h"

namespace mt::test {
namespace {

using namespace app::id;

constexpr int32_t kContent = 8, kCaption = 10, kSelStart = 24, kSelLength = 25;

class Find : public ToolWindow {
protected:
    void Prepare(const std::string& text, const std::string& wanted)
    {
        SetText(编辑框被查找文本, kContent, text);
        SetText(编辑框中间, kContent, wanted);
    }
    // Clicks the find button: the selection it makes, or (-1, -1) after a message.
    std::pair<int32_t, int32_t> Next()
    {
        const size_t before = Messages().size();
        Click(按钮找中间文本);
        if (Messages().size() != before)
            return {-1, -1};
        return {Int(编辑框被查找文本, kSelStart), Int(编辑框被查找文本, kSelLength)};
    }
};

using Sel = std::pair<int32_t, int32_t>;

TEST_F(Find, SelectsEveryOccurrenceThenStartsAgain)
{
    Prepare("xab-ab-ab", "ab");
    EXPECT_EQ(Next(), Sel(1, 2));
    EXPECT_EQ(Text(按钮找中间文本, kCaption), "向下查找");
    EXPECT_EQ(Focused(), 编辑框被查找文本);
    EXPECT_EQ(Next(), Sel(4, 2));
    EXPECT_EQ(Next(), Sel(7, 2));
    EXPECT_EQ(Next(), Sel(-1, -1));
    EXPECT_EQ(Messages().back().text, "未找到指定内容！");
    EXPECT_EQ(Messages().back().caption, "查找结果");
    EXPECT_EQ(Messages().back().flags & 0xFFF, 0u);
    EXPECT_EQ(Text(按钮找中间文本, kCaption), "找中间文本");
    EXPECT_EQ(Next(), Sel(1, 2));
}

// The hit is selected; the sought text is handed to the view, which tints
// its occurrences in view; not found, nothing is tinted.
TEST_F(Find, TintsTheSoughtTextWhileFinding)
{
    const platform::EditControl* box = platform::EditControlOf(Handle(编辑框被查找文本));
    Prepare("x𠀀-𠀀\r\n𠀀", "𠀀");
    const std::string text = Text(编辑框被查找文本, kContent);
    const struct {
        Sel selected;
        const char* tinted;
    } steps[] = {{{1, 4}, "𠀀"}, {{6, 4}, "𠀀"}, {{12, 4}, "𠀀"}, {{-1, -1}, ""}};
    for (const auto& s : steps) {
        EXPECT_EQ(Next(), s.selected);
        ASSERT_NE(box->marks(), nullptr);
        EXPECT_EQ(Utf8(box->marks()->sought), s.tinted);
        EXPECT_TRUE(box->marks()->marks.empty());
        EXPECT_EQ(Text(编辑框被查找文本, kContent), text);
    }
    Next();
    SetText(编辑框被查找文本, kContent, "ab");
    EXPECT_EQ(box->marks()->sought, "");
}

TEST_F(Find, AnOccurrenceDirectlyBehindTheLastIsFound)
{
    Prepare("abab", "ab");
    EXPECT_EQ(Next(), Sel(0, 2));
    EXPECT_EQ(Next(), Sel(2, 2));
    EXPECT_EQ(Next(), Sel(-1, -1));
}

TEST_F(Find, ChineseTextIsSearchedCharacterByCharacter)
{
    Prepare("中文中文", "中");
    EXPECT_EQ(Next(), Sel(0, 2));
    EXPECT_EQ(Next(), Sel(4, 2));
    EXPECT_EQ(Next(), Sel(-1, -1));
}

TEST_F(Find, ThePromptIsRefusedAndNothingElseHappens)
{
    SetText(编辑框被查找文本, kContent, "abc");
    const auto before = Sel(Int(编辑框被查找文本, kSelStart), Int(编辑框被查找文本, kSelLength));
    Click(按钮找中间文本);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "请输入欲查找的中间文本！");
    EXPECT_EQ(Messages()[0].caption, "错误");
    EXPECT_EQ(Messages()[0].flags & 0xFFF, 16u);
    EXPECT_EQ(Sel(Int(编辑框被查找文本, kSelStart), Int(编辑框被查找文本, kSelLength)), before);
    EXPECT_EQ(Text(按钮找中间文本, kCaption), "找中间文本");
}

TEST_F(Find, ComparisonIsCaseSensitive)
{
    Prepare("ab", "AB");
    EXPECT_EQ(Next(), Sel(-1, -1));
}

TEST_F(Find, AnEmptyMiddleTextPutsTheCaretAtTheStart)
{
    Prepare("abc", "");
    EXPECT_EQ(Next(), Sel(0, 0));
}

TEST_F(Find, ExtractionStartsTheNextFindFromTheBeginning)
{
    Prepare("xab-ab", "ab");
    EXPECT_EQ(Next(), Sel(1, 2));
    SetText(编辑框左边, kContent, "x");
    SetText(编辑框右边, kContent, "-");
    Click(按钮提取);
    SetText(编辑框中间, kContent, "ab");
    EXPECT_EQ(Next(), Sel(1, 2));
}

} // namespace
} // namespace mt::test
