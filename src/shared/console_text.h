// Texts between the terminal (the locale's encoding, or raw GB18030 bytes)
// and the runtime (GB18030), converted by the runtime's encoding command.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "runtime_calls.h"

namespace app {

class Utf8ToGb18030;

class ConsoleText {
public:
    explicit ConsoleText(bool raw);
    ~ConsoleText();
    ConsoleText(ConsoleText&&) noexcept;
    // Texts in `encoding` whatever the locale (UTF-8 for JSON, say).
    static ConsoleText ForEncoding(const char* encoding);

    // The runtime's text for terminal bytes, ending at a zero byte as the
    // window's text does. False when the bytes do not decode.
    bool decode(std::string_view bytes, Owned* text) const;
    // The GB18030 bytes of a piece of terminal bytes without zero bytes,
    // written to `room` (four times the piece's size); their count in
    // *produced. False when the piece does not decode.
    bool decodePiece(std::string_view bytes, char* room, size_t* produced) const;
    // How many of the bytes form whole characters, so that a piece can end
    // there; the rest waits for the bytes that follow.
    size_t wholeCharacters(std::string_view bytes) const;
    bool raw() const { return raw_; }
    // The terminal's encoding, for messages ("UTF-8").
    const std::string& encoding() const { return encoding_; }
    // Terminal bytes for a runtime text; bytes that do not encode become
    // U+FFFD (or '?' in a non-Unicode locale).
    std::string encode(std::string_view text) const;
    // The same in one conversion, into *out: false, with *out undefined,
    // when a character does not encode (encode() then replaces it).
    bool encodeWhole(std::string_view text, std::string* out) const;
    // The same, handed to `sink` piece by piece (about a megabyte each).
    void encodeEach(std::string_view text, const std::function<void(std::string_view)>& sink) const;

private:
    void encodePiece(std::string_view piece, const std::function<void(std::string_view)>& sink) const;

    bool raw_;
    std::string encoding_;
    mutable std::unique_ptr<Utf8ToGb18030> fromUtf8_; // made once the input is large
    mutable size_t decodedDirectly_ = 0;              // UTF-8 bytes decoded before it was
};

} // namespace app
