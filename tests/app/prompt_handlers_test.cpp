// The prompts, the character count and the clear button, on the real window.
#include "tool_window.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include "abi/runtime_entry_table.h"
#include "frame/idle_callbacks.h"
#include "platform/application.h"
#include "platform/clipboard.h"
#include "platform/edit_control.h"
#include "platform/native_window.h"
#include "platform/testing/dialog_script.h"
#include "platform/testing/input_simulation.h"
#include "platform/testing/window_system_input.h"
#include "platform/window_listener.h"
#include "windows/window_engine.h"

namespace mt::test {
namespace {

using namespace app::id;

constexpr int32_t kContent = 8, kTextColor = 10, kCaption = 10, kLabelCaption = 8;
constexpr int32_t kGrey = 0x808080, kBlack = 0;

struct Box {
    uint32_t id;
    const char* prompt;
};
const Box kBoxes[] = {
    {编辑框被查找文本, "请输入被查找的文本"},
    {编辑框左边, "请输入左边文本"},
    {编辑框右边, "请输入右边文本"},
    {编辑框中间, "请输入欲查找的中间文本"},
};

using PromptsAndCount = ToolWindow;

void ExpectStartLook(const ToolWindow& w, const char* context)
{
    for (const auto& b : kBoxes) {
        EXPECT_EQ(w.Text(b.id, kContent), b.prompt) << context;
        EXPECT_EQ(w.Int(b.id, kTextColor), kGrey) << context;
    }
    EXPECT_EQ(w.Text(透明标签字符统计, kLabelCaption), "共计0个字符。") << context;
    EXPECT_EQ(w.Text(按钮找中间文本, kCaption), "找中间文本") << context;
}

TEST_F(PromptsAndCount, AtStartEveryBoxShowsItsGreyPromptAndTheReadButtonHasTheFocus)
{
    ExpectStartLook(*this, "start");
    EXPECT_EQ(Focused(), 按钮读网页源码);
}

TEST_F(PromptsAndCount, TheCountFollowsTypingPastingAndEnterInBytes)
{
    Click(编辑框被查找文本);
    EXPECT_EQ(Text(编辑框被查找文本, kContent), "");
    EXPECT_EQ(Int(编辑框被查找文本, kTextColor), kBlack);
    Type("abc");
    EXPECT_EQ(Text(透明标签字符统计, kLabelCaption), "共计3个字符。");
    SetText(编辑框被查找文本, kContent, "");
    Type("中文");
    EXPECT_EQ(Text(透明标签字符统计, kLabelCaption), "共计4个字符。");
    std::string pasted;
    while (pasted.size() < 1000)
        pasted += "第一行 line\n";
    ASSERT_TRUE(platform::SetClipboardText(Gb(pasted)));
    PressKey('V', platform::kKeyStateCtrl); // LF stays LF: one byte each
    const size_t count = 4 + Gb(pasted).size();
    EXPECT_EQ(Text(透明标签字符统计, kLabelCaption), "共计" + std::to_string(count) + "个字符。");
    EXPECT_TRUE(Text(编辑框被查找文本, kContent) == "中文" + pasted);
    PressKey(platform::kVkReturn); // a typed line break follows the text's: LF, one byte
    EXPECT_EQ(Text(透明标签字符统计, kLabelCaption), "共计" + std::to_string(count + 1) + "个字符。");
}

TEST_F(PromptsAndCount, LeavingTheEmptiedBigBoxBringsThePromptBackAndKeepsTheCount)
{
    Click(编辑框被查找文本);
    Click(编辑框左边);
    EXPECT_EQ(Text(编辑框被查找文本, kContent), "请输入被查找的文本");
    EXPECT_EQ(Int(编辑框被查找文本, kTextColor), kGrey);
    EXPECT_EQ(Text(透明标签字符统计, kLabelCaption), "共计0个字符。");
}

TEST_F(PromptsAndCount, TheBigBoxKeepsUserTextOnFocusTheOthersLoseIt)
{
    Enter(编辑框被查找文本, "keep", 编辑框左边);
    Type("lost");
    Click(编辑框被查找文本);
    EXPECT_EQ(Text(编辑框被查找文本, kContent), "keep");
    Click(编辑框左边);
    EXPECT_EQ(Text(编辑框左边, kContent), "");
}

TEST_F(PromptsAndCount, APromptTypedByTheUserLeavesTheCountAlone)
{
    Enter(编辑框被查找文本, "ab", 编辑框左边);
    SetText(编辑框被查找文本, kContent, "请输入被查找的文本");
    EXPECT_EQ(Text(透明标签字符统计, kLabelCaption), "共计2个字符。");
    Click(编辑框被查找文本);
    EXPECT_EQ(Text(编辑框被查找文本, kContent), ""); // emptied: it equals the prompt
}

TEST_F(PromptsAndCount, FocusOnTheMiddleBoxResetsTheFindButton)
{
    SetText(按钮找中间文本, kCaption, "向下查找");
    Click(编辑框中间);
    EXPECT_EQ(Text(按钮找中间文本, kCaption), "找中间文本");
}

TEST_F(PromptsAndCount, ClearAllRestoresTheStartLook)
{
    Enter(编辑框被查找文本, "some text", 编辑框左边);
    Type("L");
    Click(编辑框右边);
    Type("R");
    Click(编辑框中间);
    Type("M");
    SetText(按钮找中间文本, kCaption, "向下查找");
    Click(按钮清空);
    ExpectStartLook(*this, "after clear");
}

TEST_F(PromptsAndCount, TabMovesThroughTheNineComponentsAndNeverReachesTheLabel)
{
    std::vector<uint32_t> visited;
    for (int i = 0; i < 9; ++i) {
        PressKey(0x09);
        visited.push_back(Focused());
    }
    std::sort(visited.begin(), visited.end());
    EXPECT_EQ(std::unique(visited.begin(), visited.end()) - visited.begin(), 9);
    EXPECT_EQ(std::count(visited.begin(), visited.end(), 透明标签字符统计), 0);
    EXPECT_EQ(std::count(visited.begin(), visited.end(), 0u), 0);
}

// A handler's write of a box's text is one step of its undo record; a
// prompt put back or cleared is none, so the first Ctrl+Z after entering a
// box that shows its prompt brings back the text the prompt replaced, in
// black, with its count.
TEST_F(PromptsAndCount, HandlersWritesAreUndoneAndPromptsAreNoSteps)
{
    const struct {
        const char* name;
        uint32_t box;
        std::function<void(ToolWindow*)> replace; // what replaces the text "page 12" in the box
        std::string replaced;                     // what the box holds after that, once entered
    } cases[] = {
        {"清空数据, big box", 编辑框被查找文本, [](ToolWindow* w) { w->Click(按钮清空); }, ""},
        {"清空数据, left box", 编辑框左边, [](ToolWindow* w) { w->Click(按钮清空); }, ""},
        {"生成代码", 编辑框被查找文本, [](ToolWindow* w) { w->Click(按钮生成代码); }, "code"},
        {"the emptied box left", 编辑框被查找文本,
         [](ToolWindow* w) {
             w->PressKey('A', platform::kKeyStateCtrl);
             w->PressKey(0x08);    // Backspace
             w->Click(编辑框左边); // the prompt comes back
         },
         ""},
        {"the prompt put back and cleared twice", 编辑框被查找文本,
         [](ToolWindow* w) {
             w->Click(按钮清空);
             for (int i = 0; i < 2; ++i) {
                 w->Click(编辑框被查找文本);
                 w->Click(编辑框左边);
             }
         },
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Click(按钮清空);
        Enter(c.box, "page 12", 按钮读网页源码);
        Click(c.box);
        if (c.box != 编辑框被查找文本) { // a small box loses its text on entering: that is undone too
            EXPECT_EQ(Text(c.box, kContent), "");
            PressKey('Z', platform::kKeyStateCtrl);
        }
        ASSERT_EQ(Text(c.box, kContent), "page 12");
        c.replace(this);
        Click(c.box);
        const std::string now = Text(c.box, kContent);
        if (c.replaced == "code")
            EXPECT_NE(now.find("取中间文本"), std::string::npos);
        else
            EXPECT_EQ(now, c.replaced);
        EXPECT_EQ(Int(c.box, kTextColor), kBlack);
        PressKey('Z', platform::kKeyStateCtrl);
        EXPECT_EQ(Text(c.box, kContent), "page 12");
        EXPECT_EQ(Int(c.box, kTextColor), kBlack);
        if (c.box == 编辑框被查找文本) {
            EXPECT_EQ(Text(透明标签字符统计, kLabelCaption), "共计7个字符。");
        }
        PressKey('Y', platform::kKeyStateCtrl); // and again
        if (c.replaced != "code") {
            EXPECT_EQ(Text(c.box, kContent), c.replaced);
        }
    }
}

// Assistive tools meet named boxes, a label whose caption is text, and a
// frame titled as the window.
TEST_F(PromptsAndCount, AssistiveToolsNameEveryBoxTheLabelAndTheWindow)
{
    const struct {
        uint32_t id;
        const char* name;
        const char* description;
        QAccessible::Role role;
    } cases[] = {
        {编辑框被查找文本, "被查找文本", "请输入被查找的文本", QAccessible::EditableText},
        {编辑框左边, "左边文本", "请输入左边文本", QAccessible::EditableText},
        {编辑框右边, "右边文本", "请输入右边文本", QAccessible::EditableText},
        {编辑框中间, "中间文本", "请输入欲查找的中间文本", QAccessible::EditableText},
        {透明标签字符统计, "字符统计", "透明标签", QAccessible::StaticText},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(platform::ToWidget(Handle(c.id)));
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(QAccessible::Name).toStdString(), c.name);
        EXPECT_EQ(a->text(QAccessible::Description).toStdString(), c.description);
        EXPECT_EQ(a->role(), c.role);
        ASSERT_NE(a->textInterface(), nullptr);
    }
    Enter(编辑框被查找文本, "abc", 编辑框左边);
    QAccessibleInterface* label = QAccessible::queryAccessibleInterface(platform::ToWidget(Handle(透明标签字符统计)));
    QAccessibleTextInterface* caption = label->textInterface();
    EXPECT_EQ(caption->text(0, -1).toStdString(), "共计3个字符。");
    EXPECT_EQ(caption->characterCount(), 7);
    EXPECT_EQ(caption->text(2, 3).toStdString(), "3");
    // The big box's notice is said with its description.
    platform::EditControlOf(Handle(编辑框被查找文本))->setNotice("404");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(platform::ToWidget(Handle(编辑框被查找文本)))
                  ->text(QAccessible::Description)
                  .toStdString(),
              "请输入被查找的文本 - 404");
    QAccessibleInterface* frame =
        QAccessible::queryAccessibleInterface(platform::ToWidget(Handle(编辑框左边))->window());
    EXPECT_EQ(frame->role(), QAccessible::Window);
    EXPECT_EQ(frame->text(QAccessible::Name).toStdString(), "Tarnlow team Vorlinde 1.0.0_beta BY:Qelvo");
}

// The count is whole up to ten digits and never reaches over a button:
// the free room beside the label first, then a narrowed font; up to six
// digits it is drawn in the label's own rectangle as ever. The grab of the
// ten-digit window goes to $MT_COUNT_SHOT when that is set.
TEST_F(PromptsAndCount, TheCountIsWholeUpToTenDigitsAndNeverOverAButton)
{
    QWidget* label = platform::ToWidget(Handle(透明标签字符统计));
    QWidget* window = label->window();
    const QRect button = platform::ToWidget(Handle(按钮生成代码))->geometry();
    const QRect placed(410, 304, 111, 32);
    const auto red = [](QColor c) { return c.red() > 160 && c.green() < 110 && c.blue() < 110; };
    std::string digits;
    for (int n = 1; n <= 10; ++n) {
        digits += static_cast<char>('0' + n % 10);
        SCOPED_TRACE(digits);
        SetText(透明标签字符统计, kLabelCaption, "共计" + digits + "个字符。");
        const QImage image = window->grab().toImage();
        QRect drawn;
        for (int y = placed.top(); y <= placed.bottom(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (red(image.pixelColor(x, y)))
                    drawn |= QRect(x, y, 1, 1);
        ASSERT_FALSE(drawn.isEmpty());
        EXPECT_GT(drawn.left(), button.right());           // not over the button
        EXPECT_GT(drawn.left(), label->geometry().left()); // nothing cut off at either end
        EXPECT_LT(drawn.right(), std::min(label->geometry().right(), window->width() - 1));
        const platform::Rect r = platform::WindowRect(Handle(透明标签字符统计));
        EXPECT_EQ(QRect(r.left, r.top, r.width, r.height), placed); // what Left and Width read
        if (n <= 6) {                                               // centred in the label's own rectangle, as ever (。 inks its left half)
            EXPECT_LE(std::abs(drawn.center().x() - placed.center().x()), 6);
            EXPECT_LE(label->geometry().width(), placed.width() + 2);
        }
        if (n == 10 && std::getenv("MT_COUNT_SHOT"))
            window->grab().save(QString::fromLocal8Bit(std::getenv("MT_COUNT_SHOT")));
    }
}

// Input through the window system, as the user gives it.
void LeftClickIn(const ToolWindow& w, uint32_t component)
{
    const platform::Rect r = platform::WindowRect(w.Handle(component));
    ClickThroughWindowSystem(w.Handle(component), r.width / 2, r.height / 2);
    platform::ProcessPendingEvents();
}

void KeyIn(const ToolWindow& w, int32_t key, int32_t state = 0)
{
    PressKeyThroughWindowSystem(w.Handle(按钮清空), key, state);
    platform::ProcessPendingEvents();
}

void TypeIn(const ToolWindow& w, const char* ascii)
{
    TypeThroughWindowSystem(w.Handle(按钮清空), ascii);
    platform::ProcessPendingEvents();
}

// A small box that holds text keeps it whenever the focus comes back without
// the user entering the box, and loses it when the user does enter it.
TEST_F(PromptsAndCount, ASmallBoxIsEmptiedOnlyWhenTheUserEntersIt)
{
    struct Case {
        uint32_t box, before, after; // the box and its neighbours in the tab order
    };
    const Case cases[] = {
        {编辑框左边, 编辑框中间, 编辑框被查找文本},
        {编辑框中间, 编辑框右边, 编辑框左边},
        {编辑框右边, 按钮提取, 编辑框中间},
    };
    ActivateThroughWindowSystem(Handle(按钮清空));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        const auto refill = [&] {
            LeftClickIn(*this, c.box);
            TypeIn(*this, "mytext");
            ASSERT_EQ(Text(c.box, kContent), "mytext");
        };
        refill();
        { // another program's window, then the main window's title bar
            OtherProgramWindow other;
            other.activate();
            ActivateThroughWindowSystem(Handle(按钮清空));
        }
        ActivateThroughWindowSystem(Handle(按钮清空));
        EXPECT_EQ(Focused(), c.box);
        EXPECT_EQ(Text(c.box, kContent), "mytext") << "window activated again";

        // The context menu opens on a right click, and closes.
        const platform::Rect r = platform::WindowRect(Handle(c.box));
        ChooseInNextMenu("");
        RightClickThroughWindowSystem(Handle(c.box), r.width / 2, r.height / 2);
        platform::ProcessPendingEvents();
        EXPECT_EQ(Text(c.box, kContent), "mytext") << "context menu";

        // The program gives the focus back (SetComponentFocus's way).
        LeftClickIn(*this, 编辑框被查找文本);
        platform::SetFocusWindow(Handle(c.box));
        platform::ProcessPendingEvents();
        EXPECT_EQ(Focused(), c.box);
        EXPECT_EQ(Text(c.box, kContent), "mytext") << "program";

        // The user enters it: a left click, Tab, Shift+Tab.
        LeftClickIn(*this, 按钮生成代码);
        LeftClickIn(*this, c.box);
        EXPECT_EQ(Text(c.box, kContent), "") << "left click";
        refill();
        LeftClickIn(*this, c.before);
        KeyIn(*this, platform::kVkTab);
        EXPECT_EQ(Focused(), c.box);
        EXPECT_EQ(Text(c.box, kContent), "") << "Tab";
        refill();
        LeftClickIn(*this, c.after);
        KeyIn(*this, platform::kVkTab, platform::kKeyStateShift);
        EXPECT_EQ(Focused(), c.box);
        EXPECT_EQ(Text(c.box, kContent), "") << "Shift+Tab";
        // A box that shows its prompt is emptied on every focus gain.
        LeftClickIn(*this, 按钮清空);
        platform::SetFocusWindow(Handle(c.box));
        platform::ProcessPendingEvents();
        EXPECT_EQ(Text(c.box, kContent), "") << "prompt";
        EXPECT_EQ(Int(c.box, kTextColor), kBlack);
    }
}

// A message box that closes gives the focus back to the box that had it:
// the text typed there stays, so that it can be corrected.
TEST_F(PromptsAndCount, ABoxKeepsItsTextWhenAMessageBoxClosesOverIt)
{
    ActivateThroughWindowSystem(Handle(按钮清空));
    Enter(编辑框被查找文本, "<b>a</b>", 编辑框左边);
    Type("<b>");
    struct Case {
        uint32_t box;
        int32_t key;
        const char* message;
    };
    const Case cases[] = {
        {编辑框中间, 0x72, "未找到指定内容！"},               // F3
        {编辑框右边, 0x74, "未查找到右边文本，请重新输入！"}, // F5
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        LeftClickIn(*this, c.box);
        TypeIn(*this, "nomatch");
        platform::EndDialogScript();
        std::vector<std::string> shown;
        platform::SetMessageBoxObserver([&](const platform::ShownMessageBox& b) { shown.push_back(Utf8(b.text)); });
        DismissNextMessageBoxWithEnter();
        KeyIn(*this, c.key);
        // The window manager gives the activation back once the box is gone.
        ActivateThroughWindowSystem(Handle(按钮清空));
        platform::SetMessageBoxObserver(nullptr);
        ASSERT_EQ(shown, std::vector<std::string>{c.message});
        EXPECT_EQ(Focused(), c.box);
        EXPECT_EQ(Text(c.box, kContent), "nomatch");
        EXPECT_EQ(Int(c.box, kTextColor), kBlack);
    }
}

// Enter puts in the line break the big text uses, in every box, so that a
// left text typed across lines is found in an LF page.
TEST_F(PromptsAndCount, EnterFollowsTheBigTextsLineBreaksInEveryBox)
{
    ActivateThroughWindowSystem(Handle(按钮清空));
    struct Case {
        const char* page;
        const char* typedBreak;
    };
    const Case cases[] = {{"<b>\nx</b>", "\n"}, {"<b>\r\nx</b>", "\r\n"}, {"<b>\rx</b>", "\r"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typedBreak);
        SetText(编辑框被查找文本, kContent, c.page);
        LeftClickIn(*this, 编辑框左边);
        TypeIn(*this, "<b>");
        KeyIn(*this, platform::kVkReturn);
        EXPECT_EQ(Text(编辑框左边, kContent), std::string("<b>") + c.typedBreak);
        LeftClickIn(*this, 编辑框右边);
        TypeIn(*this, "</b>");
        KeyIn(*this, 0x74); // F5
        EXPECT_EQ(Text(编辑框中间, kContent), "x");
        LeftClickIn(*this, 编辑框被查找文本);
        KeyIn(*this, platform::kVkReturn);
        EXPECT_NE(Text(编辑框被查找文本, kContent).find(c.typedBreak), std::string::npos);
    }
    SetText(编辑框被查找文本, kContent, "none");
    LeftClickIn(*this, 编辑框左边);
    KeyIn(*this, platform::kVkReturn);
    EXPECT_EQ(Text(编辑框左边, kContent), "\r\n"); // no break yet: CR LF
}

// Ctrl+Shift+C copies the middle text wherever the focus is, and the small
// boxes' context menu copies a box's whole text without emptying it.
TEST_F(PromptsAndCount, TheMiddleTextIsCopiedByKeyAndByTheContextMenu)
{
    ActivateThroughWindowSystem(Handle(按钮清空));
    ASSERT_TRUE(platform::SetClipboardText("before"));
    KeyIn(*this, 'C', platform::kKeyStateCtrl | platform::kKeyStateShift);
    EXPECT_EQ(platform::ClipboardText(), "before"); // the prompt is not copied
    SetText(编辑框中间, kContent, "¥128.00");
    for (uint32_t from : {编辑框被查找文本, 编辑框左边, 按钮提取}) {
        ASSERT_TRUE(platform::SetClipboardText("before"));
        LeftClickIn(*this, from);
        KeyIn(*this, 'C', platform::kKeyStateCtrl | platform::kKeyStateShift);
        EXPECT_EQ(Utf8(platform::ClipboardText()), "¥128.00") << from;
    }
    ASSERT_TRUE(platform::SetClipboardText("before"));
    const platform::Rect r = platform::WindowRect(Handle(编辑框中间));
    std::vector<std::string> enabled;
    ChooseInNextMenu(Gb("复制"), &enabled);
    RightClickThroughWindowSystem(Handle(编辑框中间), r.width / 2, r.height / 2);
    platform::ProcessPendingEvents();
    EXPECT_NE(std::find(enabled.begin(), enabled.end(), Gb("复制")), enabled.end());
    EXPECT_EQ(Text(编辑框中间, kContent), "¥128.00");
    EXPECT_EQ(Utf8(platform::ClipboardText()), "¥128.00");
    // The tooltip shows the whole text, and names the line breaks it holds.
    SetText(编辑框中间, kContent, "<i>first</i>\nsecond line of a longer result");
    const std::string tip = Utf8(ToolTipAt(Handle(编辑框中间), r.width / 2, r.height / 2));
    EXPECT_NE(tip.find("&lt;i&gt;first&lt;/i&gt;\nsecond line of a longer result"), std::string::npos) << tip;
    EXPECT_NE(tip.find("换行（LF）"), std::string::npos) << tip;
    EXPECT_EQ(tip.find("CR LF"), std::string::npos) << tip;
    // The wheel scrolls a longer result without taking the focus.
    LeftClickIn(*this, 编辑框被查找文本);
    QWidget* middle = platform::ToWidget(Handle(编辑框中间));
    SetText(编辑框中间, kContent, "row 1\nrow 2\nrow 3\nrow 4\nrow 5\nrow 6");
    const QImage before = middle->grab().toImage();
    WheelThroughWindowSystem(Handle(编辑框中间), r.width / 2, r.height / 2, -1);
    platform::ProcessPendingEvents();
    EXPECT_NE(middle->grab().toImage(), before);
    EXPECT_EQ(QApplication::focusWidget(), platform::ToWidget(Handle(编辑框被查找文本)));
    EXPECT_EQ(Text(编辑框中间, kContent), "row 1\nrow 2\nrow 3\nrow 4\nrow 5\nrow 6");
}

// A whole session, as a user has it: a page pasted, extracted, found,
// code generated, cleared, and Esc. The window is gone afterwards; the
// sanitizer build checks that nothing of it is left behind at exit.
TEST_F(PromptsAndCount, AWholeSessionEndsWithEsc)
{
    ASSERT_TRUE(platform::SetClipboardText(Gb("<p>价格：<b>¥128.00</b> 元</p>")));
    Click(编辑框被查找文本);
    PressKey('V', platform::kKeyStateCtrl);
    EXPECT_EQ(Text(透明标签字符统计, kLabelCaption), "共计33个字符。");
    Enter(编辑框左边, "<b>", 编辑框右边);
    Type("</b>");
    Click(按钮提取);
    EXPECT_EQ(Text(编辑框中间, kContent), "¥128.00");
    Click(按钮找中间文本);
    Click(按钮生成代码);
    Click(按钮清空);
    ExpectStartLook(*this, "cleared");
    // Esc from inside the message loop, as a user presses it: the loop ends
    // with the window, and the shutdown has to delete what is left of it.
    const int idle = IdleCallbackCount();
    AddIdleCallback({Handle(按钮清空), [](intptr_t) -> int32_t { platform::SimulateKey(0x1B); return 0; }, 0});
    ASSERT_EQ(IdleCallbackCount(), idle + 1);
    Runtime().messageLoop();
    EXPECT_FALSE(engine::IsWindowLive(MainWindow));
}

} // namespace
} // namespace mt::test
