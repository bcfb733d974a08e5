// The big box's undo history under repeated big pastes: select all, then
// paste a 47 MB text over it, 16 times, through the window engine with the
// character count. Each paste is one undo step holding the text it replaced;
// without a bound every step would stay (16 pastes: some 750 MB more). The
// history keeps at most 100 steps, or what fits in the larger of 64 MiB and
// the text's size, the newest always.
//
// Printed: the RSS after each paste, and the ratio of the last to the first
// (the reference, measured in the same run): about 1 when the bound holds;
// without one, each paste adds the text's size again. The same for 16
// writes of Content by a handler (a page read, 生成代码), each an undo step
// too: two texts of that size written in turn.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "common/engine_box.h"
#include "common/typing_bench.h"
#include "platform/application.h"
#include "platform/clipboard.h"
#include "platform/window_listener.h"

namespace {

using namespace mt;
using namespace mt::bench;

constexpr int kPastes = 16;
constexpr size_t kTextBytes = 47'000'000;

// The resident set of this process, in MiB.
double RssMiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6) / 1024.0;
    }
    return 0;
}

std::vector<double>& Rss()
{
    static std::vector<double> rss;
    return rss;
}

std::vector<double>& WriteRss()
{
    static std::vector<double> rss;
    return rss;
}

void BM_Box_SixteenBigPastes(benchmark::State& state)
{
    platform::EnsureApplication();
    if (!platform::SetClipboardText(MixedText(kTextBytes, true))) {
        state.SkipWithError("no clipboard");
        return;
    }
    for (auto _ : state) {
        EngineBox box(true, "");
        if (!LoadedOrSkip(box, state))
            return;
        box.focus();
        Rss().clear();
        for (int i = 0; i < kPastes; ++i) {
            PressKeyInBox('A', platform::kKeyStateCtrl);
            PressKeyInBox('V', platform::kKeyStateCtrl);
            malloc_trim(0); // what is held, not what the heap keeps spare
            Rss().push_back(RssMiB());
        }
    }
    state.counters["first_MiB"] = Rss().front();
    state.counters["last_MiB"] = Rss().back();
}

BENCHMARK(BM_Box_SixteenBigPastes)->Iterations(1)->Unit(benchmark::kSecond);

void BM_Box_SixteenBigContentWrites(benchmark::State& state)
{
    platform::EnsureApplication();
    std::string texts[2] = {MixedText(kTextBytes, true), MixedText(kTextBytes, true)};
    texts[1][0] = texts[1][0] == 'x' ? 'y' : 'x'; // another text: each write is a change
    for (auto _ : state) {
        EngineBox box(true, "");
        if (!LoadedOrSkip(box, state))
            return;
        WriteRss().clear();
        for (int i = 0; i < kPastes; ++i) {
            box.setContent(texts[i % 2]);
            malloc_trim(0);
            WriteRss().push_back(RssMiB());
        }
    }
    state.counters["first_MiB"] = WriteRss().front();
    state.counters["last_MiB"] = WriteRss().back();
}

BENCHMARK(BM_Box_SixteenBigContentWrites)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    if (!Rss().empty()) {
        std::printf("\nRSS after each of %d pastes of %zu bytes over the whole text (MiB):\n", kPastes, kTextBytes);
        for (size_t i = 0; i < Rss().size(); ++i)
            std::printf("%s%.0f", i ? " " : "  ", Rss()[i]);
        std::printf("\nlast against first: %.2fx (a history without a bound: +%.0f MiB a paste)\n",
                    Rss().back() / Rss().front(), kTextBytes / 1048576.0);
    }
    if (!WriteRss().empty()) {
        std::printf("\nRSS after each of %d writes of Content of %zu bytes (MiB):\n", kPastes, kTextBytes);
        for (size_t i = 0; i < WriteRss().size(); ++i)
            std::printf("%s%.0f", i ? " " : "  ", WriteRss()[i]);
        std::printf("\nlast against first: %.2fx (a history without a bound: +%.0f MiB a write)\n",
                    WriteRss().back() / WriteRss().front(), kTextBytes / 1048576.0);
    }
    benchmark::Shutdown();
    return 0;
}
