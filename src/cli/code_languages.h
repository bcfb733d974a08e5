// The extraction subroutine in other languages than the window's (code --lang).
#pragma once

#include <string_view>

namespace app {

// The languages --lang accepts, for messages and the usage: "python,
// javascript or c".
extern const char kCodeLanguageNames[];

// The subroutine in the named language (ASCII text), or null for a name that
// is not one of them.
const char* CodeInLanguage(std::string_view language);

} // namespace app
