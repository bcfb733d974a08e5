// Fuzz target: why a rule fails, on any bytes. Byte 0 gives the case rule
// (bit 0), bytes 1 and 2 the lengths of the left and the right text; the
// two texts and the page follow. Every cause must lie inside the page, a
// partial part must be a leading part of its text found where it says, and
// the sentence must be made.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "commands/find_text.h"
#include "commands/rule_diagnosis.h"

// The code-point conversion of the platform, which the fuzz build leaves
// out: characters beyond ASCII as one double-byte character.
namespace mt::platform {
std::string Utf16ToGb(std::u16string_view units)
{
    return units.empty() ? std::string() : std::string("\xA1\xF6");
}
} // namespace mt::platform

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    const bool ignoreCase = data[0] & 1;
    const std::string_view all(reinterpret_cast<const char*>(data) + 3, size - 3);
    const std::string_view left = all.substr(0, data[1]);
    const std::string_view right = all.substr(left.size(), data[2]);
    const std::string_view page = all.substr(left.size() + right.size());
    const mt::Diagnosis d = mt::DiagnoseRule(page, left, right, ignoreCase);
    if (d.code == mt::DiagnosisCode::kNone)
        return 0;
    if (d.offset >= 0 && static_cast<size_t>(d.offset) + d.length > page.size())
        std::abort();
    if (d.code == mt::DiagnosisCode::kPartial && d.length > 0) {
        const std::string_view text = d.side == mt::DiagnosisSide::kLeft ? left : right;
        const std::string_view part = page.substr(static_cast<size_t>(d.offset), d.length);
        if (!ignoreCase && part != text.substr(0, d.length))
            std::abort();
        if (mt::FindTextOffset(page, part, 0, ignoreCase) != d.offset)
            std::abort();
    }
    if (mt::DiagnosisSentence(d).empty())
        std::abort();
    return 0;
}
