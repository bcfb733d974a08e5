// Why a rule fails: when the left or the right text is not in the page, the
// nearest cause, and a hint for a middle text that is empty because the
// right text occurs only before the left text.
//
// The causes are tried in order, each under its own normalisation alone, and
// the first that finds the text wins: the other line-break form, full-width
// and half-width forms exchanged, letter case, runs of whitespace, the
// page's HTML character references decoded; else the longest leading part
// of the text that occurs. Matches begin on character boundaries, as
// 寻找文本's do.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "abi/rule_diagnosis_codes.h"

namespace mt {

struct Diagnosis {
    DiagnosisCode code = DiagnosisCode::kNone;
    DiagnosisSide side = DiagnosisSide::kNone;
    int64_t offset = -1; // 0-based byte offset in the page; -1 for none
    size_t length = 0;   // bytes of the page that matched (partial: the bytes found)
    // What differs, for the sentence: the page's bytes and the text's there.
    std::string pageBytes, textBytes;
};

// Why `sought` (not found in `page`) is missing. With ignoreCase the rule
// already ignores letter case: every test does, and case is not tried.
Diagnosis DiagnoseMissing(std::string_view page, std::string_view sought, bool ignoreCase);

// The rule as the extraction runs it: the left text missing, then the right
// text missing anywhere in the page, then a right text that occurs only in
// front of the end of the left text. kNone when the rule finds a middle
// text or its right text follows the left.
Diagnosis DiagnoseRule(std::string_view page, std::string_view left, std::string_view right, bool ignoreCase);

// The short sentence for a diagnosis, in GB18030: the text it is about, the
// 1-based byte position, and where it helps the bytes that differ.
std::string DiagnosisSentence(const Diagnosis& d);

} // namespace mt
