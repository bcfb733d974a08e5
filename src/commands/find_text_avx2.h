// The AVX2 copy of the text search (find_text_avx2.cpp). Only find_text.cpp
// calls it, and only after asking the processor.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The AVX2 copy is built on x86-64 by GCC or clang, whose target pragmas
// confine AVX2 to it; elsewhere its entries are never called.
#if defined(__x86_64__) && defined(__GNUC__)
#define MT_FIND_TEXT_AVX2 1
#endif

namespace mt {

int64_t FindTextOffsetAvx2(std::string_view text, std::string_view sought, size_t start, bool ignoreCase);
int64_t FindTextOffsetInTerminatedAvx2(const char* text, std::string_view sought, size_t start, bool ignoreCase);

} // namespace mt
