// The internet library's HTTP client: reads the body of an http or https URL
// with one GET. One client serves the whole program; its libcurl handle is
// opened by the first request and kept, with its connection and DNS caches,
// until ReleaseHttpClient.
//
// Used on the GUI thread only; a request blocks until the body has been read
// or the transfer has failed.
#pragma once

#include <cstdint>

#include "net/grow_buffer.h"

namespace mt {

// What bounds one request. The defaults are the program's; tests narrow them.
struct HttpLimits {
    int64_t bodyLimit = int64_t{256} << 20; // bytes kept of one body; the rest is not read
    long connectSeconds = 30;
    long stallSeconds = 60;                 // a transfer below 1 byte/s this long is dropped
    long maxRedirects = 10;
};

class HttpClient {
public:
    // Reads the body of `url` into `out`, whatever the status code. `out` is
    // emptied first. Only http and https URLs are read (the scheme compared
    // without regard to case); the fragment is never sent, the query and the
    // user name and password in front of the host are. Redirects are followed
    // to http and https only. Returns true when the whole body arrived; on a
    // failure `out` holds what arrived before it (often nothing). An empty or
    // null URL and other schemes return false at once, without opening the
    // handle or touching the network.
    bool Read(const char* url, GrowBuffer& out);

    // Closes the handle; the next request opens a new one. Safe to repeat.
    void Release();

    // How often a handle has been opened so far in this process.
    int64_t opens() const { return opens_; }

    void SetLimits(const HttpLimits& limits) { limits_ = limits; }
    const HttpLimits& limits() const { return limits_; }

private:
    bool EnsureOpen();

    void* handle_ = nullptr; // CURL*, kept out of this header
    int64_t opens_ = 0;
    HttpLimits limits_;
};

// The program's client.
HttpClient& TheHttpClient();

// Releases the program's client; the library's shutdown notification calls it.
void ReleaseHttpClient();

} // namespace mt
