#include "commands/find_text.h"

#include "commands/find_text_avx2.h"
#include "commands/find_text_scan.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace mt {
namespace {

// Block tests one byte at a time.
struct PortableBlocks {
    static uint64_t High(const uint8_t* p)
    {
        uint64_t mask = 0;
        for (size_t k = 0; k < kBlock; ++k)
            mask |= static_cast<uint64_t>(p[k] >> 7) << k;
        return mask;
    }
    static uint64_t Digits(const uint8_t* p)
    {
        uint64_t mask = 0;
        for (size_t k = 0; k < kBlock; ++k)
            mask |= static_cast<uint64_t>(IsDigit(p[k])) << k;
        return mask;
    }
    static uint64_t Leads(const uint8_t* p)
    {
        uint64_t mask = 0;
        for (size_t k = 0; k < kBlock; ++k)
            mask |= static_cast<uint64_t>(IsFourByteLead(p[k])) << k;
        return mask;
    }
    MT_WHOLE_BLOCK_READ static uint64_t Zeros(const uint8_t* p)
    {
        uint64_t mask = 0;
        for (size_t k = 0; k < kBlock; ++k)
            mask |= static_cast<uint64_t>(p[k] == 0) << k;
        return mask;
    }
    MT_WHOLE_BLOCK_READ static bool HasZero(const uint8_t* p)
    {
        uint8_t least = 0xFF;
        for (size_t k = 0; k < 256; ++k)
            least = p[k] < least ? p[k] : least; // no helper: this function's reads go unchecked
        return least == 0;
    }
    template <bool kFold>
    static uint64_t Candidates(const uint8_t* p, const Filter& f)
    {
        uint64_t mask = 0;
        for (size_t k = 0; k < kBlock; ++k) {
            bool hit = true;
            for (int j = 0; j < 3; ++j)
                hit = hit && (p[k + f.offset[j]] | f.test[j].orBits) == f.test[j].value;
            mask |= static_cast<uint64_t>(hit) << k;
        }
        return mask;
    }
    static void Prefetch(uintptr_t) {}
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
        return Bits(Load(p), 0) | Bits(Load(p + 16), 1) | Bits(Load(p + 32), 2) | Bits(Load(p + 48), 3);
    }
    // Bytes in lo..hi, compared as signed bytes: both ends on the same side
    // of 0x80.
    static __m128i InRange(__m128i v, int8_t lo, int8_t hi)
    {
        return _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(static_cast<char>(lo - 1))),
                             _mm_cmplt_epi8(v, _mm_set1_epi8(static_cast<char>(hi + 1))));
    }
    static uint64_t RangeBits(const uint8_t* p, int8_t lo, int8_t hi)
    {
        uint64_t mask = 0;
        for (int part = 0; part < 4; ++part)
            mask |= Bits(InRange(Load(p + 16 * part), lo, hi), part);
        return mask;
    }
    static uint64_t Digits(const uint8_t* p) { return RangeBits(p, '0', '9'); }
    static uint64_t Leads(const uint8_t* p) { return RangeBits(p, -127, -2); } // 0x81-0xFE
    MT_WHOLE_BLOCK_READ static uint64_t Zeros(const uint8_t* p)
    {
        const auto* v = reinterpret_cast<const __m128i*>(p);
        uint64_t mask = 0;
        for (int part = 0; part < 4; ++part)
            mask |= Bits(_mm_cmpeq_epi8(_mm_load_si128(v + part), _mm_setzero_si128()), part);
        return mask;
    }
    static __m128i Min(__m128i a, __m128i b) { return _mm_min_epu8(a, b); }
    MT_WHOLE_BLOCK_READ static bool HasZero(const uint8_t* p)
    {
        const auto* v = reinterpret_cast<const __m128i*>(p);
        __m128i bytes[16];
        for (int k = 0; k < 16; ++k)
            bytes[k] = _mm_load_si128(v + k);
        const __m128i least = Least(bytes, &Min);
        return _mm_movemask_epi8(_mm_cmpeq_epi8(least, _mm_setzero_si128())) != 0;
    }
    // Sixteen positions at p against one byte test.
    template <bool kFold>
    static __m128i Test(const uint8_t* p, ByteTest test)
    {
        __m128i bytes = Load(p);
        if constexpr (kFold)
            bytes = _mm_or_si128(bytes, _mm_set1_epi8(static_cast<char>(test.orBits)));
        return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(test.value)));
    }
    template <bool kFold>
    static __m128i Hits(const uint8_t* p, const Filter& f)
    {
        const __m128i firstTwo =
            _mm_and_si128(Test<kFold>(p, f.test[0]), Test<kFold>(p + f.offset[1], f.test[1]));
        return _mm_and_si128(firstTwo, Test<kFold>(p + f.offset[2], f.test[2]));
    }
    template <bool kFold>
    static uint64_t Candidates(const uint8_t* p, const Filter& f)
    {
        __m128i hits[4];
        for (int part = 0; part < 4; ++part)
            hits[part] = Hits<kFold>(p + 16 * part, f);
        // Most blocks hold no candidate: one mask answers that.
        const __m128i any = _mm_or_si128(_mm_or_si128(hits[0], hits[1]), _mm_or_si128(hits[2], hits[3]));
        if (_mm_movemask_epi8(any) == 0)
            return 0;
        return Bits(hits[0], 0) | Bits(hits[1], 1) | Bits(hits[2], 2) | Bits(hits[3], 3);
    }
    static void Prefetch(uintptr_t address) { PrefetchLine(address); }
};
#endif

