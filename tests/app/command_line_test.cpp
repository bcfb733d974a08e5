// The command-line mode, run as a separate process.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "cli/cli_options.h"
#include "program_version.h"
#include "support/http_test_support.h"
#include "support/run_tool.h"

namespace {

namespace httptest = mt::httptest;
using httptest::Reply;
using mt::test::RunTool;
using mt::test::ToolStreams;

ToolStreams Streams(ToolStreams::In in, ToolStreams::Out out = ToolStreams::Out::kCaptured, std::string path = "")
{
    ToolStreams streams;
    streams.in = in;
    streams.out = out;
    streams.outPath = std::move(path);
    return streams;
}

// The window's not-found messages, behind the program's name.
const std::string kLeftNotFound = "middletext: 未查找到左边文本，请重新输入！\n";
const std::string kRightNotFound = "middletext: 未查找到右边文本，请重新输入！\n";
const std::string kNotFound = "middletext: 未找到指定内容！\n";
// The lines behind a not-found message and behind an empty middle text that
// say why.
std::string Hint(const std::string& sentence) { return "middletext: hint: " + sentence + "\n"; }
std::string Warning(const std::string& sentence) { return "middletext: warning: hint: " + sentence + "\n"; }
const std::string kLeftNothing = kLeftNotFound + Hint("左边文本连第一个字符也未出现。");
const std::string kRightNothing = kRightNotFound + Hint("右边文本连第一个字符也未出现。");

struct ExtractCase {
    const char* name;
    std::string text, left, right;
    std::string out, err;
    int status;
};

TEST(CommandLineExtract, PrintsWhatTheMiddleBoxWouldShow)
{
    const ExtractCase cases[] = {
        {"tags", "abc[b]XYZ[/b]def", "[b]", "[/b]", "XYZ", "", 0},
        {"right only before left", "x]y[z", "[", "]", "", Warning("右边文本只出现在左边文本之前（第2字节处），中间文本为空。"), 0},
        {"right directly behind left", "[b][/b]", "[b]", "[/b]", "", "", 0},
        {"left at the very end", "ab]c[", "[", "]", "", Warning("右边文本只出现在左边文本之前（第3字节处），中间文本为空。"), 0},
        {"empty text", "", "", "]", "", kLeftNothing, 1},
        {"empty left", "ab]c", "", "]", "ab", "", 0},
        {"empty right", "a[bc", "[", "", "", "", 0},
        {"first of several", "a[1]b[2]c", "[", "]", "1", "", 0},
        {"case-sensitive", "[b]x[/b]", "[B]", "[/b]", "", kLeftNotFound + Hint("左边文本在第1字节处出现，但大小写不同：页面为“b”，文本为“B”。"), 1},
        {"right missing", "a[b", "[", "]", "", kRightNothing, 1},
        {"a match starts only on a character", "爸行", "中", "x", "", kLeftNothing, 1},
        {"Chinese", "甲乙《丙丁》戊", "《", "》", "丙丁", "", 0},
        // 귭가 holds the bytes of 귬 across its two four-byte characters.
        {"not inside a four-byte character", "[귭가]", "귬", "]", "", kLeftNothing, 1},
        // Why a rule fails.
        {"a line break typed with Enter", "a\nb]", "a\r\nb", "]", "", kLeftNotFound + Hint("左边文本在第1字节处出现，但换行不同：页面为LF，文本为CR LF。"), 1},
        {"half-width for full-width", "价格：12元", "价格:", "元", "", kLeftNotFound + Hint("左边文本在第1字节处出现，但全角与半角不同：页面为“：”，文本为“:”。"), 1},
        {"a right text with a tab", "[a]x\ty", "[a]", "x y", "", kRightNotFound + Hint("右边文本在第4字节处出现，但空白不同：页面为制表符，文本为空格。"), 1},
        {"a part of it", "<p>ab</p>", "<p>ax", "</p>", "", kLeftNotFound + Hint("左边文本只有前4字节“<p>a”出现，在第1字节处。"), 1},
        {"behind four-byte characters", "귭가[😀]", "[", "]", "😀", "", 0},
    };
    for (const auto& c : cases) {
        auto run = RunTool({"extract", "--left", c.left, "--right", c.right}, c.text);
        EXPECT_EQ(run.out, c.out) << c.name;
        EXPECT_EQ(run.err, c.err) << c.name;
        EXPECT_EQ(run.status, c.status) << c.name;
    }
}

// With --json the cause is a field of the object: its code, the 1-based
// byte position in the text (null for none), the bytes that matched and the
// sentence. Standard error stays quiet but for the warning of an empty
// middle text.
TEST(CommandLineExtract, JsonCarriesWhyTheRuleFails)
{
    const std::string left = R"({"source":"-","status":"not_found","message":"未查找到左边文本，请重新输入！","hint":)";
    const std::string right = R"({"source":"-","status":"not_found","message":"未查找到右边文本，请重新输入！","hint":)";
    const ExtractCase cases[] = {
        {"line breaks", "x a\nb]", "a\r\nb", "]",
         left + R"({"code":"line_breaks","position":3,"length":3,"text":"左边文本在第3字节处出现，但换行不同：页面为LF，文本为CR LF。"}})"
                "\n",
         "", 1},
        {"width", "价格：12元", "价格:", "元",
         left + R"({"code":"width","position":1,"length":6,"text":"左边文本在第1字节处出现，但全角与半角不同：页面为“：”，文本为“:”。"}})"
                "\n",
         "", 1},
        {"case", "<DIV>x", "<div>", "x",
         left + R"({"code":"case","position":1,"length":5,"text":"左边文本在第1字节处出现，但大小写不同：页面为“D”，文本为“d”。"}})"
                "\n",
         "", 1},
        {"whitespace", "[a]x  y", "[a]", "x y",
         right + R"({"code":"whitespace","position":4,"length":4,"text":"右边文本在第4字节处出现，但空白不同：页面为空格+空格，文本为空格。"}})"
                 "\n",
         "", 1},
        {"entities", "a&lt;b&gt;c", "<b>", "c",
         left + R"({"code":"entities","position":2,"length":9,"text":"左边文本在第2字节处出现，但页面写作字符引用“&lt;”（即“<”）。"}})"
                "\n",
         "", 1},
        {"partial", "<p>ab</p>", "<p>ax", "</p>",
         left + R"({"code":"partial","position":1,"length":4,"text":"左边文本只有前4字节“<p>a”出现，在第1字节处。"}})"
                "\n",
         "", 1},
        {"nothing of it", "abc", "[", "]",
         left + R"({"code":"partial","position":null,"length":0,"text":"左边文本连第一个字符也未出现。"}})"
                "\n",
         "", 1},
        {"right only before left", "x]y[z", "[", "]",
         R"({"source":"-","middle":"","start":5,"end":4,"status":"found","hint":{"code":"right_before_left","position":2,"length":1,"text":"右边文本只出现在左边文本之前（第2字节处），中间文本为空。"}})"
         "\n",
         "middletext: warning: hint: 右边文本只出现在左边文本之前（第2字节处），中间文本为空。\n", 0},
        {"a working rule has none", "[a]", "[", "]", R"({"source":"-","middle":"a","start":2,"end":2,"status":"found"})"
                                                     "\n",
         "", 0},
    };
    for (const auto& c : cases) {
        auto run = RunTool({"extract", "--json", "--left", c.left, "--right", c.right}, c.text);
        EXPECT_EQ(run.out, c.out) << c.name;
        EXPECT_EQ(run.err, c.err) << c.name;
        EXPECT_EQ(run.status, c.status) << c.name;
    }
}

TEST(CommandLineExtract, AllPrintsEveryMiddleTextInOrder)
{
    const ExtractCase cases[] = {
        {"adjacent pairs", "[a][b]c[d]", "[", "]", "a\nb\nd\n", "", 0},
        {"empty middles", "[][]", "[", "]", "\n\n", "", 0},
        // The next left text is sought behind the right text: no overlap.
        {"left overlapping the right", "(a)(b)", "(", ")(", "a\n", "", 0},
        {"right overlapping the next left", "abababa", "ab", "ba", "a\n", "", 0},
        {"a left without a right behind it", "[a]x[b", "[", "]", "a\n", "", 0},
        {"right only before left", "x]y[z", "[", "]", "", "", 0},
        {"left missing", "abc", "[", "]", "", kLeftNothing, 1},
        {"right missing", "a[bc", "[", "]", "", kRightNothing, 1},
        {"Chinese", "《甲》乙《丙》", "《", "》", "甲\n丙\n", "", 0},
    };
    for (const auto& c : cases) {
        auto run = RunTool({"extract", "--all", "--left", c.left, "--right", c.right}, c.text);
        EXPECT_EQ(run.out, c.out) << c.name;
        EXPECT_EQ(run.err, c.err) << c.name;
        EXPECT_EQ(run.status, c.status) << c.name;
    }
    EXPECT_EQ(RunTool({"extract", "--all", "-0", "--left=[", "--right=]"}, "[a][b]").out, std::string("a\0b\0", 4));
    EXPECT_EQ(RunTool({"extract", "--newline", "--left=[", "--right=]"}, "[a][b]").out, "a\n");
    auto empty = RunTool({"extract", "--all", "--left=", "--right=]"}, "[a]");
    EXPECT_EQ(empty.status, 2);
    EXPECT_EQ(empty.err, "middletext: --all needs a left and a right text that are not empty\n");
}

TEST(CommandLineExtract, AZeroByteEndsTheText)
{
    auto run = RunTool({"extract", "--left", "[", "--right", "]"}, std::string("ab\0[x]", 6));
    EXPECT_EQ(run.err, kLeftNothing);
}

TEST(CommandLineExtract, ReadsAFile)
{
    const std::string path = "/tmp/mt-cli-input.txt";
    FILE* f = fopen(path.c_str(), "wb");
    fputs("<a>v</a>", f);
    fclose(f);
    auto run = RunTool({"extract", "--left", "<a>", "--right", "</a>", path});
    EXPECT_EQ(run.out, "v");
    EXPECT_EQ(RunTool({"extract", "--left", "a", "--right", "b", "/nonexistent/file"}).status, 2);
}

// A relative FILE is the user's: found from where the program was started,
// not from the program's folder, which start-up makes current.
TEST(CommandLineExtract, ARelativeFileIsFoundFromWhereTheProgramStarted)
{
    char dirTemplate[] = "/tmp/mt-cli-relative-XXXXXX";
    const std::filesystem::path dir = mkdtemp(dirTemplate);
    std::filesystem::create_directory(dir / "sub");
    FILE* f = fopen((dir / "sub" / "page.html").c_str(), "wb");
    fputs("<a>v</a>", f);
    fclose(f);
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    for (const char* name : {"sub/page.html", "./sub/page.html", "sub/../sub/page.html"})
        EXPECT_EQ(RunTool({"extract", "--left", "<a>", "--right", "</a>", name}).out, "v") << name;
    // The program itself lies in its folder, but not here.
    const auto program = RunTool({"find", "--text", "x", "middletext"});
    EXPECT_EQ(program.err, "middletext: middletext: No such file or directory\n");
    EXPECT_EQ(program.status, 2);
    std::filesystem::current_path(here);
    std::filesystem::remove_all(dir);
}

TEST(CommandLineEncoding, GbkReadsAndWritesRawBytes)
{
    // 左[中]右 in GB18030; the result is 中 as D6 D0.
    const std::string text = "\xd7\xf3[\xd6\xd0]\xd3\xd2";
    auto run = RunTool({"--gbk", "extract", "--left", "[", "--right", "]"}, text);
    EXPECT_EQ(run.out, "\xd6\xd0");
    auto gbArgs = RunTool({"extract", "--gbk", "--left", "\xd7\xf3", "--right", "\xd3\xd2"}, text);
    EXPECT_EQ(gbArgs.out, "[\xd6\xd0]");
}

TEST(CommandLineEncoding, InputThatDoesNotDecodeNamesItsSource)
{
    const std::string hint = "not valid UTF-8 (try --gbk for GB18030)\n";
    auto input = RunTool({"extract", "--left", "a", "--right", "b"}, "a\xff"
                                                                     "b");
    EXPECT_EQ(input.status, 2);
    EXPECT_EQ(input.err, "middletext: standard input: " + hint);
    // A character cut off at the end, a surrogate, an overlong form.
    for (const char* bad : {"a\xe4\xb8", "\xe4\xb8\xad\xed\xa0\x80", "\xe4\xb8\xad\xc0\xaf"})
        EXPECT_EQ(RunTool({"find", "--text", "a"}, bad).err, "middletext: standard input: " + hint);
    auto left = RunTool({"extract", "--left", "\xff", "--right", "b"}, "ab");
    EXPECT_EQ(left.status, 2);
    EXPECT_EQ(left.err, "middletext: --left is " + hint);
    EXPECT_EQ(RunTool({"find", "--text", "\xff"}, "ab").err, "middletext: --text is " + hint);
}

struct FindCase {
    const char* name;
    std::string text, wanted;
    std::string out;
    int status;
};

TEST(CommandLineFind, PrintsEveryOccurrenceAClickWouldSelect)
{
    const FindCase cases[] = {
        {"adjacent occurrences", "abab", "ab", "1\n3\n", 0},
        {"separated occurrences", "xab-ab-ab", "ab", "2\n5\n8\n", 0},
        {"Chinese", "中文中文", "中", "1\n5\n", 0},
        {"not across characters", "爸行中", "中", "5\n", 0},
        {"not inside four-byte characters", "귭가귬귬", "귬", "9\n13\n", 0},
        {"case-sensitive", "ab", "AB", "", 1},
        {"empty wanted text stops at the repeat", "abc", "", "1\n", 0},
    };
    for (const auto& c : cases) {
        auto run = RunTool({"find", "--text", c.wanted}, c.text);
        EXPECT_EQ(run.out, c.out) << c.name;
        // The window's message is for a find that found nothing.
        EXPECT_EQ(run.err, c.out.empty() ? kNotFound : "") << c.name;
        EXPECT_EQ(run.status, c.status) << c.name;
    }
}

TEST(CommandLineFind, ThePromptTextIsRefused)
{
    auto run = RunTool({"find", "--text", "请输入欲查找的中间文本"}, "请输入欲查找的中间文本");
    EXPECT_EQ(run.err, "middletext: --text is the middle box's prompt, not a text to find\n");
    EXPECT_EQ(run.status, 1);
}

TEST(CommandLineCode, PrintsTheSubroutineWithCrLfLines)
{
    auto run = RunTool({"code"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind(".版本 2\r\n\r\n.子程序 取中间文本, 文本型, , ", 0), 0u);
    size_t lines = 0;
    for (size_t p = run.out.find("\r\n"); p != std::string::npos; p = run.out.find("\r\n", p + 2))
        ++lines;
    EXPECT_EQ(lines, 19u);
    EXPECT_NE(run.out.find("中间文本起始位置 ＝ 寻找文本 (被查找文本, 左边文本, , 假) ＋ 取文本长度 (左边文本)\r\n"),
              std::string::npos);
    auto gbk = RunTool({"code", "--gbk"});
    EXPECT_EQ(gbk.out.substr(0, 9), ".\xb0\xe6\xb1\xbe 2\r\n"); // .版本 2
}

struct UsageCase {
    std::vector<std::string> args;
    std::string input;
    std::string out;
    int status;
};

TEST(CommandLineUsage, OptionsAsPeopleTypeThem)
{
    const UsageCase cases[] = {
        {{"extract", "--left=[", "--right=]"}, "a[b]", "b", 0},
        {{"extract", "--left==", "--right", "]"}, "a=b]", "b", 0},
        {{"--gbk", "extract", "--left", "[", "--right", "]", "--", "-"}, "a[b]", "b", 0},
        {{"find", "--text", "-x", "--", "-"}, "a-x", "2\n", 0},
        // Mistakes: exit status 2 and nothing on standard output.
        {{"frobnicate"}, "", "", 2},
        {{"--gbk"}, "", "", 2},
        {{"extract", "--left", "a"}, "", "", 2},
        {{"extract", "--left", "a", "--right", "b", "--left", "c"}, "", "", 2},
        {{"extract", "--gbk", "--gbk", "--left", "a", "--right", "b"}, "", "", 2},
        {{"extract", "--left", "a", "--right", "b", "--text", "c"}, "", "", 2},
        {{"extract", "--left", "a", "--right", "b", "-0", "--newline"}, "", "", 2},
        {{"extract", "--left", "a", "--right", "b", "--all", "--newline"}, "", "", 2},
        {{"extract", "--left", "a", "--right"}, "", "", 2},
        {{"extract", "--left", "a", "--right", "b", "--gbk=yes"}, "", "", 2},
        {{"extract", "--left", "a", "--right", "b", "f", "g"}, "", "", 2},
        {{"find"}, "", "", 2},
        {{"fetch"}, "", "", 2},
        {{"code", "extra"}, "", "", 2},
        {{"code", "--", "--help"}, "", "", 2},
    };
    for (const auto& c : cases) {
        auto run = RunTool(c.args, c.input);
        EXPECT_EQ(run.out, c.out) << testing::PrintToString(c.args);
        EXPECT_EQ(run.status, c.status) << testing::PrintToString(c.args) << run.err;
    }
    for (const char* help : {"--help", "-h"}) {
        auto run = RunTool({"extract", help});
        EXPECT_EQ(run.status, 0);
        EXPECT_NE(run.out.find("Exit status: 0 done; 1 the window's message"), std::string::npos);
        EXPECT_NE(run.out.find("(fractions allowed: 2.5)"), std::string::npos);
    }
    // The first line as it always was, then the libraries pages are read with.
    for (const char* version : {"--version", "-V"}) {
        auto run = RunTool({version});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out.rfind(std::string("middletext ") + app::kProgramVersion + "\nlibcurl ", 0), 0u) << run.out;
        for (const char* line : {"\nTLS: ", "\ncompression: ", "\nIDN: "})
            EXPECT_NE(run.out.find(line), std::string::npos) << line << run.out;
    }
}

// COMMAND --help: that command's usage line and options, none of another's.
TEST(CommandLineUsage, ACommandsHelpIsItsOwn)
{
    struct HelpCase {
        std::vector<std::string> args;
        std::string first;
        std::vector<std::string> shown, hidden;
    };
    const HelpCase cases[] = {
        {{"--help"}, "Usage: middletext                 start the window\n", {"--left", "--raw", "--lang", "--write-out"}, {}},
        {{"extract", "--help"}, "Usage: middletext extract --left L", {"--all", "-r, --recursive", "--max-count", "-k, --insecure"}, {"--raw", "--lang", "--write-out", "start the window"}},
        {{"find", "--text", "x", "-h"}, "Usage: middletext find --text W", {"--files-with-matches", "--color"}, {"--all", "--raw"}},
        {{"fetch", "--help", "http://x/"}, "Usage: middletext fetch ", {"--write-out", "--dump-header", "--max-redirs", "--fail"}, {"--recursive", "--all", "--lang"}},
        {{"code", "--help"}, "Usage: middletext code ", {"--lang"}, {"--raw", "--recursive", "Environment:"}},
    };
    for (const auto& c : cases) {
        const auto run = RunTool(c.args);
        EXPECT_EQ(run.status, 0) << testing::PrintToString(c.args);
        EXPECT_EQ(run.out.rfind(c.first, 0), 0u) << run.out;
        for (const std::string& text : c.shown)
            EXPECT_NE(run.out.find(text), std::string::npos) << testing::PrintToString(c.args) << text;
        for (const std::string& text : c.hidden)
            EXPECT_EQ(run.out.find(text), std::string::npos) << testing::PrintToString(c.args) << text;
        EXPECT_NE(run.out.find("Exit status:"), std::string::npos) << testing::PrintToString(c.args);
    }
}

struct UsageMessageCase {
    std::vector<std::string> args;
    std::string mistake; // the line naming it, behind "middletext: "
};

// A mistake is one line naming it and a pointer to the help, exit status 2;
// what the user typed is echoed with its control characters escaped.
TEST(CommandLineUsage, AMistakeIsOneLineAndAPointerToTheHelp)
{
    const std::string url = "http://127.0.0.1/";
    const std::string kMaxTime = "--max-time needs seconds above 0, at most 2147483 (such as 30 or 2.5)";
    const UsageMessageCase cases[] = {
        {{"frobnicate"}, "unknown command frobnicate"},
        {{"extrct"}, "unknown command extrct (did you mean extract?)"},
        {{"fecth", url}, "unknown command fecth (did you mean fetch?)"},
        {{"extract", "--lfet", "a"}, "unknown option --lfet (did you mean --left?)"},
        {{"fetch", "--retyr=2", url}, "unknown option --retyr (did you mean --retry?)"},
        {{"fetch", "--user-agnet", "x", url}, "unknown option --user-agnet (did you mean --user-agent?)"},
        {{"fetch", "-silent", url}, "unknown option -silent (did you mean --silent?)"},
        {{"find", "--abc"}, "unknown option --abc"},
        {{"find", "-Z"}, "unknown option -Z"},
        {{"fetch", "-sx", url}, "unknown option -sx"},
        {{"\x1b]0;owned\x07"}, "unknown command \\x1b]0;owned\\x07"},
        {{"find", "--\x1b[2J\x7f\xc2\x9b"}, "unknown option --\\x1b[2J\\x7f\\xc2\\x9b"},
        {{"find", "--中\xff\\"}, "unknown option --中\\xff\\\\"},
        {{"code", "a\tb"}, "unexpected argument a\\x09b"},
        {{"--gbk"}, "no command given"},
        {{"extract", "--left", "a"}, "extract needs --right"},
        {{"extract", "--gbk", "--gbk", "--left", "a", "--right", "b"}, "--gbk given twice"},
        {{"fetch"}, "fetch needs URL"},
        {{"fetch", "--max-time", "0", url}, kMaxTime},
        {{"fetch", "--max-time", "0.0", url}, kMaxTime},
        {{"fetch", "--max-time", "2147483.001", url}, kMaxTime},
        {{"fetch", "--max-time", "999999999", url}, kMaxTime},
        {{"fetch", "--max-time", "1.", url}, kMaxTime},
        {{"fetch", "--max-time", "-1", url}, kMaxTime},
        {{"fetch", "--max-time", "1e3", url}, kMaxTime},
        {{"fetch", "--connect-timeout", "0", url}, "--connect-timeout needs seconds above 0, at most 2147483 (such as 10 or 0.5)"},
        {{"find", "--text", "a", "--speed-limit", "1X"}, "--speed-limit needs bytes a second, 0 (no rule) to 2G (K, M and G allowed)"},
        {{"fetch", "-y", "-1", url}, "--speed-time needs a whole number of seconds from 0 (no rule) to 2147483"},
        {{"fetch", "--max-filesize", "257M", url}, "--max-filesize needs a size from 1 to 256M (K, M and G allowed)"},
        {{"fetch", "--max-filesize", "0", url}, "--max-filesize needs a size from 1 to 256M (K, M and G allowed)"},
        {{"fetch", "--max-memory", "99999999999999999G", url}, "--max-memory needs a size from 1 to 1024G (K, M and G allowed)"},
        {{"fetch", "--max-memory", "M", url}, "--max-memory needs a size from 1 to 1024G (K, M and G allowed)"},
        {{"code", "--max-memory", "1M"}, "--max-memory is not an option of code"},
        {{"fetch", "--retry", "101", url}, "--retry needs a whole number from 0 to 100"},
        {{"fetch", "--retry", "-1", url}, "--retry needs a whole number from 0 to 100"},
        {{"fetch", "-A", "a\r\nX-Injected: 1", url}, "--user-agent holds a control character"},
        {{"fetch", "-b", "a=1\nX: 2", url}, "--cookie holds a control character"},
        {{"fetch", "-H", "X-A: 1\r\nX-B: 2", url}, "--header holds a control character"},
        {{"fetch", "-H", "X-A: \x1b[1m", url}, "--header holds a control character"},
        {{"fetch", "-b", "cookies.txt", url}, "--cookie needs 'name=value; ...', not cookies.txt"},
        {{"fetch", "-H", "no colon", url}, "--header needs 'Name: value', not no colon"},
        {{"fetch", "-H", ": value", url}, "--header needs 'Name: value', not : value"},
        {{"fetch", "-H", "Two words: value", url}, "--header needs 'Name: value', not Two words: value"},
        {{"fetch", "-A", "a", "-A", "b", url}, "--user-agent given twice"},
        {{"fetch", "--header"}, "--header needs a value"},
        {{"extract", "--left", "a", "--right", "b", "-f"}, "--fail is not an option of extract"},
        {{"fetch", "--silent=yes", url}, "--silent takes no value"},
        // curl's and grep's names.
        {{"fetch", "--max-redirs", "1001", url}, "--max-redirs needs a whole number from 0 to 1000"},
        {{"fetch", "--max-redirs=-1", url}, "--max-redirs needs a whole number from 0 to 1000"},
        {{"fetch", "-o", "a", "-o", "b", url}, "-o given 2 times for 1 URL"},
        {{"fetch", "-o", "", url}, "--output needs a file name"},
        {{"fetch", "-D", "", url}, "--dump-header needs a file name"},
        {{"fetch", "-w", "%{nope}", url}, "--write-out: unknown variable %{nope}"},
        {{"fetch", "-w", "%{http_code", url}, "--write-out: a variable without its closing brace"},
        {{"fetch", "-x", "", url}, "--proxy needs a URL without control characters"},
        {{"fetch", "-x", "http://a\nb", url}, "--proxy needs a URL without control characters"},
        {{"fetch", "-D", "a", "-D", "b", url}, "--dump-header given twice"},
        {{"find", "--text", "x", "-m", "0"}, "--max-count needs a whole number from 1 to 999999999"},
        {{"find", "--text", "x", "-mx"}, "--max-count needs a whole number from 1 to 999999999"},
        {{"find", "--text", "x", "--color=sometimes"}, "--color takes auto, always or never, not sometimes"},
        {{"find", "--text", "x", "-l", "--json"}, "-l prints names only: it takes no --json"},
        {{"find", "--text", "x", "-l", "--count"}, "-l prints names only: it takes no --count"},
        {{"extract", "--left", "a", "--right", "b", "-o", "f"}, "--output is not an option of extract"},
        {{"find", "--text", "x", "-w", "%{http_code}"}, "--write-out is not an option of find"},
        {{"code", "-k"}, "--insecure is not an option of code"},
        {{"fetch", "-q", url}, "--quiet is not an option of fetch"},
        {{"fetch", "--insecur", url}, "unknown option --insecur (did you mean --insecure?)"},
    };
    for (const auto& c : cases) {
        auto run = RunTool(c.args);
        EXPECT_EQ(run.err, "middletext: " + c.mistake + "\nTry 'middletext --help'.\n") << testing::PrintToString(c.args);
        EXPECT_EQ(run.out, "") << testing::PrintToString(c.args);
        EXPECT_EQ(run.status, 2) << testing::PrintToString(c.args);
    }
}

// Input that cannot be read or is too large: exit status 2 and the reason.
TEST(CommandLineInput, UnreadableEmptyAndEndlessInput)
{
    const std::vector<std::string> find = {"find", "--text", "y"};
    auto directory = RunTool({"find", "--text", "y", "/tmp"});
    EXPECT_EQ(directory.err, "middletext: /tmp: Is a directory\n");
    EXPECT_EQ(directory.status, 2);
    EXPECT_EQ(RunTool({"find", "--text", "y", "/nonexistent/file"}).err,
              "middletext: /nonexistent/file: No such file or directory\n");
    auto closed = RunTool(find, "", Streams(ToolStreams::In::kClosed));
    EXPECT_EQ(closed.err, "middletext: standard input: Bad file descriptor\n");
    EXPECT_EQ(closed.status, 2);
    // /dev/zero holds the empty text: its first byte ends it.
    auto zero = RunTool({"find", "--text", "y", "/dev/zero"});
    EXPECT_EQ(zero.err, "middletext: /dev/zero: 未找到指定内容！\n");
    EXPECT_EQ(zero.status, 1);
    for (const char* mode : {"--gbk", "--newline"}) { // raw bytes, and converted ones
        auto endless = RunTool({"extract", mode, "--left", "x", "--right", "y"}, "yes\n",
                               Streams(ToolStreams::In::kEndless), {"MT_TEST_INPUT_LIMIT=1000000"});
        EXPECT_EQ(endless.err, "middletext: standard input: input too large\n") << mode;
        EXPECT_EQ(endless.status, 2) << mode;
    }
}

// A file larger than a text can hold is refused before it is read: a sparse
// file with the texts at its start, no gigabytes written.
TEST(CommandLineInput, AFileTooLargeForATextIsRefused)
{
    const std::string path = "/tmp/mt-cli-sparse-" + std::to_string(getpid());
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "[a]", 3), 3);
    ASSERT_EQ(ftruncate(fd, off_t{4} << 30), 0);
    close(fd);
    for (const char* mode : {"--gbk", "--newline"}) {
        auto run = RunTool({"extract", mode, "--left", "[", "--right", "]", path});
        EXPECT_EQ(run.err, "middletext: " + path + ": input too large\n") << mode;
        EXPECT_EQ(run.status, 2) << mode;
    }
    unlink(path.c_str());
}

