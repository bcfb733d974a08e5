// extract and find over several sources (files, standard input, pages of
// the tests' own server, directories, lists), run as a separate process.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/http_test_support.h"
#include "support/run_tool.h"

namespace {

namespace fs = std::filesystem;
namespace httptest = mt::httptest;
using httptest::Reply;
using mt::test::RunTool;
using mt::test::ToolRun;

const std::string kLeftNotFound = "未查找到左边文本，请重新输入！";
// Why: none of the left text's characters is in the text.
const std::string kNothingOfLeft = "左边文本连第一个字符也未出现。";

void Write(const fs::path& path, const std::string& bytes)
{
    if (path.has_parent_path())
        fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> SortedLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

// A folder of pages, current while a test runs: relative sources are found
// from it.
class ManySources : public testing::Test {
protected:
    void SetUp() override
    {
        char name[] = "/tmp/mt-many-XXXXXX";
        dir_ = mkdtemp(name);
        here_ = fs::current_path();
        fs::current_path(dir_);
        Write("a.txt", "[1]");
        Write("b.txt", "[2]x[3]");
        Write("c.txt", "none");
        Write("d/b.txt", "[5]");
        Write("d/a.txt", "[4]");
        Write("d/sub/c.txt", "[6]");
        Write("list", "b.txt\n\na.txt\r\n");
    }
    void TearDown() override
    {
        fs::current_path(here_);
        fs::remove_all(dir_);
    }

    // Every JSON line parsed back by python3, its fields in name order as
    // name=value, separated by |.
    std::string Parsed(const std::string& jsonLines)
    {
        Write(dir_ / "out.json", jsonLines);
        const std::string command = "python3 -c 'import json,sys\n"
                                    "for l in open(sys.argv[1], encoding=\"utf-8\"):\n"
                                    "  o = json.loads(l)\n"
                                    "  print(\"|\".join(k + \"=\" + str(o[k]) for k in sorted(o)))' " +
                                    (dir_ / "out.json").string();
        std::string out;
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char buffer[4096];
            for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
                out.append(buffer, n);
            pclose(pipe);
        }
        return out;
    }

    fs::path dir_, here_;
};

struct Case {
    std::vector<std::string> args;
    std::string input, out, err;
    int status;
};

void Check(const Case& c)
{
    const ToolRun run = RunTool(c.args, c.input);
    EXPECT_EQ(run.out, c.out) << testing::PrintToString(c.args);
    EXPECT_EQ(run.err, c.err) << testing::PrintToString(c.args);
    EXPECT_EQ(run.status, c.status) << testing::PrintToString(c.args) << run.err;
}

TEST_F(ManySources, ResultsComeInTheOrderGivenNamedByTheirSource)
{
    const std::vector<std::string> x{"extract", "--left=[", "--right=]"};
    const auto with = [&x](std::vector<std::string> more) {
        std::vector<std::string> args = x;
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    const Case cases[] = {
        {with({"b.txt", "a.txt"}), "", "b.txt:2\na.txt:1\n", "", 0},
        {with({"--all", "a.txt", "b.txt"}), "", "a.txt:1\nb.txt:2\nb.txt:3\n", "", 0},
        {with({"--no-filename", "a.txt", "b.txt"}), "", "1\n2\n", "", 0},
        {with({"--with-filename", "a.txt"}), "", "a.txt:1\n", "", 0},
        {with({"-0", "a.txt", "b.txt"}), "", std::string("a.txt:1\0b.txt:2\0", 16), "", 0},
        {with({"a.txt", "-"}), "[s]", "a.txt:1\n-:s\n", "", 0},
        {with({"--count", "--all", "a.txt", "b.txt", "c.txt"}), "", "a.txt:1\nb.txt:2\nc.txt:0\n", "", 1},
        {with({"a.txt", "c.txt"}), "", "a.txt:1\n", "middletext: c.txt: " + kLeftNotFound + "\nmiddletext: c.txt: hint: " + kNothingOfLeft + "\n", 1},
        {with({"a.txt", "missing", "b.txt"}), "", "a.txt:1\nb.txt:2\n",
         "middletext: missing: No such file or directory\n", 2},
        {with({"d", "a.txt"}), "", "a.txt:1\n", "middletext: d: Is a directory\n", 2},
        // A directory's regular files in name order, its subdirectories' in their turn.
        {with({"-r", "d/", "a.txt"}), "", "d/a.txt:4\nd/b.txt:5\nd/sub/c.txt:6\na.txt:1\n", "", 0},
        {with({"--sources", "list"}), "", "b.txt:2\na.txt:1\n", "", 0},
        {with({"c.txt", "--sources", "-"}), "a.txt\n", "a.txt:1\n", "middletext: c.txt: " + kLeftNotFound + "\nmiddletext: c.txt: hint: " + kNothingOfLeft + "\n", 1},
        {with({"--sources", "missing"}), "", "", "middletext: missing: No such file or directory\n", 2},
        {{"extract", "-i", "--left", "[b]", "--right", "[/B]"}, "x[B]y[/b]", "y", "", 0},
        {{"find", "--text", "[", "b.txt", "a.txt"}, "", "b.txt:1\nb.txt:5\na.txt:1\n", "", 0},
        // grep's names: the status alone, at most N results a source, the names of those with one.
        {with({"-q", "a.txt", "b.txt"}), "", "", "", 0},
        {with({"--quiet", "a.txt", "c.txt"}), "", "", "", 1},
        {with({"-q", "a.txt", "missing"}), "", "", "middletext: missing: No such file or directory\n", 2},
        {with({"-q", "--json", "a.txt"}), "", "", "", 0},
        {with({"--all", "-m", "1", "a.txt", "b.txt"}), "", "a.txt:1\nb.txt:2\n", "", 0},
        {with({"--all", "--max-count=1", "--count", "b.txt"}), "", "1\n", "", 0},
        {{"find", "-m1", "--text", "[", "b.txt", "a.txt"}, "", "b.txt:1\na.txt:1\n", "", 0},
        {with({"-l", "a.txt", "c.txt", "b.txt"}), "", "a.txt\nb.txt\n", "", 1},
        {with({"--files-with-matches", "-0", "a.txt", "b.txt"}), "", std::string("a.txt\0b.txt\0", 12), "", 0},
        {{"find", "-l", "--text", "3", "a.txt", "b.txt"}, "", "b.txt\n", "", 1},
        // Colour on a terminal only, unless asked for always.
        {with({"--color", "a.txt"}), "", "1", "", 0},
        {with({"--color=never", "a.txt", "b.txt"}), "", "a.txt:1\nb.txt:2\n", "", 0},
        {with({"--color=always", "a.txt", "b.txt"}), "",
         "\x1b[35m\x1b[Ka.txt\x1b[m\x1b[K\x1b[36m\x1b[K:\x1b[m\x1b[K\x1b[01;31m\x1b[K1\x1b[m\x1b[K\n"
         "\x1b[35m\x1b[Kb.txt\x1b[m\x1b[K\x1b[36m\x1b[K:\x1b[m\x1b[K\x1b[01;31m\x1b[K2\x1b[m\x1b[K\n",
         "", 0},
        {with({"--color=always", "-l", "a.txt"}), "", "\x1b[35m\x1b[Ka.txt\x1b[m\x1b[K\n", "", 0},
        {{"find", "-i", "--text", "ab"}, "AbaB", "1\n3\n", "", 0},
        // The search's own rule: letters fold in every byte, trail bytes of characters too.
        {{"--gbk", "extract", "-i", "--left", "\x81\x61", "--right", "]"}, "\x81\x41x]", "x", "", 0},
        {{"find", "--count", "--text", "[", "b.txt", "c.txt"}, "", "b.txt:2\nc.txt:0\n", "", 1},
        // One source alone is as it always was.
        {with({"c.txt"}), "", "", "middletext: c.txt: " + kLeftNotFound + "\nmiddletext: c.txt: hint: " + kNothingOfLeft + "\n", 1},
        {with({"-"}), "x", "", "middletext: " + kLeftNotFound + "\nmiddletext: hint: " + kNothingOfLeft + "\n", 1},
        {with({"--newline", "a.txt"}), "", "1\n", "", 0},
    };
    for (const Case& c : cases)
        Check(c);
    EXPECT_EQ(RunTool(with({"-j", "16", "a.txt", "b.txt"})).out, "a.txt:1\nb.txt:2\n");
    // Mistakes stop before any source is read: one line, a pointer to the help.
    const std::vector<std::string> mistakes[] = {
        {"--sources", "-", "-"},
        {"--jobs", "0"},
        {"-j", "257"},
        {"--json", "--count"},
        {"--with-filename", "--no-filename"},
        {"--json", "-0"},
        {"-0", "--newline"},
    };
    for (const auto& mistake : mistakes) {
        const ToolRun run = RunTool(with(mistake), "a.txt\n");
        EXPECT_EQ(run.status, 2) << testing::PrintToString(mistake);
        EXPECT_EQ(run.out, "") << testing::PrintToString(mistake);
        EXPECT_NE(run.err.find("\nTry 'middletext --help'.\n"), std::string::npos) << run.err;
    }
}

TEST_F(ManySources, JsonLinesParseBackInUtf8)
{
    Write("zh.txt", "《甲》\n《乙\"\\\n》");
    Write("gb.txt", "[\xd6\xd0][\x81\x30]");
    const auto run = RunTool({"extract", "--json", "--all", "--left=《", "--right=》", "zh.txt", "c.txt", "no"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(Parsed(run.out),
              // 《 is two bytes of GB18030: 甲 is bytes 3 to 4.
              "end=4|index=0|middle=甲|source=zh.txt|start=3|status=found\n"
              "end=14|index=1|middle=乙\"\\\n|source=zh.txt|start=10|status=found\n"
              "hint={'code': 'partial', 'position': None, 'length': 0, 'text': '" +
                  kNothingOfLeft +
                  "'}|message=" + kLeftNotFound + "|source=c.txt|status=not_found\n"
                                                  "error=no_such_file|reason=No such file or directory|source=no|status=error\n");
    // Raw GB18030 in, UTF-8 out; a byte that is no character becomes U+FFFD.
    const auto gbk = RunTool({"extract", "--gbk", "--json", "--all", "--left=[", "--right=]", "gb.txt"});
    EXPECT_EQ(Parsed(gbk.out), "end=3|index=0|middle=中|source=gb.txt|start=2|status=found\n"
                               "end=7|index=1|lossy=True|middle=\xef\xbf\xbd|source=gb.txt|start=6|status=found\n");
    // File names under --gbk: GB18030 ones decoded, UTF-8 ones taken as they
    // are, and a byte that starts no character U+FFFD alone, the rest kept.
    const char* names[] = {"\xd6\xd0.txt", "中文.txt", "\xff"
                                                       "a.txt",
                           "\x81\x30"
                           "b.txt"};
    std::vector<std::string> args{"extract", "--gbk", "--json", "--left=[", "--right=]"};
    for (const char* file : names) {
        Write(file, "[x]");
        args.emplace_back(file);
    }
    EXPECT_EQ(Parsed(RunTool(args).out), "end=2|middle=x|source=中.txt|start=2|status=found\n"
                                         "end=2|middle=x|source=中文.txt|start=2|status=found\n"
                                         "end=2|lossy=True|middle=x|source=\xef\xbf\xbd"
                                         "a.txt|start=2|status=found\n"
                                         "end=2|lossy=True|middle=x|source=\xef\xbf\xbd"
                                         "0b.txt|start=2|status=found\n");
    args[3] = "--left=y"; // not found: the same names
    const std::string notFound = Parsed(RunTool(args).out);
    EXPECT_NE(notFound.find("|source=中文.txt|status=not_found\n"), std::string::npos) << notFound;
    EXPECT_NE(notFound.find("lossy=True|message=" + kLeftNotFound + "|source=\xef\xbf\xbd"
                                                                    "a.txt|status=not_found\n"),
              std::string::npos)
        << notFound;
    // Results beyond one batch of conversion keep their own fields.
    std::string many;
    for (int i = 0; i < 12000; ++i)
        many += "《" + std::to_string(i) + "》";
    Write("many.txt", many);
    const std::string lots = Parsed(RunTool({"extract", "--json", "--all", "--left=《", "--right=》", "many.txt"}).out);
    EXPECT_EQ(std::count(lots.begin(), lots.end(), '\n'), 12000);
    const size_t gbSize = many.size() - 2 * 12000; // 《 and 》 take two bytes in GB18030, three in UTF-8
    const std::string last = "end=" + std::to_string(gbSize - 2) + "|index=11999|middle=11999|source=many.txt|start=" +
                             std::to_string(gbSize - 6) + "|status=found\n";
    EXPECT_EQ(lots.substr(lots.size() - last.size()), last);
    const auto find = RunTool({"find", "--json", "-i", "--text", "x", "-"}, "aXbx");
    EXPECT_EQ(Parsed(find.out), "end=2|index=0|source=-|start=2|status=found|text=X\n"
                                "end=4|index=1|source=-|start=4|status=found|text=x\n");
}

// The tests' server: /404 answers with an error status, /early ends before
// its announced length, /none holds no bracket, anything else "[页]".
httptest::CannedReply Pages(const std::string& head)
{
    const auto has = [&head](const char* path) { return head.find(path) != std::string::npos; };
    if (has("GET /404 "))
        return {Reply("404 Not Found", "", "[gone]")};
    if (has("GET /early "))
        return {Reply("200 OK", "Content-Length: 99\r\n", "[cut]")};
    if (has("GET /none "))
        return {Reply("200 OK", "", "nothing")};
    if (has("GET /bad "))
        return {Reply("200 OK", "", "[\x80x][\xd6\xd0]")}; // neither UTF-8 nor GB18030 throughout
    return {Reply("200 OK", "Content-Type: text/html; charset=utf-8\r\n", "[页]")};
}

void CheckExtract(Case c)
{
    c.args.insert(c.args.begin(), {"extract", "--left=[", "--right=]"});
    Check(c);
}

const std::string kError = "middletext: ";
// A page's warning: "middletext: SOURCE: warning: ...".
std::string Warning(const std::string& source, const std::string& what) { return kError + source + ": warning: " + what; }

TEST_F(ManySources, PagesAndFilesMixInOrderAndTheHighestStatusWins)
{
    httptest::TestServer server(Pages);
    const std::string ok = server.Url("/ok"), early = server.Url("/early"), none = server.Url("/none");
    const std::string bad = server.Url("/bad");
    const std::string dead = "http://127.0.0.1:" + std::to_string(httptest::DeadPort()) + "/";
    const std::string notRead = kError + dead + ": could not read the page (无法连接到服务器)\n";
    const Case cases[] = {
        {{"a.txt", ok, "b.txt"}, "", "a.txt:1\n" + ok + ":页\nb.txt:2\n", "", 0},
        {{ok}, "", "页", "", 0},
        // A byte that is no character becomes U+FFFD; the texts beside it stay whole.
        {{"--all", bad}, "", "\xef\xbf\xbdx\n中\n", "", 0},
        {{ok, none}, "", ok + ":页\n", kError + none + ": " + kLeftNotFound + "\n" + kError + none + ": hint: " + kNothingOfLeft + "\n", 1},
        {{ok, "missing"}, "", ok + ":页\n", kError + "missing: No such file or directory\n", 2},
        {{ok, early}, "", ok + ":页\n" + early + ":cut\n", Warning(early, "the page ended early (连接中断)\n"), 4},
        {{dead, "a.txt"}, "", "a.txt:1\n", notRead, 6},
        {{dead, early, "missing", none, "a.txt"}, "", early + ":cut\na.txt:1\n", notRead + Warning(early, "the page ended early (连接中断)\n") + kError + "missing: No such file or directory\n" + kError + none + ": " + kLeftNotFound + "\n" + kError + none + ": hint: " + kNothingOfLeft + "\n", 6},
    };
    for (const Case& c : cases)
        CheckExtract(c);
    const auto json = RunTool({"extract", "--json", "--left=[", "--right=]", "a.txt", dead});
    EXPECT_EQ(json.status, 6);
    EXPECT_EQ(Parsed(json.out), "end=2|middle=1|source=a.txt|start=2|status=found\n"
                                "error=connect|message=未能读取到网页内容！|reason=无法连接到服务器|source=" +
                                    dead + "|status=error\n");
}

TEST_F(ManySources, PagesCarryTheServersStatusAndTheRequestOptions)
{
    httptest::TestServer server(Pages);
    const std::string ok = server.Url("/ok"), gone = server.Url("/404"), early = server.Url("/early");
    if (RunTool({"fetch", gone}).status != 5)
        GTEST_SKIP() << "the internet library does not report the status yet";
    const std::string answered = Warning(gone, "the server answered 404 Not Found\n");
    CheckExtract({{gone, ok}, "", gone + ":gone\n" + ok + ":页\n", answered, 5});
    CheckExtract({{gone, "missing"}, "", gone + ":gone\n", answered + kError + "missing: No such file or directory\n", 5});
    const auto json = RunTool({"extract", "--json", "--left=[", "--right=]", gone});
    EXPECT_EQ(Parsed(json.out), "end=5|error=http_status|http_status=404|middle=gone|reason=404 Not Found|source=" + gone +
                                    "|start=2|status=found\n");
    const auto cut = RunTool({"extract", "--json", "--left=[", "--right=]", early});
    EXPECT_EQ(cut.status, 4);
    EXPECT_EQ(Parsed(cut.out),
              "end=4|error=ended_early|http_status=200|middle=cut|reason=连接中断|source=" + early +
                  "|start=2|status=ended_early\n");
    // The request options of fetch go with every page.
    const size_t before = server.Requests().size();
    RunTool({"find", "--text", "x", "-A", "Many/1.0", "-H", "X-Test: yes", ok, ok});
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), before + 2);
    for (size_t k = before; k < requests.size(); ++k) {
        EXPECT_NE(requests[k].find("User-Agent: Many/1.0\r\n"), std::string::npos);
        EXPECT_NE(requests[k].find("X-Test: yes\r\n"), std::string::npos);
    }
}

// Pages that end in the reverse of their order (each waits longer than the
// next) come out in the order given, between the files; the server never
// sees more connections at once than --jobs, and a failed page keeps its
// place on standard error.
TEST_F(ManySources, PagesReadAtOnceKeepTheirOrder)
{
    constexpr int kPages = 24;
    httptest::TestServer server(
        [](const std::string& head) {
            const int n = std::stoi(head.substr(head.find("/p") + 2));
            std::this_thread::sleep_for(std::chrono::milliseconds(5 * (kPages - n)));
            return httptest::CannedReply{Reply(n == 7 ? "404 Not Found" : "200 OK", "", "[" + std::to_string(n) + "]")};
        },
        nullptr, true);
    std::vector<std::string> args = {"extract", "--left=[", "--right=]", "--jobs", "4"};
    std::string out, list;
    for (int n = 1; n <= kPages; ++n) {
        const std::string url = server.Url("/p" + std::to_string(n));
        list += url + "\n";
        out += url + ":" + std::to_string(n) + "\n";
        if (n % 8 == 0) {
            list += "a.txt\n";
            out += "a.txt:1\n";
        }
    }
    Write("pages", list);
    args.insert(args.end(), {"--sources", "pages"});
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.out, out);
    EXPECT_EQ(run.err, Warning(server.Url("/p7"), "the server answered 404 Not Found\n"));
    EXPECT_EQ(run.status, 5);
    EXPECT_EQ(server.Requests().size(), static_cast<size_t>(kPages));
    EXPECT_LE(server.MostAtOnce(), 4);
    EXPECT_GE(server.MostAtOnce(), 2) << "pages were read side by side";
}

TEST_F(ManySources, AFailedWriteStopsAtOnce)
{
    mt::test::ToolStreams closed;
    closed.out = mt::test::ToolStreams::Out::kClosed;
    const auto run = RunTool({"extract", "--left=[", "--right=]", "a.txt", "missing"}, "", closed);
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err.find("missing"), std::string::npos) << run.err; // not read: the run stopped
}

