// Case files: which lines are cases, what each field gives, why a line is
// malformed, and how a line is written anew or rewritten with a new
// expectation.
#include <gtest/gtest.h>

#include "shared/case_file.h"

namespace {

using app::CaseText;
using app::CaseUse;
using app::TestCase;

CaseText Utf8(std::string s)
{
    return {std::move(s), false};
}

CaseText Gbk(std::string s)
{
    return {std::move(s), true};
}

TEST(CaseFile, LinesThatAreCases)
{
    struct Row {
        const char* line;
        const char* name;
        const char* source;
        bool sourceGbk, url;
        CaseText left, right;
        bool all, found;
        std::vector<CaseText> expect;
    };
    const Row rows[] = {
        {R"({"source":"a.html","left":"<b>","right":"</b>","expect":"x"})", "7", "a.html", false, false, Utf8("<b>"), Utf8("</b>"), false, true, {Utf8("x")}},
        {R"({"name":"title", "source":"HTTPS://e.org/","left":"","right":"]","expect":""})", "title", "HTTPS://e.org/", false, true, Utf8(""), Utf8("]"), false, true, {Utf8("")}},
        {R"({"source":"b.txt","source_gbk":true,"left_gbk":"D6d0","right":"]","expect":null})", "7", "b.txt", true, false, Gbk("\xd6\xd0"), Utf8("]"), false, false, {}},
        {R"({"source":"c","left":"[","right":"]","all":true,"expect":["中","😀"]})", "7", "c", false, false, Utf8("["), Utf8("]"), true, true, {Utf8("中"), Utf8("😀")}},
        {R"({"source":"c","left":"[","right":"]","all":true,"expect_gbk":["ff",""]})", "7", "c", false, false, Utf8("["), Utf8("]"), true, true, {Gbk("\xff"), Gbk("")}},
        {R"({"source":"c","left":"[","right":"]","all":true,"expect":[]})", "7", "c", false, false, Utf8("["), Utf8("]"), true, true, {}},
        {R"(  {"source":"c","left":"a\u0041","right_gbk":"","expect_gbk":"8130"}  )", "7", "c", false, false, Utf8("aA"), Gbk(""), false, true, {Gbk("\x81\x30")}},
        {R"({"source":"c","left":"[","right":"]","all":false,"expect_gbk":null})", "7", "c", false, false, Utf8("["), Utf8("]"), false, false, {}},
    };
    for (const Row& row : rows) {
        TestCase c;
        std::string reason;
        ASSERT_TRUE(app::ParseCaseLine(row.line, 7, CaseUse::kTest, &c, &reason)) << row.line << ": " << reason;
        EXPECT_EQ(c.line, 7u);
        EXPECT_EQ(c.name, row.name) << row.line;
        EXPECT_EQ(c.source, row.source) << row.line;
        EXPECT_EQ(c.sourceGbk, row.sourceGbk) << row.line;
        EXPECT_EQ(c.url, row.url) << row.line;
        EXPECT_EQ(c.left, row.left) << row.line;
        EXPECT_EQ(c.right, row.right) << row.line;
        EXPECT_EQ(c.all, row.all) << row.line;
        EXPECT_EQ(c.found, row.found) << row.line;
        EXPECT_EQ(c.expect, row.expect) << row.line;
    }
}

TEST(CaseFile, MalformedLinesSayWhy)
{
    const std::pair<const char*, const char*> rows[] = {
        {R"({"source":"a","left":"[","right":"]","expect":"x","colour":1})", "unknown field \"colour\""},
        {R"({"source":"a","left":"[","right":"]","expct":"x"})", "unknown field \"expct\" (did you mean \"expect\"?)"},
        {R"({"source":"a","left":"[","left_gbk":"5b","right":"]","expect":"x"})", "both left and left_gbk: give one"},
        {R"({"source":"a","left":"[","right":"]","expect":"x","expect_gbk":"78"})", "both expect and expect_gbk"},
        {R"({"source":"a","left":"[","right":"]","expect":"x","left":"("})", "field \"left\" given twice"},
        {R"({"source":"a","left_gbk":"5","right":"]","expect":"x"})", "left_gbk: hex needs an even number of digits"},
        {R"({"source":"a","left_gbk":"5b 5d","right":"]","expect":"x"})", "left_gbk: hex needs an even number"},
        {R"({"source":"a","left_gbk":"zz","right":"]","expect":"x"})", "left_gbk: not hex digits"},
        {R"({"source":"a","left":"[","right":"]"})", "no expect (or expect_gbk)"},
        {R"({"left":"[","right":"]","expect":"x"})", "no source"},
        {R"({"source":"","left":"[","right":"]","expect":"x"})", "source must be a text that is not empty"},
        {R"({"source":"a","right":"]","expect":"x"})", "no left text (left or left_gbk)"},
        {R"({"source":"a","left":"[","expect":"x"})", "no right text (right or right_gbk)"},
        {R"({"source":"a","left":1,"right":"]","expect":"x"})", "left must be a text"},
        {R"({"source":"a","left":"[","right":"]","expect":["x"]})", "an array needs \"all\": true"},
        {R"({"source":"a","left":"[","right":"]","all":true,"expect":"x"})", "is an array of every middle text"},
        {R"({"source":"a","left":"[","right":"]","all":true,"expect":["x",2]})", "expect[1] must be a text"},
        {R"({"source":"a","left":"","right":"]","all":true,"expect":[]})", "needs a left and a right text that are not"},
        {R"({"source":"a","left":"[","right":"]","all":"yes","expect":[]})", "all must be true or false"},
        {R"({"source":"a","source_gbk":1,"left":"[","right":"]","expect":"x"})", "source_gbk must be true or false"},
        {R"({"source":"http://e.org/","source_gbk":true,"left":"[","right":"]","expect":"x"})", "source_gbk is for a file"},
        {R"({"source":"a","left":"\u0000","right":"]","expect":"x"})", "left holds a zero byte"},
        {R"({"source":"a","left":"[","right":"]","expect_gbk":"6100"})", "expect_gbk holds a zero byte"},
        {R"({"name":"","source":"a","left":"[","right":"]","expect":"x"})", "name must be a text that is not empty"},
        {R"(["source","a"])", "a case is a JSON object, not array"},
        {R"("just text")", "a case is a JSON object, not string"},
        {R"({"source":"a",)", "not JSON: "},
        {"{\"source\":\"a\xff\"}", "not JSON: "},
        {R"({"source":"a","left":"\ud800","right":"]","expect":"x"})", "not JSON: "},
        {R"({"source":"a"} {"source":"b"})", "not JSON: "},
    };
    for (const auto& [line, why] : rows) {
        TestCase c;
        std::string reason;
        EXPECT_FALSE(app::ParseCaseLine(line, 1, CaseUse::kTest, &c, &reason)) << line;
        EXPECT_NE(reason.find(why), std::string::npos) << line << "\n  reason: " << reason;
    }
}

