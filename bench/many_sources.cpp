// One rule over many sources, whole processes, in one run:
//   files    extract --all over 10,000 files of 10 KB of UTF-8 Chinese page
//            text (-r DIR), plain and --json, against a python3 script
//            doing the same on the files' bytes with bytes.find;
//   pages    extract --all over 1,000 pages of 100 KB from a server on
//            127.0.0.1 with --jobs 16, against `xargs -P 16 -n 1 curl -s`
//            fetching the same list; with the peak resident size;
//   hangs    extract over 2,000 pages with --jobs 16 --max-time 2, where one
//            page in a hundred never answers, against the same list with
//            no page hanging (the goal: at most 2.5 × (2 s + that run));
//   bombs    16 gzip bombs (each 512 MiB of zeros, about 0.5 MiB sent) with
//            --jobs 16: the peak resident size with the default bounds
//            and with --max-filesize 8M;
//   start-up one extract on a 1 KiB file against `grep -F` on it.
// Times are medians of the rounds; the machine may be shared, so both the
// wall time and the CPU time (user + system) are printed, and the ratios
// are theirs over ours. The peak is the kernel's high-water mark of the
// resident size (what /proc/PID/status calls VmHWM), from wait4.
//
//   bench_many_sources [MIDDLETEXT]   (default: ../middletext beside this program)
//   MT_BENCH_CASES=hangs,bombs bench_many_sources   only the cases named
//                                   (files, pages, hangs, bombs, start-up)
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <tuple>
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

// `bytes` zero bytes, gzip-compressed, a piece at a time.
std::string GzipOfZeros(size_t bytes)
{
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY);
    const std::string zeros(size_t{1} << 20, '\0');
    std::string out, piece(size_t{1} << 16, '\0');
    for (size_t done = 0; done <= bytes;) {
        const size_t n = std::min(zeros.size(), bytes - done);
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
        z.avail_in = static_cast<uInt>(n);
        done += n;
        const int flush = done == bytes ? Z_FINISH : Z_NO_FLUSH;
        do {
            z.next_out = reinterpret_cast<Bytef*>(piece.data());
            z.avail_out = static_cast<uInt>(piece.size());
            deflate(&z, flush);
            out.append(piece.data(), piece.size() - z.avail_out);
        } while (z.avail_out == 0);
        if (flush == Z_FINISH)
            break;
    }
    deflateEnd(&z);
    return out;
}

