// Why a rule fails, on a 64 MiB text where every test fails (the text under
// each normalisation is searched to its end, and the longest leading part
// is sought), against one plain search of the same sought text in the same
// text, measured in the same run:
//   html     markup with Chinese text, CR LF line breaks, full-width
//            punctuation, character references and runs of spaces
//   chinese  double-byte text with a few ASCII words and line breaks, the
//            hardest case for the walks that keep to character boundaries
// Times are CPU times, medians of five repetitions run interleaved; the
// summary prints the diagnosis's time, the search's and their ratio. The
// goal: at most 400 ms for the diagnosis on 64 MiB in a Release build.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "commands/find_text.h"
#include "commands/rule_diagnosis.h"

namespace {

constexpr size_t kTextBytes = size_t{64} << 20;

// Found under no test: a line break, letters, whitespace and an '&'.
const std::string kSought = "<span class=\"price\">\r\nNo Such  Text &amp; q</span>";

class Builder {
public:
    explicit Builder(uint32_t seed) : rng_(seed) {}
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    void hanzi(std::string* s, int count)
    {
        for (int i = 0; i < count; ++i) {
            *s += static_cast<char>(0xB0 + below(0x28));
            *s += static_cast<char>(0xA1 + below(0x5E));
        }
    }
    void word(std::string* s)
    {
        for (int i = 0, n = 3 + below(6); i < n; ++i)
            *s += static_cast<char>('a' + below(26));
    }

private:
    std::mt19937 rng_;
};

std::string Html()
{
    Builder b(7);
    std::string s;
    s.reserve(kTextBytes + 256);
    while (s.size() < kTextBytes) {
        s += "<div class=\"item\">\r\n    <span class=\"name\">";
        b.hanzi(&s, 4 + b.below(12));
        s += "\xA3\xBA"; // ：
        b.word(&s);
        s += " &amp; ";
        b.word(&s);
        s += "&#20013;</span>  <span class=\"price\">";
        s += std::to_string(b.below(1000));
        s += "\xA3\xAC"; // ，
        b.hanzi(&s, 2);
        s += "</span>\r\n</div>\r\n";
    }
    s.resize(kTextBytes);
    return s;
}

std::string Chinese()
{
    Builder b(8);
    std::string s;
    s.reserve(kTextBytes + 256);
    while (s.size() < kTextBytes) {
        b.hanzi(&s, 20 + b.below(40));
        s += b.below(4) == 0 ? "\r\n" : "\xA3\xAC";
        if (b.below(8) == 0) {
            b.word(&s);
            s += ' ';
        }
    }
    s.resize(kTextBytes);
    return s;
}

const std::string& Text(const std::string& name)
{
    static std::map<std::string, std::string> texts;
    auto it = texts.find(name);
    if (it == texts.end())
        it = texts.emplace(name, name == "html" ? Html() : Chinese()).first;
    return it->second;
}

void Diagnose(benchmark::State& state, const std::string& data)
{
    const std::string& text = Text(data);
    for (auto _ : state) {
        const mt::Diagnosis d = mt::DiagnoseMissing(text, kSought, false);
        if (d.code != mt::DiagnosisCode::kPartial)
            state.SkipWithError("a test found the sought text");
        benchmark::DoNotOptimize(d.offset);
    }
}

void Search(benchmark::State& state, const std::string& data)
{
    const std::string& text = Text(data);
    for (auto _ : state) {
        const int64_t found = mt::FindTextOffset(text, kSought, 0, false);
        if (found != -1)
            state.SkipWithError("the sought text is in the text");
        benchmark::DoNotOptimize(found);
    }
}

constexpr const char* kDatasets[] = {"html", "chinese"};

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.aggregate_name == "median")
                medians_[run.run_name.function_name] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void printSummary() const
    {
        std::printf("\nMedian CPU times on 64 MiB, every test failing:\n");
        std::printf("%-10s %16s %14s %18s\n", "text", "diagnosis ms", "search ms", "diagnosis/search");
        for (const char* data : kDatasets) {
            const double d = time(std::string("diagnosis/") + data + "/all");
            const double s = time(std::string("diagnosis/") + data + "/search");
            if (s > 0)
                std::printf("%-10s %16.1f %14.1f %17.1fx\n", data, d, s, d / s);
        }
        std::printf("goal: diagnosis <= 400 ms on 64 MiB in a Release build\n");
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
    for (const char* data : kDatasets) {
        for (const bool search : {false, true}) {
            const std::string name = std::string("diagnosis/") + data + (search ? "/search" : "/all");
            benchmark::RegisterBenchmark(name.c_str(), search ? Search : Diagnose, std::string(data))
                ->Unit(benchmark::kMillisecond)
                ->Repetitions(5)
                ->ReportAggregatesOnly(true);
        }
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
