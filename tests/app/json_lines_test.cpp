// The JSON Lines writer of the command line's --json.
#include <gtest/gtest.h>

#include "shared/json_lines.h"

namespace {

TEST(JsonLines, TextsAreEscapedAndBytesThatAreNotUtf8Replaced)
{
    const struct {
        std::string in, out;
        bool lossy;
    } cases[] = {
        {"", "\"\"", false},
        {"plain", "\"plain\"", false},
        {"a\"b\\c/d", "\"a\\\"b\\\\c/d\"", false},
        {"\n\r\t\b\f", "\"\\n\\r\\t\\b\\f\"", false},
        {std::string("\x01\x1f\x00", 3), "\"\\u0001\\u001f\\u0000\"", false},
        {"\x7f", "\"\x7f\"", false}, // DEL needs no escape
        {"中文😀", "\"中文😀\"", false},
        {"\xe2\x80\xa8\xe2\x80\xa9", "\"\\u2028\\u2029\"", false}, // line ends of JavaScript
        {"a\xff"
         "b",
         "\"a\xef\xbf\xbd"
         "b\"",
         true},
        {"\xe4\xb8", "\"\xef\xbf\xbd\xef\xbf\xbd\"", true},     // a cut character
        {"中\xe4\xb8", "\"中\xef\xbf\xbd\xef\xbf\xbd\"", true}, // ... behind a whole one
        {"\xe4\xb8"
         "A\xef\xbf\xbf",
         "\"\xef\xbf\xbd\xef\xbf\xbd"
         "A\xef\xbf\xbf\"",
         true},
        {"\xed\xa0\x80", "\"\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\"", true}, // a surrogate
        {"\xc0\xaf", "\"\xef\xbf\xbd\xef\xbf\xbd\"", true},                 // an overlong form
    };
    for (const auto& c : cases) {
        std::string out;
        EXPECT_EQ(app::AppendJsonString(&out, c.in), c.lossy) << c.in;
        EXPECT_EQ(out, c.out) << c.in;
    }
}

TEST(JsonLines, AnObjectIsOneLineInTheOrderGiven)
{
    app::JsonObject plain;
    EXPECT_EQ(plain.text("source", "a.txt").number("start", -1).line(), "{\"source\":\"a.txt\",\"start\":-1}\n");
    app::JsonObject replaced;
    EXPECT_EQ(replaced.text("middle", "\xff").line(), "{\"middle\":\"\xef\xbf\xbd\",\"lossy\":true}\n");
    EXPECT_EQ(app::JsonObject().line(), "{}\n");
    std::string quoted;
    app::AppendJsonString(&quoted, "a\"b");
    EXPECT_EQ(app::JsonObject().escaped("source", quoted).number("index", 0).line(),
              "{\"source\":\"a\\\"b\",\"index\":0}\n");
}

} // namespace