// Connections answered on threads of their own, or held open unanswered,
// until the end.
class Connections {
public:
    ~Connections()
    {
        for (std::thread& t : threads_)
            t.join();
        for (int fd : held_)
            close(fd);
    }
    void Hold(int fd)
    {
        std::lock_guard lock(mutex_);
        held_.push_back(dup(fd));
    }
    void Answer(int fd, const std::function<void(int)>& answer)
    {
        const int own = dup(fd);
        std::lock_guard lock(mutex_);
        threads_.emplace_back([own, answer] {
            answer(own);
            close(own);
        });
    }

private:
    std::mutex mutex_;
    std::vector<int> held_;
    std::vector<std::thread> threads_;
};

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
    const char* only = std::getenv("MT_BENCH_CASES");
    const auto wanted = [only](const std::string& name) {
        return !only || ("," + std::string(only) + ",").find("," + name + ",") != std::string::npos;
    };

    // Files.
    const fs::path files = root / "files";
    fs::create_directories(files);
    for (int i = 0; i < (wanted("files") ? 10000 : 0); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "page%05d.html", i);
        std::ofstream(files / name, std::ios::binary) << PageText(random, 10 * 1024);
    }
    const std::vector<std::string> extract = {program, "extract", "--all", "--left", "<td>", "--right", "</td>"};
    auto with = [](std::vector<std::string> args, std::initializer_list<std::string> more) {
        args.insert(args.end(), more);
        return args;
    };
    if (wanted("files")) {
        const Sample python = Measure({"python3", "-c", kPythonExtractAll, files.string(), "<td>", "</td>"}, 3);
        Report("10,000 files extract --all", Measure(with(extract, {"-r", files.string()}), 3), python, "  goal >= 1.5");
        Report("  the same with --json", Measure(with(extract, {"--json", "-r", files.string()}), 3), python, "");
    }

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
    if (wanted("pages")) {
        const Sample curl = Measure({"sh", "-c", "xargs -P 16 -n 1 curl -s < " + list.string()}, 3);
        Report("1,000 pages --jobs 16", Measure(with(extract, {"--jobs", "16", "--sources", list.string()}), 3), curl,
               "  goal >= 1.0, peak <= 64 MiB");
    }

    // Hanging pages: one in a hundred never answers.
    if (wanted("hangs")) {
        Connections connections;
        mt::bench::LoopbackServer hanging([&page, &connections](int fd, std::string_view request) {
            if (request.find("GET /hang") == 0)
                return connections.Hold(fd);
            mt::bench::SendRepeated(fd,
                                    "HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                                        std::to_string(page.size()) + "\r\n\r\n",
                                    page, page.size());
        });
        const fs::path withHangs = root / "hanging", without = root / "steady";
        {
            std::ofstream a(withHangs), b(without);
            for (int i = 0; i < 2000; ++i) {
                a << hanging.url() << (i % 100 == 50 ? "/hang" : "/page") << i << "\n";
                b << hanging.url() << "/page" << i << "\n";
            }
        }
        const auto bounded = with(extract, {"--jobs", "16", "--max-time", "2", "--sources"});
        const Sample steady = Measure(with(bounded, {without.string()}), 1);
        Sample hangs = Measure(with(bounded, {withHangs.string()}), 1);
        hangs.ok = true; // the hanging pages fail, as they must
        const double goal = 2.5 * (2.0 + steady.wall);
        std::printf("%-26s hangs %8.3f s wall, none %8.3f s wall, goal <= %.3f s: ratio goal/hangs %5.2f"
                    "  peak %5.1f MiB%s\n",
                    "2,000 pages, 20 hang", hangs.wall, steady.wall, goal, goal / hangs.wall, hangs.peakMiB,
                    steady.ok ? "" : "  (a run failed)");
    }

    // Gzip bombs: 512 MiB of zeros each, sent on threads of their own.
    if (wanted("bombs")) {
        const std::string bomb = GzipOfZeros(size_t{512} << 20);
        Connections connections;
        mt::bench::LoopbackServer bombs([&bomb, &connections](int fd, std::string_view) {
            connections.Answer(fd, [&bomb](int own) {
                mt::bench::SendRepeated(own, "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Encoding: gzip\r\n\r\n",
                                        bomb, bomb.size());
            });
        });
        const fs::path list = root / "bombs";
        {
            std::ofstream out(list);
            for (int i = 0; i < 16; ++i)
                out << bombs.url() << "/bomb" << i << "\n";
        }
        const auto find = std::vector<std::string>{program, "find", "--count", "--text", "x", "--jobs", "16"};
        for (const auto& [name, more, goal] :
             {std::tuple<const char*, std::vector<std::string>, double>{"16 gzip bombs", {}, 1024},
              {"  with --max-filesize 8M", {"--max-filesize", "8M"}, 200}}) {
            std::vector<std::string> args = find;
            args.insert(args.end(), more.begin(), more.end());
            args.insert(args.end(), {"--sources", list.string()});
            const Sample s = Measure(args, 1);
            std::printf("%-26s %8.3f s wall %8.3f s cpu  peak %7.1f MiB  goal <= %.0f MiB: %s\n", name, s.wall, s.cpu,
                        s.peakMiB, goal, s.peakMiB <= goal ? "met" : "NOT met");
        }
        std::printf("  (each bomb: %zu bytes sent, 512 MiB decoded)\n", bomb.size());
    }

    // Start-up.
    if (wanted("start-up")) {
        const fs::path small = root / "small.txt";
        std::ofstream(small, std::ios::binary) << PageText(random, 1024);
        const Sample grep = Measure({"grep", "-F", "<td>", small.string()}, 21);
        Report("start-up, 1 KiB file", Measure(with(extract, {small.string()}), 21), grep, "  (report only)");
    }

    fs::remove_all(root);
    return 0;
}
