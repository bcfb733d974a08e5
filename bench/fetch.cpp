// `middletext fetch` of a 200 MiB UTF-8 page from a server on 127.0.0.1,
// the whole process, against `curl | iconv -f UTF-8 -t GB18030 | iconv -f
// GB18030 -t UTF-8` in the same run. Prints the wall times, the throughput
// ratio and the peak resident sizes against the body (printed as UTF-8, and
// with --gbk as GB18030).
//
//   bench_fetch [MIDDLETEXT]   (default: ../middletext beside this program)
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "common/child_process.h"

namespace {

constexpr int kRounds = 3;

// A page of Chinese and ASCII lines, cut to whole lines below 200 MiB.
std::string Line() { return "<p>中文价格 price 123.45 — 读取网页源码 middle text</p>\n"; }

class PageServer {
public:
    explicit PageServer(size_t bodySize) : bodySize_(bodySize)
    {
        const std::string line = Line();
        while (chunk_.size() + line.size() <= (1u << 20))
            chunk_ += line;
        bodySize_ = bodySize / chunk_.size() * chunk_.size();
        int port = 0;
        listener_ = mt::bench::ListenOnLoopback(&port);
        url_ = "http://127.0.0.1:" + std::to_string(port) + "/page";
        thread_ = std::thread([this] { Serve(); });
    }
    ~PageServer()
    {
        stop_ = true;
        thread_.join();
        close(listener_);
    }
    const std::string& url() const { return url_; }
    size_t bodySize() const { return bodySize_; }

private:
    void Serve()
    {
        pollfd waiting{listener_, POLLIN, 0};
        while (!stop_) {
            if (poll(&waiting, 1, 20) <= 0)
                continue;
            int fd = accept(listener_, nullptr, nullptr);
            if (fd < 0)
                continue;
            char head[4096];
            if (recv(fd, head, sizeof head, 0) > 0) {
                const std::string reply = "HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n"
                                          "Content-Length: " + std::to_string(bodySize_) + "\r\n\r\n";
                long n = send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
                for (size_t sent = 0; n > 0 && sent < bodySize_; sent += static_cast<size_t>(n))
                    n = send(fd, chunk_.data(), std::min(chunk_.size(), bodySize_ - sent), MSG_NOSIGNAL);
            }
            close(fd);
        }
    }

    size_t bodySize_;
    std::string chunk_;
    std::string url_;
    int listener_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

struct Run {
    double seconds = 0;
    double peakMiB = 0; // the largest process's peak resident size
    bool ok = false;
};

// Runs argv with standard output to /dev/null; wall time and peak RSS.
Run Measure(const std::vector<std::string>& args)
{
    const mt::bench::ChildRun run = mt::bench::RunChild(args, false);
    return Run{run.wallSeconds, static_cast<double>(run.peakKb) / 1024.0, run.status == 0};
}

std::string Program(int argc, char** argv)
{
    if (argc > 1)
        return argv[1];
    char self[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string dir = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string();
    dir = dir.substr(0, dir.rfind('/'));
    return dir.substr(0, dir.rfind('/')) + "/middletext";
}

} // namespace

int main(int argc, char** argv)
{
    const std::string program = Program(argc, argv);
    PageServer server(size_t{200} << 20);
    const double bodyMiB = static_cast<double>(server.bodySize()) / (1 << 20);
    const std::string pipeline = "curl -s " + server.url() + " | iconv -f UTF-8 -t GB18030 | iconv -f GB18030 -t UTF-8";
    Run best[3];
    for (int round = 0; round < kRounds; ++round) {
        // Each round runs all three, so that they see the same load.
        const Run runs[3] = {Measure({"sh", "-c", pipeline}), Measure({program, "fetch", server.url()}),
                             Measure({program, "fetch", "--gbk", server.url()})};
        for (int i = 0; i < 3; ++i) {
            if (!runs[i].ok) {
                std::fprintf(stderr, "run %d failed\n", i);
                return 1;
            }
            if (round == 0 || runs[i].seconds < best[i].seconds)
                best[i].seconds = runs[i].seconds;
            best[i].peakMiB = std::max(best[i].peakMiB, runs[i].peakMiB);
        }
    }
    std::printf("body %.0f MiB of UTF-8, best of %d\n", bodyMiB, kRounds);
    std::printf("curl | iconv | iconv      %6.2f s  peak %6.0f MiB (largest process)\n", best[0].seconds,
                best[0].peakMiB);
    std::printf("middletext fetch          %6.2f s  peak %6.0f MiB  throughput ratio %.2f  RSS/body %.2f\n",
                best[1].seconds, best[1].peakMiB, best[0].seconds / best[1].seconds, best[1].peakMiB / bodyMiB);
    std::printf("middletext fetch --gbk    %6.2f s  peak %6.0f MiB  throughput ratio %.2f  RSS/body %.2f\n",
                best[2].seconds, best[2].peakMiB, best[0].seconds / best[2].seconds, best[2].peakMiB / bodyMiB);
    return 0;
}
