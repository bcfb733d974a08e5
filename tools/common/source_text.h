// Small helpers shared by the build-time tools: reading the readable source
// files (UTF-8) and writing generated C++.
#pragma once

#include <string>

namespace tools {

// Tokenises one line: words, integers and "quoted" texts with C escapes.
// Everything from an unquoted `#` on is a comment.
class SourceLine {
public:
    explicit SourceLine(const std::string& line) : s_(line) { skipBlanks(); }
    bool atEnd() const { return pos_ >= s_.size(); }
    bool peekQuote() const { return !atEnd() && s_[pos_] == '"'; }
    // The next run of characters up to a blank (empty at the end).
    std::string word();
    // A quoted text; false when the next token is not one.
    bool quoted(std::string* text);
    // A decimal or 0x hexadecimal integer, optionally negative.
    bool integer(long long* value);

private:
    void skipBlanks();
    std::string s_;
    size_t pos_ = 0;
};

bool Utf8ToGb18030(const std::string& utf8, std::string* gb);
// A C++ string literal of the bytes, every non-ASCII byte escaped.
std::string CLiteral(const std::string& bytes);
// The text for a comment: control characters escaped.
std::string Printable(const std::string& utf8);
// Writes the file only when its contents differ, so builds stay incremental.
bool WriteIfChanged(const std::string& path, const std::string& contents);

} // namespace tools
