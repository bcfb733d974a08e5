#include "cli_diagnostics.h"

#include <cerrno>
#include <cstring>

#include "cli_messages.h"
#include "console_progress.h"

namespace app {

void PrintError(const std::string& message)
{
    WriteAboveProgress("middletext: " + message + "\n");
}

void PrintSourceError(const std::string& source, const std::string& message)
{
    PrintError(source.empty() ? message : EchoArgument(source) + ": " + message);
}

namespace diag {

std::string Bracketed(const std::string& reason) { return reason.empty() ? std::string() : " (" + reason + ")"; }

std::string PageNotRead(const std::string& reason) { return "could not read the page" + Bracketed(reason); }

std::string EndedEarly(const std::string& reason) { return "warning: the page ended early" + Bracketed(reason); }

std::string ServerAnswered(const std::string& statusText, bool bodyShown)
{
    return std::string(bodyShown ? "warning: " : "") + "the server answered " + EchoArgument(statusText);
}

std::string Replaced(int64_t bytes)
{
    return "warning: " + std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes") + " of the page did not convert and " +
           (bytes == 1 ? "was" : "were") + " replaced";
}

std::string UrlEmpty() { return "the URL is empty"; }

std::string UrlBadScheme() { return "not an http:// or https:// URL"; }

std::string MiddleIsPrompt() { return "--text is the middle box's prompt, not a text to find"; }

std::string NotValid(const std::string& encoding) { return "not valid " + encoding + " (try --gbk for GB18030)"; }

const char* LocalErrorCode(const std::string& reason)
{
    const auto ends = [&reason](const std::string& tail) {
        return reason.size() >= tail.size() && reason.compare(reason.size() - tail.size(), tail.size(), tail) == 0;
    };
    if (ends(std::strerror(ENOENT)))
        return "no_such_file";
    if (ends("input too large"))
        return "too_large";
    if (reason.find(" (try --gbk for GB18030)") != std::string::npos)
        return "decode";
    return "read";
}

std::string CannotWrite(const std::string& what, const std::string& reason) { return what + ": " + reason; }

} // namespace diag
} // namespace app
