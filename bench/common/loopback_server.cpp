#include "common/loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace mt::bench {
namespace {

// A listening TCP socket on 127.0.0.1 at a free port (aborts when there is
// none); *port receives the port.
int ListenOnLoopback(int* port)
{
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(listener, 128) != 0)
        std::abort();
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    *port = ntohs(address.sin_port);
    return listener;
}

} // namespace

LoopbackServer::LoopbackServer(Answer answer) : answer_(std::move(answer))
{
    int port = 0;
    listener_ = ListenOnLoopback(&port);
    url_ = "http://127.0.0.1:" + std::to_string(port);
    thread_ = std::thread([this] { serve(); });
}

LoopbackServer::~LoopbackServer()
{
    stop_ = true;
    thread_.join();
    close(listener_);
}

void LoopbackServer::serve()
{
    pollfd waiting{listener_, POLLIN, 0};
    while (!stop_) {
        if (poll(&waiting, 1, 20) <= 0)
            continue;
        const int fd = accept(listener_, nullptr, nullptr);
        if (fd < 0)
            continue;
        char request[4096];
        const long n = recv(fd, request, sizeof request, 0);
        if (n > 0)
            answer_(fd, std::string_view(request, static_cast<size_t>(n)));
        close(fd);
    }
}

void SendRepeated(int fd, const std::string& head, const std::string& chunk, size_t bodySize)
{
    long n = send(fd, head.data(), head.size(), MSG_NOSIGNAL);
    for (size_t sent = 0; n > 0 && sent < bodySize; sent += static_cast<size_t>(n))
        n = send(fd, chunk.data(), std::min(chunk.size(), bodySize - sent), MSG_NOSIGNAL);
}

} // namespace mt::bench
