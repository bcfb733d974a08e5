// test and suggest, run as a separate process on case files and pages in
// a folder of their own, and on pages of the tests' own server.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "support/http_test_support.h"
#include "support/run_program.h"
#include "support/run_tool.h"

namespace {

namespace fs = std::filesystem;
namespace httptest = mt::httptest;
using mt::test::RunTool;
using mt::test::ToolRun;

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

// Runs python3 on a script with the file as its argument; what it prints.
std::string Python(const std::string& script, const fs::path& file)
{
    const auto python = mt::test::FindProgram({"python3"});
    if (!python)
        return "no python3";
    const ToolRun run = mt::test::RunProgram({*python, "-c", script, file.string()});
    return run.status == 0 ? run.out : "python3 failed: " + run.err;
}

// A folder of pages, current while a test runs.
class CaseCommands : public testing::Test {
protected:
    void SetUp() override
    {
        char name[] = "/tmp/mt-cases-XXXXXX";
        dir_ = mkdtemp(name);
        here_ = fs::current_path();
        fs::current_path(dir_);
        Write("site/pages/a.html", "<html><h1>Hello</h1><li>a</li><li>b</li></html>");
        Write("site/pages/b.html", "<html><h1>World</h1><li>c</li></html>");
        Write("site/pages/g.txt", "x[\xd6\xd0]y[\x80\x30]z"); // GB18030: 中, then two bytes that are no character
    }
    void TearDown() override
    {
        fs::current_path(here_);
        fs::remove_all(dir_);
    }

    fs::path dir_, here_;
};

// Sources are found from the case file's folder, not the current one.
const std::string kCases =
    R"({"name": "title", "source": "pages/a.html", "left": "<h1>", "right": "</h1>", "expect": "Hello"})"
    "\n"
    R"({"name": "wrong title", "source": "pages/a.html", "left": "<h1>", "right": "</h1>", "expect": "Goodbye"})"
    "\n"
    "\n"
    R"({"name": "no h2", "source": "pages/a.html", "left": "<h2>", "right": "</h2>", "expect": null})"
    "\n"
    R"({"name": "items", "source": "pages/a.html", "left": "<li>", "right": "</li>", "all": true, "expect": ["a", "b"]})"
    "\n"
    R"({"name": "hex", "source": "pages/g.txt", "source_gbk": true, "left": "[", "right_gbk": "5d", "expect_gbk": "d6d0"})"
    "\n"
    R"({"name": "gone", "source": "pages/none.html", "left": "<h1>", "right": "</h1>", "expect": "Hello"})"
    "\n"
    R"({"source": "pages/b.html", "left": "<h3>", "right": "</h3>", "expect": "x"})"
    "\n";

TEST_F(CaseCommands, EveryCaseGetsALineAndTheRunASummary)
{
    Write("site/cases.jsonl", kCases);
    const ToolRun run = RunTool({"test", "site/cases.jsonl"});
    EXPECT_EQ(run.out, "ok title\n"
                       "FAIL wrong title\n"
                       "  expected: \"Goodbye\"\n"
                       "  got:      \"Hello\"\n"
                       "ok no h2\n"
                       "ok items\n"
                       "ok hex\n"
                       "ERROR gone\n"
                       "  site/pages/none.html: No such file or directory\n"
                       "FAIL 8\n"
                       "  expected: \"x\"\n"
                       "  got:      not found (the left text is not in the page)\n"
                       "  hint:     左边文本只有前2字节“<h”出现，在第1字节处。\n" // the diagnosis
                       "4 passed, 2 failed, 1 errors\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, 1) << "a failed case outweighs a source that could not be read";
}

TEST_F(CaseCommands, TheExitStatusPutsFailuresFirstThenSources)
{
    const std::string pass = R"({"source":"pages/a.html","left":"<h1>","right":"</h1>","expect":"Hello"})"
                             "\n";
    const std::string fail = R"({"source":"pages/a.html","left":"<h1>","right":"</h1>","expect":"x"})"
                             "\n";
    const std::string gone = R"({"source":"pages/none","left":"<h1>","right":"</h1>","expect":"x"})"
                             "\n";
    const std::string all = R"({"source":"pages/b.html","left":"<li>","right":"</li>","all":true,"expect":["c","d"]})";
    const std::pair<std::string, int> rows[] = {
        {pass + pass, 0},
        {pass + gone, 6},
        {gone + fail, 1},
        {pass + all, 1},
        {"", 0},
    };
    for (const auto& [cases, status] : rows) {
        Write("site/c.jsonl", cases);
        EXPECT_EQ(RunTool({"test", "site/c.jsonl"}).status, status) << cases;
    }
    Write("site/c.jsonl", pass + all);
    EXPECT_NE(RunTool({"test", "site/c.jsonl"}).out.find("FAIL 2\n  expected: [\"c\", \"d\"]\n  got:      [\"c\"]"),
              std::string::npos);
}

TEST_F(CaseCommands, AMalformedLineIsNamedAndNoCaseRuns)
{
    Write("site/cases.jsonl", kCases);
    Write("site/bad.jsonl", R"({"source":"pages/a.html","left":"<h1>","right":"</h1>","expect":"Hello"})"
                            "\n"
                            R"({"source":"pages/a.html","left":"<h1>","right":"</h1>","expect":"Hello","colour":1})"
                            "\n"
                            "\n"
                            R"({"source":"pages/a.html","left_gbk":"zz","right":"</h1>","expect":"Hello"})"
                            "\n");
    const ToolRun run = RunTool({"test", "site/cases.jsonl", "site/bad.jsonl"});
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "middletext: site/bad.jsonl:2: unknown field \"colour\"\n"
                       "middletext: site/bad.jsonl:4: left_gbk: not hex digits (0-9, a-f)\n");
    EXPECT_EQ(run.status, 2);
    const ToolRun missing = RunTool({"test", "site/cases.jsonl", "site/missing.jsonl"});
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, "middletext: site/missing.jsonl: No such file or directory\n");
    EXPECT_EQ(missing.status, 2);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"test"}, {"test", "--junit"}, {"test", "--left", "x", "site/cases.jsonl"}, {"test", "-j", "0", "c"}})
        EXPECT_EQ(RunTool(args).status, 2) << args.back();
}

