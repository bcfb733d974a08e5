// The pieces of the command line's messages and its progress line.
#include <gtest/gtest.h>

#include "app/cli_messages.h"
#include "app/console_progress.h"

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
        {"\xc2\x9b" "2J", "\\xc2\\x9b2J"},       // a C1 control, the 8-bit CSI
        {"\xc2\xa0", "\xc2\xa0"},                // no-break space: printable
        {"\xff\xe4\xb8", "\\xff\\xe4\\xb8"},     // not UTF-8, and a cut character
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"},     // a surrogate
        {"a\\x1b", "a\\\\x1b"},                  // a backslash typed is told apart
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
        {"--lft", "--left"}, {"--lfet", "--left"}, {"-left", "--left"}, {"--rigth", "--right"},
        {"--rwa", "--raw"},  {"--retyr", "--retry"}, {"--al", "--all"},  {"--abc", ""},
        {"--x", ""},         {"--ra", "--raw"},      {"--zzzzz", ""},   {"--rety", "--retry"},
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

} // namespace