TEST(CaseFile, SuggestionsNeedASourceAndOneTextAndIgnoreTheRule)
{
    const std::pair<const char*, const char*> rows[] = {
        {R"({"source":"a","expect":"x"})", ""},
        {R"({"source":"a","left":1,"left_gbk":"zz","expect_gbk":"78"})", ""},
        {R"({"source":"a","expect":null})", "not null"},
        {R"({"source":"a","all":true,"expect":["x"]})", "not \"all\""},
        {R"({"expect":"x"})", "no source"},
        {R"({"source":"a","expect":"x","hint":"y"})", "unknown field \"hint\""},
    };
    for (const auto& [line, why] : rows) {
        TestCase c;
        std::string reason;
        EXPECT_EQ(app::ParseCaseLine(line, 1, CaseUse::kSuggest, &c, &reason), *why == 0) << line << ": " << reason;
        EXPECT_NE(reason.find(why), std::string::npos) << line << ": " << reason;
    }
}

TEST(CaseFile, AFileSkipsBlankLinesAndNamesEveryMalformedOne)
{
    const std::string contents = "\xef\xbb\xbf{\"source\":\"a\",\"left\":\"[\",\"right\":\"]\",\"expect\":\"x\"}\r\n"
                                 "\n"
                                 "  \t\r\n"
                                 "{\"source\":\"a\"}\n"
                                 "{\"source\":\"b\",\"left\":\"[\",\"right\":\"]\",\"expect\":null}\n"
                                 "nonsense";
    std::vector<TestCase> cases;
    std::vector<app::CaseLineError> errors;
    app::ParseCaseFile(contents, CaseUse::kTest, &cases, &errors);
    ASSERT_EQ(cases.size(), 2u);
    EXPECT_EQ(cases[0].line, 1u);
    EXPECT_EQ(cases[0].name, "1");
    EXPECT_EQ(cases[1].line, 5u);
    EXPECT_EQ(cases[1].source, "b");
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].line, 4u);
    EXPECT_EQ(errors[1].line, 6u);
}

