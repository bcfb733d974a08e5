// `middletext fetch` of a 200 MiB UTF-8 page from a server on 127.0.0.1,
// the whole process, against `curl | iconv -f UTF-8 -t GB18030 | iconv -f
// GB18030 -t UTF-8` in the same run. Prints the wall times, the throughput
// ratio and the peak resident sizes against the body (printed as UTF-8, and
// with --gbk as GB18030).
//
//   bench_fetch [MIDDLETEXT]   (default: ../middletext beside this program)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/child_process.h"
#include "common/loopback_server.h"

namespace {

constexpr int kRounds = 3;

// A page of Chinese and ASCII lines, cut to whole lines below 200 MiB.
std::string Line() { return "<p>中文价格 price 123.45 — 读取网页源码 middle text</p>\n"; }

// One megabyte of whole lines.
std::string Chunk()
{
    std::string chunk;
    const std::string line = Line();
    while (chunk.size() + line.size() <= (1u << 20))
        chunk += line;
    return chunk;
}

class PageServer {
public:
    explicit PageServer(size_t bodySize)
        : chunk_(Chunk()), bodySize_(bodySize / chunk_.size() * chunk_.size()),
          server_([this](int fd, std::string_view) {
              mt::bench::SendRepeated(fd,
                                      "HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n"
                                      "Content-Length: " + std::to_string(bodySize_) + "\r\n\r\n",
                                      chunk_, bodySize_);
          })
    {
    }
    std::string url() const { return server_.url() + "/page"; }
    size_t bodySize() const { return bodySize_; }

private:
    std::string chunk_;
    size_t bodySize_;
    mt::bench::LoopbackServer server_; // last: it answers from the members above
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
