// test over a case file, whole processes, in one run: 1,000 cases over 100
// local pages of 100 KB of UTF-8 page text (Chinese and markup), eight
// single extractions and two --all extractions a page, every case passing;
// against a shell loop that runs `middletext extract` once per case (the
// same rules on the same files, --all for the --all cases). Goal: the test
// run within 1 s in a Release build.
//
// Times are medians of the rounds; the machine may be shared, so both the
// wall time and the CPU time (user + system) are printed, and the ratios are
// the loop's over ours.
//
//   bench_case_file_run [MIDDLETEXT]   (default: ../middletext beside this program)
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/child_process.h"

namespace {

namespace fs = std::filesystem;

constexpr int kPages = 100;
constexpr size_t kPageBytes = 100 * 1024;
constexpr int kTitles = 8; // single cases a page
constexpr int kLists = 2;  // --all cases a page
constexpr int kItems = 20; // items of each list

struct Sample {
    double wall = 0, cpu = 0;
    bool ok = true;
};

Sample Measure(const std::vector<std::string>& args, int rounds)
{
    std::vector<double> walls, cpus;
    Sample out;
    for (int i = 0; i < rounds; ++i) {
        const mt::bench::ChildRun run = mt::bench::RunChild(args, true);
        walls.push_back(run.wallSeconds);
        cpus.push_back(run.cpuSeconds);
        out.ok = out.ok && run.status == 0;
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    out.wall = walls[walls.size() / 2];
    out.cpu = cpus[cpus.size() / 2];
    return out;
}

std::string Title(int page, int k)
{
    return "第" + std::to_string(page) + "页的标题 " + std::to_string(k);
}

std::string Item(int page, int list, int n)
{
    return "条目 " + std::to_string(page) + "-" + std::to_string(list) + "-" + std::to_string(n);
}

// A page of filler paragraphs with the titles and lists strewn through it.
std::string Page(int page)
{
    const std::string filler = "<p class=\"text\">这是一段用来填充页面的文字，里面有中文也有 ASCII 字符。</p>\n";
    std::string out = "<html><head><meta charset=\"utf-8\"><title>页面</title></head><body>\n";
    const int pieces = kTitles + kLists;
    for (int piece = 0; piece < pieces; ++piece) {
        while (out.size() < kPageBytes * static_cast<size_t>(piece + 1) / static_cast<size_t>(pieces + 1))
            out += filler;
        if (piece < kTitles) {
            out += "<h2 id=\"t" + std::to_string(piece) + "\">" + Title(page, piece) + "</h2>\n";
            continue;
        }
        const int list = piece - kTitles;
        out += "<ul id=\"l" + std::to_string(list) + "\">";
        for (int n = 0; n < kItems; ++n)
            out += "<li class=\"c" + std::to_string(list) + "\">" + Item(page, list, n) + "</li>";
        out += "</ul>\n";
    }
    while (out.size() < kPageBytes)
        out += filler;
    return out + "</body></html>\n";
}

std::string Quoted(const std::string& s)
{
    std::string out = "\"";
    for (const char c : s)
        out += c == '"' ? std::string("\\\"") : std::string(1, c);
    return out + "\"";
}

} // namespace

int main(int argc, char** argv)
{
    const std::string program = mt::bench::ProgramUnderTest(argc, argv);
    const fs::path dir = fs::temp_directory_path() / ("mt-bench-cases-" + std::to_string(getpid()));
    fs::create_directories(dir / "pages");
    std::ofstream cases(dir / "cases.jsonl", std::ios::binary);
    std::ofstream loop(dir / "loop.sh", std::ios::binary);
    loop << "cd '" << dir.string() << "' || exit 2\nm='" << program << "'\n";
    int count = 0;
    for (int page = 0; page < kPages; ++page) {
        char name[32];
        std::snprintf(name, sizeof name, "pages/p%03d.html", page);
        std::ofstream(dir / name, std::ios::binary) << Page(page);
        for (int k = 0; k < kTitles; ++k, ++count) {
            const std::string left = "<h2 id=\"t" + std::to_string(k) + "\">";
            cases << "{\"source\":\"" << name << "\",\"left\":" << Quoted(left) << ",\"right\":\"</h2>\",\"expect\":"
                  << Quoted(Title(page, k)) << "}\n";
            loop << "\"$m\" extract --left '" << left << "' --right '</h2>' " << name << " >/dev/null\n";
        }
        for (int list = 0; list < kLists; ++list, ++count) {
            const std::string left = "<li class=\"c" + std::to_string(list) + "\">";
            cases << "{\"source\":\"" << name << "\",\"left\":" << Quoted(left)
                  << ",\"right\":\"</li>\",\"all\":true,\"expect\":[";
            for (int n = 0; n < kItems; ++n)
                cases << (n ? "," : "") << Quoted(Item(page, list, n));
            cases << "]}\n";
            loop << "\"$m\" extract --all --left '" << left << "' --right '</li>' " << name << " >/dev/null\n";
        }
    }
    cases.close();
    loop.close();
    std::printf("%d cases over %d pages of %zu KB\n", count, kPages, kPageBytes / 1024);

    const Sample ours = Measure({program, "test", (dir / "cases.jsonl").string()}, 5);
    const Sample theirs = Measure({"sh", (dir / "loop.sh").string()}, 1);
    std::printf("%-32s ours %7.3f s wall %7.3f s cpu   extract per case %7.3f s wall %7.3f s cpu   "
                "ratio wall %6.1f cpu %6.1f   goal <= 1 s: %s\n",
                "test, 1,000 cases", ours.wall, ours.cpu, theirs.wall, theirs.cpu, theirs.wall / ours.wall,
                theirs.cpu / ours.cpu, ours.wall <= 1.0 ? "met" : "missed");
    if (!ours.ok)
        std::printf("test did not pass every case\n");
    fs::remove_all(dir);
    return ours.ok && theirs.ok ? 0 : 1;
}
