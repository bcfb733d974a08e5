// Several GETs at once, for the command line's URL sources. One libcurl
// multi handle runs up to `jobs` transfers together; they share its
// connection and DNS caches. Each transfer is set up and reported on as the
// program's client does a single read (http_transfer.h): the same limits,
// request options, retries, status and charset report.
//
// Pages are asked for under tickets (in the order their results are
// wanted) and taken by ticket. Two bounds hold what the batch holds:
//   - connections: at most `jobs` transfers run at once;
//   - memory: the bytes all pages hold, in flight and ended but not yet
//     taken (each page also counts kPageCost for itself), stay under the
//     limits' memory bound; a transfer whose write would pass it pauses
//     until pages are taken, and a page is not started while it is full.
// The page with the lowest ticket held, the next the caller will take (and
// the one the caller waits for), passes both: it always starts and never pauses, so a stalled or large
// page ahead never keeps the rest from moving, and the rest never keep it
// waiting. For the thread that uses it only; there is no cancel and no
// progress report (the window never uses it).
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "abi/text_value.h"
#include "abi/value_record.h"
#include "net/http_client.h"
#include "net/http_transfer.h"

namespace mt {

class HttpBatch {
public:
    static constexpr int kMostJobs = 256;
    static constexpr int kDefaultJobs = 8;
    static constexpr int64_t kPageCost = 1024; // a page's own record, besides its URL and body
    static constexpr size_t kMostPages = size_t{1} << 16;

    // Transfers at once, 1 to kMostJobs. Ends every transfer and drops
    // every page the batch holds.
    void setJobs(int jobs);
    int jobs() const { return jobs_; }

    // Asks for the page at `url` (a runtime text; null reads as empty)
    // under `ticket`; it may start at once. False when a page under that ticket is held.
    bool add(uint64_t ticket, const char* url);

    // Runs the transfers until the page under `ticket` has ended (true;
    // also when no such page is held), or until the batch could start
    // another page and has none left to start (false: the caller may ask
    // for more, then wait again).
    bool wait(uint64_t ticket);

    // The page asked for under `ticket`, once its transfer has ended: its
    // body (null when no byte arrived) and its report. False, with nothing
    // touched, when no page under that ticket is held.
    bool take(uint64_t ticket, ByteArrayValue* body, TransferReport* report);

    // Pages asked for and not taken yet; the bytes they hold (bodies and
    // their own records); the most transfers that ran at once.
    size_t held() const { return pages_.size(); }
    int64_t heldBytes() const { return shared_.held; }
    int mostRunning() const { return mostRunning_; }

    // Ends every transfer, drops every page and closes the handles.
    void release();

private:
    using Clock = std::chrono::steady_clock;
    struct Page;

    bool ensureOpen();
    void boundConnections();
    bool hungry() const;
    void round();
    void startDue();
    void start(Page& page);
    void collect();
    void finish(Page& page, bool performed, int code);
    void failRunning();
    void pauseWhenFull();
    void markHeadAndResume();
    void forget(Page& page);
    void drop();
    long pollMilliseconds() const;

    void* multi_ = nullptr;          // CURLM*
    std::vector<void*> idleHandles_; // CURL*, reset, for the next transfers
    std::map<uint64_t, std::unique_ptr<Page>> pages_;
    std::deque<Page*> waiting_;  // not started, or waiting to retry; in the order asked
    std::vector<Page*> running_; // in ticket order
    transfer::SharedBytes shared_;
    Page* wanted_ = nullptr; // the page Wait or Take runs for: it passes the bounds too
    int jobs_ = kDefaultJobs;
    int mostRunning_ = 0;
};

// The program's batch; the library's shutdown notification releases it.
HttpBatch& TheHttpBatch();

// The internet library's commands of the batch, our own.
//
// HttpBatchJobs(jobs, integer): transfers at once from now on (1 to 256;
// omitted or out of range: 8); every page asked for so far is dropped. No
// result.
void HttpBatchJobs(ValueRecord* result, int32_t argc, ValueRecord* args);

// HttpBatchAdd(ticket, long integer; URL, text) → boolean: the page at URL
// is asked for under the ticket, with the time limit and the request
// options set for every transfer; false when the ticket is in use or
// missing. The URL is read as HttpRead reads it.
void HttpBatchAdd(ValueRecord* result, int32_t argc, ValueRecord* args);

// HttpBatchWait(ticket, long integer) → boolean: runs the transfers until
// the page under the ticket has ended (true, also for a ticket under which
// no page is held) or until the batch has room for more pages and none left
// to start (false: ask for more, then wait again). A command of our own,
// after HttpTransferBounds.
void HttpBatchWait(ValueRecord* result, int32_t argc, ValueRecord* args);

// HttpBatchTake(ticket, long integer) → byte array: the page's body once
// its transfer has ended, as HttpRead gives it; from then on
// HttpTransferReport answers for that transfer. A ticket under which no page
// is held gives null and a report of no transfer (outcome 0).
void HttpBatchTake(ValueRecord* result, int32_t argc, ValueRecord* args);

} // namespace mt