TEST_F(CaseCommands, JsonHoldsOneObjectACaseAndNothingElse)
{
    Write("site/cases.jsonl", kCases);
    const ToolRun run = RunTool({"test", "--json", "site/cases.jsonl"});
    Write("out.json", run.out);
    EXPECT_EQ(Python("import json,sys\n"
                     "for line in open(sys.argv[1], encoding='utf-8'):\n"
                     "    o = json.loads(line)\n"
                     "    print('|'.join(k + '=' + json.dumps(o[k], ensure_ascii=False) for k in o))\n",
                     "out.json"),
              "file=\"site/cases.jsonl\"|line=1|name=\"title\"|status=\"ok\"|expect=\"Hello\"|got=\"Hello\"|hint=null|"
              "error=null|reason=null\n"
              "file=\"site/cases.jsonl\"|line=2|name=\"wrong title\"|status=\"fail\"|expect=\"Goodbye\"|got=\"Hello\"|"
              "hint=null|error=null|reason=\"the middle text differs\"\n"
              "file=\"site/cases.jsonl\"|line=4|name=\"no h2\"|status=\"ok\"|expect=null|got=null|hint=null|"
              "error=null|reason=null\n"
              "file=\"site/cases.jsonl\"|line=5|name=\"items\"|status=\"ok\"|expect=[\"a\", \"b\"]|got=[\"a\", \"b\"]|"
              "hint=null|error=null|reason=null\n"
              "file=\"site/cases.jsonl\"|line=6|name=\"hex\"|status=\"ok\"|expect=\"中\"|got=\"中\"|hint=null|"
              "error=null|reason=null\n"
              "file=\"site/cases.jsonl\"|line=7|name=\"gone\"|status=\"error\"|expect=\"Hello\"|got=null|hint=null|"
              "error=\"site/pages/none.html: No such file or directory\"|reason=null\n"
              "file=\"site/cases.jsonl\"|line=8|name=\"8\"|status=\"fail\"|expect=\"x\"|got=null|"
              "hint={\"code\": \"partial\", \"position\": 1, \"length\": 2, \"text\": "
              "\"左边文本只有前2字节“<h”出现，在第1字节处。\"}|error=null|reason=\"the left text is not in the page\"\n");
    EXPECT_EQ(run.err, "4 passed, 2 failed, 1 errors\n");
    EXPECT_EQ(run.status, 1);
}

