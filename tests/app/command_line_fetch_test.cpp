// fetch in the command-line mode, run as a separate process against the
// tests' own server.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>

#include "support/http_test_support.h"
#include "support/run_tool.h"

namespace {

namespace httptest = mt::httptest;
using httptest::Reply;
using mt::test::RunTool;
using mt::test::ToolRun;
using mt::test::ToolStreams;

ToolRun Fetch(const httptest::TestServer& server, const std::vector<std::string>& options,
              const ToolStreams& streams = {})
{
    std::vector<std::string> args{"fetch"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(server.Url("/"));
    return RunTool(args, "", streams);
}

// A warning about the page, behind "middletext: URL: " (the loops add that).
const std::string kWarning = "warning: ";

std::string AboutUrl(const std::string& url, const std::string& message)
{
    std::string lines;
    for (size_t at = 0; at < message.size();) {
        const size_t end = message.find('\n', at);
        lines += "middletext: " + url + ": " + message.substr(at, end + 1 - at);
        at = end + 1;
    }
    return lines;
}

TEST(CommandLineFetch, TheUrlChecksAreMessagesAndAPageNotReadIsStatusSix)
{
    const auto empty = RunTool({"fetch", ""});
    EXPECT_EQ(empty.err, "middletext: the URL is empty\n");
    EXPECT_EQ(empty.status, 1);
    auto bad = RunTool({"fetch", "example.com"});
    EXPECT_EQ(bad.err, "middletext: example.com: not an http:// or https:// URL\n");
    EXPECT_EQ(bad.status, 1);
    const std::string dead = "http://127.0.0.1:" + std::to_string(httptest::DeadPort()) + "/";
    auto unreachable = RunTool({"fetch", dead});
    EXPECT_EQ(unreachable.err, "middletext: " + dead + ": could not read the page (无法连接到服务器)\n");
    EXPECT_EQ(unreachable.status, 6);
    auto noHost = RunTool({"fetch", "http://"});
    EXPECT_EQ(noHost.err, "middletext: http://: could not read the page (网址无法读取)\n");
    EXPECT_EQ(noHost.status, 6);
}

struct FetchCase {
    const char* name;
    std::vector<std::string> options;
    std::string reply;
    int holdMilliseconds;
    std::string out, err;
    int status;
};

TEST(CommandLineFetch, PrintsWhatTheWindowWouldShowAndWarnsOfAnEarlyEndOrAnErrorStatus)
{
    const std::string utf8 = "Content-Type: text/html; charset=utf-8\r\n";
    const std::string big5 = "<meta charset=big5>\xa4\xa4\xa4\xe5\xbb\xf9\xae\xe6";
    const std::string early = kWarning + "the page ended early ";
    const std::string answered = kWarning + "the server answered ";
    const FetchCase cases[] = {
        {"UTF-8 as it came", {}, Reply("200 OK", utf8, "中文价格"), 0, "中文价格", "", 0},
        {"UTF-8 to its first zero byte", {}, Reply("200 OK", utf8, std::string("a中\0b", 6)), 0, "a中", "", 0},
        {"UTF-8 as GB18030", {"--gbk"}, Reply("200 OK", utf8, "中"), 0, "\xd6\xd0", "", 0},
        {"declared UTF-8 but GBK", {}, Reply("200 OK", utf8, "\xd6\xd0"), 0, "中", "", 0},
        {"not GB18030 either", {}, Reply("200 OK", "", "a\x81<b\xd6\xd0\xff"), 0, "a\xef\xbf\xbd"
                                                                                  "b中\xef\xbf\xbd",
         "",
         0},
        {"Big5", {}, Reply("200 OK", "", big5), 0, "<meta charset=big5>中文價格", "", 0},
        {"raw", {"--raw"}, Reply("200 OK", "", big5), 0, big5, "", 0},
        {"an empty page", {}, Reply("200 OK", "", ""), 0, "", "", 0},
        {"cut short", {}, Reply("200 OK", utf8 + "Content-Length: 99\r\n", "a中\xe4\xb8"), 0, "a中", early + "(连接中断)\n", 4},
        {"cut short, silent", {"-s"}, Reply("200 OK", utf8 + "Content-Length: 99\r\n", "a中"), 0, "a中", early + "(连接中断)\n", 4},
        {"time limit", {"--max-time", "1"}, Reply("200 OK", utf8 + "Content-Length: 99\r\n", "a中"), 5000, "a中", early + "(超过了限定的读取时间)\n", 4},
        {"the longest time limit", {"--max-time=2147483"}, Reply("200 OK", "", "ok"), 0, "ok", "", 0},
        // An error answer: the body, then the status on standard error.
        {"not found", {}, Reply("404 Not Found", "", "gone"), 0, "gone", answered + "404 Not Found\n", 5},
        {"not found, raw", {"--raw"}, Reply("404 Not Found", "", "gone"), 0, "gone", answered + "404 Not Found\n", 5},
        {"a status without its phrase", {}, Reply("500", "", "x"), 0, "x", answered + "500 Internal Server Error\n", 5},
        {"the server's own phrase", {}, Reply("503 Come Back Later", "", ""), 0, "", answered + "503 Come Back Later\n", 5},
        {"an error answer cut short", {}, Reply("502 Bad Gateway", "Content-Length: 99\r\n", "x"), 0, "x", early + "(连接中断)\n" + answered + "502 Bad Gateway\n", 5},
    };
    for (const auto& c : cases) {
        httptest::TestServer server([&](const std::string&) { return httptest::CannedReply{c.reply, c.holdMilliseconds}; });
        const auto run = Fetch(server, c.options);
        EXPECT_EQ(run.out, c.out) << c.name;
        EXPECT_EQ(run.err, AboutUrl(server.Url("/"), c.err)) << c.name;
        EXPECT_EQ(run.status, c.status) << c.name;
    }
}

struct RequestCase {
    std::vector<std::string> options;
    std::vector<std::string> lines; // each in the request head, as "\r\n<line>\r\n"
};

TEST(CommandLineFetch, RequestOptionsReachTheServer)
{
    const RequestCase cases[] = {
        {{}, {"User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)"}},
        {{"-A", "Scraper/2.0 (+https://example.org)"}, {"User-Agent: Scraper/2.0 (+https://example.org)"}},
        {{"--user-agent=Scraper/2.0"}, {"User-Agent: Scraper/2.0"}},
        {{"-H", "X-One: 1", "--header", "X-Two: two words", "-HX-Three: 3"}, {"X-One: 1", "X-Two: two words", "X-Three: 3"}},
        {{"--header=Accept-Language: zh-CN"}, {"Accept-Language: zh-CN"}},
        {{"-b", "a=1; b=2"}, {"Cookie: a=1; b=2"}},
        {{"--cookie=session=abc", "-A", "x"}, {"Cookie: session=abc", "User-Agent: x"}},
    };
    for (const auto& c : cases) {
        httptest::TestServer server([](const std::string&) { return httptest::CannedReply{Reply("200 OK", "", "ok")}; });
        const auto run = Fetch(server, c.options);
        EXPECT_EQ(run.out, "ok") << testing::PrintToString(c.options);
        EXPECT_EQ(run.status, 0) << testing::PrintToString(c.options) << run.err;
        const auto requests = server.Requests();
        ASSERT_EQ(requests.size(), 1u) << testing::PrintToString(c.options);
        for (const std::string& line : c.lines)
            EXPECT_NE(requests[0].find("\r\n" + line + "\r\n"), std::string::npos) << line << "\n"
                                                                                   << requests[0];
    }
}

TEST(CommandLineFetch, RetryTriesATransientFailureAgain)
{
    struct RetryCase {
        std::vector<std::string> options;
        std::string firstStatus;
        std::string out;
        int status;
        size_t requests;
    };
    const RetryCase cases[] = {
        {{"--retry", "2"}, "503 Service Unavailable", "ok", 0, 2},
        {{"--retry=1"}, "500 Internal Server Error", "ok", 0, 2},
        {{}, "503 Service Unavailable", "busy", 5, 1},
        {{"--retry", "0"}, "503 Service Unavailable", "busy", 5, 1},
        {{"--retry", "2"}, "404 Not Found", "busy", 5, 1}, // not a passing failure
    };
    for (const auto& c : cases) {
        std::atomic<int> answered{0};
        httptest::TestServer server([&](const std::string&) {
            return httptest::CannedReply{answered++ == 0 ? Reply(c.firstStatus, "Retry-After: 0\r\n", "busy")
                                                         : Reply("200 OK", "", "ok")};
        });
        const auto run = Fetch(server, c.options);
        EXPECT_EQ(run.out, c.out) << testing::PrintToString(c.options) << c.firstStatus;
        EXPECT_EQ(run.status, c.status) << testing::PrintToString(c.options) << c.firstStatus << run.err;
        EXPECT_EQ(server.Requests().size(), c.requests) << testing::PrintToString(c.options) << c.firstStatus;
    }
}

// On a terminal a progress line is drawn while the page arrives, and erased
// before anything else is written; -s leaves it out.
TEST(CommandLineFetch, ProgressOnATerminal)
{
    // Half the announced length, then a pause before the connection closes.
    httptest::TestServer server([](const std::string&) {
        return httptest::CannedReply{Reply("200 OK", "Content-Length: 200\r\n", std::string(100, 'x')), 1500};
    });
    ToolStreams terminal;
    terminal.errTerminal = true;
    const std::string warning = AboutUrl(server.Url("/"), kWarning + "the page ended early (连接中断)\n");
    const auto shown = Fetch(server, {}, terminal);
    EXPECT_EQ(shown.out, std::string(100, 'x'));
    EXPECT_EQ(shown.status, 4);
    const size_t at = shown.err.find(warning);
    ASSERT_NE(at, std::string::npos) << shown.err;
    EXPECT_EQ(at + warning.size(), shown.err.size());
    const std::string progress = shown.err.substr(0, at);
    EXPECT_NE(progress.find("\r100 B of 200 B (50%)"), std::string::npos) << progress;
    // Blanked from its start, and the cursor back there.
    ASSERT_GE(progress.size(), 2u);
    EXPECT_EQ(progress.back(), '\r');
    const size_t blank = progress.rfind('\r', progress.size() - 2);
    ASSERT_NE(blank, std::string::npos);
    const std::string spaces = progress.substr(blank + 1, progress.size() - blank - 2);
    EXPECT_EQ(spaces, std::string(spaces.size(), ' '));
    EXPECT_GE(spaces.size(), std::string("100 B of 200 B (50%)").size());
    for (const char* silent : {"-s", "--silent"}) {
        const auto quiet = Fetch(server, {silent}, terminal);
        EXPECT_EQ(quiet.err, warning) << silent;
        EXPECT_EQ(quiet.status, 4) << silent;
    }
}

struct CurlCase {
    std::vector<std::string> options;
    std::string path;
    std::string out, err; // err behind "middletext: URL: ", line by line
    int status;
};

// curl's names: redirects, -f, -w, and the request's compression.
TEST(CommandLineFetch, CurlsNamesMeanWhatTheyMeanInCurl)
{
    httptest::TestServer server(httptest::NetworkOptionPages());
    const CurlCase cases[] = {
        {{}, "/hop/2", "end", "", 0},
        {{"--max-redirs", "2"}, "/hop/2", "end", "", 0},
        // None followed: the redirect's own answer is the page.
        {{"--max-redirs", "0"}, "/hop/2", "moved 2", "", 0},
        {{"--max-redirs=1"}, "/hop/2", "", "could not read the page (重定向次数过多)\n", 6},
        {{"-f"}, "/status/404", "", "the server answered 404 Not Found\n", 5},
        {{"--fail"}, "/status/503", "", "the server answered 503 Service Unavailable\n", 5},
        {{"-f"}, "/ok", "ok", "", 0},
        {{}, "/status/404", "status 404", "warning: the server answered 404 Not Found\n", 5},
        {{"-w", "%{http_code} %{size_download} %{content_type} %{num_redirects} %{exitcode}\\n"}, "/hop/1", "end200 3 text/plain 1 0\n", "", 0},
        {{"-w", "[%{response_code}|%{errorcode}|%{exitcode}]"}, "/status/404", "status 404[404|http_status|5]", "warning: the server answered 404 Not Found\n", 5},
        {{"-f", "--write-out=%{http_code}%%\\t"}, "/status/500", "500%\t", "the server answered 500 Internal Server Error\n", 5},
        {{"-s", "-w", "%{url_effective}"}, "/hop/1", "end" + server.Url("/hop/0"), "", 0},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"fetch"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(server.Url(c.path));
        const auto run = RunTool(args);
        EXPECT_EQ(run.out, c.out) << testing::PrintToString(args);
        EXPECT_EQ(run.err, AboutUrl(server.Url(c.path), c.err)) << testing::PrintToString(args);
        EXPECT_EQ(run.status, c.status) << testing::PrintToString(args);
    }
    // %{time_total}: seconds with six decimals; a page not read: 000.
    const auto timed = RunTool({"fetch", "-w", " %{time_total}", server.Url("/ok")});
    // "ok SECONDS.MICROSECONDS"
    const size_t dot = timed.out.find('.');
    const auto digits = [](std::string_view d) {
        return !d.empty() && d.find_first_not_of("0123456789") == std::string_view::npos;
    };
    EXPECT_TRUE(timed.out.rfind("ok ", 0) == 0 && dot != std::string::npos &&
                digits(std::string_view(timed.out).substr(3, dot - 3)) &&
                digits(std::string_view(timed.out).substr(dot + 1)) && timed.out.size() == dot + 7)
        << timed.out;
    const std::string dead = "http://127.0.0.1:" + std::to_string(httptest::DeadPort()) + "/";
    const auto failed = RunTool({"fetch", "-w", "%{http_code} %{errorcode} %{exitcode}", dead});
    EXPECT_EQ(failed.out, "000 connect 6");
    // --no-compressed asks for none; the options go on extract and find too.
    const auto asked = RunTool({"fetch", server.Url("/echo")});
    EXPECT_NE(asked.out.find("\r\nAccept-Encoding: "), std::string::npos) << asked.out;
    const auto plain = RunTool({"fetch", "--no-compressed", server.Url("/echo")});
    EXPECT_EQ(plain.out.find("Accept-Encoding"), std::string::npos) << plain.out;
    const auto unfollowed = RunTool({"find", "--max-redirs", "0", "--no-compressed", "-k", "--text", "moved", server.Url("/hop/3")});
    EXPECT_EQ(unfollowed.out, "1\n");
    EXPECT_EQ(unfollowed.status, 0) << unfollowed.err;
}

// Several URLs, one after another; the n-th -o takes the n-th page, the
// rest go to standard output; -D gathers every header line, redirects' too.
TEST(CommandLineFetch, SeveralUrlsOutputFilesAndTheHeaderDump)
{
    httptest::TestServer server(httptest::NetworkOptionPages());
    char name[] = "/tmp/mt-fetch-files-XXXXXX";
    const std::filesystem::path dir = mkdtemp(name);
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    const auto read = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const std::string ok = server.Url("/ok"), end = server.Url("/hop/0"), gone = server.Url("/status/404");
    const auto run = RunTool({"fetch", "-o", "first.txt", ok, end, "-o", "-", "-o", "third.txt", gone, "-D", "head.txt",
                              server.Url("/hop/1")});
    EXPECT_EQ(run.status, 5);
    EXPECT_EQ(run.out, "end"
                       "end"); // the second page, then the fourth
    EXPECT_EQ(run.err, AboutUrl(gone, "warning: the server answered 404 Not Found\n"));
    EXPECT_EQ(read("first.txt"), "ok");
    EXPECT_EQ(read("third.txt"), "status 404");
    const std::string head = read("head.txt");
    // The last piece is two responses' header lines, joined across lines.
    const char* expected[] = {"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n", "HTTP/1.0 404\r\n",
                              ("HTTP/1.0 302 Found\r\nContent-Type: text/plain\r\n"
                               "Location: /hop/0\r\n\r\nHTTP/1.0 200 OK\r\n")};
    size_t at = 0;
    for (const char* piece : expected) {
        const size_t found = head.find(piece, at);
        EXPECT_NE(found, std::string::npos) << piece << "\n"
                                            << head;
        at = found == std::string::npos ? at : found;
    }
    // -D - writes the header lines in front of the page.
    const auto dumped = RunTool({"fetch", "-D", "-", ok});
    EXPECT_EQ(dumped.out, "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nok");
    // A file that cannot be written: exit status 3, named.
    const auto unwritable = RunTool({"fetch", "-o", "no/such/dir/x", ok});
    EXPECT_EQ(unwritable.err, "middletext: --output no/such/dir/x: No such file or directory\n");
    EXPECT_EQ(unwritable.status, 3);
    std::filesystem::current_path(here);
    std::filesystem::remove_all(dir);
}

// -k and --cacert for a server whose certificate no system store trusts;
// -x reads through a proxy whatever the environment says.
TEST(CommandLineFetch, CertificatesAndAProxyOfTheCommandLine)
{
    httptest::TlsFiles ours("Ours");
    ASSERT_TRUE(ours.ok);
    httptest::TestServer tls([](const std::string&) { return httptest::CannedReply{Reply("200 OK", "", "secret")}; }, &ours);
    const std::vector<std::string> noEnvironmentCa = {"SSL_CERT_FILE=", "CURL_CA_BUNDLE="};
    const auto refused = RunTool({"fetch", tls.Url("/")}, "", noEnvironmentCa);
    EXPECT_EQ(refused.status, 6);
    EXPECT_EQ(refused.out, "");
    const auto insecure = RunTool({"fetch", "-k", tls.Url("/")}, "", noEnvironmentCa);
    EXPECT_EQ(insecure.out, "secret");
    EXPECT_EQ(insecure.status, 0) << insecure.err;
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(ours.dir);
    const auto trusted = RunTool({"fetch", "--cacert", "ca.pem", tls.Url("/")}, "", noEnvironmentCa);
    std::filesystem::current_path(here);
    EXPECT_EQ(trusted.out, "secret");
    EXPECT_EQ(trusted.status, 0) << trusted.err;

    httptest::TestServer proxy([](const std::string&) { return httptest::CannedReply{Reply("200 OK", "", "via proxy")}; });
    const std::string proxyUrl = "http://127.0.0.1:" + std::to_string(proxy.port());
    const std::vector<std::string> environment = {"http_proxy=http://127.0.0.1:" + std::to_string(httptest::DeadPort()),
                                                  "no_proxy=", "NO_PROXY="};
    for (const char* option : {"-x", "--proxy"}) {
        const auto run = RunTool({"fetch", option, proxyUrl, "http://pages.invalid/a?b=1"}, "", environment);
        EXPECT_EQ(run.out, "via proxy") << option << run.err;
        EXPECT_EQ(run.status, 0) << option;
    }
    const auto requests = proxy.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].rfind("GET http://pages.invalid/a?b=1 HTTP/1.0\r\n", 0), 0u) << requests[0];
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

} // namespace
