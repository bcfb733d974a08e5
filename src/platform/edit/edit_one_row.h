// A multi-line box one row high that holds line breaks shows its whole text
// in that row, each line break as a mark in a softer colour (↵ CR LF, ↓ LF,
// ← CR), scrolled
// sideways to keep the caret in sight. The text view on its own would show
// the caret's line alone, so that Enter hid everything before it and the
// box looked empty.
//
// The bytes stay as they are (Enter inserts the line break the text follows); only the drawing
// and the mouse's positions are the row's. Texts beyond kMaxBytes are left
// to the view: a left or right text is short.
#pragma once

#include <QRect>
#include <QString>
#include <QTextLayout>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class QPainter;

namespace mt::platform {

class TextView;

class OneRowText {
public:
    static constexpr size_t kMaxBytes = 64 * 1024;
    // Each form of line break has a mark of its own: CR LF (Enter where the
    // text has no other), LF (pages from Unix servers), CR alone.
    static constexpr char16_t kCrLfMark = 0x21B5; // ↵
    static constexpr char16_t kLfMark = 0x2193;   // ↓
    static constexpr char16_t kCrMark = 0x2190;   // ←
    // The mark of the line break that starts at `at` in gb (a CR or an LF).
    static char16_t MarkOf(std::string_view gb, size_t at);

    // Whether the view shows its text this way now: a viewport lower than
    // two rows, a line break, and a short text.
    static bool Applies(const TextView& view);

    // Draws the row: text, selection, preedit (underlined at the caret) and,
    // when `caret` is set, the caret.
    void paint(TextView& view, QPainter* p, const QString& preedit, int preeditCursor, bool caret);
    // The caret stop nearest to x (viewport coordinates).
    size_t byteAt(const TextView& view, qreal x);
    // The caret's rectangle in viewport coordinates.
    QRect caretRect(const TextView& view);
    // The word around pos as bytes [start, end): letters and digits, or one
    // other character.
    void wordAround(const TextView& view, size_t pos, size_t* start, size_t* end);
    // The wheel: the row moves sideways by `pixels` (positive: towards its
    // end), within the text; the caret keeps its place until it moves.
    void wheel(const TextView& view, qreal pixels);

private:
    void update(const TextView& view);
    QTextLine layOut(int preeditAt, const QString& preedit);
    int unitOfByte(size_t byte) const;
    qreal originX(const TextView& view) const;
    void scrollTo(const TextView& view, qreal caretX);

    uint64_t generation_ = UINT64_MAX;
    QFont font_;
    QString units_;              // the text, one mark per line break
    std::vector<size_t> byteOf_; // per unit, and one past the end
    std::vector<int> marks_;     // units that are line-break marks
    QTextLayout layout_;
    qreal scroll_ = 0;
    int keptCaret_ = -1; // the caret's unit the row last kept in sight
};

} // namespace mt::platform
