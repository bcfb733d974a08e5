// `middletext fetch` of a 200 MiB UTF-8 page from a server on 127.0.0.1,
// the whole process, against `curl | iconv -f UTF-8 -t GB18030 | iconv -f
// GB18030 -t UTF-8` in the same run. Prints the wall times, the throughput
// ratio and the peak resident sizes against the body (printed as UTF-8, and
// with --gbk as GB18030); then the same page sent gzip-compressed, against
// `curl --compressed | iconv | iconv`.
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

#include <zlib.h>

#include "common/child_process.h"
#include "common/loopback_server.h"

namespace {

constexpr int kRounds = 5;

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

// `bodySize` bytes of `chunk` repeated, gzip-compressed.
std::string Gzip(const std::string& chunk, size_t bodySize)
{
    z_stream z{};
    deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    std::string out;
    std::string piece(1 << 20, '\0');
    for (size_t done = 0; done < bodySize; done += chunk.size()) {
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(chunk.data()));
        z.avail_in = static_cast<uInt>(chunk.size());
        const int flush = done + chunk.size() >= bodySize ? Z_FINISH : Z_NO_FLUSH;
        do {
            z.next_out = reinterpret_cast<Bytef*>(piece.data());
            z.avail_out = static_cast<uInt>(piece.size());
            deflate(&z, flush);
            out.append(piece.data(), piece.size() - z.avail_out);
        } while (z.avail_out == 0 || (flush == Z_FINISH && z.avail_in > 0));
    }
    deflateEnd(&z);
    return out;
}

class PageServer {
public:
    explicit PageServer(size_t bodySize)
        : chunk_(Chunk()), bodySize_(bodySize / chunk_.size() * chunk_.size()), gzip_(Gzip(chunk_, bodySize_)),
          server_([this](int fd, std::string_view request) {
              if (request.find("GET /gzip ") == 0) {
                  mt::bench::SendRepeated(fd,
                                          "HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n"
                                          "Content-Encoding: gzip\r\nContent-Length: " +
                                              std::to_string(gzip_.size()) + "\r\n\r\n",
                                          gzip_, gzip_.size());
                  return;
              }
              mt::bench::SendRepeated(fd,
                                      "HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n"
                                      "Content-Length: " +
                                          std::to_string(bodySize_) + "\r\n\r\n",
                                      chunk_, bodySize_);
          })
    {
    }
    std::string url() const { return server_.url() + "/page"; }
    std::string gzipUrl() const { return server_.url() + "/gzip"; }
    size_t bodySize() const { return bodySize_; }
    size_t gzipSize() const { return gzip_.size(); }

private:
    std::string chunk_;
    size_t bodySize_;
    std::string gzip_;
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

} // namespace

int main(int argc, char** argv)
{
    const std::string program = mt::bench::ProgramUnderTest(argc, argv);
    PageServer server(size_t{200} << 20);
    const double bodyMiB = static_cast<double>(server.bodySize()) / (1 << 20);
    const std::string iconvs = " | iconv -f UTF-8 -t GB18030 | iconv -f GB18030 -t UTF-8";
    const std::string pipeline = "curl -s " + server.url() + iconvs;
    const std::string compressedPipeline = "curl -s --compressed " + server.gzipUrl() + iconvs;
    constexpr int kKinds = 5;
    Run best[kKinds];
    std::vector<double> ratios[kKinds]; // each round's pipeline time over this run's
    const int pipelineOf[kKinds] = {0, 0, 0, 3, 3};
    for (int round = 0; round < kRounds; ++round) {
        // Each round runs all of them, so that they see the same load.
        const Run runs[kKinds] = {Measure({"sh", "-c", pipeline}), Measure({program, "fetch", server.url()}),
                                  Measure({program, "fetch", "--gbk", server.url()}),
                                  Measure({"sh", "-c", compressedPipeline}),
                                  Measure({program, "fetch", server.gzipUrl()})};
        for (int i = 0; i < kKinds; ++i) {
            if (!runs[i].ok) {
                std::fprintf(stderr, "run %d failed\n", i);
                return 1;
            }
            if (round == 0 || runs[i].seconds < best[i].seconds)
                best[i].seconds = runs[i].seconds;
            best[i].peakMiB = std::max(best[i].peakMiB, runs[i].peakMiB);
            ratios[i].push_back(runs[pipelineOf[i]].seconds / runs[i].seconds);
        }
    }
    // The median and the lowest of the per-round throughput ratios.
    const auto spread = [&ratios](int i) {
        std::vector<double> r = ratios[i];
        std::sort(r.begin(), r.end());
        static char text[64];
        std::snprintf(text, sizeof text, "round ratios median %.2f lowest %.2f", r[r.size() / 2], r.front());
        return std::string(text);
    };
    std::printf("body %.0f MiB of UTF-8, best of %d rounds\n", bodyMiB, kRounds);
    std::printf("curl | iconv | iconv      %6.2f s  peak %6.0f MiB (largest process)\n", best[0].seconds,
                best[0].peakMiB);
    std::printf("middletext fetch          %6.2f s  peak %6.0f MiB  throughput ratio %.2f  RSS/body %.2f  %s\n",
                best[1].seconds, best[1].peakMiB, best[0].seconds / best[1].seconds, best[1].peakMiB / bodyMiB,
                spread(1).c_str());
    std::printf("middletext fetch --gbk    %6.2f s  peak %6.0f MiB  throughput ratio %.2f  RSS/body %.2f  %s\n",
                best[2].seconds, best[2].peakMiB, best[0].seconds / best[2].seconds, best[2].peakMiB / bodyMiB,
                spread(2).c_str());
    std::printf("the same page gzip-compressed to %.1f MiB\n", static_cast<double>(server.gzipSize()) / (1 << 20));
    std::printf("curl --compressed | iconv | iconv  %6.2f s  peak %6.0f MiB (largest process)\n", best[3].seconds,
                best[3].peakMiB);
    std::printf("middletext fetch          %6.2f s  peak %6.0f MiB  throughput ratio %.2f  RSS/body %.2f  %s\n",
                best[4].seconds, best[4].peakMiB, best[3].seconds / best[4].seconds, best[4].peakMiB / bodyMiB,
                spread(4).c_str());
    return 0;
}
