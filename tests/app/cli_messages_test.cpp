// The pieces of the command line's messages and its progress line.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "cli/source_names.h"
#include "cli/write_out.h"
#include "shared/cli_diagnostics.h"
#include "shared/cli_messages.h"
#include "shared/console_progress.h"

namespace {

TEST(CliMessages, EchoedArgumentsCarryNoTerminalCommands)
{
    const struct {
        std::string in, out;
    } cases[] = {
        {"--left", "--left"},
        {"中文 ok", "中文 ok"},
        {"\x1b[31mred", "\\x1b[31mred"},
        {"a\tb\nc\r", "a\\x09b\\x0ac\\x0d"},
        {"\x7f", "\\x7f"},
        {"\xc2\x9b"
         "2J",
         "\\xc2\\x9b2J"},                    // a C1 control, the 8-bit CSI
        {"\xc2\xa0", "\xc2\xa0"},            // no-break space: printable
        {"\xff\xe4\xb8", "\\xff\\xe4\\xb8"}, // not UTF-8, and a cut character
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"}, // a surrogate
        {"a\\x1b", "a\\\\x1b"},              // a backslash typed is told apart
        {"😀", "😀"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(app::EchoArgument(c.in), c.out) << c.in;
}

TEST(CliMessages, TheClosestNameIsSuggestedWhenClose)
{
    EXPECT_EQ(app::EditDistance("", "abc"), 3u);
    EXPECT_EQ(app::EditDistance("kitten", "sitting"), 3u);
    EXPECT_EQ(app::EditDistance("lfet", "left"), 1u);
    EXPECT_EQ(app::EditDistance("abc", "ca"), 3u);
    const std::vector<std::string_view> names = {"--left", "--right", "--all", "--raw", "--retry"};
    const struct {
        const char* typed;
        const char* closest;
    } cases[] = {
        {"--lft", "--left"},
        {"--lfet", "--left"},
        {"-left", "--left"},
        {"--rigth", "--right"},
        {"--rwa", "--raw"},
        {"--retyr", "--retry"},
        {"--al", "--all"},
        {"--abc", ""},
        {"--x", ""},
        {"--ra", "--raw"},
        {"--zzzzz", ""},
        {"--rety", "--retry"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(app::ClosestName(c.typed, names), c.closest) << c.typed;
}

TEST(CliProgress, OneShortLine)
{
    const struct {
        int64_t received, announced;
        double seconds;
        const char* line;
    } cases[] = {
        {0, -1, 0, "0 B"},
        {512, -1, 0, "512 B"},
        {1023, -1, 0, "1023 B"},
        {1536, -1, 1.0, "1.5 KiB, 1.5 KiB/s"},
        {100, 200, 0, "100 B of 200 B (50%)"},
        {199, 200, 0, "199 B of 200 B (99%)"},
        {200, 200, 0.5, "200 B of 200 B (100%), 400 B/s"},
        {300, 200, 0, "300 B"}, // more than announced (a compressed length): no share
        {0, 0, 0, "0 B"},
        {int64_t{3} << 20, int64_t{6} << 20, 2.0, "3.0 MiB of 6.0 MiB (50%), 1.5 MiB/s"},
        {(int64_t{1} << 20) - 1, -1, 0, "1.0 MiB"},
        {int64_t{5} << 40, -1, 0, "5.0 TiB"},
        {int64_t{3} << 50, INT64_MAX, 0, "3072.0 TiB of 8388608.0 TiB (0%)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(app::FormatProgress(c.received, c.announced, c.seconds), c.line) << c.line;
}

TEST(CliProgress, ManySourcesInOneLine)
{
    EXPECT_EQ(app::FormatSourcesProgress(0, 0, false, 0, 0, 0), "0 of 0+ sources, 0 B");
    EXPECT_EQ(app::FormatSourcesProgress(12, 80, true, 1, 4.0, 1536), "12 of 80 sources, 1 failed, 3.0 pages/s, 1.5 KiB");
    EXPECT_EQ(app::FormatSourcesProgress(5, 64, false, 0, 2.0, 100), "5 of 64+ sources, 2.5 pages/s, 100 B");
}

TEST(CliWriteOut, VariablesAndEscapes)
{
    app::WriteOutValues v;
    v.httpCode = 404;
    v.urlEffective = "http://a/b";
    v.sizeDownload = 1234;
    v.totalMicroseconds = 1500042;
    v.contentType = "text/html";
    v.redirects = 2;
    v.exitCode = 5;
    v.errorCode = "http_status";
    const struct {
        const char* format;
        const char* out;
    } cases[] = {
        {"%{http_code}", "404"},
        {"%{response_code}\\n", "404\n"},
        {"%{url_effective} %{size_download} %{time_total}", "http://a/b 1234 1.500042"},
        {"%{content_type}\\t%{num_redirects}\\r%{exitcode}", "text/html\t2\r5"},
        {"%%{http_code} 100%", "%{http_code} 100%"},
        {"%{errorcode}\\\\n", "http_status\\n"},
        {"plain \\x", "plain \\x"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_TRUE(app::CheckWriteOut(c.format, &error)) << c.format << error;
        EXPECT_EQ(app::ExpandWriteOut(c.format, v), c.out) << c.format;
    }
    app::WriteOutValues none;
    EXPECT_EQ(app::ExpandWriteOut("%{http_code}|%{time_total}", none), "000|0.000000");
    std::string error;
    EXPECT_FALSE(app::CheckWriteOut("%{speed_download}", &error));
    EXPECT_EQ(error, "unknown variable %{speed_download}");
    EXPECT_FALSE(app::CheckWriteOut("a %{http_code", &error));
    EXPECT_EQ(error, "a variable without its closing brace");
}

TEST(CliDiagnostics, LocalFailuresHaveStableCodes)
{
    EXPECT_STREQ(app::diag::LocalErrorCode(std::string("a.txt: ") + std::strerror(ENOENT)), "no_such_file");
    EXPECT_STREQ(app::diag::LocalErrorCode(std::string("d: ") + std::strerror(EISDIR)), "read");
    EXPECT_STREQ(app::diag::LocalErrorCode("standard input: input too large"), "too_large");
    EXPECT_STREQ(app::diag::LocalErrorCode("a.txt: " + app::diag::NotValid("UTF-8")), "decode");
    EXPECT_EQ(app::diag::PageNotRead(""), "could not read the page");
    EXPECT_EQ(app::diag::EndedEarly("连接中断"), "warning: the page ended early (连接中断)");
    EXPECT_EQ(app::diag::ServerAnswered("404 Not Found", false), "the server answered 404 Not Found");
    EXPECT_EQ(app::diag::Replaced(1), "warning: 1 byte of the page did not convert and was replaced");
}

TEST(CliSourceNames, Gb18030CharactersByTheirBytes)
{
    const struct {
        std::string bytes;
        size_t length;
    } cases[] = {
        {"a", 1},
        {"\xd6\xd0", 2},
        {"\x81\x40", 2},
        {"\x81\x30\x81\x30", 4},
        {"\x81\x30\x81", 0},
        {"\x81\x30"
         "b",
         0},
        {"\xff"
         "a",
         0},
        {"\x80", 0},
        {"\xd6", 0},
        {"\xd6\x7f", 0},
        {"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(app::Gb18030CharacterLength(c.bytes), c.length) << testing::PrintToString(c.bytes);
}

} // namespace
