// The causes the rule diagnosis names, shared by the diagnosis command and
// the tool's handlers and command line: the number the command answers and
// the stable name the command line prints.
#pragma once

#include <cstdint>
#include <string_view>

namespace mt {

enum class DiagnosisCode : int32_t {
    kNone = 0,            // the rule works, or nothing to say
    kLineBreaks = 1,      // found with the other line-break form
    kWidth = 2,           // found with full-width and half-width forms exchanged
    kCase = 3,            // found ignoring letter case
    kWhitespace = 4,      // found with runs of whitespace treated as equal
    kEntities = 5,        // found with the page's HTML character references decoded
    kRightBeforeLeft = 6, // the right text occurs only before the left text
    kPartial = 7,         // only a leading part of the text occurs
};

// Which text of the rule a cause is about.
enum class DiagnosisSide : int32_t { kNone = 0,
                                     kLeft = 1,
                                     kRight = 2 };

inline std::string_view DiagnosisName(DiagnosisCode code)
{
    switch (code) {
    case DiagnosisCode::kLineBreaks: return "line_breaks";
    case DiagnosisCode::kWidth: return "width";
    case DiagnosisCode::kCase: return "case";
    case DiagnosisCode::kWhitespace: return "whitespace";
    case DiagnosisCode::kEntities: return "entities";
    case DiagnosisCode::kRightBeforeLeft: return "right_before_left";
    case DiagnosisCode::kPartial: return "partial";
    case DiagnosisCode::kNone: break;
    }
    return {};
}

} // namespace mt
