// One rule over many sources, whole processes, in one run:
//   files    extract --all over 10,000 files of 10 KB of UTF-8 Chinese page
//            text (-r DIR), plain and --json, against a python3 script
//            doing the same on the files' bytes with bytes.find;
//   pages    extract --all over 1,000 pages of 100 KB from a server on
//            127.0.0.1 with --jobs 16, against `xargs -P 16 -n 1 curl -s`
//            fetching the same list; with the peak resident size;
//   start-up one extract on a 1 KiB file against `grep -F` on it.
// Times are medians of the rounds; the machine may be shared, so both the
// wall time and the CPU time (user + system) are printed, and the ratios
// are theirs over ours.
//
//   bench_many_sources [MIDDLETEXT]   (default: ../middletext beside this program)
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "common/child_process.h"
#include "common/loopback_server.h"

namespace {

namespace fs = std::filesystem;

struct Sample {
    double wall = 0, cpu = 0;
    double peakMiB = 0; // the largest of the rounds
    bool ok = true;
};

// The medians of `rounds` runs.
Sample Measure(const std::vector<std::string>& args, int rounds)
{
    std::vector<double> walls, cpus;
    Sample out;
    for (int i = 0; i < rounds; ++i) {
        const mt::bench::ChildRun run = mt::bench::RunChild(args, true);
        walls.push_back(run.wallSeconds);
        cpus.push_back(run.cpuSeconds);
        out.peakMiB = std::max(out.peakMiB, static_cast<double>(run.peakKb) / 1024.0);
        out.ok = out.ok && run.status == 0;
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    out.wall = walls[walls.size() / 2];
    out.cpu = cpus[cpus.size() / 2];
    return out;
}

void Report(const char* name, const Sample& ours, const Sample& theirs, const char* goal)
{
    std::printf("%-26s ours %8.3f s wall %8.3f s cpu  theirs %8.3f s wall %8.3f s cpu  ratio wall %5.2f cpu %5.2f"
                "  peak %5.1f MiB%s%s\n",
                name, ours.wall, ours.cpu, theirs.wall, theirs.cpu, theirs.wall / ours.wall, theirs.cpu / ours.cpu,
                ours.peakMiB, goal, ours.ok && theirs.ok ? "" : "  (a run failed)");
}

// A line of a product table in UTF-8: mostly Chinese, one middle text per
// cell.
std::string TableRow(std::mt19937& random)
{
    static const char* const kNames[] = {"中文商品名称", "读取网页源码", "价格说明", "产品规格参数", "库存数量"};
    return "<tr><td>" + std::string(kNames[random() % 5]) + std::to_string(random() % 100000) +
           "</td><td>价格 " + std::to_string(random() % 1000) + ".45 元</td><td>这是一段用于测试的中文页面文字</td></tr>\n";
}

// `bytes` bytes of page text (whole rows).
std::string PageText(std::mt19937& random, size_t bytes)
{
    std::string page = "<html><head><meta charset=\"utf-8\"><title>商品列表</title></head><body><table>\n";
    for (std::string row = TableRow(random); page.size() + row.size() < bytes - 24; row = TableRow(random))
        page += row;
    return page + "</table></body></html>\n";
}

const char kPythonExtractAll[] =
    "import os,sys\n"
    "d=sys.argv[1];l=os.fsencode(sys.argv[2]);r=os.fsencode(sys.argv[3])\n"
    "out=sys.stdout.buffer\n"
    "for name in sorted(os.listdir(d)):\n"
    "    p=os.path.join(d,name);b=open(p,'rb').read();pre=os.fsencode(p)+b':';parts=[];at=0\n"
    "    while True:\n"
    "        i=b.find(l,at)\n"
    "        if i<0: break\n"
    "        f=i+len(l);j=b.find(r,f)\n"
    "        if j<0: break\n"
    "        parts.append(pre+b[f:j]+b'\\n');at=j+len(r)\n"
    "    out.write(b''.join(parts))\n";

} // namespace

int main(int argc, char** argv)
{
    const std::string program = mt::bench::ProgramUnderTest(argc, argv);
    setenv("LC_ALL", "C.UTF-8", 1); // the terminal's encoding: UTF-8 in and out
    char pattern[] = "/tmp/mt-bench-many-XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    const fs::path root = pattern;
    std::mt19937 random(20);

    // Files.
    const fs::path files = root / "files";
    fs::create_directories(files);
    for (int i = 0; i < 10000; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "page%05d.html", i);
        std::ofstream(files / name, std::ios::binary) << PageText(random, 10 * 1024);
    }
    const std::vector<std::string> extract = {program, "extract", "--all", "--left", "<td>", "--right", "</td>"};
    auto with = [](std::vector<std::string> args, std::initializer_list<std::string> more) {
        args.insert(args.end(), more);
        return args;
    };
    const Sample python = Measure({"python3", "-c", kPythonExtractAll, files.string(), "<td>", "</td>"}, 3);
    Report("10,000 files extract --all", Measure(with(extract, {"-r", files.string()}), 3), python, "  goal >= 1.5");
    Report("  the same with --json", Measure(with(extract, {"--json", "-r", files.string()}), 3), python, "");

    // Pages.
    const std::string page = PageText(random, 100 * 1024);
    mt::bench::LoopbackServer server([&page](int fd, std::string_view) {
        mt::bench::SendRepeated(fd,
                                "HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                                    std::to_string(page.size()) + "\r\n\r\n",
                                page, page.size());
    });
    const fs::path list = root / "urls";
    {
        std::ofstream out(list);
        for (int i = 0; i < 1000; ++i)
            out << server.url() << "/page" << i << "\n";
    }
    const Sample curl = Measure({"sh", "-c", "xargs -P 16 -n 1 curl -s < " + list.string()}, 3);
    Report("1,000 pages --jobs 16", Measure(with(extract, {"--jobs", "16", "--sources", list.string()}), 3), curl,
           "  goal >= 1.0, peak <= 64 MiB");

    // Start-up.
    const fs::path small = root / "small.txt";
    std::ofstream(small, std::ios::binary) << PageText(random, 1024);
    const Sample grep = Measure({"grep", "-F", "<td>", small.string()}, 21);
    Report("start-up, 1 KiB file", Measure(with(extract, {small.string()}), 21), grep, "  (report only)");

    fs::remove_all(root);
    return 0;
}
