// The scan behind FindTextOffset, written once over a "block tests" policy
// so that each instruction set gets its own copy. Included only by the
// find_text*.cpp files; everything here has internal linkage on purpose, so
// that copies compiled for different instruction sets never mix.
//
// A block tests policy supplies, for 64 consecutive positions at p:
//   static uint64_t High(const uint8_t* p)   bit k: p[k] >= 0x80
//   static uint64_t Digits(const uint8_t* p) bit k: p[k] is '0'-'9'
//   static uint64_t Leads(const uint8_t* p)  bit k: p[k] is 0x81-0xFE
//   static uint64_t Zeros(const uint8_t* p)  bit k: p[k] is 0 (p aligned to 64)
//   static bool HasZero(const uint8_t* p)    whether one of 256 bytes is 0 (p aligned to 256)
//   template <bool kFold> static uint64_t Candidates(const uint8_t* p, const Filter& f)
//                                            bit k: p[k + f.offset[j]] passes f.test[j] for j = 0, 1, 2
//                                            (kFold false: every orBits is 0 and may be left out)
//   static void Prefetch(uintptr_t address)  a hint; the address may lie behind the text
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "commands/find_text_bits.h"

namespace mt {
namespace {

// Marks the code that reads whole aligned blocks across a text's end (see
// TerminatedExtent): the address checker must leave those reads alone, and
// does so only where they are not inlined into code it checks.
#if defined(__SANITIZE_ADDRESS__)
#define MT_WHOLE_BLOCK_READ [[gnu::no_sanitize_address, gnu::noinline]]
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MT_WHOLE_BLOCK_READ [[gnu::no_sanitize_address, gnu::noinline]]
#else
#define MT_WHOLE_BLOCK_READ
#endif
#else
#define MT_WHOLE_BLOCK_READ
#endif

// A text of known length.
class KnownExtent {
public:
    explicit KnownExtent(size_t size) : size_(size) {}
    bool holds(size_t bytes) const { return bytes <= size_; }
    size_t size() const { return size_; }
    // The bytes known to be text.
    size_t known() const { return size_; }

private:
    size_t size_;
};

// How far ahead of the scan lines are asked for.
constexpr size_t kPrefetchAhead = 12 * 1024;

#if defined(__x86_64__) || defined(__i386__)
// Asks for the cache line at `address` (which may lie behind the text: the
// hint never faults). An instruction of its own: GCC's dead code pass drops
// the builtin hint from the scan's inner loop.
inline void PrefetchLine(uintptr_t address) { asm volatile("prefetcht0 (%0)"
                                                           :
                                                           : "r"(address)); }
#endif

// How many aligned bytes a zero-terminated text is measured by at a time: a
// divisor of any page size.
constexpr size_t kMeasureBytes = 256;
// The most a measuring goes ahead of what the scan asks for.
constexpr size_t kMeasureAhead = 4096;

// A zero-terminated text whose length is found as far as the scan needs it,
// kMeasureBytes at a time, just ahead of the scan (at most kMeasureAhead
// bytes): the bytes are brought in once, and the scan finds them in the
// cache.
//
// Each step reads the aligned kMeasureBytes that hold the next byte to
// measure. They lie in one page with that byte, so reading them whole is
// safe even where they run past the terminator (or, at the start, before
// the text); only the bytes of the text count. This is the one place that
// reads so, and the address checker is told.
template <class Blocks>
class TerminatedExtent {
public:
    explicit TerminatedExtent(const char* text) : text_(reinterpret_cast<uintptr_t>(text)) {}
    // Whether the text has at least `bytes` bytes before its terminator.
    // Measures further ahead each time it has to, up to kMeasureAhead
    // bytes, so that a long scan gets many blocks out of one call and a
    // search that ends soon does not measure much more than it reads.
    bool holds(size_t bytes)
    {
        if (known_ < bytes && !ended_) {
            const size_t goal = std::max(bytes, known_ + ahead_);
            while (known_ < goal && !ended_)
                step();
            ahead_ = std::min(ahead_ * 2, kMeasureAhead);
        }
        return known_ >= bytes;
    }
    // The bytes measured so far.
    size_t known() const { return known_; }
    size_t size()
    {
        while (!ended_)
            step();
        return known_;
    }

private:
    MT_WHOLE_BLOCK_READ void step()
    {
        const uintptr_t at = text_ + known_;
        const uintptr_t end = (at | (kMeasureBytes - 1)) + 1;
        if (Blocks::HasZero(reinterpret_cast<const uint8_t*>(end - kMeasureBytes))) {
            for (uintptr_t block = at & ~uintptr_t{kBlock - 1}; block < end; block += kBlock) {
                uint64_t zeros = Blocks::Zeros(reinterpret_cast<const uint8_t*>(block));
                if (block < at)
                    zeros &= ~uint64_t{0} << (at - block);
                if (zeros != 0) {
                    known_ = block + static_cast<size_t>(std::countr_zero(zeros)) - text_;
                    ended_ = true;
                    return;
                }
            }
        }
        known_ = end - text_; // no zero, or only before the text
    }

