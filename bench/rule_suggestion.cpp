// A rule made from a selection (what F4 asks for) on a 5 MiB page, through
// the command routine as the window calls it, against one plain search of
// the same page (寻找文本's search for a text that is not there, which
// reads the whole page once):
//   html     table rows, each with its own number, the selection the price
//            in the last row: most left texts the halving tries are unique
//            and so read the page up to the selection
//   chinese  double-byte characters only, a line break every 40: the
//            character boundaries are counted from the page's start
//   repeats  rows alike but for the last: no left text within the bound
//            works, which the longest one tried first tells at once
// Times are CPU times, medians of five repetitions interleaved; the summary
// prints each suggestion's time over the search's. The goal: F4 answers
// within 100 ms on a 5 MiB page.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>

#include "abi/service_calls.h"
#include "abi/text_value.h"
#include "commands/find_text.h"
#include "commands/rule_suggestion_command.h"

namespace {

constexpr size_t kPageBytes = size_t{5} << 20;

int64_t Serve(int32_t code, intptr_t a, intptr_t)
{
    switch (code) {
    case mt::kSvcAllocate:
        return reinterpret_cast<intptr_t>(std::malloc(a > 0 ? static_cast<size_t>(a) : 1));
    case mt::kSvcFree:
        std::free(reinterpret_cast<void*>(a));
        return 0;
    default:
        std::abort();
    }
}

struct Page {
    std::string text;
    size_t start = 0, length = 0; // the selection
};

std::string Row(size_t n, const std::string& price)
{
    return "<tr><td class=\"id\">" + std::to_string(n) + "</td><td class=\"name\">item " + std::to_string(n * 7919) +
           "</td><td class=\"price\">" + price + "</td></tr>\n";
}

Page Html(bool alike)
{
    Page p;
    p.text = "<html><body><table>\n";
    for (size_t n = 0; p.text.size() < kPageBytes - 200; ++n)
        p.text += alike ? "<tr><td class=\"price\">9.99</td></tr>\n" : Row(n, std::to_string(n % 100) + ".50");
    const std::string last = alike ? "<tr><td class=\"price\">1.23</td></tr>\n" : Row(999999, "77.25");
    p.start = p.text.size() + last.find(alike ? "1.23" : "77.25");
    p.length = alike ? 4 : 5;
    p.text += last + "</table></body></html>\n";
    return p;
}

Page Chinese()
{
    std::mt19937 rng(7);
    Page p;
    while (p.text.size() < kPageBytes - 100) {
        for (int i = 0; i < 40; ++i) {
            p.text += static_cast<char>(0xB0 + rng() % 0x28);
            p.text += static_cast<char>(0xA1 + rng() % 0x5E);
        }
        p.text += '\n';
    }
    p.start = p.text.size() - 81 * 10 + 10; // ten lines before the end, five characters in
    p.length = 10;
    return p;
}

const Page& Data(const std::string& name)
{
    static std::map<std::string, Page> pages;
    auto it = pages.find(name);
    if (it == pages.end())
        it = pages.emplace(name, name == "html" ? Html(false) : name == "repeats" ? Html(true)
                                                                                  : Chinese())
                 .first;
    return it->second;
}

void Suggest(benchmark::State& state, const std::string& name, bool found)
{
    const Page& p = Data(name);
    mt::ValueRecord args[3] = {mt::MakePointer(p.text.c_str(), mt::kTypeText),
                               mt::MakeInt(static_cast<int32_t>(p.start + 1)),
                               mt::MakeInt(static_cast<int32_t>(p.length))};
    for (auto _ : state) {
        mt::ValueRecord result{};
        mt::SuggestRuleCommand(&result, 3, args);
        const auto* answer = mt::AsPointer<uint8_t>(result);
        if (mt::ByteArrayCount(answer) < 4 || (mt::ByteArrayData(answer)[0] == 1) != found) {
            state.SkipWithError(found ? "no pair found" : "a pair found");
            mt::svc::Free(const_cast<uint8_t*>(answer));
            return;
        }
        mt::svc::Free(const_cast<uint8_t*>(answer));
    }
}

void Search(benchmark::State& state, const std::string& name)
{
    const Page& p = Data(name);
    for (auto _ : state)
        benchmark::DoNotOptimize(mt::FindTextOffset(p.text, "</tbody>", 0, false));
}

constexpr const char* kPages[] = {"html", "chinese", "repeats"};

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.aggregate_name == "median")
                medians_[run.run_name.function_name] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printSummary() const
    {
        std::printf("\nSuggestion on a 5 MiB page against one search of it (median CPU times):\n");
        std::printf("%-10s %14s %12s %10s\n", "page", "suggest ms", "search ms", "ratio");
        for (const char* page : kPages) {
            const double suggest = time("suggest/" + std::string(page));
            const double search = time("search/" + std::string(page));
            if (search > 0)
                std::printf("%-10s %14.2f %12.2f %9.1fx\n", page, suggest, search, suggest / search);
        }
        std::printf("goal: F4 answers within 100 ms on a 5 MiB page\n");
    }

private:
    double time(const std::string& name) const
    {
        auto it = medians_.find(name);
        return it == medians_.end() ? 0 : it->second;
    }
    std::map<std::string, double> medians_;
};

} // namespace

int main(int argc, char** argv)
{
    mt::svc::SetService(&Serve);
    for (const char* page : kPages) {
        const bool found = std::string(page) != "repeats";
        benchmark::RegisterBenchmark(("suggest/" + std::string(page)).c_str(), Suggest, std::string(page), found)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true);
        benchmark::RegisterBenchmark(("search/" + std::string(page)).c_str(), Search, std::string(page))
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true);
    }
    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();
    return 0;
}
