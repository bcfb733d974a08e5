// RuleDiagnosis (core command 12, our own): why a rule fails on a text, or
// why its middle text is empty (abi/rule_diagnosis_codes.h).
#pragma once

#include <cstdint>

#include "abi/value_record.h"

namespace mt {

// Arguments: the text, the left text, the right text, whether letter case
// is ignored (boolean, optional), then variables by reference: the side the
// cause is about (integer, DiagnosisSide), its 1-based byte position in the
// text (integer, 0 for none), the bytes that matched (integer) and the
// sentence (text). The result is the cause's DiagnosisCode as an integer;
// kNone leaves the variables alone.
void RuleDiagnosis(ValueRecord* result, int32_t argc, ValueRecord* args);

} // namespace mt
