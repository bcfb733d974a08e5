#include "commands/find_text.h"

#include <array>
#include <bit>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

ByteTest MakeByteTest(uint8_t c, bool ignoreCase)
{
    const uint8_t lower = kFold[c];
    if (ignoreCase && lower >= 'a' && lower <= 'z')
        return {lower, 0x20};
    return {c, 0};
}

// Whether the m bytes at p equal the sought bytes s (letters folded when
// ignoreCase).
bool Matches(const uint8_t* p, const uint8_t* s, size_t m, bool ignoreCase)
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
uint64_t TrailBytes(uint64_t high, uint64_t* carry)
{
    const uint64_t h = high & ~*carry;
    const uint64_t starts = h & ~(h << 1);
    const uint64_t oddRuns = h & ~(h + (starts & kOddBits));
    const uint64_t leads = ((h & ~oddRuns) & kEvenBits) | (oddRuns & kOddBits);
    const uint64_t trail = (leads << 1) | *carry;
    *carry = leads >> 63;
    return trail;
}

// Block tests one byte at a time.
struct PortableBlocks {
    static uint64_t High(const uint8_t* p)
    {
        uint64_t mask = 0;
        for (size_t k = 0; k < kBlock; ++k)
            mask |= static_cast<uint64_t>(p[k] >> 7) << k;
        return mask;
    }
    static uint64_t Match(const uint8_t* p, ByteTest test)
    {
        uint64_t mask = 0;
        for (size_t k = 0; k < kBlock; ++k)
            mask |= static_cast<uint64_t>((p[k] | test.orBits) == test.value) << k;
        return mask;
    }
};

#ifdef __SSE2__
// Block tests sixteen bytes at a time.
struct Sse2Blocks {
    static __m128i Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static uint64_t Bits(__m128i v, int part)
    {
        return static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(v))) << (16 * part);
    }
    static uint64_t High(const uint8_t* p)
    {
        uint64_t mask = 0;
        for (int part = 0; part < 4; ++part)
            mask |= Bits(Load(p + 16 * part), part);
        return mask;
    }
    static uint64_t Match(const uint8_t* p, ByteTest test)
    {
        const __m128i value = _mm_set1_epi8(static_cast<char>(test.value));
        const __m128i orBits = _mm_set1_epi8(static_cast<char>(test.orBits));
        uint64_t mask = 0;
        for (int part = 0; part < 4; ++part)
            mask |= Bits(_mm_cmpeq_epi8(_mm_or_si128(Load(p + 16 * part), orBits), value), part);
        return mask;
    }
};
#endif

// The scan proper: m ≥ 1 and i + m ≤ n, with a boundary at i. Whole blocks
// keep the positions where the first and the last sought byte fit and that
// are no trail byte, and only those are compared in full; the positions
// behind the last whole block go one at a time.
//
// A lead byte directly before the terminator needs no rule of its own here:
// the plain scan stops with -1 when it has to step over one, and so does
// this one, because no candidate remains behind it.
template <class Blocks>
int64_t Scan(const uint8_t* t, size_t n, const uint8_t* s, size_t m, size_t i, bool ignoreCase)
{
    const ByteTest first = MakeByteTest(s[0], ignoreCase);
    const ByteTest last = MakeByteTest(s[m - 1], ignoreCase);
    uint64_t carry = 0;
    for (; n - i >= kBlock + m - 1; i += kBlock) {
        const uint64_t trail = TrailBytes(Blocks::High(t + i), &carry);
        uint64_t candidates = Blocks::Match(t + i, first) & Blocks::Match(t + i + m - 1, last) & ~trail;
        for (; candidates != 0; candidates &= candidates - 1) {
            const size_t q = i + static_cast<size_t>(std::countr_zero(candidates));
            if (Matches(t + q, s, m, ignoreCase))
                return static_cast<int64_t>(q);
        }
    }
    for (bool trail = carry != 0; n - i >= m; ++i) {
        if (!trail && Matches(t + i, s, m, ignoreCase))
            return static_cast<int64_t>(i);
        trail = !trail && t[i] >= 0x80;
    }
    return -1;
}

using ScanRoutine = int64_t (*)(const uint8_t*, size_t, const uint8_t*, size_t, size_t, bool);

// The answers that need no scan, then the scan.
int64_t Find(std::string_view text, std::string_view sought, size_t start, bool ignoreCase, ScanRoutine scan)
{
    const size_t n = text.size();
    const size_t m = sought.size();
    if (start >= n)
        return -1;
    if (m == 0)
        return 0;
    if (m > n - start)
        return -1;
    return scan(reinterpret_cast<const uint8_t*>(text.data()), n, reinterpret_cast<const uint8_t*>(sought.data()),
                m, start, ignoreCase);
}

} // namespace

int64_t FindTextOffset(std::string_view text, std::string_view sought, size_t start, bool ignoreCase)
{
#ifdef __SSE2__
    return Find(text, sought, start, ignoreCase, Scan<Sse2Blocks>);
#else
    return Find(text, sought, start, ignoreCase, Scan<PortableBlocks>);
#endif
}

int64_t FindTextOffsetPortable(std::string_view text, std::string_view sought, size_t start, bool ignoreCase)
{
    return Find(text, sought, start, ignoreCase, Scan<PortableBlocks>);
}

} // namespace mt
