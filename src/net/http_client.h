// The internet library's HTTP client: reads the body of an http or https URL
// with one GET. One client serves the whole program; its libcurl handles are
// opened by the first request and kept, with their connection and DNS
// caches, until ReleaseHttpClient.
//
// One request at a time. A request may run on a worker thread while the GUI
// thread watches its progress and may cancel it; everything else is for the
// thread that started the request, after it has ended.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "net/grow_buffer.h"
#include "net/transfer_reason.h"

namespace mt {

namespace transfer {
struct Attempt;
}

// What bounds one request. The defaults are the program's; tests narrow them.
// Times beyond kLongestSeconds (what libcurl takes, about 24 days) count as
// kLongestSeconds.
struct HttpLimits {
    static constexpr long kLongestSeconds = 2147483;
    static constexpr int64_t kDefaultBodyLimit = int64_t{256} << 20;
    int64_t bodyLimit = kDefaultBodyLimit; // decoded body bytes kept; the rest is not read
    long connectMilliseconds = 30000;      // each connect
    long speedSeconds = 60;                // the low-speed rule: below speedLimit this long ends a transfer
    long maxRedirects = 10;
    int64_t maxMilliseconds = 0;        // the whole read of a page, retries included; 0: no bound
    long firstRetryMilliseconds = 1000; // the wait before the first retry, doubled for each later one
    long longestRetryWaitSeconds = 60;  // the longest wait, a server's Retry-After included
    long speedLimit = 1024;             // bytes a second; 0 (or speedSeconds 0): no low-speed rule
    // The bytes all pages of the batch hold at once, in flight and waiting
    // to be taken (http_batch.h); no one page is kept beyond it either.
    int64_t memoryBound = int64_t{512} << 20;

    // The most body bytes one page keeps: the body limit, within the bound.
    int64_t pageLimit() const;
};

// The command line's request options; the window leaves them empty.
struct RequestOptions {
    std::string userAgent;            // empty: the program's own
    std::vector<std::string> headers; // "Name: value" lines, sent after ours (a name of ours is replaced)
    std::string cookies;              // "name=value; …"; empty: none
    int retries = 0;                  // tries after a failed connect, a time-out or a 5xx answer
    // The command line's network switches, under curl's names.
    bool insecure = false;      // -k: neither the certificate nor the host name is checked
    std::string caFile{};       // --cacert: the certificates trusted (a relative path from the start directory)
    std::string proxy{};        // -x: the proxy of every page, instead of the environment's
    long maxRedirects = -1;     // --max-redirs; -1: the limits' own; 0: a redirect's answer is the page
    bool noCompression = false; // --no-compressed: no compressed body asked for
    bool keepHeaders = false;   // the report keeps the response header lines (-D)
};

// How the last request ended. The numbers are those the report command
// answers with.
enum class TransferOutcome : int32_t {
    kNone = 0,       // no request yet
    kComplete = 1,   // the whole body arrived (it may be empty)
    kEndedEarly = 2, // some bytes arrived, then the transfer ended before the body's end
    kCancelled = 3,
    kFailed = 4, // no byte of a body arrived
};

struct TransferReport {
    TransferOutcome outcome = TransferOutcome::kNone;
    TransferReason reason = TransferReason::kNone;
    std::string contentType;       // the final response's Content-Type header, as sent
    int64_t received = 0;          // body bytes kept
    const char* charset = "";      // the page's encoding (iconv name), declared or found UTF-8; empty when none
    int32_t bomLength = 0;         // bytes of a byte-order mark at the start
    int32_t cutLength = 0;         // bytes of a last character the early end cut short
    int32_t status = 0;            // the final answer's HTTP status code; 0 when none arrived
    std::string statusText;        // "404 Not Found"; empty when no answer arrived
    int64_t replaced = 0;          // bytes the last page decoding replaced or left out (noteDecoded)
    std::string headers;           // with keepHeaders: every response's header lines as received, redirects' too
    std::string effectiveUrl;      // the URL of the final answer, behind any redirects
    int64_t downloaded = 0;        // body bytes that came over the wire (compressed ones as they came)
    int64_t totalMicroseconds = 0; // the whole transfer, from its start to its end
    int32_t redirects = 0;         // redirects followed
};

// The stable name of what went wrong, for scripts (ErrorCode of the
// report's reason, outcome and status).
const char* TransferErrorCode(const TransferReport& report);

class HttpClient {
public:
    // Reads the body of `url` into `out`, whatever the status code. A body
    // sent with a Content-Encoding libcurl knows (gzip, deflate, br) is
    // decoded; the size limit counts decoded bytes. `out` is
    // emptied first. Only http and https URLs are read (the scheme compared
    // without regard to case); the fragment is never sent, the query and the
    // user name and password in front of the host are. Redirects are followed
    // to http and https only. Returns true when the whole body arrived; on a
    // failure `out` holds what arrived before it (often nothing). An empty or
    // null URL and other schemes return false at once, without opening the
    // handle or touching the network. A request made while another runs
    // fails at once and leaves the report alone.
    bool read(const char* url, GrowBuffer& out);

    // The report on the last request.
    const TransferReport& last() const { return last_; }

    // From any thread while a request runs: ends it soon, as cancelled.
    void cancel();
    // From any thread: body bytes received so far and the announced length
    // (-1 when none) of the running request.
    int64_t receivedSoFar() const { return received_.load(std::memory_order_relaxed); }
    int64_t announced() const { return announced_.load(std::memory_order_relaxed); }
    bool busy() const { return busy_.load(); }

    // Closes the handles; the next request opens new ones. Safe to repeat.
    void release();

    // How often a handle has been opened so far in this process.
    int64_t opens() const { return opens_; }

    void setLimits(const HttpLimits& limits) { limits_ = limits; }
    const HttpLimits& limits() const { return limits_; }
    void setRequestOptions(const RequestOptions& options) { options_ = options; }
    const RequestOptions& requestOptions() const { return options_; }

    // Records in the report how many bytes the decoding of the last page
    // replaced.
    void noteDecoded(int64_t replaced) { last_.replaced = replaced; }
    // Makes `report` the last request's, unless a request runs: the batch
    // of transfers at once (http_batch.h) hands over each page's as it is
    // taken, so that the report command answers for it.
    void adoptReport(TransferReport report)
    {
        if (!busy_.load())
            last_ = std::move(report);
    }

private:
    bool ensureOpen();
    void readOnce(const std::string& target, GrowBuffer& out, transfer::Attempt* attempt);
    bool perform(int* code);
    bool waitToRetry(long milliseconds);

    void* handle_ = nullptr;            // CURL*, kept out of this header
    std::atomic<void*> multi_{nullptr}; // CURLM*, drives the handle so that a cancel can wake it
    int64_t opens_ = 0;
    HttpLimits limits_;
    RequestOptions options_;
    TransferReport last_;
    std::atomic<bool> busy_{false};
    std::atomic<bool> cancel_{false};
    std::atomic<int64_t> received_{0};
    std::atomic<int64_t> announced_{-1};
};

// The program's client.
HttpClient& TheHttpClient();

// Releases the program's client; the library's shutdown notification calls it.
void ReleaseHttpClient();

} // namespace mt
