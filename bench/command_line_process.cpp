// The command-line mode as whole processes. First its start-up: extract on
// a 1 KiB file against grep -F on the same file, run in turns, so that the
// libraries the program loads and starts show (the command line loads no
// Qt). `bench_command_line_process startup [PROGRAM]` stops there. Then real-sized
// input, against python3 doing the same with bytes.find on the same file,
// in one run:
//   extract   --left 【左】 --right 【右】 on 64 MiB of mixed Chinese and ASCII
//             lines (the pair at the very end), raw GB18030 (--gbk) and UTF-8
//   find      --text 终点标记 on the same files: one hit, at the end
//   hits      find --text 😀 on 1 to 16 MiB with a hit every 141 bytes
//             (118,987 hits in 16 MiB), to show that find is linear
// The texts come from bench/make_texts.py (made on the first run, into
// $MT_BENCH_TEXTS or /tmp/middletext-bench-texts). Times are the child's CPU
// time (user + system; the machine is shared, waiting for a core is not the
// program's cost), medians of five runs; peak memory is the child's maximum
// resident set. Build in Release (build/rel).
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/child_process.h"

namespace {

struct Sample {
    double seconds = 0; // CPU, user + system
    long peakKb = 0;
    int status = -1;
};

Sample RunOnce(const std::vector<std::string>& args)
{
    const mt::bench::ChildRun run = mt::bench::RunChild(args, true);
    return Sample{run.cpuSeconds, run.peakKb, run.status};
}

// The median time of five runs, the largest peak, the first status.
Sample Measure(const std::vector<std::string>& args)
{
    std::vector<Sample> runs;
    runs.reserve(5);
    for (int i = 0; i < 5; ++i)
        runs.push_back(RunOnce(args));
    std::vector<double> times;
    Sample out = runs[0];
    for (const Sample& s : runs) {
        times.push_back(s.seconds);
        out.peakKb = std::max(out.peakKb, s.peakKb);
    }
    std::sort(times.begin(), times.end());
    out.seconds = times[times.size() / 2];
    return out;
}

std::string Here()
{
    char path[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string dir(path, n > 0 ? static_cast<size_t>(n) : 0);
    return dir.substr(0, dir.rfind('/'));
}

long FileKb(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size / 1024) : 0;
}

const char kPythonExtract[] =
    "import os,sys\n"
    "d=open(sys.argv[1],'rb').read()\n"
    "l=os.fsencode(sys.argv[2]);r=os.fsencode(sys.argv[3])\n"
    "i=d.find(l)\n"
    "j=d.find(r,i+len(l))\n"
    "sys.stdout.buffer.write(d[i+len(l):j])\n";

const char kPythonFind[] =
    "import os,sys\n"
    "d=open(sys.argv[1],'rb').read()\n"
    "w=os.fsencode(sys.argv[2])\n"
    "out=[]\n"
    "i=d.find(w)\n"
    "while i>=0:\n"
    "    out.append('%d\\n'%(i+1))\n"
    "    i=d.find(w,i+len(w))\n"
    "sys.stdout.write(''.join(out))\n";

struct Texts {
    const char* suffix;
    const char* gbk; // "--gbk" or an option every command takes without effect
    std::string left, right, wanted, smiley;
};

} // namespace

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// extract on a 1 KiB file against grep -F, 40 turns each, interleaved; wall
// and CPU time medians. False when extract did not succeed.
bool StartUp(const std::string& program)
{
    char name[] = "/tmp/middletext-startup-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0)
        return false;
    std::string text;
    while (text.size() < 1000)
        text += "line " + std::to_string(text.size()) + " of a small page\n";
    text += "<h1>Hello</h1>\n";
    text.resize(1024, '.');
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    const std::vector<std::string> ours = {program, "extract", "--left", "<h1>", "--right", "</h1>", name};
    const std::vector<std::string> grep = {"grep", "-F", "<h1>", name};
    std::vector<double> oursWall, oursCpu, grepWall, grepCpu;
    bool right = written;
    for (int i = 0; i < 40; ++i) {
        const mt::bench::ChildRun a = mt::bench::RunChild(ours, true);
        const mt::bench::ChildRun b = mt::bench::RunChild(grep, true);
        right = right && a.status == 0;
        oursWall.push_back(a.wallSeconds);
        oursCpu.push_back(a.cpuSeconds);
        grepWall.push_back(b.wallSeconds);
        grepCpu.push_back(b.cpuSeconds);
    }
    unlink(name);
    std::printf("%-22s %10s %10s %8s\n", "start-up, 1 KiB", "ours ms", "grep ms", "ours/grep");
    std::printf("%-22s %10.2f %10.2f %7.2fx\n", "wall", 1e3 * Median(oursWall), 1e3 * Median(grepWall),
                Median(oursWall) / Median(grepWall));
    std::printf("%-22s %10.2f %10.2f %7.2fx\n", "CPU (user + system)", 1e3 * Median(oursCpu), 1e3 * Median(grepCpu),
                Median(oursCpu) / std::max(Median(grepCpu), 1e-4));
    std::printf("goal: extract's wall time <= 3.00x grep -F's\n\n");
    return right;
}

