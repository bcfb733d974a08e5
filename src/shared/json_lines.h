// JSON Lines for the command line's results: one flat object a line, in
// UTF-8. Written by hand rather than with a JSON library: the objects are
// flat (texts, whole numbers, true), nothing is ever parsed, and the writer
// must say when it replaced bytes that are not UTF-8 (a library refuses or
// replaces them without telling).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace app {

// Appends `text` as a JSON string, quotes included: " and \ escaped, control
// characters as \n, \t, ... or \u00XX, U+2028 and U+2029 as \u2028 and
// \u2029 (so that a line is also a line of JavaScript). Bytes that are not
// UTF-8 become U+FFFD, one for each byte; returns true when any did.
bool AppendJsonString(std::string* out, std::string_view text);

// One object, built field by field, in the order given.
class JsonObject {
public:
    // Field names are ours: letters and underscores, written as they are.
    JsonObject& text(std::string_view name, std::string_view value);
    // A text already made a JSON string by AppendJsonString (quotes
    // included), for one written many times over.
    JsonObject& escaped(std::string_view name, std::string_view quoted);
    JsonObject& number(std::string_view name, int64_t value);
    // Says "lossy": true for bytes replaced before they came here.
    void markLossy() { lossy_ = true; }
    // The object and a line break; "lossy": true first added when a text
    // field had bytes replaced.
    std::string line();

private:
    void key(std::string_view name);

    std::string body_;
    bool lossy_ = false;
};

} // namespace app
