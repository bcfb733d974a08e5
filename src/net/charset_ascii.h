// ASCII letter case and blanks as charset labels and markup use them.
#pragma once

namespace mt::charset {

inline char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

} // namespace mt::charset
