// The command-line mode, run as a separate process.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/http_test_support.h"
#include "support/run_tool.h"

namespace {

namespace httptest = mt::httptest;
using httptest::Reply;
using mt::test::RunTool;

const std::string kLeftNotFound = "未查找到左边文本，请重新输入！\n";
const std::string kRightNotFound = "未查找到右边文本，请重新输入！\n";
const std::string kNotFound = "未找到指定内容！\n";

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
        {"right only before left", "x]y[z", "[", "]", "", "", 0},
        {"right directly behind left", "[b][/b]", "[b]", "[/b]", "", "", 0},
        {"left at the very end", "ab]c[", "[", "]", "", "", 0},
        {"empty text", "", "", "]", "", kLeftNotFound, 1},
        {"empty left", "ab]c", "", "]", "ab", "", 0},
        {"empty right", "a[bc", "[", "", "", "", 0},
        {"first of several", "a[1]b[2]c", "[", "]", "1", "", 0},
        {"case-sensitive", "[b]x[/b]", "[B]", "[/b]", "", kLeftNotFound, 1},
        {"right missing", "a[b", "[", "]", "", kRightNotFound, 1},
        {"a match starts only on a character", "爸行", "中", "x", "", kLeftNotFound, 1},
        {"Chinese", "甲乙《丙丁》戊", "《", "》", "丙丁", "", 0},
    };
    for (const auto& c : cases) {
        auto run = RunTool({"extract", "--left", c.left, "--right", c.right}, c.text);
        EXPECT_EQ(run.out, c.out) << c.name;
        EXPECT_EQ(run.err, c.err) << c.name;
        EXPECT_EQ(run.status, c.status) << c.name;
    }
}

TEST(CommandLineExtract, AZeroByteEndsTheText)
{
    auto run = RunTool({"extract", "--left", "[", "--right", "]"}, std::string("ab\0[x]", 6));
    EXPECT_EQ(run.err, kLeftNotFound);
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

TEST(CommandLineEncoding, GbkReadsAndWritesRawBytes)
{
    // 左[中]右 in GB18030; the result is 中 as D6 D0.
    const std::string text = "\xd7\xf3[\xd6\xd0]\xd3\xd2";
    auto run = RunTool({"--gbk", "extract", "--left", "[", "--right", "]"}, text);
    EXPECT_EQ(run.out, "\xd6\xd0");
    auto gbArgs = RunTool({"extract", "--gbk", "--left", "\xd7\xf3", "--right", "\xd3\xd2"}, text);
    EXPECT_EQ(gbArgs.out, "[\xd6\xd0]");
}

TEST(CommandLineEncoding, InputThatDoesNotDecodeIsExitStatusTwo)
{
    auto run = RunTool({"extract", "--left", "a", "--right", "b"}, "a\xff" "b");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("not valid"), std::string::npos);
    EXPECT_EQ(RunTool({"extract", "--left", "\xff", "--right", "b"}, "ab").status, 2);
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
        {"case-sensitive", "ab", "AB", "", 1},
        {"empty wanted text stops at the repeat", "abc", "", "1\n", 0},
    };
    for (const auto& c : cases) {
        auto run = RunTool({"find", "--text", c.wanted}, c.text);
        EXPECT_EQ(run.out, c.out) << c.name;
        EXPECT_EQ(run.status, c.status) << c.name;
    }
}

