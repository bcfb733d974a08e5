#include "support/http_test_support.h"

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>
#ifdef MT_TEST_BROTLI
#include <brotli/encode.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "abi/service_calls.h"

namespace mt::httptest {
namespace {

size_t g_ceiling = SIZE_MAX;
std::atomic<int64_t> g_live{0};

int64_t HeapService(int32_t code, intptr_t a, intptr_t b)
{
    auto n = static_cast<size_t>(a);
    void* p = nullptr;
    switch (code) {
    case kSvcAllocate:
        p = n <= g_ceiling ? std::malloc(n ? n : 1) : nullptr;
        if (!p && b == 0)
            std::abort();
        g_live += p != nullptr;
        break;
    case kSvcFree:
        g_live -= a != 0;
        std::free(reinterpret_cast<void*>(a));
        break;
    case kSvcReallocate:
        g_live += a == 0;
        p = static_cast<size_t>(b) <= g_ceiling ? std::realloc(reinterpret_cast<void*>(a), static_cast<size_t>(b)) : nullptr;
        break;
    default:
        std::fprintf(stderr, "run-time error %d\n", code);
        std::abort();
    }
    return reinterpret_cast<intptr_t>(p);
}

int Listen(int* port)
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(fd, 16) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(fd);
        return -1;
    }
    *port = ntohs(address.sin_port);
    return fd;
}

// Reads up to the blank line that ends a request head (at most 64 KiB).
std::string ReadHead(int fd, SSL* ssl)
{
    std::string head;
    char chunk[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        long n = ssl ? SSL_read(ssl, chunk, sizeof chunk) : recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0)
            break;
        head.append(chunk, static_cast<size_t>(n));
    }
    return head;
}

void WriteAll(int fd, SSL* ssl, const std::string& bytes)
{
    for (size_t done = 0; done < bytes.size();) {
        size_t left = bytes.size() - done;
        long n = ssl ? SSL_write(ssl, bytes.data() + done, static_cast<int>(left))
                     : send(fd, bytes.data() + done, left, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        done += static_cast<size_t>(n);
    }
}

bool Run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

} // namespace

void InstallHeapService(size_t ceiling)
{
    g_ceiling = ceiling;
    svc::SetService(HeapService);
}

int64_t LiveBlocks() { return g_live; }

TlsFiles::TlsFiles(const std::string& name)
{
    char pattern[] = "/tmp/mt-tls-XXXXXX";
    if (!mkdtemp(pattern))
        return;
    dir = pattern;
    caFile = dir + "/ca.pem";
    certFile = dir + "/server.pem";
    keyFile = dir + "/server.key";
    std::ofstream(dir + "/openssl.cnf") << "[req]\ndistinguished_name=dn\n[dn]\n"
                                           "[ca]\nbasicConstraints=critical,CA:TRUE\nkeyUsage=critical,keyCertSign\n"
                                           "subjectKeyIdentifier=hash\n"
                                           "[leaf]\nbasicConstraints=CA:FALSE\nsubjectAltName=IP:127.0.0.1\n"
                                           "subjectKeyIdentifier=hash\nauthorityKeyIdentifier=keyid\n";
    std::string req = "openssl req -x509 -config " + dir + "/openssl.cnf -days 2 -nodes -newkey ec "
                                                           "-pkeyopt ec_paramgen_curve:P-256 ";
    ok = Run(req + "-extensions ca -subj '/CN=" + name + " CA' -keyout " + dir + "/ca.key -out " + caFile) &&
         Run(req + "-extensions leaf -subj /CN=127.0.0.1 -CA " + caFile + " -CAkey " + dir + "/ca.key -keyout " +
             keyFile + " -out " + certFile);
}

TlsFiles::~TlsFiles()
{
    if (!dir.empty())
        std::filesystem::remove_all(dir);
}

TestServer::TestServer(Responder responder, const TlsFiles* tls, bool concurrent)
    : responder_(std::move(responder)), concurrent_(concurrent)
{
    signal(SIGPIPE, SIG_IGN); // a client that hangs up must not end the test
    if (tls) {
        SSL_CTX* context = SSL_CTX_new(TLS_server_method());
        SSL_CTX_use_certificate_chain_file(context, tls->certFile.c_str());
        SSL_CTX_use_PrivateKey_file(context, tls->keyFile.c_str(), SSL_FILETYPE_PEM);
        tlsContext_ = context;
    }
    listener_ = Listen(&port_);
    thread_ = std::thread([this] { Serve(); });
}

TestServer::~TestServer()
{
    stop_ = true;
    thread_.join();
    for (std::thread& connection : connections_)
        connection.join();
    close(listener_);
    SSL_CTX_free(static_cast<SSL_CTX*>(tlsContext_));
}

