// A rule made from the selection in the big box: F4, or the box's context
// menu entry that presses it.
#include "shared/runtime_calls.h"

namespace app {
namespace {

constexpr int32_t kKeyF4 = 0x73;

void WriteBlack(uint32_t box, const char* text)
{
    WriteInt(box, kTextColor, kBlack);
    WriteText(box, kContent, text);
}

} // namespace

// Fills the left and right boxes with the suggested pair and the middle box
// with the selection, and marks the three in the big box as an extraction
// does; without a pair, says why.
void SuggestRuleFromSelection(mt::EventCall*)
{
    Owned text = ReadText(id::编辑框被查找文本, kContent);
    const int32_t start = ReadInt(id::编辑框被查找文本, kSelStart) + 1;
    const int32_t length = ReadInt(id::编辑框被查找文本, kSelLength);
    const SuggestedRule rule = SuggestRule({SuggestExample{text.text(), start, length, nullptr}});
    if (!rule.found) {
        ShowMessage(rule.reason.c_str(), box::kWarning, Lit(lit::SuggestTitle));
        return;
    }
    Owned middle = MiddleText(text.text(), start, length);
    WriteBlack(id::编辑框左边, rule.left.c_str());
    WriteBlack(id::编辑框右边, rule.right.c_str());
    WriteBlack(id::编辑框中间, middle.text());
    Owned caption = ReadText(id::按钮找中间文本, kCaption);
    if (!SameText(caption.text(), Lit(lit::CaptionFind)))
        WriteText(id::按钮找中间文本, kCaption, Lit(lit::CaptionFind));
    const auto leftLength = static_cast<int32_t>(rule.left.size());
    const auto rightLength = static_cast<int32_t>(rule.right.size());
    MarkText(id::编辑框被查找文本, nullptr,
             {start - leftLength, leftLength, start, length, start + length, rightLength});
}

// The big box's context menu offers what F4 does.
void OfferSuggestionInMenu() { OfferKeyInMenu(id::编辑框被查找文本, kKeyF4, Lit(lit::SuggestTitle)); }

bool CaseKeyDown(mt::EventCall* call);

// Key-down in the big box: F4 without modifiers makes a rule of the
// selection; the keys of saved cases work here as everywhere.
void BigBoxKeyDown(mt::EventCall* call)
{
    if (CaseKeyDown(call))
        return;
    if (call->argc >= 1 && mt::AsInt32(call->args[0]) == kKeyF4 &&
        (call->argc < 2 || mt::AsInt32(call->args[1]) == 0))
        SuggestRuleFromSelection(call);
}

} // namespace app