TEST(CommandLineFind, ThePromptTextIsRefused)
{
    auto run = RunTool({"find", "--text", "请输入欲查找的中间文本"}, "请输入欲查找的中间文本");
    EXPECT_EQ(run.err, "请输入欲查找的中间文本！\n");
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

TEST(CommandLineFetch, TheUrlChecksAndAFailedFetchAreMessages)
{
    EXPECT_EQ(RunTool({"fetch", ""}).err, "输入的URL无效，请重新输入！\n");
    auto bad = RunTool({"fetch", "example.com"});
    EXPECT_EQ(bad.err, "输入的网址格式不正确，请在网址前加上 http:// 或 https:// \n");
    EXPECT_EQ(bad.status, 1);
    auto unreachable = RunTool({"fetch", "http://127.0.0.1:" + std::to_string(httptest::DeadPort()) + "/"});
    EXPECT_EQ(unreachable.err, "未能读取到网页内容！\n无法连接到服务器\n");
    EXPECT_EQ(unreachable.status, 1);
    EXPECT_EQ(RunTool({"fetch", "http://"}).err, "未能读取到网页内容！\n网址无法读取\n");
    EXPECT_EQ(RunTool({"fetch", "--max-time", "0", "http://"}).status, 2);
}

struct FetchCase {
    const char* name;
    std::vector<std::string> options;
    std::string reply;
    int holdMilliseconds;
    std::string out, err;
    int status;
};

TEST(CommandLineFetch, PrintsWhatTheWindowWouldShowAndWarnsOfAnEarlyEnd)
{
    const std::string utf8 = "Content-Type: text/html; charset=utf-8\r\n";
    const std::string big5 = "<meta charset=big5>\xa4\xa4\xa4\xe5\xbb\xf9\xae\xe6";
    const std::string early = "middletext: warning: the page ended early: ";
    const FetchCase cases[] = {
        {"UTF-8 as it came", {}, Reply("200 OK", utf8, "中文价格"), 0, "中文价格", "", 0},
        {"UTF-8 to its first zero byte", {}, Reply("200 OK", utf8, std::string("a中\0b", 6)), 0, "a中", "", 0},
        {"UTF-8 as GB18030", {"--gbk"}, Reply("200 OK", utf8, "中"), 0, "\xd6\xd0", "", 0},
        {"declared UTF-8 but GBK", {}, Reply("200 OK", utf8, "\xd6\xd0"), 0, "中", "", 0},
        {"not GB18030 either", {}, Reply("200 OK", "", "a\x81<b\xd6\xd0\xff"), 0, "a\xef\xbf\xbd" "b中\xef\xbf\xbd", "", 0},
        {"Big5", {}, Reply("200 OK", "", big5), 0, "<meta charset=big5>中文價格", "", 0},
        {"raw", {"--raw"}, Reply("200 OK", "", big5), 0, big5, "", 0},
        {"cut short", {}, Reply("200 OK", utf8 + "Content-Length: 99\r\n", "a中\xe4\xb8"), 0, "a中",
         early + "连接中断\n", 4},
        {"time limit", {"--max-time", "1"}, Reply("200 OK", utf8 + "Content-Length: 99\r\n", "a中"), 5000, "a中",
         early + "超过了限定的读取时间\n", 4},
    };
    for (const auto& c : cases) {
        httptest::TestServer server([&](const std::string&) { return httptest::CannedReply{c.reply, c.holdMilliseconds}; });
        std::vector<std::string> args{"fetch"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(server.Url("/"));
        const auto run = RunTool(args);
        EXPECT_EQ(run.out, c.out) << c.name;
        EXPECT_EQ(run.err, c.err) << c.name;
        EXPECT_EQ(run.status, c.status) << c.name;
    }
}

TEST(CommandLineFetch, ARelativeCaFileIsFoundFromWhereTheProgramStarted)
{
    httptest::TlsFiles ours("Ours");
    ASSERT_TRUE(ours.ok);
    httptest::TestServer server([](const std::string&) { return httptest::CannedReply{Reply("200 OK", "", "seen")}; }, &ours);
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(ours.dir);
    for (const char* variable : {"SSL_CERT_FILE", "CURL_CA_BUNDLE"}) {
        const std::string other = std::string(variable) == "SSL_CERT_FILE" ? "CURL_CA_BUNDLE=" : "SSL_CERT_FILE=";
        const auto run = RunTool({"fetch", server.Url("/")}, "", {std::string(variable) + "=ca.pem", other});
        EXPECT_EQ(run.out, "seen") << variable;
        EXPECT_EQ(run.status, 0) << run.err;
    }
    std::filesystem::current_path(here);
}

TEST(CommandLineUsage, HelpVersionAndMistakes)
{
    EXPECT_EQ(RunTool({"--help"}).status, 0);
    EXPECT_EQ(RunTool({"--version"}).out, "middletext 1.0.0\n");
    EXPECT_EQ(RunTool({"frobnicate"}).status, 2);
    EXPECT_EQ(RunTool({"extract", "--left", "a"}).status, 2);
    EXPECT_EQ(RunTool({"find"}).status, 2);
    EXPECT_EQ(RunTool({"code", "extra"}).status, 2);
}

} // namespace
