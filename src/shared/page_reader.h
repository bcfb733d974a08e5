// Reading a web page into a text, shared by the window and the command line.
#pragma once

#include <string>
#include <string_view>

#include "runtime_calls.h"

namespace app {

enum class UrlCheck {
    kOk,
    kEmpty,     // nothing was entered
    kBadScheme, // neither "http://" nor "https://" anywhere in it (any letter case)
};

UrlCheck CheckUrl(const char* url);

enum class PageOutcome {
    kShown,      // the whole page arrived
    kEndedEarly, // part of it arrived; *reason says why the rest did not
    kCancelled,  // the user cancelled the transfer
    kNothing,    // no byte arrived; *reason says why
};

// Fetches the page and makes it a text in the runtime's encoding: a page
// that declares its encoding (a byte-order mark, the Content-Type header, a
// <meta> near its start, or "charset=utf-8" anywhere), or declares none and
// is UTF-8, is converted from it to GB18030; a page that declares nothing
// else or the GB family is kept as received. A few bad bytes become U+FFFD
// (and an incomplete last character is left out); a page with more than a
// few does not convert and is kept as received. A transfer that ended early
// drops the character it cut short before converting. *page is set for
// kShown and kEndedEarly, *reason for kEndedEarly and kNothing; *replaced,
// when given, to the bytes replaced or left out.
PageOutcome FetchPage(const char* url, Owned* page, Owned* reason, int64_t* replaced = nullptr);

// The bytes as a text in the runtime's encoding, decoded as the report on
// their transfer says (as FetchPage does). Takes the bytes, so that they go
// as soon as they have been converted. *replaced, when given: the bytes
// replaced by U+FFFD or left out (0 for a page kept as received).
Owned DecodePage(Owned bytes, const TransferReport& report, int64_t* replaced = nullptr);

// The window's read of a page into the big box (one step to undo), with
// what goes with it: the address history, the notice over a page that is
// not quite what was asked for, a message when nothing arrived. True when
// the page is shown (whole or not).
bool ReadPageFrom(const char* url);
// Whether the big box's text is still the page last read into it, whole
// and with success, and from which address.
bool PageReadFrom(std::string_view text, std::string* url);

} // namespace app
