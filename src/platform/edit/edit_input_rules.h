// How user input is shaped on its way into an edit: which typed characters
// an input mode accepts, case conversion, a byte limit that never splits a
// character, and the validator that applies these to a line edit.
#pragma once

#include <QString>
#include <QStringView>
#include <QValidator>

#include <cstddef>

namespace mt::platform {

// Which typed characters (code 32 and up) an edit accepts.
enum class CharFilter { kAll,
                        kSignedDigits,
                        kDecimal,
                        kDigits };

// The filter of an edit box input mode: 3, 6, 7, 8 "-0-9"; 4, 9, 10 "-.0-9";
// 5 "0-9"; others all.
CharFilter CharFilterForInputMode(int mode);
// `typed` without the characters the filter refuses.
QString FilterTyped(CharFilter filter, const QString& typed);
// conversion 1: lower case, 2: upper case, else unchanged.
QString ConvertCase(int conversion, const QString& text);
// The longest leading part of `text`, in whole characters, whose bytes fit
// in `room`; line breaks are normalised to '\n' first and counted as CR LF
// when crlf is set.
QString FitBytes(const QString& text, size_t room, bool crlf);

// The units [pos, pos + removed) of `a` that became [pos, pos + added) of
// `b`, found by their common prefix and suffix; never inside a surrogate pair.
void DiffRange(QStringView a, QStringView b, qsizetype* pos, qsizetype* removed, qsizetype* added);

// Shapes every change a user makes to a line edit's text (typing, pasting,
// dropping): case conversion and the byte limit. Suspended while the
// program sets the text.
class LineInputValidator : public QValidator {
public:
    explicit LineInputValidator(QObject* parent) : QValidator(parent) {}
    State validate(QString& input, int& pos) const override;

    int caseConversion = 0;
    size_t byteLimit = 0;   // 0: none
    bool suspended = false; // while the text is set programmatically
    mutable QString lastAccepted;
};

} // namespace mt::platform
