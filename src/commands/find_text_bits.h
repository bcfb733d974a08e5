// The bit work of the text search over blocks of 64 positions: byte tests
// and the three-byte filter, the trail bytes and four-byte characters of
// GB18030 within a block, and a tree minimum. Included only by
// find_text_scan.h; everything here has internal linkage, for the reason
// given there.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace mt {
namespace {

// The scan looks at the text in blocks of 64 positions, one bit per position.
constexpr size_t kBlock = 64;
constexpr uint64_t kEvenBits = 0x5555555555555555ull;
constexpr uint64_t kOddBits = ~kEvenBits;

constexpr std::array<uint8_t, 256> MakeFoldTable()
{
    std::array<uint8_t, 256> fold{};
    for (int c = 0; c < 256; ++c)
        fold[c] = static_cast<uint8_t>(c >= 'A' && c <= 'Z' ? c + 0x20 : c);
    return fold;
}
// Folds 'A'-'Z' onto 'a'-'z' and leaves every other byte alone.
constexpr std::array<uint8_t, 256> kFold = MakeFoldTable();

// Which bytes stand for one byte of the sought text: x does when
// (x | orBits) == value. Exact bytes use orBits 0; a letter compared without
// case uses 0x20 and its lower case, which admits exactly its two cases.
struct ByteTest {
    uint8_t value;
    uint8_t orBits;
};

inline ByteTest MakeByteTest(uint8_t c, bool ignoreCase)
{
    const uint8_t lower = kFold[c];
    if (ignoreCase && lower >= 'a' && lower <= 'z')
        return {lower, 0x20};
    return {c, 0};
}

// Three bytes of the sought text (its first, its last and its middle one)
// that a position must show before the whole text is compared there. Three
// make a full comparison rare even in text of few different letters. The
// first offset is always 0, which the block tests may rely on.
struct Filter {
    ByteTest test[3];
    size_t offset[3];
};

inline Filter MakeFilter(const uint8_t* s, size_t m, bool ignoreCase)
{
    Filter f{};
    const size_t offsets[3] = {0, m - 1, m / 2};
    for (int j = 0; j < 3; ++j) {
        f.offset[j] = offsets[j];
        f.test[j] = MakeByteTest(s[offsets[j]], ignoreCase);
    }
    return f;
}

// Whether the m bytes at p equal the sought bytes s (letters folded when
// ignoreCase).
inline bool Matches(const uint8_t* p, const uint8_t* s, size_t m, bool ignoreCase)
{
    if (!ignoreCase)
        return std::memcmp(p, s, m) == 0;
    for (size_t k = 0; k < m; ++k) {
        if (kFold[p[k]] != kFold[s[k]])
            return false;
    }
    return true;
}

// The trail bytes of a block, from its bytes of 0x80 and above (`high`) and
// whether its first position is a trail byte (*carry, replaced by the same
// for the next block).
//
// A byte is a trail byte when the byte before it leads a character. Every
// maximal run of high bytes (after clearing a first position that is a trail
// byte) begins on a boundary, because the byte before the run is a whole
// character or a trail byte; inside a run the leads are the bytes at even
// distance from its start. Adding a run's start bit to the run clears the
// whole run, which marks the runs that start at odd positions.
[[gnu::always_inline]] inline uint64_t TrailBytes(uint64_t high, uint64_t* carry)
{
    if (high == ~uint64_t{0}) // double-byte characters only: the carry stays, 64 being even
        return *carry ? kEvenBits : kOddBits;
    const uint64_t h = high & ~*carry;
    const uint64_t starts = h & ~(h << 1);
    const uint64_t oddRuns = h & ~(h + (starts & kOddBits));
    const uint64_t leads = ((h & ~oddRuns) & kEvenBits) | (oddRuns & kOddBits);
    const uint64_t trail = (leads << 1) | *carry;
    *carry = leads >> 63;
    return trail;
}

// Bits k that are set in `chain` where bit k - 2 is not set or is set and
// kept: along every run of bits two apart (k, k + 2, k + 4, ...) the first,
// third, fifth ... bit. The runs of each parity are made contiguous by
// filling the gaps between their members; a run then keeps the members at a
// distance of a multiple of four from its start, which is told apart by the
// start's position modulo four, as in TrailBytes.
inline uint64_t AlternateMembers(uint64_t chain)
{
    constexpr uint64_t kMod4Is0 = 0x1111111111111111ull;
    constexpr uint64_t kMod4Is2 = kMod4Is0 << 2;
    uint64_t kept = 0;
    for (int parity = 0; parity < 2; ++parity) {
        const uint64_t members = (chain >> parity) & kEvenBits;
        const uint64_t runs = members | ((members & (members >> 2)) << 1);
        const uint64_t starts = runs & ~(runs << 1);
        const uint64_t runsFrom2 = runs & ~(runs + (starts & kMod4Is2));
        kept |= ((members & runsFrom2 & kMod4Is2) | (members & ~runsFrom2 & kMod4Is0)) << parity;
    }
    return kept;
}

// The bytes the byte ranges of a four-byte character ask for.
inline bool IsDigit(uint8_t c) { return c >= 0x30 && c <= 0x39; }
inline bool IsFourByteLead(uint8_t c) { return c >= 0x81 && c <= 0xFE; }

// Whether a character that begins at p (of a text of n bytes) has four
// bytes: lead, digit, lead, digit.
inline bool IsFourByte(const uint8_t* t, size_t p, size_t n)
{
    return n - p >= 4 && IsFourByteLead(t[p]) && IsDigit(t[p + 1]) && IsFourByteLead(t[p + 2]) && IsDigit(t[p + 3]);
}

// The bytes of the character that begins at p: 1, 2 or 4. A lead byte as
// the text's last byte counts 2, which ends any scan.
inline size_t CharacterBytes(const uint8_t* t, size_t p, size_t n)
{
    if (t[p] < 0x80)
        return 1;
    return IsFourByte(t, p, n) ? 4 : 2;
}

// The third bytes of four-byte characters in a block (bit k: position k is
// one), for a block at p whose trail bytes `trail` follow the double-byte
// rule alone and whose `high` bytes are known; the three bytes behind the
// block must be readable. *carry holds the same for the first two positions
// of the next block, and comes in holding them for this one.
//
// The double-byte rule alone gets one thing wrong about a four-byte
// character at q: it takes the lead at q + 2 for a character of its own
// (q + 1 and q + 3 are trail bytes either way, and both rules agree again
// from q + 4). So the four-byte characters are the boundaries of that rule
// that show the four byte ranges, less those whose boundary is such a third
// byte: along a chain of them two apart, every other one.
template <class Blocks>
[[gnu::always_inline]] inline uint64_t FourByteThirds(const uint8_t* p, uint64_t high, uint64_t trail, uint64_t* carry)
{
    const uint64_t in = *carry;
    *carry = 0;
    const uint64_t leads = high & ~trail & ~in;
    if (leads == 0)
        return in;
    const uint64_t digitBehind = (Blocks::Digits(p) >> 1) | (uint64_t{IsDigit(p[64])} << 63);
    uint64_t fours = leads & digitBehind;
    if (fours == 0)
        return in;
    const uint64_t leadRange = Blocks::Leads(p);
    fours &= leadRange & ((leadRange >> 2) | (uint64_t{IsFourByteLead(p[64])} << 62) |
                          (uint64_t{IsFourByteLead(p[65])} << 63));
    fours &= (digitBehind >> 2) | (uint64_t{IsDigit(p[65])} << 62) | (uint64_t{IsDigit(p[66])} << 63);
    if (fours == 0)
        return in;
    const uint64_t starts = AlternateMembers(fours);
    *carry = starts >> 62;
    return in | (starts << 2);
}

// The bytewise least of a power-of-two count of vectors (`min` gives that
// of two), as a tree rather than one chain: the scan waits for the answer.
template <class Vector, size_t kCount, class Min>
[[gnu::always_inline]] inline Vector Least(Vector (&v)[kCount], Min min)
{
    static_assert(std::has_single_bit(kCount));
    for (size_t width = kCount / 2; width > 0; width /= 2)
        for (size_t k = 0; k < width; ++k)
            v[k] = min(v[k], v[k + width]);
    return v[0];
}

} // namespace
} // namespace mt
