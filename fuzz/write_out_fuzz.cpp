// Fuzz target: fetch's -w formats. A format the check accepts expands
// without fault, every byte of it accounted for: the expansion is the
// format with each variable replaced by its value, so with values that are
// all empty it is never longer than the format. One the check refuses
// names why.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cli/write_out.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view format(reinterpret_cast<const char*>(data), size);
    std::string error;
    if (!app::CheckWriteOut(format, &error)) {
        if (error.empty())
            std::abort();
        return 0;
    }
    app::WriteOutValues empty;
    empty.httpCode = -1; // "-01": three bytes, as any code
    const std::string out = app::ExpandWriteOut(format, empty);
    // Empty texts, one-digit numbers and "0.000000" for the time: a
    // variable's name with its %{} is longer than each but the time's
    // "%{time_total}" (13 bytes against 8).
    if (out.size() > format.size())
        std::abort();
    app::WriteOutValues full;
    full.urlEffective = std::string(1000, 'u');
    if (app::ExpandWriteOut(format, full).size() < out.size())
        std::abort();
    return 0;
}
