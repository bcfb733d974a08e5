// SuggestRule (core command 11, our own): a left and a right text that
// extract exactly the given bytes from one or more pages (see
// commands/rule_suggestion.h).
#pragma once

#include <cstdint>

#include "abi/value_record.h"

namespace mt {

// Arguments: one group of three per example, as many groups as there are
// examples:
//   page text, 1-based start (integer), length (integer): the bytes selected;
//   page text, wanted text, omitted: any occurrence of the wanted text.
// A group of any other shape, or an argument count that is no multiple of
// three, counts as an empty selection.
// Result: a byte array of 32-bit little-endian words and texts, each text a
// word holding its byte count, then its bytes: the word 1, the word 0, the
// left text and the right text; or, when there is no pair, the word 0, the
// 1-based example the reason concerns, the reason's code (ASCII) and its
// sentence (GB18030).
void SuggestRuleCommand(ValueRecord* result, int32_t argc, ValueRecord* args);

} // namespace mt
