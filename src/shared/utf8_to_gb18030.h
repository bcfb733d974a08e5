// UTF-8 to GB18030 by table, for reading large terminal input quickly. The
// table holds the encoding command's own answers for every character of the
// basic plane, asked once; characters beyond it follow GB18030's four-byte
// arithmetic, checked against the command too. Anything the table cannot
// answer for (bytes that are not UTF-8, a character the command refuses) is
// left to the command: convert() then says false.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace app {

class Utf8ToGb18030 {
public:
    // The encoding command on a piece of UTF-8: false when it refuses.
    using Command = std::function<bool(std::string_view utf8, std::string* gb)>;

    explicit Utf8ToGb18030(const Command& command);

    // Writes the GB18030 bytes of `utf8` to out (room for twice its size:
    // no character grows more) and returns their count. *whole is false
    // when the table cannot answer for every character; the count is then
    // of no use.
    size_t convert(std::string_view utf8, char* out, bool* whole) const;

private:
    // Per code point of the basic plane: its GB18030 bytes, first byte
    // lowest; 0 for none. Two-byte characters leave the upper half 0.
    std::unique_ptr<uint32_t[]> table_;
    bool beyondPlane_ = false; // the four-byte arithmetic agrees with the command
};

} // namespace app