// Output that cannot be written: exit status 3 and the reason.
TEST(CommandLineOutput, FailedWritesAreExitStatusThree)
{
    const std::vector<std::string> extract = {"extract", "--left", "[", "--right", "]"};
    const ToolStreams full = Streams(ToolStreams::In::kFile, ToolStreams::Out::kPath, "/dev/full");
    auto run = RunTool(extract, "[a]", full);
    EXPECT_EQ(run.err, "middletext: standard output: No space left on device\n");
    EXPECT_EQ(run.status, 3);
    const ToolStreams closed = Streams(ToolStreams::In::kFile, ToolStreams::Out::kClosed);
    EXPECT_EQ(RunTool(extract, "[a]", closed).err, "middletext: standard output: Bad file descriptor\n");
    auto pipe = RunTool({"code"}, "", Streams(ToolStreams::In::kFile, ToolStreams::Out::kBrokenPipe));
    EXPECT_EQ(pipe.err, "middletext: standard output: Broken pipe\n");
    EXPECT_EQ(pipe.status, 3);
    // Positions enough to fill the output's buffer, and more: the search
    // stops at the failed write and reports that alone.
    const ToolStreams broken = Streams(ToolStreams::In::kFile, ToolStreams::Out::kBrokenPipe);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"find", "--text", "a"}, {"extract", "--all", "--left", "a", "--right", "a"}}) {
        auto many = RunTool(args, std::string(300000, 'a'), broken);
        EXPECT_EQ(many.err, "middletext: standard output: Broken pipe\n") << args[0];
        EXPECT_EQ(many.status, 3) << args[0];
    }
    EXPECT_EQ(RunTool({"--version"}, "", full).status, 3);
}

} // namespace

