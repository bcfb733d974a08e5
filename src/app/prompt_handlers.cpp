// The grey prompts of the four edit boxes, the live character count of the
// big text and the clear button.
#include "shared/runtime_calls.h"

namespace app {
namespace {

void ClearToBlack(uint32_t box)
{
    WriteText(box, kContent, nullptr);
    WriteInt(box, kTextColor, kBlack);
}

// The user entered the box: a left-button press in it, Tab or Shift+Tab.
// The focus also comes back by itself (the window activated again, a
// message box closed, the program's own focus), and a right-button press
// for the context menu gives it too: none of those is the user entering.
bool UserEntered(uint32_t box)
{
    const int32_t cause = FocusCause(box);
    return cause == kFocusByLeftClick || cause == kFocusByTab || cause == kFocusByBacktab;
}

// A small box that shows its prompt is emptied whenever it gains the focus;
// one that holds text only when the user enters it. True when emptied.
bool ClearSmallBox(uint32_t box, uint32_t prompt)
{
    if (!UserEntered(box)) {
        Owned content = ReadText(box, kContent);
        if (!SameText(content.text(), Lit(prompt)))
            return false;
    }
    ClearToBlack(box);
    return true;
}

// A box left empty gets its prompt back, in grey.
void RestorePrompt(uint32_t box, uint32_t prompt)
{
    Owned content = ReadText(box, kContent);
    if (!content.empty())
        return;
    WriteInt(box, kTextColor, kPromptGrey);
    WriteText(box, kContent, Lit(prompt));
}

void ShowPrompt(uint32_t box, uint32_t prompt)
{
    WriteInt(box, kTextColor, kPromptGrey);
    WriteText(box, kContent, Lit(prompt));
}

} // namespace

void ShowCharacterCount(mt::EventCall*)
{
    Owned content = ReadText(id::编辑框被查找文本, kContent);
    if (SameText(content.text(), Lit(lit::PromptBig)))
        return;
    Owned again = ReadText(id::编辑框被查找文本, kContent);
    Owned digits = IntToText(TextLength(again.text()));
    Owned caption = Join({Lit(lit::CountPrefix), digits.view(), Lit(lit::CountSuffix)});
    WriteText(id::透明标签字符统计, kLabelCaption, caption.text());
}

void ClearPromptBig(mt::EventCall*)
{
    Owned content = ReadText(id::编辑框被查找文本, kContent);
    if (!SameText(content.text(), Lit(lit::PromptBig)))
        return;
    WriteInt(id::编辑框被查找文本, kTextColor, kBlack);
    WriteText(id::编辑框被查找文本, kContent, nullptr);
}

void ClearPromptLeft(mt::EventCall*) { ClearSmallBox(id::编辑框左边, lit::PromptLeft); }
void ClearPromptRight(mt::EventCall*) { ClearSmallBox(id::编辑框右边, lit::PromptRight); }

void ClearPromptMiddle(mt::EventCall*)
{
    if (!ClearSmallBox(id::编辑框中间, lit::PromptMiddle))
        return;
    Owned caption = ReadText(id::按钮找中间文本, kCaption);
    if (SameText(caption.text(), Lit(lit::CaptionFindNext)))
        WriteText(id::按钮找中间文本, kCaption, Lit(lit::CaptionFind));
}

void RestorePromptBig(mt::EventCall*) { RestorePrompt(id::编辑框被查找文本, lit::PromptBig); }
void RestorePromptLeft(mt::EventCall*) { RestorePrompt(id::编辑框左边, lit::PromptLeft); }
void RestorePromptRight(mt::EventCall*) { RestorePrompt(id::编辑框右边, lit::PromptRight); }
void RestorePromptMiddle(mt::EventCall*) { RestorePrompt(id::编辑框中间, lit::PromptMiddle); }

void ClearAll(mt::EventCall*)
{
    ShowPrompt(id::编辑框被查找文本, lit::PromptBig);
    ShowPrompt(id::编辑框左边, lit::PromptLeft);
    ShowPrompt(id::编辑框右边, lit::PromptRight);
    ShowPrompt(id::编辑框中间, lit::PromptMiddle);
    WriteText(id::按钮找中间文本, kCaption, Lit(lit::CaptionFind));
    WriteText(id::透明标签字符统计, kLabelCaption, Lit(lit::CountZero));
}

void OfferSuggestionInMenu();
void OfferCasesInMenu();
void OfferLiveResults();
void WindowKeyDown(mt::EventCall* call);

// Ctrl+Shift+C, pressed anywhere in the window, copies the middle text
// (nothing while the box shows its prompt). The key reaches the middle box's
// key-down event from every component through its binding.
void KeyInMiddleBox(mt::EventCall* call)
{
    WindowKeyDown(call); // Ctrl+S and Ctrl+O, as in the other boxes
    if (call->argc < 2 || mt::AsInt32(call->args[0]) != 'C' || mt::AsInt32(call->args[1]) != kCtrlShift)
        return;
    Owned content = ReadText(id::编辑框中间, kContent);
    if (content.empty() || SameText(content.text(), Lit(lit::PromptMiddle)))
        return;
    SetClipboard(content.text());
}

void MainWindowCreated(mt::EventCall*)
{
    FocusComponent(id::按钮读网页源码, kButtonKind);
    // Keys for the buttons used most: F3 finds (again), F5 extracts, Ctrl+L
    // asks for a page.
    BindKey(id::按钮找中间文本, kButtonKind, 0x72, 0);
    BindKey(id::按钮提取, kButtonKind, 0x74, 0);
    BindKey(id::按钮读网页源码, kButtonKind, 'L', 1);
    // F4 in the big box makes a rule of its selection; its menu offers it.
    OfferSuggestionInMenu();
    // The big box's menu turns results while typing on and off.
    OfferLiveResults();
    // Ctrl+S saves a case, Ctrl+O loads one; the big box's menu offers both.
    OfferCasesInMenu();
    // Ctrl+Shift+C copies the middle text from anywhere in the window.
    BindKeyToEvent(id::编辑框中间, kEditBoxKind, 'C', kCtrlShift, kEventKeyDown);
    // Enter puts in the line break the big text already uses, so that a
    // left or right text typed across lines matches the page.
    FollowLineBreaks(id::编辑框左边, id::编辑框被查找文本);
    FollowLineBreaks(id::编辑框中间, id::编辑框被查找文本);
    FollowLineBreaks(id::编辑框右边, id::编辑框被查找文本);
}

} // namespace app