    uintptr_t text_;
    size_t known_ = 0;
    size_t ahead_ = kMeasureBytes;
    bool ended_ = false;
};

// Where the walk stands at the start of a block: whether its first
// position is a trail byte by the double-byte rule (`carry`, bit 0), and
// which of its first two positions are the third bytes of four-byte
// characters (`thirds`, bits 0 and 1).
struct WalkState {
    uint64_t carry = 0;
    uint64_t thirds = 0;
};

// The positions of the block at p that begin no character, its bytes of
// 0x80 and above being `high`; *state moves on to the next block.
template <class Blocks>
[[gnu::always_inline]] inline uint64_t NonBoundaries(const uint8_t* p, uint64_t high, WalkState* state)
{
    const uint64_t trail = TrailBytes(high, &state->carry) | state->thirds;
    return trail | FourByteThirds<Blocks>(p, high, trail, &state->thirds);
}

// The walk's state at block `to`, from its state at block `from` (to ≥ from,
// both block starts of the same scan).
//
// A byte below 0x80 that is no digit is always followed by a boundary: it
// is a character of its own or the trail byte of a double-byte character,
// while the bytes of a four-byte character below 0x80 are digits. So the
// walk need not go through every block since `from`: it can start afresh
// at the last block before `to` that holds such a byte. What it then gets
// wrong before that byte ends there, and what follows is right. In text
// with ASCII that is the block just before `to`.
template <class Blocks>
[[gnu::noinline]] WalkState WalkTo(const uint8_t* t, size_t from, WalkState state, size_t to)
{
    for (size_t b = to; b > from;) {
        b -= kBlock;
        if (~(Blocks::High(t + b) | Blocks::Digits(t + b)) != 0) {
            state = WalkState{};
            from = b;
            break;
        }
    }
    for (; from < to; from += kBlock)
        NonBoundaries<Blocks>(t + from, Blocks::High(t + from), &state);
    return state;
}

// The blocks from i on (up to `last`) that need no more than the filter:
// those without a candidate, and, while the walk is in step (at block i,
// with no third byte of a four-byte character ahead), those of double-byte
// characters only whose candidates are all trail bytes. The walk stays in
// step over such a block: 64 being even, its lead bytes are those of the
// block before, so *walked moves on with it. Returns the first block that
// needs the walk, and its candidates in *candidates.
//
// The leads of such a block end a character at its end, unless its last
// byte, a lead, begins a four-byte character: the block is left to the
// walk then.
template <class Blocks, bool kFold>
[[gnu::always_inline]] inline size_t SkipBlocks(const uint8_t* t, size_t i, size_t last, const Filter& filter,
                                                const WalkState& state, size_t* walked, uint64_t* candidates)
{
    bool inStep = *walked == i && state.thirds == 0;
    const uint64_t leads = state.carry ? kOddBits : kEvenBits;
    uint64_t found = 0;
    for (; i <= last; i += kBlock) {
        Blocks::Prefetch(reinterpret_cast<uintptr_t>(t) + i + kPrefetchAhead);
        found = Blocks::template Candidates<kFold>(t + i, filter);
        if (found == 0) {
            inStep = false;
            continue;
        }
        if (!inStep || (found & leads) != 0 || Blocks::High(t + i) != ~uint64_t{0} ||
            (state.carry && IsDigit(t[i + kBlock])))
            break;
    }
    if (inStep)
        *walked = i;
    *candidates = found;
    return i;
}

// The scan proper: m ≥ 1, the text holds at least i + m bytes and i is a
// boundary. Whole blocks keep the positions that pass the filter; only in a
// block that has some on a boundary is the walk brought up to date, to take
// away those that are no boundary, and what remains is compared in full.
// The positions behind the last whole block go one character at a time.
//
// A lead byte directly before the terminator needs no rule of its own here:
// the plain scan stops with -1 when it has to step over one, and so does
// this one, because no candidate remains behind it.
template <class Blocks, bool kFold, class Extent>
int64_t Scan(const uint8_t* t, Extent& extent, const uint8_t* s, size_t m, size_t i)
{
    constexpr bool kIgnoreCase = kFold;
    const Filter filter = MakeFilter(s, m, kIgnoreCase);
    // A block's four-byte characters look three bytes past it.
    const size_t reach = kBlock + (m > 4 ? m - 1 : 3);
    WalkState state; // at block `walked`
    size_t walked = i;
    while (extent.holds(i + reach)) {
        uint64_t candidates = 0;
        i = SkipBlocks<Blocks, kFold>(t, i, extent.known() - reach, filter, state, &walked, &candidates);
        if (i + reach > extent.known())
            continue; // to measure on
        if (walked != i)
            state = WalkTo<Blocks>(t, walked, state, i);
        candidates &= ~NonBoundaries<Blocks>(t + i, Blocks::High(t + i), &state);
        walked = i + kBlock;
        for (; candidates != 0; candidates &= candidates - 1) {
            const size_t q = i + static_cast<size_t>(std::countr_zero(candidates));
            if (Matches(t + q, s, m, kIgnoreCase))
                return static_cast<int64_t>(q);
        }
        i += kBlock;
    }
    if (walked != i)
        state = WalkTo<Blocks>(t, walked, state, i);
    // The first boundary behind the blocks: the last of them may have left
    // a trail byte, or the third and fourth bytes of a character.
    i += state.thirds & 1 ? 2 : state.thirds & 2 ? 3
                                                 : state.carry;
    const size_t n = extent.size();
    for (; i < n && n - i >= m; i += CharacterBytes(t, i, n)) {
        if (Matches(t + i, s, m, kIgnoreCase))
            return static_cast<int64_t>(i);
    }
    return -1;
}

// The answers that need no scan, then the scan.
template <class Blocks, class Extent>
int64_t Find(const char* text, Extent& extent, std::string_view sought, size_t start, bool ignoreCase)
{
    const size_t m = sought.size();
    if (start >= SIZE_MAX - kBlock - m || !extent.holds(start + 1))
        return -1;
    if (m == 0)
        return 0;
    if (!extent.holds(start + m))
        return -1;
    const auto* t = reinterpret_cast<const uint8_t*>(text);
    const auto* s = reinterpret_cast<const uint8_t*>(sought.data());
    return ignoreCase ? Scan<Blocks, true>(t, extent, s, m, start) : Scan<Blocks, false>(t, extent, s, m, start);
}

// Both entries for one block tests policy.
template <class Blocks>
int64_t FindKnown(std::string_view text, std::string_view sought, size_t start, bool ignoreCase)
{
    KnownExtent extent(text.size());
    return Find<Blocks>(text.data(), extent, sought, start, ignoreCase);
}

template <class Blocks>
int64_t FindTerminated(const char* text, std::string_view sought, size_t start, bool ignoreCase)
{
    TerminatedExtent<Blocks> extent(text);
    return Find<Blocks>(text, extent, sought, start, ignoreCase);
}

} // namespace
} // namespace mt