int main(int argc, char** argv)
{
    // `startup PROGRAM` measures another build's program.
    const std::string program = argc > 2 ? std::string(argv[2]) : Here() + "/../middletext";
    const bool started = StartUp(program);
    if (argc > 1 && std::string(argv[1]) == "startup")
        return started ? 0 : 1;
    const char* dirVariable = std::getenv("MT_BENCH_TEXTS");
    const std::string dir = dirVariable ? dirVariable : "/tmp/middletext-bench-texts";
    if (FileKb(dir + "/hits-16.gb18030") == 0) {
        std::printf("making the texts in %s\n", dir.c_str());
        if (std::system(("python3 " MT_SOURCE_DIR "/bench/make_texts.py " + dir).c_str()) != 0)
            return 1;
    }
    const Texts modes[] = {
        {"gb18030", "--gbk", "\xa1\xbe\xd7\xf3\xa1\xbf", "\xa1\xbe\xd3\xd2\xa1\xbf", "\xd6\xd5\xb5\xe3\xb1\xea\xbc\xc7",
         "\x94\x39\xfc\x36"},
        {"utf8", "--", "【左】", "【右】", "终点标记", "😀"},
    };
    std::printf("%-22s %10s %10s %8s %10s %8s\n", "case", "ours ms", "python ms", "py/ours", "peak MiB",
                "peak/file");
    bool statusesRight = true;
    for (const Texts& t : modes) {
        const std::string mixed = dir + "/mixed." + t.suffix;
        const bool raw = std::string(t.gbk) == "--gbk";
        std::vector<std::string> extract = {program, "extract", "--left", t.left, "--right", t.right};
        std::vector<std::string> find = {program, "find", "--text", t.wanted};
        if (raw) {
            extract.insert(extract.begin() + 1, "--gbk");
            find.insert(find.begin() + 1, "--gbk");
        }
        extract.push_back(mixed);
        find.push_back(mixed);
        struct Case {
            std::string name;
            std::vector<std::string> ours, python;
        };
        const Case cases[] = {
            {std::string("extract ") + (raw ? "--gbk" : "UTF-8"), extract, {"python3", "-c", kPythonExtract, mixed, t.left, t.right}},
            {std::string("find 1 hit ") + (raw ? "--gbk" : "UTF-8"), find, {"python3", "-c", kPythonFind, mixed, t.wanted}},
        };
        for (const Case& c : cases) {
            const Sample ours = Measure(c.ours);
            const Sample python = Measure(c.python);
            statusesRight = statusesRight && ours.status == 0;
            std::printf("%-22s %10.1f %10.1f %7.2fx %10.1f %7.2fx\n", c.name.c_str(), 1e3 * ours.seconds,
                        1e3 * python.seconds, python.seconds / ours.seconds, ours.peakKb / 1024.0,
                        static_cast<double>(ours.peakKb) / static_cast<double>(FileKb(mixed)));
        }
    }
    std::printf("goals: --gbk >= 1.00x python, UTF-8 >= 0.70x; peak <= 1.5x the file with --gbk, <= 2.5x in UTF-8\n\n");

    // What the program costs without input (start-up, shutdown): taken off
    // before the cost per MiB is compared.
    const double startup = Measure({program, "find", "--text", "x", "/dev/null"}).seconds;
    std::printf("start-up with empty input: %.1f ms\n", 1e3 * startup);
    std::printf("%-22s %10s %10s %8s %12s\n", "find, a hit / 141 B", "ours ms", "python ms", "py/ours",
                "ms/MiB beyond start-up");
    for (const Texts& t : modes) {
        double beyondAt8 = 0, beyondAt16 = 0;
        for (int mib : {1, 2, 4, 8, 16}) {
            const std::string file = dir + "/hits-" + std::to_string(mib) + "." + t.suffix;
            std::vector<std::string> ours = {program, "find", "--text", t.smiley, file};
            if (std::string(t.gbk) == "--gbk")
                ours.insert(ours.begin() + 1, "--gbk");
            const Sample s = Measure(ours);
            const Sample python = Measure({"python3", "-c", kPythonFind, file, t.smiley});
            statusesRight = statusesRight && s.status == 0;
            const double perMib = 1e3 * (s.seconds - startup) / mib;
            if (mib == 8 || mib == 16)
                (mib == 8 ? beyondAt8 : beyondAt16) = s.seconds - startup;
            const std::string name = std::to_string(mib) + " MiB " + t.suffix;
            std::printf("%-22s %10.1f %10.1f %7.2fx %12.2f\n", name.c_str(), 1e3 * s.seconds, 1e3 * python.seconds,
                        python.seconds / s.seconds, perMib);
        }
        // Small inputs cost little beside the start-up, so the doubling from
        // 8 to 16 MiB shows the growth best.
        std::printf("%-22s 16 MiB / 8 MiB beyond start-up: %.2f (2.00 linear, 4.00 quadratic)\n", t.suffix,
                    beyondAt16 / beyondAt8);
    }
    std::printf("goals: 16 MiB (118,987 hits) <= 300 ms, linear from 1 to 16 MiB\n");
    if (!statusesRight)
        std::printf("SOME RUNS DID NOT EXIT WITH STATUS 0\n");
    return statusesRight && started ? 0 : 1;
}