std::string TestServer::Url(const std::string& pathAndQuery) const
{
    return std::string(tlsContext_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) + pathAndQuery;
}

std::vector<std::string> TestServer::Requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

void TestServer::Serve()
{
    pollfd waiting{listener_, POLLIN, 0};
    while (!stop_) {
        if (poll(&waiting, 1, 20) <= 0)
            continue;
        int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        timeval limit{5, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        const int open = ++open_;
        for (int most = mostOpen_.load(); open > most && !mostOpen_.compare_exchange_weak(most, open);) {
        }
        auto answer = [this, fd] {
            Answer(fd);
            --open_;
            close(fd);
        };
        if (concurrent_)
            connections_.emplace_back(answer);
        else
            answer();
    }
}

// One connection: TLS handshake when serving https, the request head, the
// canned reply, then the hold (ended early when the client hangs up).
void TestServer::Answer(int fd)
{
    SSL* ssl = nullptr;
    if (tlsContext_) {
        ssl = SSL_new(static_cast<SSL_CTX*>(tlsContext_));
        SSL_set_fd(ssl, fd);
        if (SSL_accept(ssl) != 1) {
            SSL_free(ssl);
            return;
        }
    }
    std::string head = ReadHead(fd, ssl);
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(head);
    }
    CannedReply reply = responder_(head);
    pollfd hangup{fd, POLLIN, 0};
    if (reply.dripMilliseconds > 0) {
        const size_t body = std::min(reply.bytes.size(), reply.bytes.find("\r\n\r\n") + 4);
        WriteAll(fd, ssl, reply.bytes.substr(0, body));
        for (size_t at = body; at < reply.bytes.size() && !stop_; ++at) {
            hangup.revents = 0;
            if (poll(&hangup, 1, reply.dripMilliseconds) != 0)
                break; // the client hung up (or sent more)
            WriteAll(fd, ssl, reply.bytes.substr(at, 1));
        }
    } else {
        WriteAll(fd, ssl, reply.bytes);
    }
    if (reply.holdMilliseconds > 0)
        poll(&hangup, 1, reply.holdMilliseconds);
    if (ssl) {
        SSL_shutdown(ssl);
        SSL_free(ssl);
    }
}

int DeadPort()
{
    int port = 0;
    close(Listen(&port));
    return port;
}

Responder NetworkOptionPages()
{
    return [](const std::string& head) {
        const size_t start = head.find(' ') + 1;
        const std::string path = head.substr(start, head.find(' ', start) - start);
        const std::string type = "Content-Type: text/plain\r\n";
        if (path.rfind("/hop/", 0) == 0) {
            const int n = std::atoi(path.c_str() + 5);
            if (n <= 0)
                return CannedReply{Reply("200 OK", type, "end")};
            return CannedReply{Reply("302 Found", type + "Location: /hop/" + std::to_string(n - 1) + "\r\n",
                                     "moved " + std::to_string(n))};
        }
        if (path.rfind("/status/", 0) == 0) {
            const std::string code = path.substr(8);
            return CannedReply{Reply(code, type, "status " + code)};
        }
        if (path == "/echo")
            return CannedReply{Reply("200 OK", type, head)};
        return CannedReply{Reply("200 OK", type, "ok")};
    };
}

std::string Reply(const std::string& status, const std::string& headers, const std::string& body)
{
    return "HTTP/1.0 " + status + "\r\n" + headers + "\r\n" + body;
}

} // namespace mt::httptest

namespace mt::httptest {

std::string Compress(const std::string& bytes, const std::string& encoding)
{
    if (encoding == "br") {
#ifdef MT_TEST_BROTLI
        size_t size = BrotliEncoderMaxCompressedSize(bytes.size());
        std::string out(size, '\0');
        if (!BrotliEncoderCompress(BROTLI_DEFAULT_QUALITY, BROTLI_DEFAULT_WINDOW, BROTLI_MODE_TEXT, bytes.size(),
                                   reinterpret_cast<const uint8_t*>(bytes.data()), &size,
                                   reinterpret_cast<uint8_t*>(out.data())))
            return {};
        out.resize(size);
        return out;
#else
        return {};
#endif
    }
    z_stream z{};
    // 15 + 16: a gzip wrapper; 15: the zlib one.
    if (deflateInit2(&z, 9, Z_DEFLATED, encoding == "gzip" ? 15 + 16 : 15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    std::string out(deflateBound(&z, bytes.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

bool HaveBrotli()
{
#ifdef MT_TEST_BROTLI
    return true;
#else
    return false;
#endif
}

} // namespace mt::httptest
