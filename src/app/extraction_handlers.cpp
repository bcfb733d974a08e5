// Extraction of the middle text, and the generated extraction subroutine.
#include "live_results.h"

namespace app {

void RestorePromptLeft(mt::EventCall* call);
void RestorePromptRight(mt::EventCall* call);

void ExtractMiddleText(mt::EventCall* call)
{
    WriteInt(id::编辑框中间, kTextColor, kBlack);
    Owned caption = ReadText(id::按钮找中间文本, kCaption);
    if (!SameText(caption.text(), Lit(lit::CaptionFind)))
        WriteText(id::按钮找中间文本, kCaption, Lit(lit::CaptionFind));
    Owned text = ReadText(id::编辑框被查找文本, kContent);
    Owned left = ReadText(id::编辑框左边, kContent);
    Owned right = ReadText(id::编辑框右边, kContent);
    Owned middle;
    MarkedParts parts;
    switch (ExtractMiddle(text.text(), left.text(), right.text(), &middle, &parts)) {
    case ExtractOutcome::kLeftNotFound:
        MarkText(id::编辑框被查找文本, nullptr, {});
        ShowRuleNotice(DiagnoseRule(text.text(), left.text(), right.text(), false));
        ShowMessage(Lit(lit::LeftNotFound), box::kError, nullptr);
        RestorePromptLeft(call);
        return;
    case ExtractOutcome::kRightNotFound:
        MarkText(id::编辑框被查找文本, nullptr, {});
        ShowRuleNotice(DiagnoseRule(text.text(), left.text(), right.text(), false));
        ShowMessage(Lit(lit::RightNotFound), box::kError, nullptr);
        RestorePromptRight(call);
        return;
    case ExtractOutcome::kDone:
        WriteText(id::编辑框中间, kContent, middle.text());
        MarkText(id::编辑框被查找文本, nullptr, parts);
        // The reason of a failure before is gone; an empty middle text may have one.
        ShowRuleNotice(parts.rightLength > 0 || right.empty()
                           ? RuleHint()
                           : DiagnoseRule(text.text(), left.text(), right.text(), false));
        return;
    }
}

void GenerateExtractionCode(mt::EventCall*)
{
    WriteInt(id::编辑框被查找文本, kTextColor, kBlack);
    WriteText(id::编辑框被查找文本, kContent, Lit(lit::ExtractionCodeTemplate));
    Owned code = ReadText(id::编辑框被查找文本, kContent);
    SetClipboard(code.text());
    ShowMessage(Lit(lit::CodeCopied), box::kNotice, Lit(lit::TitleHint));
}

} // namespace app
