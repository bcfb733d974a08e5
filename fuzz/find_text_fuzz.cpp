// Fuzz target: the block scan behind 寻找文本 against the plain walk, with
// every copy of block tests this build has, the length known and the text
// measured as the search goes. Byte 0 gives the start (bits 1-7) and the
// case rule (bit 0), byte 1 the sought text's length; the sought text and
// the text follow. Both are cut at a zero byte, as the command sees them.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "commands/find_text.h"
#include "commands/find_text_avx2.h"
#include "commands/find_text_reference.h"

namespace {

std::string UpToZero(std::string_view bytes) { return std::string(bytes.substr(0, bytes.find('\0'))); }

} // namespace

// Says in the log whether the AVX2 copy takes part: it runs only where it was
// built and the processor has AVX2; elsewhere its kind falls back to the
// portable tests.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
#ifndef MT_FIND_TEXT_AVX2
    std::fprintf(stderr, "find_text_fuzz: AVX2 search skipped: not built for this target\n");
#else
    if (mt::ScanKindAvailable(mt::ScanKind::kAvx2))
        std::fprintf(stderr, "find_text_fuzz: AVX2 search included\n");
    else
        std::fprintf(stderr, "find_text_fuzz: AVX2 search skipped: the processor has no AVX2\n");
#endif
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const int32_t start = data[0] >> 1;
    const bool ignoreCase = data[0] & 1;
    const std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
    const size_t m = std::min<size_t>(data[1] % 24, rest.size());
    const std::string sought = UpToZero(rest.substr(0, m));
    const std::string text = UpToZero(rest.substr(m));
    const int32_t expected = mt::test::ReferenceFindTextN(text.c_str(), static_cast<int64_t>(text.size()),
                                                          sought.c_str(), static_cast<int64_t>(sought.size()), true,
                                                          start, true, ignoreCase);
    const size_t offset = start > 0 ? static_cast<size_t>(start - 1) : 0;
    // Exact-size copies, so that a read behind the text is caught.
    const auto exact = std::make_unique<char[]>(text.size());
    text.copy(exact.get(), text.size());
    const auto terminated = std::make_unique<char[]>(text.size() + 1);
    text.copy(terminated.get(), text.size());
    terminated[text.size()] = 0;
    for (mt::ScanKind kind : {mt::ScanKind::kPortable, mt::ScanKind::kSse2, mt::ScanKind::kAvx2}) {
        const int64_t known =
            mt::FindTextOffsetUsing(kind, std::string_view(exact.get(), text.size()), sought, offset, ignoreCase);
        const int64_t measured =
            mt::FindTextOffsetInTerminatedUsing(kind, terminated.get(), sought, offset, ignoreCase);
        if ((known < 0 ? -1 : known + 1) != expected || measured != known)
            std::abort();
    }
    return 0;
}
