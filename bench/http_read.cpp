// HttpRead of a 200 MiB body from a server on 127.0.0.1 in this process,
// against a plain libcurl transfer into a buffer grown by doubling with
// realloc, measured in the same run. Prints both throughputs and their ratio.
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "abi/service_calls.h"
#include "abi/text_value.h"
#include "net/http_client.h"
#include "net/http_read.h"

#include "common/loopback_server.h"

namespace {

constexpr size_t kBodySize = size_t{200} << 20;

int64_t MallocService(int32_t code, intptr_t a, intptr_t b)
{
    switch (code) {
    case mt::kSvcAllocate:
        return reinterpret_cast<intptr_t>(std::malloc(static_cast<size_t>(a)));
    case mt::kSvcFree:
        std::free(reinterpret_cast<void*>(a));
        return 0;
    case mt::kSvcReallocate:
        return reinterpret_cast<intptr_t>(std::realloc(reinterpret_cast<void*>(a), static_cast<size_t>(b)));
    default:
        std::abort();
    }
}

// Answers every connection with the same 200 MiB body.
class BlastServer {
public:
    BlastServer()
        : chunk_(1 << 20, 'z'), server_([this](int fd, std::string_view request) {
              const std::string length = "Content-Length: " + std::to_string(kBodySize) + "\r\n";
              const bool announced = request.find("/announced") != std::string_view::npos;
              mt::bench::SendRepeated(fd, "HTTP/1.0 200 OK\r\n" + (announced ? length : "") + "\r\n", chunk_,
                                      kBodySize);
          })
    {
    }
    // "/announced" comes with a Content-Length, anything else without.
    std::string Url(bool announced) const { return server_.url() + (announced ? "/announced" : "/unannounced"); }

private:
    std::string chunk_;
    mt::bench::LoopbackServer server_; // last: it answers from chunk_
};

BlastServer* g_server;

struct Tally {
    double seconds = 0;
    double bytes = 0;
    double Throughput() const { return seconds > 0 ? bytes / seconds / (1 << 20) : 0; }
};
Tally g_ours[2], g_reference[2]; // [announced]

// Times one transfer into the tally; false when the body came back short.
template <typename Transfer>
bool Timed(Tally& tally, Transfer transfer)
{
    auto start = std::chrono::steady_clock::now();
    size_t n = transfer();
    tally.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    tally.bytes += static_cast<double>(n);
    return n == kBodySize;
}

size_t ThroughHttpRead(bool announced)
{
    std::string address = g_server->Url(announced);
    mt::ValueRecord url = mt::MakePointer(address.c_str(), mt::kTypeText), result{};
    mt::HttpRead(&result, 1, &url);
    auto* bytes = mt::AsPointer<uint8_t>(result);
    size_t n = mt::ByteArrayCount(bytes);
    mt::svc::Free(bytes);
    return n;
}

struct Growing {
    char* data = nullptr;
    size_t size = 0, capacity = 0;
};

size_t AppendDoubling(char* bytes, size_t, size_t n, void* userdata)
{
    auto* g = static_cast<Growing*>(userdata);
    if (g->size + n > g->capacity) {
        size_t capacity = std::max(g->capacity * 2, g->size + n);
        char* grown = static_cast<char*>(std::realloc(g->data, capacity));
        if (!grown)
            return 0;
        g->data = grown;
        g->capacity = capacity;
    }
    std::memcpy(g->data + g->size, bytes, n);
    g->size += n;
    return n;
}

size_t ThroughPlainCurl(CURL* h, bool announced)
{
    Growing g;
    curl_easy_setopt(h, CURLOPT_URL, g_server->Url(announced).c_str());
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, AppendDoubling);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &g);
    curl_easy_perform(h);
    std::free(g.data);
    return g.size;
}

// Each iteration runs the reference and then HttpRead, so that both see the
// same load on a shared machine.
void BM_HttpReadVsPlainCurl(benchmark::State& state)
{
    bool announced = state.range(0) != 0;
    Tally& ours = g_ours[announced];
    Tally& reference = g_reference[announced];
    CURL* h = curl_easy_init();
    for (auto _ : state) {
        if (!Timed(reference, [=] { return ThroughPlainCurl(h, announced); }) ||
            !Timed(ours, [=] { return ThroughHttpRead(announced); }))
            state.SkipWithError("short body");
    }
    curl_easy_cleanup(h);
    state.SetBytesProcessed(static_cast<int64_t>(ours.bytes + reference.bytes));
}

// Argument 1: the body comes with a Content-Length; 0: it runs to the end of
// the connection.
BENCHMARK(BM_HttpReadVsPlainCurl)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(8)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    mt::svc::SetService(MallocService);
    curl_global_init(CURL_GLOBAL_DEFAULT);
    BlastServer server;
    g_server = &server;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    mt::ReleaseHttpClient();
    curl_global_cleanup();
    for (bool announced : {true, false}) {
        double reference = g_reference[announced].Throughput(), ours = g_ours[announced].Throughput();
        std::printf("%-12s plain libcurl + realloc %4.0f MiB/s, HttpRead %4.0f MiB/s, ratio %.2f\n",
                    announced ? "announced" : "unannounced", reference, ours, reference > 0 ? ours / reference : 0);
    }
    return 0;
}