TEST(CaseFile, HexBothWays)
{
    std::string bytes;
    EXPECT_TRUE(app::DecodeHex("00ffA1b2", &bytes));
    EXPECT_EQ(bytes, std::string("\x00\xff\xa1\xb2", 4));
    EXPECT_EQ(app::EncodeHex(bytes), "00ffa1b2");
    EXPECT_TRUE(app::DecodeHex("", &bytes));
    EXPECT_EQ(bytes, "");
    for (const char* bad : {"0", "0g", "-1", " 0a", "0x0a"})
        EXPECT_FALSE(app::DecodeHex(bad, &bytes)) << bad;
}

TEST(CaseFile, ARewrittenLineKeepsItsFieldsOrderAndSpacing)
{
    struct Row {
        const char* line;
        bool all;
        app::NewExpectation e;
        const char* out;
    };
    const Row rows[] = {
        {R"({"name":"t","expect":"old","source":"a","left":"[","right":"]"})", false, {true, {"new"}, false}, R"({"name":"t","expect":"new","source":"a","left":"[","right":"]"})"},
        {R"(  {"source": "a", "left": "[", "right": "]", "expect": "old"} )", false, {false, {}, false}, R"(  {"source": "a", "left": "[", "right": "]", "expect": null} )"},
        {R"({"source":"a","expect":"old","left":"[","right":"]"})", false, {true, {"\xff\x30"}, true}, R"({"source":"a","expect_gbk":"ff30","left":"[","right":"]"})"},
        {R"({"source":"a","expect_gbk":"ff","left":"中","right":"]"})", false, {true, {"中\"\\"}, false}, R"({"source":"a","expect":"中\"\\","left":"中","right":"]"})"},
        {R"({"source":"a","left":"[","right":"]","all":true,"expect":["x"]})", true, {true, {"a", "b"}, false}, R"({"source":"a","left":"[","right":"]","all":true,"expect":["a","b"]})"},
        {R"({"source":"a","left":"[","right":"]","all":true,"expect":["x"]})", true, {true, {"a", "\x81"}, true}, R"({"source":"a","left":"[","right":"]","all":true,"expect_gbk":["61","81"]})"},
        {R"({"source":"a","left":"[","right":"]","all":true,"expect":["x"]})", true, {true, {}, false}, R"({"source":"a","left":"[","right":"]","all":true,"expect":[]})"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(app::RewriteExpectation(row.line, row.all, row.e), row.out) << row.line;
}

// A line written for a new case (as the window saves one) reads back as the
// same case: each text in its own form, source_gbk only when set.
TEST(CaseFile, ANewLineReadsBackAsTheSameCase)
{
    struct Row {
        TestCase c;
        app::NewExpectation e;
        const char* out;
    };
    const auto make = [](std::string name, std::string source, bool gbk, CaseText left, CaseText right) {
        TestCase c;
        c.name = std::move(name);
        c.source = std::move(source);
        c.sourceGbk = gbk;
        c.left = std::move(left);
        c.right = std::move(right);
        return c;
    };
    const Row rows[] = {
        {make("", "https://example.org/", false, Utf8("<h1>"), Utf8("</h1>")), {true, {"标题"}, false}, R"({"source": "https://example.org/", "left": "<h1>", "right": "</h1>", "expect": "标题"})"},
        {make("n", "pages/x.txt", true, Gbk("\xd6\xd0"), Utf8("\"\n")), {false, {}, false}, R"({"name": "n", "source": "pages/x.txt", "source_gbk": true, "left_gbk": "d6d0", "right": "\"\n", "expect": null})"},
        {make("", "p.txt", true, Utf8(""), Utf8("")), {true, {"\xff\xff"}, true}, R"({"source": "p.txt", "source_gbk": true, "left": "", "right": "", "expect_gbk": "ffff"})"},
    };
    for (const Row& row : rows) {
        const std::string line = app::NewCaseLine(row.c, row.e);
        EXPECT_EQ(line, row.out);
        TestCase back;
        std::string reason;
        ASSERT_TRUE(app::ParseCaseLine(line, 7, CaseUse::kTest, &back, &reason)) << reason;
        EXPECT_EQ(back.source, row.c.source);
        EXPECT_EQ(back.sourceGbk, row.c.sourceGbk);
        EXPECT_EQ(back.left, row.c.left);
        EXPECT_EQ(back.right, row.c.right);
        EXPECT_EQ(back.found, row.e.found);
        EXPECT_EQ(back.name, row.c.name.empty() ? "7" : row.c.name);
    }
}

} // namespace