namespace app_values {

// Seconds with fractions and sizes with K, M and G, as the transfer bounds
// take them.
TEST(CommandLineValues, SecondsAndSizes)
{
    const struct {
        const char* value;
        int64_t ms;
    } seconds[] = {{"2", 2000}, {"0.5", 500}, {".25", 250}, {"1.0001", 1001}, {"0.0001", 1}, {"2147483", 2147483000}, {"0", -1}, {"", -1}, {".", -1}, {"1.", -1}, {"1,5", -1}, {"2147483.5", -1}, {" 1", -1}, {"+1", -1}};
    for (const auto& c : seconds)
        EXPECT_EQ(app::Milliseconds(c.value), c.ms) << c.value;
    const struct {
        const char* value;
        int64_t bytes;
    } sizes[] = {{"8M", 8 << 20}, {"8m", 8 << 20}, {"1k", 1024}, {"2G", int64_t{2} << 30}, {"100", 100}, {"0", -1}, {"K", -1}, {"1T", -1}, {"-1", -1}, {"1.5M", -1}, {"99999999999999G", -1}};
    for (const auto& c : sizes)
        EXPECT_EQ(app::SizeValue(c.value, 1, app::kMaxFileSize * 16), c.bytes) << c.value;
    EXPECT_EQ(app::SizeValue("257M", 1, app::kMaxFileSize), -1);
    EXPECT_EQ(app::SizeValue("0", 0, 10), 0);
}

} // namespace app_values
