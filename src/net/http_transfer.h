// One GET as the HTTP client sets it up on its libcurl handle: where the
// body goes, what the response's header lines tell, and the options. Used
// by http_client.cpp alone.
#pragma once

#include <atomic>
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
struct BodySink {
    void* handle; // CURL*
    GrowBuffer* out;
    int64_t limit;
    std::atomic<int64_t>* progress; // filled, for watchers on other threads
    int64_t filled = 0;
    bool first = true;
    bool full = false;    // the limit stopped the transfer
    bool refused = false; // the buffer could not grow
    const bool* encoded = nullptr; // the announced length counts encoded bytes
};

// What the header lines of the latest response said (a redirect's lines are
// forgotten when the next response starts), and what the progress callback
// reaches of the client.
struct ResponseHead {
    std::atomic<bool>* cancel;
    std::atomic<int64_t>* announced;
    std::string reasonPhrase; // of the status line, printable ASCII only
    bool encoded = false;     // a Content-Encoding other than identity: the announced length is not the body's
};

// True when the URL's scheme (the text before the first ':') is http or
// https in any case.
bool HasWebScheme(const char* url);

// The request's header lines: ours (accept anything, bypass every cache on
// the way) unless the options name the same header, then the options'
// lines. Null when the list cannot be built. Free with curl_slist_free_all.
void* RequestHeaders(const RequestOptions& options);

// Sets every option of one GET on a freshly reset handle. False when
// libcurl refuses any of them: the request is then not made, rather than
// made with weaker settings. `errorText` gets libcurl's error message
// (CURL_ERROR_SIZE bytes).
bool Configure(void* handle, const std::string& url, void* headers, BodySink* sink, ResponseHead* head,
               const HttpLimits& limits, const RequestOptions& options, char* errorText);

// "404 Not Found": the code and the server's reason phrase, or the standard
// one when it sent none; empty for code 0.
std::string StatusText(long code, const std::string& reasonPhrase);

} // namespace mt::transfer
