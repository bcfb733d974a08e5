// Several GETs at once, for the command line's URL sources. One libcurl
// multi handle runs up to `jobs` transfers together; they share its
// connection and DNS caches. Each transfer is set up and reported on as the
// program's client does a single read (http_transfer.h): the same limits,
// request options, retries, status and charset report.
//
// Pages are asked for under tickets and taken by ticket; taking one drives
// the transfers until that one has ended. A page that ended before its turn
// is held until it is taken, so the caller bounds memory by asking for no
// more pages than it takes soon. For the thread that uses it only; there is
// no cancel and no progress report (the window never uses it).
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

namespace mt {

class HttpBatch {
public:
    static constexpr int kMostJobs = 256;
    static constexpr int kDefaultJobs = 8;

    // Transfers at once, 1 to kMostJobs. Ends every transfer and drops
    // every page the batch holds.
    void SetJobs(int jobs);
    int jobs() const { return jobs_; }

    // Asks for the page at `url` (null reads as empty) under `ticket`; it
    // may start at once. False when a page under that ticket is held.
    bool Add(uint64_t ticket, const char* url);

    // The page asked for under `ticket`, once its transfer has ended: its
    // body (null when no byte arrived) and its report. False, with nothing
    // touched, when no page under that ticket is held.
    bool Take(uint64_t ticket, ByteArrayValue* body, TransferReport* report);

    // Pages asked for and not taken yet.
    size_t held() const { return pages_.size(); }

    // Ends every transfer, drops every page and closes the handles.
    void Release();

private:
    using Clock = std::chrono::steady_clock;
    struct Page;

    bool EnsureOpen();
    void BoundConnections();
    void StartDue();
    void Start(Page& page);
    void Collect();
    void Finish(Page& page, bool performed, int code);
    void FailRunning();
    void Drop();
    long PollMilliseconds() const;

    void* multi_ = nullptr;           // CURLM*
    std::vector<void*> idleHandles_;  // CURL*, reset, for the next transfers
    std::map<uint64_t, std::unique_ptr<Page>> pages_;
    std::deque<Page*> waiting_;       // not started, or waiting to retry; in the order asked
    int running_ = 0;
    int jobs_ = kDefaultJobs;
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

// HttpBatchTake(ticket, long integer) → byte array: the page's body once
// its transfer has ended, as HttpRead gives it; from then on
// HttpTransferReport answers for that transfer. A ticket under which no page
// is held gives null and a report of no transfer (outcome 0).
void HttpBatchTake(ValueRecord* result, int32_t argc, ValueRecord* args);

} // namespace mt
