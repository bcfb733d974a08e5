// The command line's messages over a table of failures, run as a separate
// process against the tests' own servers: every line on standard error
// begins with the program's name and the source, and every JSON object of
// a failure carries its stable error code.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/http_test_support.h"
#include "support/run_tool.h"

namespace {

namespace fs = std::filesystem;
namespace httptest = mt::httptest;
using httptest::CannedReply;
using httptest::Reply;
using mt::test::RunTool;

struct FailureCase {
    std::string source;
    std::string error;   // the object's "error"
    std::string status;  // the object's "status"
    std::string message; // the line on standard error, behind "middletext: SOURCE: "
};

// The value of a field in a flat JSON object of ours ("" when absent).
std::string Field(const std::string& line, const std::string& name)
{
    const std::string key = "\"" + name + "\":";
    const size_t at = line.find(key);
    if (at == std::string::npos)
        return {};
    const size_t start = at + key.size();
    if (line[start] != '"')
        return line.substr(start, line.find_first_of(",}", start) - start);
    return line.substr(start + 1, line.find('"', start + 1) - start - 1);
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(CliDiagnostics, EveryFailureIsNamedAndCarriesItsCode)
{
    httptest::TestServer server([](const std::string& head) {
        const auto has = [&head](const char* path) { return head.find(std::string("GET ") + path + " ") == 0; };
        if (has("/early"))
            return CannedReply{Reply("200 OK", "Content-Length: 99\r\n", "[cut")};
        if (has("/slow"))
            return CannedReply{Reply("200 OK", "Content-Length: 99\r\n", "[slow"), 4000};
        if (has("/gone"))
            return CannedReply{Reply("404 Not Found", "", "[gone]")};
        if (has("/hops"))
            return CannedReply{Reply("302 Found", "Location: /hops\r\n", "")};
        if (has("/badgzip"))
            return CannedReply{Reply("200 OK", "Content-Encoding: gzip\r\n", "not gzip")};
        return CannedReply{Reply("200 OK", "", "[ok]")};
    },
                                nullptr, true);
    httptest::TlsFiles ours("Ours");
    ASSERT_TRUE(ours.ok);
    httptest::TestServer tls([](const std::string&) { return CannedReply{Reply("200 OK", "", "[tls]")}; }, &ours);
    char name[] = "/tmp/mt-diagnostics-XXXXXX";
    const fs::path dir = mkdtemp(name);
    std::ofstream(dir / "bad.txt", std::ios::binary) << "[\xff]";
    fs::create_directory(dir / "sub");
    const std::string dead = "http://127.0.0.1:" + std::to_string(httptest::DeadPort()) + "/";
    const std::string d = dir.string();
    const FailureCase cases[] = {
        {dead, "connect", "error", "could not read the page (无法连接到服务器)"},
        {"http://[/", "bad_url", "error", "could not read the page (网址无法读取)"},
        {server.Url("/hops"), "redirect", "error", "could not read the page (重定向次数过多)"},
        {server.Url("/early"), "ended_early", "ended_early", "warning: the page ended early (连接中断)"},
        {server.Url("/slow"), "timeout", "ended_early", "warning: the page ended early (超过了限定的读取时间)"},
        {server.Url("/gone"), "http_status", "found", "warning: the server answered 404 Not Found"},
        {server.Url("/badgzip"), "decode", "error", "could not read the page (网页的压缩数据有误，无法解压)"},
        {tls.Url("/"), "tls", "error", ""}, // the TLS library's words vary
        {d + "/missing.txt", "no_such_file", "error", "No such file or directory"},
        {d + "/sub", "read", "error", "Is a directory"},
        {d + "/bad.txt", "decode", "error", "not valid UTF-8 (try --gbk for GB18030)"},
    };
    std::vector<std::string> args{"extract", "--json", "--max-time", "1", "--max-redirs", "3", "--left=[", "--right=]"};
    for (const FailureCase& c : cases)
        args.push_back(c.source);
    const auto run = RunTool(args, "", {"SSL_CERT_FILE=", "CURL_CA_BUNDLE="});
    EXPECT_EQ(run.status, 6);
    const std::vector<std::string> objects = Lines(run.out), messages = Lines(run.err);
    ASSERT_EQ(objects.size(), std::size(cases)) << run.out;
    ASSERT_EQ(messages.size(), std::size(cases)) << run.err;
    for (size_t k = 0; k < std::size(cases); ++k) {
        const FailureCase& c = cases[k];
        EXPECT_EQ(Field(objects[k], "source"), c.source) << objects[k];
        EXPECT_EQ(Field(objects[k], "error"), c.error) << objects[k];
        EXPECT_EQ(Field(objects[k], "status"), c.status) << objects[k];
        EXPECT_NE(Field(objects[k], "reason"), "") << objects[k];
        const std::string head = "middletext: " + c.source + ": ";
        EXPECT_EQ(messages[k].rfind(head, 0), 0u) << messages[k];
        if (!c.message.empty()) {
            EXPECT_EQ(messages[k], head + c.message);
        }
    }
    // The same failures without --json: the same lines, and the window's
    // not-found messages of the pages cut short, each behind its source.
    args.erase(args.begin() + 1);
    const auto plain = RunTool(args, "", {"SSL_CERT_FILE=", "CURL_CA_BUNDLE="});
    for (const std::string& line : messages)
        EXPECT_NE(plain.err.find(line + "\n"), std::string::npos) << line;
    for (const std::string& line : Lines(plain.err)) {
        const bool named = std::any_of(std::begin(cases), std::end(cases), [&line](const FailureCase& c) {
            return line.rfind("middletext: " + c.source + ": ", 0) == 0;
        });
        EXPECT_TRUE(named) << line;
    }
    fs::remove_all(dir);
}

// Messages without a source: the command line's and fetch's checks.
TEST(CliDiagnostics, MessagesWithoutASourceBeginWithTheName)
{
    const std::vector<std::vector<std::string>> runs = {
        {"extract", "--left", "\xff", "--right", "b"},
        {"fetch", ""},
        {"find", "--text", "x", "-m", "0"},
        {"find", "--text", "请输入欲查找的中间文本"},
        {"extract", "--all", "--left=", "--right=]"},
    };
    for (const auto& args : runs) {
        const auto run = RunTool(args, "x");
        ASSERT_FALSE(run.err.empty()) << testing::PrintToString(args);
        for (const std::string& line : Lines(run.err)) {
            if (line != "Try 'middletext --help'.") {
                EXPECT_EQ(line.rfind("middletext: ", 0), 0u) << line;
            }
        }
    }
}

} // namespace
