#include "commands/rule_diagnosis.h"

#include <algorithm>

#include "commands/find_text.h"
#include "commands/rule_diagnosis_texts.h"
#include "commands/rule_normalise.h"

namespace mt {
namespace {

using Byte = unsigned char;

size_t CharAt(std::string_view t, size_t i) { return SearchCharLength(t, i); }

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; }

bool HasAny(std::string_view t, std::string_view bytes) { return t.find_first_of(bytes) != std::string_view::npos; }

bool HasLetter(std::string_view t)
{
    for (size_t i = 0; i < t.size(); i += CharAt(t, i))
        if (Fold(t[i]) >= 'a' && Fold(t[i]) <= 'z')
            return true;
    return false;
}

bool HasWhitespace(std::string_view t)
{
    for (size_t i = 0; i < t.size(); i += CharAt(t, i))
        if (WhitespaceLength(t, i))
            return true;
    return false;
}

// The first characters in which the page's stretch and the text differ when
// they are walked side by side (both the same number of characters).
void FirstDifference(std::string_view page, std::string_view text, Diagnosis* d)
{
    for (size_t i = 0, j = 0; i < page.size() && j < text.size();) {
        const size_t a = CharAt(page, i), b = CharAt(text, j);
        if (page.substr(i, a) != text.substr(j, b)) {
            d->pageBytes = page.substr(i, a);
            d->textBytes = text.substr(j, b);
            return;
        }
        i += a, j += b;
    }
}

// The first line break of a text, by name.
std::string BreakForm(std::string_view t)
{
    const size_t at = t.find_first_of("\r\n");
    if (at == std::string_view::npos)
        return {};
    if (t[at] == '\n')
        return "LF";
    return at + 1 < t.size() && t[at + 1] == '\n' ? "CR LF" : "CR";
}

// The run of whitespace at t[at], and where it ends.
size_t RunEnd(std::string_view t, size_t at)
{
    while (at < t.size())
        if (const size_t w = WhitespaceLength(t, at))
            at += w;
        else
            break;
    return at;
}

// The first runs of whitespace that differ between the page's stretch and
// the text (the rest of both is the same character for character).
void FirstRunDifference(std::string_view page, std::string_view text, Diagnosis* d)
{
    for (size_t i = 0, j = 0; i < page.size() || j < text.size();) {
        const size_t pe = i < page.size() ? RunEnd(page, i) : i;
        const size_t te = j < text.size() ? RunEnd(text, j) : j;
        if (pe > i || te > j) {
            if (page.substr(i, pe - i) != text.substr(j, te - j)) {
                d->pageBytes = page.substr(i, pe - i);
                d->textBytes = text.substr(j, te - j);
                return;
            }
            i = pe, j = te;
            continue;
        }
        if (i >= page.size() || j >= text.size())
            return;
        i += CharAt(page, i), j += CharAt(text, j);
    }
}

// The first character reference of the page's stretch.
void FirstReference(std::string_view page, Diagnosis* d)
{
    std::string decoded;
    for (size_t at = page.find('&'); at != std::string_view::npos; at = page.find('&', at + 1))
        if (const size_t length = CharacterReference(page, at, &decoded)) {
            d->pageBytes = page.substr(at, length);
            d->textBytes = decoded;
            return;
        }
}

// `sought` under `n` in the page under `n`; the entities are decoded in the
// page alone.
bool TryNormalised(Normalisation n, std::string_view page, std::string_view sought, bool ignoreCase,
                   NormalisedText& buffer, Diagnosis* d)
{
    const std::string text = n == Normalisation::kEntities ? std::string(sought) : Normalised(n, sought);
    bool changed = false;
    const std::string_view normalPage = MayChange(n, page) ? buffer.make(n, page, &changed) : page;
    if (!changed && text == sought)
        return false; // nothing differs from the search that failed
    const int64_t hit = FindTextOffset(normalPage, text, 0, ignoreCase);
    if (hit < 0)
        return false;
    const OriginalSpan span =
        changed ? SpanBefore(n, page, static_cast<size_t>(hit), text.size())
                : OriginalSpan{static_cast<size_t>(hit), static_cast<size_t>(hit) + text.size()};
    d->offset = static_cast<int64_t>(span.start);
    d->length = span.end - span.start;
    const std::string_view stretch = page.substr(span.start, d->length);
    switch (n) {
    case Normalisation::kLineBreaks:
        d->code = DiagnosisCode::kLineBreaks;
        d->pageBytes = BreakForm(stretch);
        d->textBytes = BreakForm(sought);
        break;
    case Normalisation::kWidth:
        d->code = DiagnosisCode::kWidth;
        FirstDifference(stretch, sought, d);
        break;
    case Normalisation::kWhitespace:
        d->code = DiagnosisCode::kWhitespace;
        FirstRunDifference(stretch, sought, d);
        break;
    case Normalisation::kEntities:
        d->code = DiagnosisCode::kEntities;
        FirstReference(stretch, d);
        break;
    }
    return true;
}

// The text ignoring letter case: the case-insensitive search, whose hits
// are kept only where every character that differs is an ASCII letter
// (that search folds trail bytes too).
bool TryCase(std::string_view page, std::string_view sought, Diagnosis* d)
{
    for (int64_t hit = FindTextOffset(page, sought, 0, true); hit >= 0;
         hit = FindTextOffset(page, sought, static_cast<size_t>(hit) + CharAt(page, static_cast<size_t>(hit)), true)) {
        const std::string_view stretch = page.substr(static_cast<size_t>(hit), sought.size());
        bool letters = true;
        for (size_t j = 0; j < sought.size() && letters; j += CharAt(sought, j))
            letters = CharAt(sought, j) == 1 || stretch.substr(j, CharAt(sought, j)) == sought.substr(j, CharAt(sought, j));
        if (!letters)
            continue;
        d->code = DiagnosisCode::kCase;
        d->offset = hit;
        d->length = sought.size();
        FirstDifference(stretch, sought, d);
        return true;
    }
    return false;
}

// The longest leading part of the text, in whole characters, that occurs,
// and its first occurrence. Each hit is extended as far as it matches, and
// the next search looks for one character more from behind it: the hits
// only move forward, so the page is read about once.
void LongestPart(std::string_view page, std::string_view sought, bool ignoreCase, Diagnosis* d)
{
    d->code = DiagnosisCode::kPartial;
    if (sought.empty())
        return;
    size_t want = CharAt(sought, 0);
    for (int64_t hit = FindTextOffset(page, sought.substr(0, want), 0, ignoreCase); hit >= 0;) {
        const size_t at = static_cast<size_t>(hit);
        size_t m = want;
        while (m < sought.size() && at + m < page.size() &&
               (ignoreCase ? Fold(page[at + m]) == Fold(sought[m]) : page[at + m] == sought[m]))
            ++m;
        size_t whole = 0; // m down to the text's character boundary
        while (whole + CharAt(sought, whole) <= m && whole < sought.size())
            whole += CharAt(sought, whole);
        d->offset = hit;
        d->length = whole;
        d->textBytes = sought.substr(0, whole);
        if (whole >= sought.size())
            return;
        want = whole + CharAt(sought, whole);
        hit = FindTextOffset(page, sought.substr(0, want), at + CharAt(page, at), ignoreCase);
    }
}

// The sentence with its %X fields filled in one pass, so that no field's
// bytes are taken for another field.
struct Fields {
    std::string_view side, position, length, page, text;
};
std::string Fill(std::string_view form, const Fields& f)
{
    std::string out;
    for (size_t i = 0; i < form.size(); ++i) {
        if (form[i] != '%' || i + 1 == form.size()) {
            out += form[i];
            continue;
        }
        switch (form[++i]) {
        case 'S': out += f.side; break;
        case 'N': out += f.position; break;
        case 'L': out += f.length; break;
        case 'P': out += f.page; break;
        case 'T': out += f.text; break;
        default: out += '%', out += form[i]; break;
        }
    }
    return out;
}

// Whitespace by name, joined by '+'; at most eight of them.
std::string RunNames(std::string_view run)
{
    if (run.empty())
        return gb::kHintNoWhitespace;
    std::string names;
    int count = 0;
    for (size_t i = 0; i < run.size(); i += std::max<size_t>(WhitespaceLength(run, i), 1)) {
        if (count++ == 8) {
            names += "+...";
            break;
        }
        if (!names.empty())
            names += '+';
        switch (run[i]) {
        case ' ': names += gb::kHintSpace; break;
        case '\t': names += gb::kHintTab; break;
        case '\r': names += "CR"; break;
        case '\n': names += "LF"; break;
        default: names += gb::kHintNoBreakSpace; break;
        }
    }
    return names;
}

// At most 40 bytes of a text for a sentence, cut at a character boundary.
std::string Shown(std::string_view t)
{
    size_t end = 0;
    while (end < t.size() && end + CharAt(t, end) <= 40)
        end += CharAt(t, end);
    return end < t.size() ? std::string(t.substr(0, end)) + "..." : std::string(t);
}

} // namespace

