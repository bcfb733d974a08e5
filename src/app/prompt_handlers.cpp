// The grey prompts of the four edit boxes, the live character count of the
// big text and the clear button.
#include "runtime_calls.h"

namespace app {
namespace {

void ClearToBlack(uint32_t box)
{
    WriteText(box, kContent, nullptr);
    WriteInt(box, kTextColor, kBlack);
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

void ClearPromptLeft(mt::EventCall*) { ClearToBlack(id::编辑框左边); }
void ClearPromptRight(mt::EventCall*) { ClearToBlack(id::编辑框右边); }

void ClearPromptMiddle(mt::EventCall*)
{
    ClearToBlack(id::编辑框中间);
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
}

} // namespace app