// A long list spread over processes gives, merged, what one run gives.
TEST_F(ManySources, AListSpreadOverProcessesMergesToOneRunsResults)
{
    std::string list;
    for (int k = 0; k < 40; ++k) {
        const std::string name = "p" + std::to_string(k) + ".txt";
        Write(name, "[" + std::to_string(k) + "][" + std::to_string(k * k) + "]" + (k % 7 ? "" : "[未]"));
        list += name + "\n";
    }
    Write("pages", list);
    const char* binary = std::getenv("MT_BINARY_DIR");
    const std::string program = std::string(binary ? binary : ".") + "/middletext";
    const std::string rule = " extract --json --all '--left=[' '--right=]'";
    const std::string command = "xargs -P 4 -n 3 " + program + rule + " < pages > merged";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const auto one = RunTool({"extract", "--json", "--all", "--left=[", "--right=]", "--sources", "pages"});
    EXPECT_EQ(one.status, 0);
    EXPECT_EQ(SortedLines(Read("merged")), SortedLines(one.out));
    EXPECT_EQ(SortedLines(one.out).size(), 86u);
}

// On a terminal, with the results going elsewhere, one line counts the
// sources done; it is erased at the end, and -s leaves it out.
TEST_F(ManySources, ProgressOfManySourcesOnATerminal)
{
    httptest::TestServer server([](const std::string&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        return httptest::CannedReply{Reply("200 OK", "", "[p]")};
    });
    mt::test::ToolStreams terminal;
    terminal.errTerminal = true;
    const std::vector<std::string> args = {"extract", "-j", "1", "--left=[", "--right=]", "missing", server.Url("/1"),
                                           server.Url("/2"), server.Url("/3"), "a.txt"};
    const auto shown = RunTool(args, "", terminal);
    EXPECT_EQ(shown.status, 2);
    EXPECT_NE(shown.err.find(" of 5 sources"), std::string::npos) << shown.err;
    EXPECT_NE(shown.err.find(", 1 failed"), std::string::npos) << shown.err;
    EXPECT_NE(shown.err.find(" pages/s, "), std::string::npos) << shown.err;
    // The message goes on a line of its own; the progress is blanked at the end.
    const size_t message = shown.err.find("middletext: missing: No such file or directory\n");
    ASSERT_NE(message, std::string::npos) << shown.err;
    EXPECT_TRUE(message == 0 || shown.err[message - 1] == '\r') << shown.err;
    ASSERT_FALSE(shown.err.empty());
    EXPECT_EQ(shown.err.back(), '\r');
    std::vector<std::string> silent = args;
    silent.insert(silent.begin() + 1, "-s");
    const auto quiet = RunTool(silent, "", terminal);
    EXPECT_EQ(quiet.err, "middletext: missing: No such file or directory\n");
    // Not a terminal: no line either.
    EXPECT_EQ(RunTool(args).err, "middletext: missing: No such file or directory\n");
}

} // namespace

