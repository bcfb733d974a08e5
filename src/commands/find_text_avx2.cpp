// The text search with 32-byte block tests. The standard headers come first,
// compiled for the baseline; only what follows the target pragma may use
// AVX2, and the processor is asked before any of it runs.
#include "commands/find_text_avx2.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#ifdef MT_FIND_TEXT_AVX2
#include <immintrin.h>
#ifdef __clang__
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC target("avx2")
#endif
#include "commands/find_text_scan.h"
#endif

namespace mt {

#ifdef MT_FIND_TEXT_AVX2
namespace {

struct Avx2Blocks {
    static __m256i Load(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static uint64_t Bits(__m256i v, int part)
    {
        return static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(v))) << (32 * part);
    }
    static uint64_t High(const uint8_t* p) { return Bits(Load(p), 0) | Bits(Load(p + 32), 1); }
    // Bytes in lo..hi, compared as signed bytes: both ends on the same side
    // of 0x80.
    static __m256i InRange(__m256i v, int8_t lo, int8_t hi)
    {
        return _mm256_and_si256(_mm256_cmpgt_epi8(v, _mm256_set1_epi8(static_cast<char>(lo - 1))),
                                _mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(hi + 1)), v));
    }
    static uint64_t RangeBits(const uint8_t* p, int8_t lo, int8_t hi)
    {
        return Bits(InRange(Load(p), lo, hi), 0) | Bits(InRange(Load(p + 32), lo, hi), 1);
    }
    static uint64_t Digits(const uint8_t* p) { return RangeBits(p, '0', '9'); }
    static uint64_t Leads(const uint8_t* p) { return RangeBits(p, -127, -2); } // 0x81-0xFE
    MT_WHOLE_BLOCK_READ static uint64_t Zeros(const uint8_t* p)
    {
        const auto* v = reinterpret_cast<const __m256i*>(p);
        const __m256i zero = _mm256_setzero_si256();
        return Bits(_mm256_cmpeq_epi8(_mm256_load_si256(v), zero), 0) |
               Bits(_mm256_cmpeq_epi8(_mm256_load_si256(v + 1), zero), 1);
    }
    static __m256i Min(__m256i a, __m256i b) { return _mm256_min_epu8(a, b); }
    MT_WHOLE_BLOCK_READ static bool HasZero(const uint8_t* p)
    {
        const auto* v = reinterpret_cast<const __m256i*>(p);
        __m256i bytes[8];
        for (int k = 0; k < 8; ++k)
            bytes[k] = _mm256_load_si256(v + k);
        const __m256i least = Least(bytes, &Min);
        const __m256i zeros = _mm256_cmpeq_epi8(least, _mm256_setzero_si256());
        return !_mm256_testz_si256(zeros, zeros);
    }
    // Thirty-two positions at p against one byte test.
    template <bool kFold>
    static __m256i Test(const uint8_t* p, ByteTest test)
    {
        __m256i bytes = Load(p);
        if constexpr (kFold)
            bytes = _mm256_or_si256(bytes, _mm256_set1_epi8(static_cast<char>(test.orBits)));
        return _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(static_cast<char>(test.value)));
    }
    template <bool kFold>
    static __m256i Hits(const uint8_t* p, const Filter& f)
    {
        const __m256i firstTwo =
            _mm256_and_si256(Test<kFold>(p, f.test[0]), Test<kFold>(p + f.offset[1], f.test[1]));
        return _mm256_and_si256(firstTwo, Test<kFold>(p + f.offset[2], f.test[2]));
    }
    template <bool kFold>
    static uint64_t Candidates(const uint8_t* p, const Filter& f)
    {
        const __m256i low = Hits<kFold>(p, f);
        const __m256i high = Hits<kFold>(p + 32, f);
        const __m256i any = _mm256_or_si256(low, high);
        if (_mm256_testz_si256(any, any))
            return 0;
        return Bits(low, 0) | Bits(high, 1);
    }
    static void Prefetch(uintptr_t address) { PrefetchLine(address); }
};

} // namespace

int64_t FindTextOffsetAvx2(std::string_view text, std::string_view sought, size_t start, bool ignoreCase)
{
    return FindKnown<Avx2Blocks>(text, sought, start, ignoreCase);
}

int64_t FindTextOffsetInTerminatedAvx2(const char* text, std::string_view sought, size_t start, bool ignoreCase)
{
    return FindTerminated<Avx2Blocks>(text, sought, start, ignoreCase);
}

#ifdef __clang__
#pragma clang attribute pop
#endif

#else

int64_t FindTextOffsetAvx2(std::string_view, std::string_view, size_t, bool)
{
    return -1;
}
int64_t FindTextOffsetInTerminatedAvx2(const char*, std::string_view, size_t, bool) { return -1; }

#endif

} // namespace mt
