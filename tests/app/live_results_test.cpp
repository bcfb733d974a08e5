// Results while typing, on the real window: runs at the next idle moment,
// changes folded into one run, the setting, a failed rule's notice, and the
// click's messages as they always were.
#include "tool_window.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "frame/idle_callbacks.h"
#include "platform/application.h"
#include "platform/edit_control.h"
#include "platform/live_results.h"
#include "platform/text_codec.h"

namespace mt::test {
namespace {

using namespace app::id;

constexpr int32_t kContent = 8, kTextColor = 10;

class LiveResults : public ToolWindow {
protected:
    void SetUp() override
    {
        platform::ForgetLiveResultsSetting();
        std::filesystem::remove_all(ConfigFile().parent_path());
        ToolWindow::SetUp();
    }
    void TearDown() override
    {
        ToolWindow::TearDown();
        std::filesystem::remove_all(ConfigFile().parent_path());
        platform::ForgetLiveResultsSetting();
    }
    static std::filesystem::path ConfigFile()
    {
        return std::filesystem::path(std::getenv("XDG_CONFIG_HOME")) / "middletext" / "middletext.ini";
    }
    // The event loop's next idle moment.
    void Idle()
    {
        RunIdleCallbacks();
        platform::ProcessPendingEvents();
    }
    // Types into a box as a user does: a click in, then the characters.
    void TypeInto(uint32_t box, const std::string& utf8)
    {
        Click(box);
        Type(utf8);
    }
    std::string Notice() const { return Utf8(platform::EditControlOf(Handle(编辑框被查找文本))->notice()); }
    bool Marked() const
    {
        const platform::TextMarks* marks = platform::EditControlOf(Handle(编辑框被查找文本))->marks();
        return marks && !marks->marks.empty();
    }
};

TEST_F(LiveResults, TheMiddleBoxFollowsTheRuleAsItIsTyped)
{
    TypeInto(编辑框被查找文本, "abc[b]XYZ[/b]def");
    TypeInto(编辑框左边, "[b]");
    TypeInto(编辑框右边, "[/b]");
    // Nothing runs while the events of typing come in.
    EXPECT_EQ(Text(编辑框中间, kContent), "请输入欲查找的中间文本");
    Idle();
    EXPECT_EQ(Text(编辑框中间, kContent), "XYZ");
    EXPECT_EQ(Int(编辑框中间, kTextColor), 0x000000);
    EXPECT_TRUE(Marked());
    EXPECT_EQ(Notice(), "");
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Focused(), 编辑框右边);
    // A change of the big text runs again, with the focus in the big box.
    Click(编辑框被查找文本);
    PressKey(0x23, 1); // Ctrl+End
    Type("[b]late[/b]");
    Idle();
    EXPECT_EQ(Text(编辑框中间, kContent), "XYZ");
    TypeInto(编辑框左边, "f[b]");
    Idle();
    EXPECT_EQ(Text(编辑框中间, kContent), "late");
}

// The live run takes fewer passes over the text than a click, with the same
// middle text and the same marks.
TEST_F(LiveResults, ARunGivesWhatAClickGives)
{
    const struct {
        const char *text, *left, *right;
    } cases[] = {
        {"abc[b]XYZ[/b]def", "[b]", "[/b]"},
        {"x]y[z", "[", "]"},
        {"[b][/b]", "[b]", "[/b]"},
        {"a]b[", "[", "]"},
        {"ab]c", "", "]"},
        {"a[bc", "[", ""},
        {"a[1]b[2]c", "[", "]"},
        {"甲乙《丙丁》戊", "《", "》"},
        {"abc", "bc", "ab"},
        {"<a>", "<a>", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Click(编辑框右边);
        SetText(编辑框被查找文本, kContent, c.text);
        SetText(编辑框左边, kContent, c.left);
        SetText(编辑框右边, kContent, c.right);
        Idle();
        const std::string live = Text(编辑框中间, kContent);
        const platform::TextMarks liveMarks = *platform::EditControlOf(Handle(编辑框被查找文本))->marks();
        SetText(编辑框中间, kContent, "-");
        PressKey(0x74); // F5: the focus stays, so an empty right box keeps no prompt
        EXPECT_EQ(live, Text(编辑框中间, kContent));
        const platform::TextMarks* clickMarks = platform::EditControlOf(Handle(编辑框被查找文本))->marks();
        ASSERT_EQ(liveMarks.marks.size(), clickMarks->marks.size());
        for (size_t i = 0; i < liveMarks.marks.size(); ++i) {
            EXPECT_EQ(liveMarks.marks[i].start, clickMarks->marks[i].start);
            EXPECT_EQ(liveMarks.marks[i].length, clickMarks->marks[i].length);
        }
    }
    EXPECT_TRUE(Messages().empty());
}

// Typed key by key, a left text is sought from where the shorter one was
// found; each run still gives what a click gives, however the text grows,
// shrinks or stops being found, and whatever the big text turns into.
TEST_F(LiveResults, ALeftTextTypedKeyByKeyGivesWhatAClickGives)
{
    constexpr int32_t kBackspace = 0x08;
    // "+" types the characters behind it, "-" deletes one, "=" replaces the
    // big text with the rest.
    const struct {
        const char* text;
        std::vector<std::string> steps;
    } cases[] = {
        {"[a] [b] [bc]X] [bcd]Y] 甲《乙》甲《丙]",
         {"+[", "+b", "+c", "+d", "-", "-", "+x", "+y", "-", "-", "+c", "+d", "-", "-", "-", "+甲", "+《", "+丙"}},
        {"aab aabb aabbb]", {"+a", "+a", "+b", "+b", "+b", "+b", "-", "-", "-", "+c"}},
        {"乙乙乙]乙甲乙]", {"+乙", "+甲", "-", "+乙", "=甲乙乙]乙", "+乙", "-", "-", "+甲"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        SetText(编辑框被查找文本, kContent, c.text);
        SetText(编辑框右边, kContent, "]");
        Click(编辑框左边);
        SetText(编辑框左边, kContent, "");
        Idle();
        for (const std::string& step : c.steps) {
            SCOPED_TRACE(step);
            if (step[0] == '+')
                Type(step.substr(1));
            else if (step[0] == '-')
                PressKey(kBackspace);
            else
                SetText(编辑框被查找文本, kContent, step.substr(1));
            SetText(编辑框中间, kContent, "-");
            Idle();
            const std::string live = Text(编辑框中间, kContent);
            const size_t said = Messages().size();
            if (live == "-") {
                // Not found: the click says so too, and leaves the boxes.
                EXPECT_NE(Notice(), "");
                const std::string left = Text(编辑框左边, kContent);
                PressKey(0x74); // F5
                ASSERT_EQ(Messages().size(), said + 1);
                EXPECT_EQ(Text(编辑框左边, kContent), left);
                EXPECT_EQ(Text(编辑框中间, kContent), "-");
                continue;
            }
            const platform::TextMarks liveMarks = *platform::EditControlOf(Handle(编辑框被查找文本))->marks();
            SetText(编辑框中间, kContent, "-");
            PressKey(0x74); // F5
            ASSERT_EQ(Messages().size(), said) << Messages().back().text;
            EXPECT_EQ(live, Text(编辑框中间, kContent));
            const platform::TextMarks* clickMarks = platform::EditControlOf(Handle(编辑框被查找文本))->marks();
            ASSERT_EQ(liveMarks.marks.size(), clickMarks->marks.size());
            for (size_t i = 0; i < liveMarks.marks.size(); ++i) {
                EXPECT_EQ(liveMarks.marks[i].start, clickMarks->marks[i].start);
                EXPECT_EQ(liveMarks.marks[i].length, clickMarks->marks[i].length);
            }
        }
    }
}

TEST_F(LiveResults, ChangesFoldIntoOneRun)
{
    TypeInto(编辑框被查找文本, "<p>one</p>");
    TypeInto(编辑框左边, "<p>");
    TypeInto(编辑框右边, "</p>"); // four changes
    Idle();
    EXPECT_EQ(Text(编辑框中间, kContent), "one");
    // No run is left over: a text written into the middle box stays.
    SetText(编辑框中间, kContent, "mine");
    Idle();
    Idle();
    EXPECT_EQ(Text(编辑框中间, kContent), "mine");
    // Changes while the focus is elsewhere ask for none.
    Click(按钮找中间文本);
    SetText(编辑框左边, kContent, "o");
    Idle();
    EXPECT_EQ(Text(编辑框中间, kContent), "mine");
}

TEST_F(LiveResults, NothingRunsWhileARuleBoxShowsItsPrompt)
{
    TypeInto(编辑框被查找文本, "a[b]c");
    TypeInto(编辑框右边, "]"); // the left box shows its prompt
    Click(编辑框被查找文本);
    Type("x");
    Idle();
    EXPECT_EQ(Text(编辑框中间, kContent), "请输入欲查找的中间文本");
    EXPECT_EQ(Notice(), "");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(LiveResults, AFailedRuleShowsWhyInTheNoticeAndChangesNothingElse)
{
    TypeInto(编辑框被查找文本, "价格：12元");
    TypeInto(编辑框左边, "价格:");
    TypeInto(编辑框右边, "元");
    Idle();
    EXPECT_EQ(Notice(), "左边文本在第1字节处出现，但全角与半角不同：页面为“：”，文本为“:”。");
    EXPECT_EQ(Text(编辑框中间, kContent), "请输入欲查找的中间文本");
    EXPECT_EQ(Int(编辑框中间, kTextColor), 0x808080);
    EXPECT_EQ(Text(编辑框左边, kContent), "价格:");
    EXPECT_EQ(Focused(), 编辑框右边);
    EXPECT_TRUE(Messages().empty());
    EXPECT_FALSE(Marked());
    // Mended, the notice goes and the result comes.
    TypeInto(编辑框左边, "价格：");
    Idle();
    EXPECT_EQ(Text(编辑框中间, kContent), "12");
    EXPECT_EQ(Notice(), "");
    // A middle text empty because the right text stands only in front.
    TypeInto(编辑框右边, "价");
    Idle();
    EXPECT_EQ(Text(编辑框中间, kContent), "");
    EXPECT_EQ(Notice(), "右边文本只出现在左边文本之前（第1字节处），中间文本为空。");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(LiveResults, TheClickSaysWhatItAlwaysSaid)
{
    TypeInto(编辑框被查找文本, "[b]x[/b]");
    TypeInto(编辑框左边, "[B]");
    TypeInto(编辑框右边, "[/b]");
    Idle();
    EXPECT_TRUE(Messages().empty());
    PressKey(0x74); // F5, as a click on 取中间文本
    const auto messages = Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "未查找到左边文本，请重新输入！");
    EXPECT_EQ(messages[0].flags & 0xFFF, 16u);
    EXPECT_EQ(Notice(), "左边文本在第1字节处出现，但大小写不同：页面为“b”，文本为“B”。");
    // The click on the button itself, with a right text that is missing.
    TypeInto(编辑框左边, "[b]");
    TypeInto(编辑框右边, "[/x]");
    Idle();
    EXPECT_EQ(Messages().size(), 1u);
    Click(按钮提取);
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[1].text, "未查找到右边文本，请重新输入！");
    EXPECT_EQ(Text(编辑框右边, kContent), "[/x]");
}

TEST_F(LiveResults, TheSettingTurnsThemOffAndIsKept)
{
    EXPECT_TRUE(platform::LiveResultsOn());
    platform::SetLiveResultsOn(false);
    TypeInto(编辑框被查找文本, "(a)");
    TypeInto(编辑框左边, "(");
    TypeInto(编辑框右边, ")");
    Idle();
    EXPECT_EQ(Text(编辑框中间, kContent), "请输入欲查找的中间文本");
    std::ifstream file(ConfigFile());
    std::stringstream contents;
    contents << file.rdbuf();
    EXPECT_NE(contents.str().find("[live]\nenabled=false"), std::string::npos) << contents.str();
    // Read again at the next start; on again, the next change runs.
    platform::ForgetLiveResultsSetting();
    EXPECT_FALSE(platform::LiveResultsOn());
    platform::SetLiveResultsOn(true);
    TypeInto(编辑框被查找文本, "x");
    Idle();
    EXPECT_EQ(Text(编辑框中间, kContent), "a");
}

} // namespace
} // namespace mt::test
