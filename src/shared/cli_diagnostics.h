// Every message the command line writes on standard error, in one table:
// each line begins "middletext: ", then "SOURCE: " when it is about a
// source. The window's not-found messages stay as the window shows them
// (Chinese); every other message is English, with the runtime's reason in
// brackets where it gave one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace app {

// "middletext: " and the message, a line of its own on standard error (a
// progress line on the terminal is erased first and redrawn behind it).
void PrintError(const std::string& message);
// The same about a source: "middletext: SOURCE: message", the name echoed
// safely. An empty name is no source (standard input when none was given).
void PrintSourceError(const std::string& source, const std::string& message);

namespace diag {

// " (reason)" for a reason (terminal bytes) that is not empty, else nothing.
std::string Bracketed(const std::string& reason);

// The page could not be read at all.
std::string PageNotRead(const std::string& reason);
// What arrived is used; the rest did not come.
std::string EndedEarly(const std::string& reason);
// An error status: the page is used (a warning), or with -f left out.
std::string ServerAnswered(const std::string& statusText, bool bodyShown);
// Bytes of a page that did not convert.
std::string Replaced(int64_t bytes);
// fetch's URL checks, which the window answers with a message box.
std::string UrlEmpty();
std::string UrlBadScheme();
// find --text given the middle box's prompt, which the window refuses.
std::string MiddleIsPrompt();
// An argument or a source name that is not in the terminal's encoding.
std::string NotValid(const std::string& encoding);
// A file of the options (-o, -D) that cannot be written.
std::string CannotWrite(const std::string& what, const std::string& reason);

// The stable error code of a local source that could not be read, from
// its reason: no_such_file, too_large (input too large), decode (not in
// the terminal's encoding) or read.
const char* LocalErrorCode(const std::string& reason);

} // namespace diag
} // namespace app