TEST_F(CaseCommands, JunitXmlParsesAndCountsAsTheSummaryDoes)
{
    // A name with a control character and a text that is no character:
    // XML cannot hold either as it is.
    Write("site/cases.jsonl", kCases + R"({"name":"bell\u0007 <&>","source":"pages/g.txt","source_gbk":true,)"
                                       R"("left":"y[","right":"]","expect":"?"})"
                                       "\n");
    const ToolRun run = RunTool({"test", "--junit", "out.xml", "site/cases.jsonl"});
    EXPECT_NE(run.out.find("4 passed, 3 failed, 1 errors\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("FAIL bell\\x07 <&>\n  expected: \"?\"\n  got:      gbk:\"8030\"\n"), std::string::npos)
        << run.out;
    EXPECT_EQ(Python("import sys, xml.etree.ElementTree as E\n"
                     "root = E.parse(sys.argv[1]).getroot()\n"
                     "s = root.find('testsuite')\n"
                     "print(root.get('tests'), root.get('failures'), root.get('errors'), s.get('name'))\n"
                     "for c in s.findall('testcase'):\n"
                     "    kind = [e.tag for e in c]\n"
                     "    print(c.get('name'), kind[0] if kind else 'ok')\n",
                     "out.xml"),
              "8 3 1 site/cases.jsonl\n"
              "title ok\nwrong title failure\nno h2 ok\nitems ok\nhex ok\ngone error\n8 failure\n"
              "bell\xef\xbf\xbd <&> failure\n");
}

