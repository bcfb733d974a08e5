// What the internet library's tests share: a runtime service over malloc,
// an HTTP(S) server on 127.0.0.1 with canned replies, and certificates made
// at test time.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace mt::httptest {

// Installs a runtime service (allocate, free, reallocate, run-time error)
// over malloc. Requests above `ceiling` bytes are refused (null), as a full
// heap would; a refusal through the plain allocate aborts, as the runtime's
// memory error would end the program.
void InstallHeapService(size_t ceiling = SIZE_MAX);
int64_t LiveBlocks(); // blocks allocated and not yet freed through the service

// A reply to one request: the bytes to send, then how long to keep the
// connection open before closing it (the client may close it first).
struct CannedReply {
    std::string bytes;
    int holdMilliseconds = 0;
    // Above 0: the bytes behind the reply's head go one at a time, this
    // many milliseconds apart, until the client hangs up.
    int dripMilliseconds = 0;
};
using Responder = std::function<CannedReply(const std::string& requestHead)>;

// A CA and a server certificate for 127.0.0.1 signed by it, in a fresh
// temporary folder that the destructor removes. Made with the openssl tool.
struct TlsFiles {
    explicit TlsFiles(const std::string& name);
    ~TlsFiles();
    bool ok = false;
    std::string dir, caFile, certFile, keyFile;
};

// Serves one connection at a time on an ephemeral port of 127.0.0.1, over
// TLS when given certificates, or with `concurrent` each connection on a
// thread of its own (the responder is then called from several threads at
// once). Records every request head it reads.
class TestServer {
public:
    explicit TestServer(Responder responder, const TlsFiles* tls = nullptr, bool concurrent = false);
    ~TestServer();
    std::string Url(const std::string& pathAndQuery) const;
    int port() const { return port_; }
    std::vector<std::string> Requests() const;
    // The most connections that were open at once so far.
    int MostAtOnce() const { return mostOpen_.load(); }

private:
    void Serve();
    void Answer(int fd);

    Responder responder_;
    void* tlsContext_ = nullptr; // SSL_CTX*
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
    bool concurrent_ = false;
    std::atomic<int> open_{0};
    std::atomic<int> mostOpen_{0};
    std::vector<std::thread> connections_; // concurrent: one per connection, joined at the end
};

// Pages for the command line's network options, by path:
//   /hop/N       a redirect chain: N > 0 answers "302 Found" (body "moved N")
//                with Location /hop/N-1; /hop/0 answers 200 "end";
//   /status/NNN  that status, body "status NNN";
//   /echo        200 with the request head as the body;
//   otherwise    200 "ok".
// Every answer says Content-Type: text/plain.
Responder NetworkOptionPages();

// A 127.0.0.1 port that nothing listens on (bound, then closed).
int DeadPort();

// "HTTP/1.0 <status>\r\n" + headers + "\r\n" + body.
std::string Reply(const std::string& status, const std::string& headers, const std::string& body);

// The bytes compressed as the Content-Encoding `encoding` says: "gzip",
// "deflate" (the zlib format) or "br" (empty when the tests were built
// without a brotli encoder, see HaveBrotli).
std::string Compress(const std::string& bytes, const std::string& encoding);
bool HaveBrotli();

} // namespace mt::httptest
