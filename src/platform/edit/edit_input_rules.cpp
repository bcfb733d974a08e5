#include "platform/edit/edit_input_rules.h"

#include <algorithm>
#include <string>

#include "platform/edit/edit_text_mirror.h"
#include "platform/text_codec.h"

namespace mt::platform {
namespace {

bool Accepts(CharFilter filter, QChar c)
{
    if (c.unicode() < 32)
        return true;
    const bool digit = c >= u'0' && c <= u'9';
    switch (filter) {
    case CharFilter::kAll: return true;
    case CharFilter::kSignedDigits: return digit || c == u'-';
    case CharFilter::kDecimal: return digit || c == u'-' || c == u'.';
    case CharFilter::kDigits: return digit;
    }
    return true;
}

} // namespace

CharFilter CharFilterForInputMode(int mode)
{
    switch (mode) {
    case 3:
    case 6:
    case 7:
    case 8: return CharFilter::kSignedDigits;
    case 4:
    case 9:
    case 10: return CharFilter::kDecimal;
    case 5: return CharFilter::kDigits;
    }
    return CharFilter::kAll;
}

QString FilterTyped(CharFilter filter, const QString& typed)
{
    if (filter == CharFilter::kAll)
        return typed;
    QString kept;
    for (QChar c : typed) {
        if (Accepts(filter, c))
            kept += c;
    }
    return kept;
}

QString ConvertCase(int conversion, const QString& text)
{
    if (conversion == 1)
        return text.toLower();
    if (conversion == 2)
        return text.toUpper();
    return text;
}

QString FitBytes(const QString& text, size_t room, bool crlf)
{
    if (room == SIZE_MAX)
        return text;
    QString t = text;
    if (crlf) {
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        t.replace(u'\r', u'\n');
    }
    const std::string bytes = MirrorBytes(Utf16View(t), crlf);
    if (bytes.size() <= room)
        return t;
    size_t b = 0;
    qsizetype units = 0;
    while (b < bytes.size()) {
        const GbChar c = GbCharAt(bytes, b, crlf);
        if (b + c.bytes > room)
            break;
        b += c.bytes;
        units += c.units;
    }
    return t.left(units);
}

void DiffRange(QStringView a, QStringView b, qsizetype* pos, qsizetype* removed, qsizetype* added)
{
    const qsizetype shorter = std::min(a.size(), b.size());
    qsizetype prefix = std::mismatch(a.begin(), a.begin() + shorter, b.begin()).first - a.begin();
    if (prefix > 0 && a[prefix - 1].isHighSurrogate())
        --prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
        ++suffix;
    if (suffix > 0 && b[b.size() - suffix].isLowSurrogate())
        --suffix;
    *pos = prefix;
    *removed = a.size() - prefix - suffix;
    *added = b.size() - prefix - suffix;
}

QValidator::State LineInputValidator::validate(QString& input, int& pos) const
{
    if (!suspended) {
        if (caseConversion != 0) {
            const QString converted = ConvertCase(caseConversion, input);
            if (converted != input) {
                input = converted;
                pos = std::min<int>(pos, static_cast<int>(input.size()));
            }
        }
        if (byteLimit > 0 && Utf16ToGb(Utf16View(input)).size() > byteLimit) {
            qsizetype at, removed, added;
            DiffRange(lastAccepted, input, &at, &removed, &added);
            const QString rest = input.left(at) + input.mid(at + added);
            const size_t restBytes = Utf16ToGb(Utf16View(rest)).size();
            const size_t room = restBytes < byteLimit ? byteLimit - restBytes : 0;
            const QString kept = FitBytes(input.mid(at, added), room, false);
            input = input.left(at) + kept + input.mid(at + added);
            pos = static_cast<int>(at + kept.size());
        }
    }
    lastAccepted = input;
    return Acceptable;
}

} // namespace mt::platform