TEST_F(CaseCommands, UpdateRewritesOnlyTheFailingExpectations)
{
    const std::string before =
        "\xef\xbb\xbf"
        R"({"name": "title", "source": "pages/a.html", "left": "<h1>", "right": "</h1>", "expect": "Hello"})"
        "\r\n"
        R"({"expect":"Goodbye","name":"first","source":"pages/a.html","left":"<h1>","right":"</h1>"})"
        "\r\n"
        "   \n"
        R"({"source":"pages/a.html" ,"left":"<h2>","right":"</h2>","expect":"\u0048i"})"
        "\n"
        R"({"source":"pages/a.html","left":"<li>","right":"</li>","all":true,"expect":["a"]})"
        "\n"
        R"({"source":"pages/g.txt","source_gbk":true,"left":"y[","right":"]","expect":"?"})"
        "\n"
        R"({"name":"gone","source":"pages/none.html","left":"<h1>","right":"</h1>","expect":"x"})";
    const std::string after =
        "\xef\xbb\xbf"
        R"({"name": "title", "source": "pages/a.html", "left": "<h1>", "right": "</h1>", "expect": "Hello"})"
        "\r\n"
        R"({"expect":"Hello","name":"first","source":"pages/a.html","left":"<h1>","right":"</h1>"})"
        "\r\n"
        "   \n"
        R"({"source":"pages/a.html","left":"<h2>","right":"</h2>","expect":null})"
        "\n"
        R"({"source":"pages/a.html","left":"<li>","right":"</li>","all":true,"expect":["a","b"]})"
        "\n"
        R"({"source":"pages/g.txt","source_gbk":true,"left":"y[","right":"]","expect_gbk":"8030"})"
        "\n"
        R"({"name":"gone","source":"pages/none.html","left":"<h1>","right":"</h1>","expect":"x"})";
    Write("site/cases.jsonl", before);
    fs::permissions("site/cases.jsonl", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const ToolRun run = RunTool({"test", "--update", "site/cases.jsonl"});
    EXPECT_EQ(Read("site/cases.jsonl"), after);
    EXPECT_EQ(fs::status("site/cases.jsonl").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_NE(run.out.find("updated first\n  was:      \"Goodbye\"\n  now:      \"Hello\"\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("updated 6\n  was:      \"?\"\n  now:      gbk:\"8030\"\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("4 updated in site/cases.jsonl\n"), std::string::npos) << run.out;
    EXPECT_EQ(run.status, 6) << "updated cases no longer fail; the missing page still counts";
    const ToolRun again = RunTool({"test", "site/cases.jsonl"});
    EXPECT_NE(again.out.find("5 passed, 0 failed, 1 errors\n"), std::string::npos) << again.out;
    EXPECT_EQ(fs::directory_entry("site").is_directory(), true);
    EXPECT_EQ(std::distance(fs::directory_iterator("site"), fs::directory_iterator()), 2) << "no file left behind";
    const ToolRun twice = RunTool({"test", "--update", "site/cases.jsonl", "site/../site/cases.jsonl"});
    EXPECT_EQ(twice.err, "middletext: site/../site/cases.jsonl: given twice; --update writes a case file once\n");
    EXPECT_EQ(twice.status, 2);
}

TEST_F(CaseCommands, AFailureShowsThePlaceWhereTheTextsDiffer)
{
    const std::string page = "<p>" + std::string(200, 'a') + "XYZ" + std::string(200, 'b') + "</p>";
    Write("site/long.html", page);
    Write("site/c.jsonl", R"({"source":"long.html","left":"<p>","right":"</p>","expect":")" + std::string(200, 'a') +
                              "XQZ" + std::string(200, 'b') + "\"}\n");
    const ToolRun run = RunTool({"test", "site/c.jsonl"});
    const std::string shown = "..." + std::string(23, 'a');
    EXPECT_NE(run.out.find("  expected: " + shown + "XQZ" + std::string(46, 'b') + "...\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("  got:      " + shown + "XYZ" + std::string(46, 'b') + "...\n"), std::string::npos)
        << run.out;
}

// Pages are read --jobs at once, each once however many cases name it, and
// the cases keep their order.
TEST_F(CaseCommands, PagesOfALoopbackServerAreReadSideBySide)
{
    constexpr int kPages = 8;
    httptest::TestServer server(
        [](const std::string& head) {
            const int n = std::stoi(head.substr(head.find("/p") + 2));
            std::this_thread::sleep_for(std::chrono::milliseconds(20 * (kPages - n)));
            return httptest::CannedReply{httptest::Reply(n == 3 ? "404 Not Found" : "200 OK", "",
                                                         "<b>" + std::to_string(n) + "</b>")};
        },
        nullptr, true);
    std::string cases, out;
    for (int round = 0; round < 2; ++round) {
        for (int n = 1; n <= kPages; ++n) {
            const std::string name = std::to_string(n) + "-" + std::to_string(round);
            cases += R"({"name":")" + name + R"(","source":")" + server.Url("/p" + std::to_string(n)) +
                     R"(","left":"<b>","right":"</b>","expect":")" + std::to_string(n) + "\"}\n";
            out += "ok " + name + "\n";
        }
    }
    Write("c.jsonl", cases);
    const ToolRun run = RunTool({"test", "--jobs", "3", "-A", "Cases/1.0", "c.jsonl"});
    EXPECT_EQ(run.out, out + "16 passed, 0 failed, 0 errors\n");
    EXPECT_EQ(run.status, 5) << "a page that answered 404";
    EXPECT_NE(run.err.find("the server answered 404 Not Found"), std::string::npos) << run.err;
    const auto requests = server.Requests();
    EXPECT_EQ(requests.size(), static_cast<size_t>(kPages));
    for (const std::string& request : requests)
        EXPECT_NE(request.find("User-Agent: Cases/1.0\r\n"), std::string::npos);
    EXPECT_LE(server.MostAtOnce(), 3);
    EXPECT_GE(server.MostAtOnce(), 2) << "pages were read side by side";
    const std::string dead = "http://127.0.0.1:" + std::to_string(httptest::DeadPort()) + "/";
    Write("d.jsonl", R"({"name":"dead","source":")" + dead + R"(","left":"<b>","right":"</b>","expect":"1"})");
    const ToolRun unread = RunTool({"test", "d.jsonl"});
    EXPECT_EQ(unread.status, 6);
    EXPECT_EQ(unread.out.substr(0, 11), "ERROR dead\n");
}

TEST_F(CaseCommands, SuggestFindsAPairForOnePageOrSeveral)
{
    const ToolRun one = RunTool({"suggest", "--middle", "World", "site/pages/b.html"});
    EXPECT_EQ(one.out, "h1>\n<\n");
    EXPECT_EQ(one.status, 0) << one.err;
    const ToolRun several = RunTool({"suggest", "--json", "--middle", "<h1>", "site/pages/a.html", "site/pages/b.html"});
    EXPECT_EQ(several.status, 1);
    EXPECT_EQ(several.err, "middletext: no rule: no left and right texts of up to 256 bytes extract the wanted text "
                           "from every page\n");
    Write("site/s.jsonl", R"({"source":"pages/a.html","expect":"Hello","left":"ignored"})"
                          "\n"
                          R"({"source":"pages/b.html","expect":"World"})"
                          "\n");
    const ToolRun cases = RunTool({"suggest", "--cases", "site/s.jsonl", "--json"});
    EXPECT_EQ(cases.out, "{\"left\":\"h1>\",\"right\":\"<\"}\n");
    EXPECT_EQ(cases.status, 0) << cases.err;
    const ToolRun zero = RunTool({"suggest", "-0", "--cases", "site/s.jsonl"});
    EXPECT_EQ(zero.out, std::string("h1>\0<\0", 6));
    // The pair feeds a case file that passes.
    Write("site/new.jsonl", R"({"source":"pages/b.html","left":"h1>","right":"<","expect":"World"})"
                            "\n");
    EXPECT_EQ(RunTool({"test", "site/new.jsonl"}).status, 0);
}

TEST_F(CaseCommands, SuggestSaysWhyNotAndKeepsLineBreaksApart)
{
    Write("lines.txt", "a\nX\nb");
    const std::pair<std::vector<std::string>, int> rows[] = {
        {{"suggest", "--middle", "nowhere", "site/pages/a.html"}, 1},
        {{"suggest", "--middle", "X", "lines.txt"}, 2},
        {{"suggest", "--middle", "X", "missing.txt"}, 6},
        {{"suggest", "--middle", "X"}, 2},
        {{"suggest", "site/pages/a.html"}, 2},
        {{"suggest", "--cases", "c", "--middle", "X"}, 2},
        {{"suggest", "--cases", "c", "site/pages/a.html"}, 2},
        {{"suggest", "--cases", "missing.jsonl"}, 2},
        {{"suggest", "--json", "-0", "--middle", "X", "lines.txt"}, 2},
    };
    for (const auto& [args, status] : rows) {
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.status, status) << args.back() << ": " << run.err;
        EXPECT_NE(run.err, "") << args.back();
    }
    EXPECT_EQ(RunTool({"suggest", "--middle", "X", "lines.txt"}).err,
              "middletext: the left text holds a line break: ask for it with -0 or --json\n");
    EXPECT_EQ(RunTool({"suggest", "--middle", "X", "--json", "lines.txt"}).out, "{\"left\":\"\\n\",\"right\":\"\\n\"}\n");
    EXPECT_EQ(RunTool({"suggest", "--middle", "nowhere", "site/pages/a.html"}).err,
              "middletext: no rule: site/pages/a.html: the wanted text is not on the page\n");
    Write("site/bad.jsonl", R"({"source":"pages/a.html","expect":null})");
    EXPECT_EQ(RunTool({"suggest", "--cases", "site/bad.jsonl"}).err,
              "middletext: site/bad.jsonl:1: a suggestion needs the one middle text of each page, not null\n");
}

} // namespace
