// Runtime texts (GB18030) as UTF-8, for JSON and other UTF-8 output.
#pragma once

#include <string>
#include <string_view>

#include "runtime_calls.h"

namespace app {

// The UTF-8 of a runtime text when every character of it decodes.
bool RuntimeToUtf8(std::string_view text, std::string* utf8);
// The UTF-8 of a runtime text; a character that does not decode becomes
// U+FFFD and sets *lossy.
std::string RuntimeUtf8(std::string_view text, bool* lossy);

// A diagnosis as a JSON object: its code, position (null for none), length
// and sentence; null when there is nothing to say.
std::string HintJson(const RuleHint& hint, bool* lossy);

} // namespace app