// Whether the AVX2 copy of the scan exists and the processor runs it; asked
// here, in code built for the baseline.
bool Avx2ScanAvailable()
{
#ifdef MT_FIND_TEXT_AVX2
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
#else
    return false;
#endif
}

} // namespace

bool ScanKindAvailable(ScanKind kind)
{
    switch (kind) {
    case ScanKind::kAvx2:
        return Avx2ScanAvailable();
    case ScanKind::kSse2:
#ifdef __SSE2__
        return true;
#else
        return false;
#endif
    default:
        return true;
    }
}

namespace {

// The block tests a search with `kind` runs.
ScanKind Resolve(ScanKind kind)
{
    if (kind != ScanKind::kBest)
        return ScanKindAvailable(kind) ? kind : ScanKind::kPortable;
    if (Avx2ScanAvailable())
        return ScanKind::kAvx2;
    return ScanKindAvailable(ScanKind::kSse2) ? ScanKind::kSse2 : ScanKind::kPortable;
}

} // namespace

int64_t FindTextOffsetUsing(ScanKind kind, std::string_view text, std::string_view sought, size_t start,
                            bool ignoreCase)
{
    switch (Resolve(kind)) {
    case ScanKind::kAvx2: return FindTextOffsetAvx2(text, sought, start, ignoreCase);
#ifdef __SSE2__
    case ScanKind::kSse2: return FindKnown<Sse2Blocks>(text, sought, start, ignoreCase);
#endif
    default: return FindKnown<PortableBlocks>(text, sought, start, ignoreCase);
    }
}

int64_t FindTextOffsetInTerminatedUsing(ScanKind kind, const char* text, std::string_view sought, size_t start,
                                        bool ignoreCase)
{
    if (!text)
        text = "";
    switch (Resolve(kind)) {
    case ScanKind::kAvx2: return FindTextOffsetInTerminatedAvx2(text, sought, start, ignoreCase);
#ifdef __SSE2__
    case ScanKind::kSse2: return FindTerminated<Sse2Blocks>(text, sought, start, ignoreCase);
#endif
    default: return FindTerminated<PortableBlocks>(text, sought, start, ignoreCase);
    }
}

int64_t FindTextOffset(std::string_view text, std::string_view sought, size_t start, bool ignoreCase)
{
    return FindTextOffsetUsing(ScanKind::kBest, text, sought, start, ignoreCase);
}

int64_t FindTextOffsetInTerminated(const char* text, std::string_view sought, size_t start, bool ignoreCase)
{
    return FindTextOffsetInTerminatedUsing(ScanKind::kBest, text, sought, start, ignoreCase);
}

} // namespace mt