Diagnosis DiagnoseMissing(std::string_view page, std::string_view sought, bool ignoreCase)
{
    Diagnosis d;
    NormalisedText buffer;
    if (!sought.empty()) {
        if (HasAny(sought, "\r\n") && TryNormalised(Normalisation::kLineBreaks, page, sought, ignoreCase, buffer, &d))
            return d;
        if (TryNormalised(Normalisation::kWidth, page, sought, ignoreCase, buffer, &d))
            return d;
        if (!ignoreCase && HasLetter(sought) && TryCase(page, sought, &d))
            return d;
        if (HasWhitespace(sought) && TryNormalised(Normalisation::kWhitespace, page, sought, ignoreCase, buffer, &d))
            return d;
        if (TryNormalised(Normalisation::kEntities, page, sought, ignoreCase, buffer, &d))
            return d;
    }
    LongestPart(page, sought, ignoreCase, &d);
    return d;
}

Diagnosis DiagnoseRule(std::string_view page, std::string_view left, std::string_view right, bool ignoreCase)
{
    // An empty page finds nothing, not even an empty text.
    const int64_t l = page.empty() ? -1 : FindTextOffset(page, left, 0, ignoreCase);
    if (l < 0) {
        Diagnosis d = DiagnoseMissing(page, left, ignoreCase);
        d.side = DiagnosisSide::kLeft;
        return d;
    }
    const int64_t r = FindTextOffset(page, right, 0, ignoreCase);
    if (r < 0) {
        Diagnosis d = DiagnoseMissing(page, right, ignoreCase);
        d.side = DiagnosisSide::kRight;
        return d;
    }
    Diagnosis d;
    const size_t behind = static_cast<size_t>(l) + left.size();
    // The right text is sought behind the left one as a text of its own.
    if (behind >= page.size() || (!right.empty() && FindTextOffset(page.substr(behind), right, 0, ignoreCase) < 0)) {
        if (right.empty())
            return d;
        d.code = DiagnosisCode::kRightBeforeLeft;
        d.side = DiagnosisSide::kRight;
        d.offset = r;
        d.length = right.size();
    }
    return d;
}

std::string DiagnosisSentence(const Diagnosis& d)
{
    std::string_view form;
    std::string page = Shown(d.pageBytes), text = Shown(d.textBytes);
    switch (d.code) {
    case DiagnosisCode::kNone: return {};
    case DiagnosisCode::kLineBreaks: form = gb::kHintLineBreaks; break;
    case DiagnosisCode::kWidth: form = gb::kHintWidth; break;
    case DiagnosisCode::kCase: form = gb::kHintCase; break;
    case DiagnosisCode::kWhitespace:
        form = gb::kHintWhitespace;
        page = RunNames(d.pageBytes), text = RunNames(d.textBytes);
        break;
    case DiagnosisCode::kEntities: form = gb::kHintEntities; break;
    case DiagnosisCode::kRightBeforeLeft: form = gb::kHintRightBeforeLeft; break;
    case DiagnosisCode::kPartial: form = d.length > 0 ? gb::kHintPartial : gb::kHintNothing; break;
    }
    const std::string position = std::to_string(d.offset + 1), length = std::to_string(d.length);
    return Fill(form, {d.side == DiagnosisSide::kRight ? gb::kHintRightText : gb::kHintLeftText, position, length,
                       page, text});
}

} // namespace mt
