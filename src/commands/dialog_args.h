// Reading the arguments of the dialog, clipboard and focus commands: an
// argument the caller did not pass reads as omitted, a text argument of
// another type as the empty text.
#pragma once

#include <cstdint>
#include <string_view>

#include "abi/text_value.h"
#include "abi/value_record.h"

namespace mt::dialog {

inline ValueRecord Arg(int32_t argc, const ValueRecord* args, int32_t i)
{
    return args && i < argc ? args[i] : Omitted();
}

inline bool Given(const ValueRecord& v) { return v.type != kTypeNone; }

inline std::string_view TextArg(const ValueRecord& v)
{
    return v.type == kTypeText ? TextView(AsPointer<const char>(v)) : std::string_view();
}

} // namespace mt::dialog
