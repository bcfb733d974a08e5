#include "platform/text_view/text_words.h"

#include <QTextBoundaryFinder>

#include <string>
#include <vector>

#include "platform/text_view/text_buffer.h"
#include "platform/text_view/text_decoder.h"

namespace mt::platform {
namespace {

enum class Kind { kSpace,
                  kPunct,
                  kWord };

struct Piece {
    size_t start;
    size_t end;
    Kind kind;
};

Kind KindOf(QChar c)
{
    if (c.isSpace())
        return Kind::kSpace;
    return c.isPunct() || c.isSymbol() ? Kind::kPunct : Kind::kWord;
}

// The pieces of pos's line within kWordWindow bytes of pos, in bytes.
std::vector<Piece> PiecesAround(const TextBuffer& text, size_t pos)
{
    const size_t line = text.lineOf(pos);
    const size_t first = text.lineStart(line);
    const size_t last = text.lineContentEnd(line);
    const size_t from = pos > first + kWordWindow ? text.stopAtOrBefore(pos - kWordWindow) : first;
    const size_t to = last > pos + kWordWindow ? text.stopAtOrAfter(pos + kWordWindow) : last;
    QString units;
    std::vector<uint32_t> unitByte;
    DecodeByCharacter(text.copy(from, to), &units, &unitByte);
    std::vector<Piece> pieces;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, units);
    const auto itemEdge = QTextBoundaryFinder::StartOfItem | QTextBoundaryFinder::EndOfItem;
    bool edgeAtStart = true; // whether a word starts or ends where this piece starts
    int at = 0;
    for (int next = finder.toNextBoundary(); next > at; at = next, next = finder.toNextBoundary()) {
        const Piece p{from + unitByte[static_cast<size_t>(at)], from + unitByte[static_cast<size_t>(next)],
                      KindOf(units.at(at))};
        // Pieces of one kind with no word edge between them are one piece:
        // ideographs, runs of marks, runs of spaces.
        if (!pieces.empty() && !edgeAtStart && pieces.back().kind == p.kind)
            pieces.back().end = p.end;
        else
            pieces.push_back(p);
        edgeAtStart = finder.boundaryReasons() & itemEdge;
    }
    return pieces;
}

bool IsBreak(const TextBuffer& text, size_t pos) { return text.at(pos) == '\r' || text.at(pos) == '\n'; }

} // namespace

size_t WordRight(const TextBuffer& text, size_t pos)
{
    if (pos >= text.size())
        return text.size();
    if (IsBreak(text, pos))
        return text.nextStop(pos);
    const std::vector<Piece> pieces = PiecesAround(text, pos);
    size_t i = 0;
    while (i + 1 < pieces.size() && pieces[i].end <= pos)
        ++i;
    if (pieces.empty())
        return text.nextStop(pos);
    size_t to = pieces[i].end;
    if (pieces[i].kind != Kind::kSpace && i + 1 < pieces.size() && pieces[i + 1].kind == Kind::kSpace)
        to = pieces[i + 1].end;
    return to;
}

size_t WordLeft(const TextBuffer& text, size_t pos)
{
    pos = std::min(pos, text.size());
    if (pos == 0)
        return 0;
    if (pos == text.lineStart(text.lineOf(pos)))
        return text.prevStop(pos);
    const size_t before = text.prevStop(pos);
    const std::vector<Piece> pieces = PiecesAround(text, before);
    if (pieces.empty())
        return before;
    size_t i = 0;
    while (i + 1 < pieces.size() && pieces[i].end <= before)
        ++i;
    if (pieces[i].kind == Kind::kSpace && i > 0)
        --i;
    return pieces[i].start;
}

void WordAt(const TextBuffer& text, size_t pos, size_t* start, size_t* end)
{
    *start = *end = pos;
    if (pos >= text.size() || IsBreak(text, pos))
        return;
    const std::vector<Piece> pieces = PiecesAround(text, pos);
    for (const Piece& p : pieces) {
        if (p.start <= pos && pos < p.end) {
            *start = p.start;
            *end = p.end;
            return;
        }
    }
}

} // namespace mt::platform