namespace {

// Hanging pages spaced through a list cost their time limit once, side by
// side, not one after another; the results keep their order.
TEST_F(ManySources, HangingPagesCostTheirTimeLimitOnce)
{
    httptest::TestServer server(
        [](const std::string& head) {
            if (head.find("GET /hang") == 0)
                return httptest::CannedReply{"", 5000};
            return httptest::CannedReply{Reply("200 OK", "", "[" + head.substr(5, head.find(' ', 5) - 5) + "]")};
        },
        nullptr, true);
    std::string list, out;
    for (int n = 1; n <= 40; ++n) {
        const bool hangs = n % 10 == 5;
        const std::string url = server.Url((hangs ? "/hang" : "/p") + std::to_string(n));
        list += url + "\n";
        if (!hangs)
            out += url + ":p" + std::to_string(n) + "\n";
    }
    Write("pages", list);
    const auto start = std::chrono::steady_clock::now();
    const ToolRun run = RunTool({"extract", "--left=[", "--right=]", "--jobs", "8", "--max-time", "1", "--sources", "pages"});
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(run.out, out);
    EXPECT_EQ(run.status, 6);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 4) << run.err;
    EXPECT_NE(run.err.find(server.Url("/hang25") + ": could not read the page (超过了限定的读取时间)\n"), std::string::npos) << run.err;
    EXPECT_LT(seconds, 3.0) << "four hangs of 1 s each, side by side";
}

