// Results while typing: the boxes' change and focus events ask for a run,
// the window's idle event makes it.
#include "live_results.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace app {

void ShowCharacterCount(mt::EventCall* call);
void ClearPromptBig(mt::EventCall* call);
void ClearPromptLeft(mt::EventCall* call);
void ClearPromptRight(mt::EventCall* call);
void RestorePromptBig(mt::EventCall* call);
void RestorePromptLeft(mt::EventCall* call);
void RestorePromptRight(mt::EventCall* call);

namespace {

struct LiveState {
    bool focusIn = false;     // the focus is in the big, left or right box
    bool pending = false;     // a change waits for the next idle moment
    bool noticeShown = false; // the big box's notice is one of ours
    // The big text as the last run read it, while the box is unchanged.
    Owned text;
    bool textKnown = false;
    // The left text of the last run and where it was first found in that
    // text (-1: nowhere), while the text is the one read.
    std::string left;
    int32_t leftAt = -1;
    bool leftKnown = false;
};

LiveState& Live()
{
    static LiveState state;
    return state;
}

// The big text read last is stale, and with it where the left text was.
void ForgetText()
{
    Live().text = Owned();
    Live().textKnown = false;
    Live().left.clear();
    Live().leftKnown = false;
}

void Changed()
{
    if (Live().focusIn)
        Live().pending = true;
}

void Entered() { Live().focusIn = true; }

void Left()
{
    Live().focusIn = false;
    // The copy of a big text is kept only while it may serve the next run.
    ForgetText();
}

// The black colour and the find state, as a click begins.
void BeginWriting()
{
    WriteInt(id::编辑框中间, kTextColor, kBlack);
    Owned caption = ReadText(id::按钮找中间文本, kCaption);
    if (!SameText(caption.text(), Lit(lit::CaptionFind)))
        WriteText(id::按钮找中间文本, kCaption, Lit(lit::CaptionFind));
}

// The first occurrence of `sought` in `text` at or behind `from`, a place
// where a character begins (where a search found a text): sought in the
// text from there on, whose characters begin where the whole text's do, so
// that the part in front is not read again.
int32_t FindFrom(const char* text, const char* sought, int32_t from)
{
    const int32_t at = FindText(Arg(text) + (from - 1), sought, nullptr, false);
    return at == -1 ? -1 : from - 1 + at;
}

// The first occurrence of the left text in the text read last. While the
// left text only grows at its end (typed key by key), its first occurrence
// lies at or behind the one of what it grew from, since each occurrence of
// the longer text is one of the shorter: the search starts there rather than
// at the start of a long text.
int32_t FindLeft(const char* text, const char* left)
{
    LiveState& s = Live();
    const std::string_view now(Arg(left));
    int32_t at;
    if (s.leftKnown && now == s.left)
        at = s.leftAt;
    else if (s.leftKnown && !s.left.empty() && now.starts_with(s.left))
        at = s.leftAt == -1 ? -1 : FindFrom(text, left, s.leftAt);
    else
        at = FindText(text, left, nullptr, false);
    s.left.assign(now);
    s.leftAt = at;
    s.leftKnown = true;
    return at;
}

// The extraction as a click makes it, with the same results, in fewer
// passes over a long text: the left text is sought from where it was found
// last (see FindLeft), the right text behind the left one first (found
// there, it is in the text), and in the whole text only when it is not; the
// part behind the left text is read where it lies.
ExtractOutcome LiveExtract(const char* text, const char* left, const char* right, Owned* middle, MarkedParts* parts)
{
    const int32_t p = FindLeft(text, left);
    if (p == -1)
        return ExtractOutcome::kLeftNotFound;
    const int32_t leftLength = TextLength(left);
    const int32_t s = p + leftLength; // behind the left text, at most one past the end
    const char* tail = Arg(text) + (s - 1);
    const int32_t e = FindText(tail, right, nullptr, false) - 1;
    if (e < 0 && FindText(text, right, nullptr, false) == -1)
        return ExtractOutcome::kRightNotFound;
    *middle = e > 0 ? Join({std::string_view(tail, static_cast<size_t>(e))}) : Owned();
    *parts = {p, leftLength, s, std::max(e, 0), 0, 0};
    if (e >= 0)
        parts->rightAt = s + e, parts->rightLength = TextLength(right);
    return ExtractOutcome::kDone;
}

void RunLive()
{
    if (!LiveResultsOn())
        return;
    Owned left = ReadText(id::编辑框左边, kContent);
    Owned right = ReadText(id::编辑框右边, kContent);
    if (SameText(left.text(), Lit(lit::PromptLeft)) || SameText(right.text(), Lit(lit::PromptRight)))
        return;
    LiveState& s = Live();
    if (!s.textKnown) {
        s.text = ReadText(id::编辑框被查找文本, kContent);
        s.textKnown = true;
    }
    const char* text = s.text.text();
    if (SameText(text, Lit(lit::PromptBig)))
        return;
    Owned middle;
    MarkedParts parts;
    if (LiveExtract(text, left.text(), right.text(), &middle, &parts) != ExtractOutcome::kDone) {
        MarkText(id::编辑框被查找文本, nullptr, {});
        ShowRuleNotice(DiagnoseRule(text, left.text(), right.text(), false));
        return;
    }
    BeginWriting();
    WriteText(id::编辑框中间, kContent, middle.text());
    MarkText(id::编辑框被查找文本, nullptr, parts);
    // An empty middle with no right text behind the left: perhaps the right
    // text occurs only in front of it.
    const bool rightBehind = parts.rightLength > 0 || right.empty();
    ShowRuleNotice(rightBehind ? RuleHint() : DiagnoseRule(text, left.text(), right.text(), false));
}

} // namespace

void ShowRuleNotice(const RuleHint& hint)
{
    LiveState& s = Live();
    if (hint.code == mt::DiagnosisCode::kNone) {
        if (s.noticeShown)
            ShowNotice(id::编辑框被查找文本, nullptr);
        s.noticeShown = false;
        return;
    }
    ShowNotice(id::编辑框被查找文本, hint.text.text());
    s.noticeShown = true;
}

void BigTextChanged(mt::EventCall* call)
{
    // The box's notice goes with the change; the text read last is stale.
    Live().noticeShown = false;
    ForgetText();
    ShowCharacterCount(call);
    Changed();
}

void RuleTextChanged(mt::EventCall*) { Changed(); }

void EnterBigBox(mt::EventCall* call)
{
    Entered();
    ClearPromptBig(call);
}

void EnterLeftBox(mt::EventCall* call)
{
    Entered();
    ClearPromptLeft(call);
}

void EnterRightBox(mt::EventCall* call)
{
    Entered();
    ClearPromptRight(call);
}

void LeaveBigBox(mt::EventCall* call)
{
    Left();
    RestorePromptBig(call);
}

void LeaveLeftBox(mt::EventCall* call)
{
    Left();
    RestorePromptLeft(call);
}

void LeaveRightBox(mt::EventCall* call)
{
    Left();
    RestorePromptRight(call);
}

// The window's idle event: the run the changes asked for, once.
void LiveIdle(mt::EventCall*)
{
    if (!Live().pending)
        return;
    Live().pending = false;
    RunLive();
}

void OfferLiveResults() { OfferLiveSwitch(id::编辑框被查找文本, Lit(lit::LiveSwitch)); }

} // namespace app
