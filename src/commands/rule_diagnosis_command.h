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
//
// Called with a component first (as SetComponentFocus takes it), the
// command answers instead whether the tool shows results while the rule is
// typed (boolean, platform/live_results.h); with a label (text) behind the
// component it also puts the switch of that setting into the context menu
// of the box, when it is a multi-line edit box.
void RuleDiagnosis(ValueRecord* result, int32_t argc, ValueRecord* args);

} // namespace mt
