// The command-line mode, run as a separate process.
#include <gtest/gtest.h>

#include "support/run_tool.h"

namespace {

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
    auto unreachable = RunTool({"fetch", "http://127.0.0.1:1/"});
    EXPECT_EQ(unreachable.err, "未能读取到网页内容！\n");
    EXPECT_EQ(unreachable.status, 1);
    EXPECT_EQ(RunTool({"fetch", "http://"}).err, "未能读取到网页内容！\n");
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
