#include "platform/text_view/text_buffer_scan.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "abi/gb18030.h"

namespace mt::platform {

void FindLineStarts(std::string_view text, std::vector<size_t>* starts)
{
    starts->clear();
    const char* d = text.data();
    const size_t n = text.size();
    // The next LF and CR at or after the walk; n when there is none.
    const auto next = [&](char c, size_t from) {
        const void* p = from < n ? std::memchr(d + from, c, n - from) : nullptr;
        return p ? static_cast<size_t>(static_cast<const char*>(p) - d) : n;
    };
    size_t lf = next('\n', 0);
    size_t cr = next('\r', 0);
    while (lf < n || cr < n) {
        if (lf < cr) {
            starts->push_back(lf + 1);
            lf = next('\n', lf + 1);
        } else {
            if (cr + 1 == n || d[cr + 1] != '\n')
                starts->push_back(cr + 1); // CR LF starts its line after the LF
            cr = next('\r', cr + 1);
        }
    }
}

void FindCheckpoints(std::string_view text, size_t segmentBytes, std::vector<size_t>* cps)
{
    cps->clear();
    const auto* d = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    size_t q = 0;
    for (;;) {
        const size_t target = q + segmentBytes;
        if (target >= n)
            return;
        while (q < target) {
            // Eight single-byte characters at a time while they last.
            uint64_t word;
            if (q + 8 <= target) {
                std::memcpy(&word, d + q, 8);
                if (!(word & 0x8080808080808080ull)) {
                    q += 8;
                    continue;
                }
            }
            q += gb18030::CharLength(d + q, std::min<size_t>(4, n - q));
        }
        if (q >= n)
            return;
        cps->push_back(q);
    }
}

} // namespace mt::platform
