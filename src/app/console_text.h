// Texts between the terminal (the locale's encoding, or raw GB18030 bytes)
// and the runtime (GB18030), converted by the runtime's encoding command.
#pragma once

#include <string>
#include <string_view>

#include "runtime_calls.h"

namespace app {

class ConsoleText {
public:
    explicit ConsoleText(bool raw);

    // The runtime's text for terminal bytes, ending at a zero byte as the
    // window's text does. False when the bytes do not decode.
    bool decode(std::string_view bytes, Owned* text) const;
    // Terminal bytes for a runtime text; bytes that do not encode become
    // U+FFFD (or '?' in a non-Unicode locale).
    std::string encode(std::string_view text) const;
    // Writes a message (a runtime text) and a line break to standard error.
    void message(const char* text) const;

private:
    bool raw_;
    std::string encoding_;
};


} // namespace app