// URLs go out as browsers send them; one that cannot be sent is an error
// of its own source, and the run goes on. The low-speed rule has its own
// reason, and --max-filesize ends a page early.
TEST_F(ManySources, UrlsAndBoundsOfEachPage)
{
    httptest::TestServer server(
        [](const std::string& head) {
            if (head.find("GET /slow ") == 0)
                return httptest::CannedReply{Reply("200 OK", "Content-Length: 900\r\n", "[" + std::string(899, 's')), 0, 30};
            if (head.find("GET /big ") == 0)
                return httptest::CannedReply{Reply("200 OK", "", "[" + std::string(5000, 'b') + "]")};
            return httptest::CannedReply{Reply("200 OK", "", "[seen]")};
        },
        nullptr, true);
    const std::string zh = server.Url("/中文 页?q=值");
    const std::string bad = server.Url("/a\tb");
    const std::string slow = server.Url("/slow"), big = server.Url("/big");
    Write("pages", " " + zh + " \r\n" + bad + "\n" + server.Url("/ok") + "\n");
    const ToolRun run = RunTool({"extract", "--left=[", "--right=]", "--sources", "pages"});
    EXPECT_EQ(run.out, " " + zh + " :seen\n" + server.Url("/ok") + ":seen\n");
    EXPECT_EQ(run.err, kError + server.Url("/a\\x09b") + ": could not read the page (网址无法读取)\n") << run.err;
    EXPECT_EQ(run.status, 6);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    const std::string sent = "GET /%E4%B8%AD%E6%96%87%20%E9%A1%B5?q=%E5%80%BC HTTP/1.0\r\n"; // read side by side: in any order
    EXPECT_TRUE(requests[0].find(sent) == 0 || requests[1].find(sent) == 0) << requests[0] << requests[1];
    const ToolRun bounded = RunTool({"extract", "--left=[", "--right=]", "--max-filesize", "1K", "--speed-limit", "1K",
                                     "--speed-time", "1", slow, big});
    const std::string noRight = ": 未查找到右边文本，请重新输入！\n";
    const std::string hint = ": hint: 右边文本连第一个字符也未出现。\n";
    EXPECT_EQ(bounded.err, kError + slow + noRight + kError + slow + hint +
                               Warning(slow, "the page ended early (接收速度过慢)\n") + kError + big + noRight + kError +
                               big + hint + Warning(big, "the page ended early (网页太大，只读取了前面部分)\n"));
    EXPECT_EQ(bounded.status, 4);
}

} // namespace
