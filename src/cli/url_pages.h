// Reading the URL sources of extract and find. Pages are asked for ahead
// of their turn and taken in the order they were asked for; the internet
// library reads up to --jobs of them at once, each as fetch reads a page,
// and holds the pages that ended before their turn within --max-memory.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "cli_options.h"
#include "shared/runtime_calls.h"

namespace app {

// One page, decoded as fetch decodes it.
struct FetchedPage {
    enum class Outcome {
        kRead,       // the whole page arrived
        kEndedEarly, // part of it arrived; reason says why the rest did not
        kNotRead,    // nothing arrived; reason says why
    };
    Outcome outcome = Outcome::kNotRead;
    Owned text;         // the page as a runtime text (GB18030)
    int32_t length = 0; // its bytes
    Owned reason;       // a runtime text
    int32_t status = 0; // the HTTP status; 0 when no answer arrived
    Owned statusText;   // "404 Not Found"; empty when none came
    Owned error;        // the stable error code ("timeout", "http_status", ...); empty for none
};

class UrlPages {
public:
    virtual ~UrlPages() = default;
    // Asks for the page at `url` (a runtime text's bytes) under `ticket`.
    virtual void request(uint64_t ticket, std::string url) = 0;
    // Reads until the page under `ticket` is there (true), or until the
    // reader has room for more pages and none to start (false: ask for
    // more, then wait again).
    virtual bool wait(uint64_t ticket) = 0;
    // The page asked for under `ticket`, once it is there. Tickets are taken
    // in the order they were asked for.
    virtual FetchedPage take(uint64_t ticket) = 0;
};

// Hands the request options and the bounds of transfers of the command
// line to the internet library, for every later transfer.
void ApplyRequestOptions(const CliOptions& options);

// Pages read --jobs at once (kDefaultJobs when not given).
std::unique_ptr<UrlPages> MakeUrlPages(const CliOptions& options);

} // namespace app
