// A server on 127.0.0.1 for the page benchmarks: a thread accepts each
// connection, reads its request and hands both to the answer given, then
// closes the connection.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

namespace mt::bench {

class LoopbackServer {
public:
    // answer(fd, request): writes the reply to fd (the request is what the
    // first read brought, at most 4 KiB).
    using Answer = std::function<void(int fd, std::string_view request)>;
    explicit LoopbackServer(Answer answer);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // "http://127.0.0.1:PORT"
    const std::string& url() const { return url_; }

private:
    void serve();

    Answer answer_;
    std::string url_;
    int listener_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Sends the reply head, then `bodySize` bytes made of `chunk` repeated;
// stops at the first failed send.
void SendRepeated(int fd, const std::string& head, const std::string& chunk, size_t bodySize);

} // namespace mt::bench
