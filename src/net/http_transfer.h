// One GET as the HTTP clients set it up on a libcurl handle: where the
// body goes, what the response's header lines tell, the options, and the
// report on how it went. Shared by the single client (http_client.cpp) and
// the batch of transfers at once (http_batch.cpp), so that a page read
// either way has the same limits and the same report.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

#include "net/grow_buffer.h"
#include "net/http_client.h"

namespace mt::transfer {

// Where the body of one transfer goes. The buffer's size runs ahead of the
// bytes written so far (`filled`): to the announced length at once, or to
// the limit when no length of the decoded body is known (the heap hands
// out address space there, and only the bytes written take memory), else
// four times over, so that a large body costs a few moves rather than one
// per piece. The client trims the buffer to `filled` afterwards.
//
// The pages of a batch share one bound on the bytes they hold (SharedBytes):
// a write that would pass it pauses the transfer (libcurl keeps the piece
// and stops reading) unless the page may pass, which the page next in
// output order always may. Only bytes written count, never the address
// space reserved ahead.
struct SharedBytes {
    int64_t held = 0;
    int64_t bound = INT64_MAX;
    bool full() const { return held >= bound; }
};

struct BodySink {
    void* handle; // CURL*
    GrowBuffer* out;
    int64_t limit;
    std::atomic<int64_t>* progress; // filled, for watchers on other threads
    int64_t filled = 0;
    bool first = true;
    bool full = false;             // the limit stopped the transfer
    bool refused = false;          // the buffer could not grow
    const bool* encoded = nullptr; // the announced length counts encoded bytes
    SharedBytes* shared = nullptr; // the batch's bound; null for a single read
    const bool* mayPass = nullptr; // with `shared`: this page is not held back by it
    bool paused = false;           // a write waits for room under the bound
};

// What the header lines of the latest response said (a redirect's lines are
// forgotten when the next response starts), and what the progress callback
// reaches of the client.
struct ResponseHead {
    std::atomic<bool>* cancel;
    std::atomic<int64_t>* announced;
    std::string reasonPhrase; // of the status line, printable ASCII only
    bool encoded = false;     // a Content-Encoding other than identity: the announced length is not the body's
    // When a byte of the answer (head or body, as sent) last arrived, for
    // telling a silent server from a slow one.
    std::chrono::steady_clock::time_point lastByteAt{};
    int64_t bytesSeen = 0;
    std::string* kept = nullptr; // when the header lines are kept: every line of every response, as received
};

// True when the URL's scheme (the text before the first ':') is http or
// https in any case.
bool HasWebScheme(const char* url);

// The URL to hand libcurl for a runtime text (GB18030) as typed: converted
// to UTF-8, then made ready as browsers send it (request_url.h). False when
// it cannot be sent: a scheme other than http and https, a control
// character inside, bytes that are not GB18030, a host without an ASCII
// form.
bool RequestTarget(const char* text, std::string* url);

// The request's header lines: ours (accept anything, bypass every cache on
// the way) unless the options name the same header, then the options'
// lines. Null when the list cannot be built. Free with curl_slist_free_all.
void* RequestHeaders(const RequestOptions& options);

// Sets every option of one GET on a freshly reset handle. False when
// libcurl refuses any of them: the request is then not made, rather than
// made with weaker settings. `errorText` gets libcurl's error message
// (CURL_ERROR_SIZE bytes).
bool Configure(void* handle, const std::string& url, void* headers, BodySink* sink, ResponseHead* head,
               const HttpLimits& limits, const RequestOptions& options, int64_t timeLimitMilliseconds,
               char* errorText);

// One try of a GET: what libcurl writes into besides the body's buffer.
// It must stay where it is while the try runs.
struct Attempt {
    Attempt(std::atomic<bool>* cancel, std::atomic<int64_t>* announced) : head{cancel, announced, {}, false} {}
    ResponseHead head;
    BodySink sink{};
    void* headers = nullptr; // curl_slist*, freed by EndAttempt
    long retryAfterSeconds = 0;
    int64_t timeLimitMilliseconds = 0; // what is left of the page's time, set before BeginAttempt; 0: none
    char errorText[256] = {};          // CURL_ERROR_SIZE
    std::string headerLines;           // what head.kept points to when the options keep the header lines
};

// Sets `handle` (fresh or reset) up for one try at `url` (without its
// fragment) into `out`, which is emptied; `progress` follows the bytes
// kept. False when the request cannot be set up: EndAttempt then reports
// it, and the request is not made.
bool BeginAttempt(void* handle, const std::string& url, GrowBuffer* out, std::atomic<int64_t>* progress,
                  const HttpLimits& limits, const RequestOptions& options, Attempt* attempt);

// The time a try may take when `deadline` ends the page's time (none when
// `bounded` is false): at least 1 ms, so that a try made just before the
// end still ends at once with the time limit's report.
int64_t MillisecondsLeft(bool bounded, std::chrono::steady_clock::time_point deadline);

// Ends a try: `out` trimmed to the bytes kept, the report filled in
// (`performed`: libcurl ran the transfer; `code`: its CURLcode), and the
// handle reset, the header list freed.
void EndAttempt(void* handle, bool performed, int code, GrowBuffer& out, Attempt& attempt, const HttpLimits& limits,
                TransferReport* report);

// A failed connect, a time-out or a 5xx answer: worth another try.
bool WorthRetrying(const TransferReport& report);

// The wait before retry number `retry` + 1: the server's Retry-After when
// it sent one, else a wait that doubles from the first, either at most the
// longest wait.
long RetryWaitMilliseconds(int retry, long retryAfterSeconds, const HttpLimits& limits);

// "404 Not Found": the code and the server's reason phrase, or the standard
// one when it sent none; empty for code 0.
std::string StatusText(long code, const std::string& reasonPhrase);

} // namespace mt::transfer
