#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "net/http_client.h"
#include "support/http_test_support.h"
#include "support/row_name.h"

namespace mt {
namespace {

using httptest::CannedReply;
using httptest::Reply;
using httptest::TestServer;

std::string Contents(const GrowBuffer& b) { return {reinterpret_cast<const char*>(b.data()), static_cast<size_t>(b.size())}; }

RequestOptions Retries(int n)
{
    RequestOptions options;
    options.retries = n;
    return options;
}

CannedReply Ok(const std::string&) { return {Reply("200 OK", "", "seen")}; }

class HttpClientTest : public testing::Test {
protected:
    void SetUp() override
    {
        httptest::InstallHeapService();
        for (const char* name : {"CURL_CA_BUNDLE", "SSL_CERT_FILE"})
            unsetenv(name);
    }
    void TearDown() override { TheHttpClient().setLimits(HttpLimits{}); }

    // Reads `url` through the program's client; the body, and the flag in *complete.
    std::string read(const std::string& url, bool* complete = nullptr)
    {
        GrowBuffer out;
        bool flag = TheHttpClient().read(url.c_str(), out);
        if (complete)
            *complete = flag;
        return Contents(out);
    }
};

TEST_F(HttpClientTest, RequestIsAnHttp10GetWithoutFragment)
{
    TestServer server(Ok);
    ASSERT_EQ(read(server.Url("/page?a=1&b=%20#top")), "seen");
    std::string head = server.Requests().at(0);
    EXPECT_EQ(head.substr(0, head.find("\r\n")), "GET /page?a=1&b=%20 HTTP/1.0");
    for (const char* line : {"\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n",
                             "\r\nAccept: */*\r\n", "\r\nPragma: no-cache\r\n", "\r\nCache-Control: no-cache\r\n"})
        EXPECT_NE(head.find(line), std::string::npos) << line;
    EXPECT_EQ(head.find("Authorization"), std::string::npos);
}

TEST_F(HttpClientTest, UserInfoBecomesBasicAuthorization)
{
    TestServer server(Ok);
    std::string url = server.Url("/private");
    ASSERT_EQ(read(url.insert(7, "user:pass@")), "seen");
    EXPECT_NE(server.Requests().at(0).find("\r\nAuthorization: Basic dXNlcjpwYXNz\r\n"), std::string::npos);
}

struct BodyCase {
    const char* name;
    std::string reply, body;
};

void PrintTo(const BodyCase& c, std::ostream* out) { *out << c.name; }

std::vector<BodyCase> BodyRows()
{
    std::string big(300001, 'b');
    return {{"404", Reply("404 Not Found", "Content-Length: 11\r\n", "<h1>no</h1>"), "<h1>no</h1>"},
            {"500", Reply("500 Oops", "", "broken"), "broken"},
            {"unannounced", Reply("200 OK", "", big), big},
            {"announced", Reply("200 OK", "Content-Length: 300001\r\n", big), big},
            {"empty", Reply("204 No Content", "", ""), ""}};
}

class HttpClientBody : public HttpClientTest, public testing::WithParamInterface<BodyCase> {};

TEST_P(HttpClientBody, IsReadWhateverTheStatusAndFraming)
{
    const BodyCase& c = GetParam();
    TestServer server([&](const std::string&) { return CannedReply{c.reply}; });
    bool complete = false;
    EXPECT_EQ(read(server.Url("/"), &complete), c.body);
    EXPECT_TRUE(complete);
}

INSTANTIATE_TEST_SUITE_P(, HttpClientBody, testing::ValuesIn(BodyRows()), test::ByRowName());

TEST_F(HttpClientTest, FailureMidwayKeepsWhatArrived)
{
    TestServer truncated([](const std::string&) { return CannedReply{Reply("200 OK", "Content-Length: 1000\r\n", std::string(400, 't'))}; });
    TestServer stalled([](const std::string&) { return CannedReply{Reply("200 OK", "Content-Length: 100\r\n", ""), 10000}; });
    TestServer large([](const std::string&) { return CannedReply{Reply("200 OK", "", std::string(5000, 'L'))}; });
    bool complete = true;
    EXPECT_EQ(read(truncated.Url("/"), &complete), std::string(400, 't'));
    EXPECT_FALSE(complete);
    TheHttpClient().setLimits({.bodyLimit = 1000, .speedSeconds = 1});
    EXPECT_EQ(read(stalled.Url("/"), &complete), "") << "a silent server is given up";
    EXPECT_FALSE(complete);
    EXPECT_EQ(read(large.Url("/"), &complete), std::string(1000, 'L'));
    EXPECT_FALSE(complete);
    TheHttpClient().setLimits(HttpLimits{});
    TestServer huge([](const std::string&) { return CannedReply{Reply("200 OK", "", std::string(1000000, 'L'))}; });
    httptest::InstallHeapService(300000); // the buffer cannot grow beyond that
    std::string kept = read(huge.Url("/"), &complete);
    EXPECT_FALSE(complete);
    EXPECT_GT(kept.size(), 0u);
    EXPECT_EQ(kept, std::string(kept.size(), 'L'));
}

TEST_F(HttpClientTest, TheReportTellsHowTheLastRequestEnded)
{
    TestServer page([](const std::string&) {
        return CannedReply{Reply("200 OK", "Content-Type: text/html; charset=Big5\r\n", "\xa4\xa4")};
    });
    TestServer cut([](const std::string&) { return CannedReply{Reply("200 OK", "Content-Length: 9\r\n", "\xEF\xBB\xBF"
                                                                                                        "ab\xe4\xb8")}; });
    TestServer slow([](const std::string&) { return CannedReply{Reply("200 OK", "Content-Length: 9\r\n", "ab"), 10000}; });
    const TransferReport& r = TheHttpClient().last();
    read(page.Url("/"));
    EXPECT_EQ(r.outcome, TransferOutcome::kComplete);
    EXPECT_EQ(r.contentType, "text/html; charset=Big5");
    EXPECT_STREQ(r.charset, "BIG5-HKSCS");
    read(cut.Url("/"));
    EXPECT_EQ(r.outcome, TransferOutcome::kEndedEarly);
    EXPECT_EQ(r.reason, TransferReason::kBroken);
    EXPECT_EQ(r.bomLength, 3);
    EXPECT_EQ(r.cutLength, 2);
    // A cancel from another thread wakes the transfer from its wait.
    std::thread canceller([] {
        while (!TheHttpClient().busy() || TheHttpClient().receivedSoFar() < 2)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        TheHttpClient().cancel();
    });
    EXPECT_EQ(read(slow.Url("/")), "ab");
    canceller.join();
    EXPECT_EQ(r.outcome, TransferOutcome::kCancelled);
    read("ftp://127.0.0.1/");
    EXPECT_EQ(r.outcome, TransferOutcome::kFailed);
    EXPECT_EQ(r.reason, TransferReason::kBadUrl);
}

TEST_F(HttpClientTest, RedirectsFollowOnlyToWebSchemesAndAtMostTen)
{
    TestServer target(Ok);
    TestServer server([&](const std::string& head) {
        std::string where = head.find("GET /to-file") == 0   ? "file:///etc/hostname"
                            : head.find("GET /to-ftp") == 0  ? "ftp://127.0.0.1:" + std::to_string(target.port()) + "/"
                            : head.find("GET /to-http") == 0 ? target.Url("/arrived")
                                                             : "/loop";
        return CannedReply{Reply("302 Found", "Location: " + where + "\r\n", "redirect body")};
    });
    EXPECT_EQ(read(server.Url("/to-http")), "seen");
    EXPECT_EQ(target.Requests().at(0).find("GET /arrived HTTP/1.0"), 0u);
    bool complete = true;
    EXPECT_EQ(read(server.Url("/to-file"), &complete), "");
    EXPECT_FALSE(complete);
    EXPECT_EQ(read(server.Url("/to-ftp"), &complete), "");
    EXPECT_EQ(target.Requests().size(), 1u) << "no connection for the ftp redirect";
    EXPECT_EQ(read(server.Url("/loop"), &complete), "");
    EXPECT_FALSE(complete);
    EXPECT_EQ(server.Requests().size(), 3u + 11u); // the first request and ten redirects
}

TEST_F(HttpClientTest, NothingIsReadFromBadUrlsOrDeadPorts)
{
    TestServer server(Ok);
    std::string upper = server.Url("/");
    upper.replace(0, 4, "HtTp");
    EXPECT_EQ(read(upper), "seen");
    ReleaseHttpClient();
    int64_t opens = TheHttpClient().opens();
    std::string port = std::to_string(server.port());
    for (const char* url : {"", "ftp://127.0.0.1:", "file:///etc/hostname", "127.0.0.1:", "httpx://127.0.0.1:"})
        EXPECT_EQ(read(url + (*url ? port + "/" : "")), "") << url;
    GrowBuffer out;
    EXPECT_FALSE(TheHttpClient().read(nullptr, out));
    EXPECT_EQ(TheHttpClient().opens(), opens) << "no handle for URLs that are not read";
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(read("http://127.0.0.1:" + std::to_string(httptest::DeadPort()) + "/"), "");
}

TEST_F(HttpClientTest, TwoRequestsOpenTheSharedHandleOnce)
{
    TestServer server(Ok);
    ReleaseHttpClient();
    int64_t opens = TheHttpClient().opens();
    EXPECT_EQ(read(server.Url("/1")) + read(server.Url("/2")), "seenseen");
    EXPECT_EQ(TheHttpClient().opens(), opens + 1);
    ReleaseHttpClient();
    ReleaseHttpClient();
    EXPECT_EQ(read(server.Url("/3")), "seen");
    EXPECT_EQ(TheHttpClient().opens(), opens + 2);
}

// libcurl's own reading of the environment: http_proxy in lower case only,
// all_proxy for any scheme, no_proxy before both.
TEST_F(HttpClientTest, ProxiesComeFromTheEnvironment)
{
    TestServer proxy([](const std::string&) { return CannedReply{Reply("200 OK", "", "via proxy")}; });
    TestServer direct(Ok);
    const std::string viaProxy = "http://127.0.0.1:" + std::to_string(proxy.port());
    const std::string dead = "http://127.0.0.1:" + std::to_string(httptest::DeadPort());
    const struct {
        const char* name;
        std::vector<std::pair<const char*, std::string>> environment;
        std::string url, body;
    } cases[] = {
        {"http_proxy", {{"http_proxy", viaProxy}}, "http://origin.invalid/page?q=1", "via proxy"},
        {"all_proxy", {{"ALL_PROXY", viaProxy}}, "http://origin.invalid/page?q=1", "via proxy"},
        {"upper-case HTTP_PROXY is not read", {{"HTTP_PROXY", dead}}, direct.Url("/"), "seen"},
        {"no_proxy", {{"http_proxy", dead}, {"no_proxy", "127.0.0.1"}}, direct.Url("/"), "seen"},
        {"NO_PROXY", {{"ALL_PROXY", dead}, {"NO_PROXY", "*"}}, direct.Url("/"), "seen"},
    };
    for (const auto& c : cases) {
        for (const auto& [name, value] : c.environment)
            setenv(name, value.c_str(), 1);
        EXPECT_EQ(read(c.url), c.body) << c.name;
        for (const auto& [name, value] : c.environment)
            unsetenv(name);
    }
    ASSERT_EQ(proxy.Requests().size(), 2u);
    EXPECT_EQ(proxy.Requests()[0].find("GET http://origin.invalid/page?q=1 HTTP/1.0\r\n"), 0u);
}

TEST_F(HttpClientTest, StatusAndItsTextAreReported)
{
    const struct {
        std::string statusLine;
        int32_t status;
        std::string text;
    } cases[] = {
        {"404 Not Found", 404, "404 Not Found"},
        {"500 Oops", 500, "500 Oops"},
        {"404", 404, "404 Not Found"},
        {"503 ", 503, "503 Service Unavailable"},
        {"299", 299, "299"},
        {"200 \x1b[31mred", 200, "200 ?[31mred"},
    };
    const TransferReport& r = TheHttpClient().last();
    for (const auto& c : cases) {
        TestServer server([&](const std::string&) { return CannedReply{"HTTP/1.0 " + c.statusLine + "\r\n\r\nbody"}; });
        EXPECT_EQ(read(server.Url("/")), "body") << c.statusLine;
        EXPECT_EQ(r.status, c.status) << c.statusLine;
        EXPECT_EQ(r.statusText, c.text) << c.statusLine;
    }
    TestServer target(Ok);
    TestServer redirect([&](const std::string&) {
        return CannedReply{Reply("301 Moved", "Location: " + target.Url("/") + "\r\n", "")};
    });
    read(redirect.Url("/"));
    EXPECT_EQ(r.statusText, "200 OK") << "the final answer's";
    read("http://127.0.0.1:" + std::to_string(httptest::DeadPort()) + "/");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.statusText, "");
}

TEST_F(HttpClientTest, CompressedBodiesAreDecoded)
{
    const std::string page = "<p>" + std::string(100000, 'z') + "</p>";
    std::vector<std::string> encodings = {"gzip", "deflate"};
    if (httptest::HaveBrotli())
        encodings.emplace_back("br");
    for (const std::string& encoding : encodings) {
        const std::string body = httptest::Compress(page, encoding);
        ASSERT_LT(body.size(), page.size() / 10) << encoding;
        TestServer server([&](const std::string&) {
            return CannedReply{Reply("200 OK", "Content-Encoding: " + encoding + "\r\n", body)};
        });
        bool complete = false;
        EXPECT_EQ(read(server.Url("/"), &complete), page) << encoding;
        EXPECT_TRUE(complete) << encoding;
        const std::string head = server.Requests().at(0);
        EXPECT_NE(head.find("\r\nAccept-Encoding: gzip, deflate"), std::string::npos) << head;
        if (encoding == "br") {
            EXPECT_NE(head.find(", br\r\n"), std::string::npos);
        }
    }
}

// A kilobyte that inflates past the cap stops at the cap, as any large page
// does, and never asks for more memory than the cap.
TEST_F(HttpClientTest, ACompressionBombStopsAtTheCap)
{
    const std::string bomb = httptest::Compress(std::string(1 << 20, '\0'), "gzip");
    ASSERT_LE(bomb.size(), 1100u);
    TestServer server([&](const std::string&) { return CannedReply{Reply("200 OK", "Content-Encoding: gzip\r\n", bomb)}; });
    constexpr int64_t kCap = 256 << 10;
    TheHttpClient().setLimits({.bodyLimit = kCap});
    httptest::InstallHeapService(kCap + 4096); // more for the body would be refused
    bool complete = true;
    EXPECT_EQ(read(server.Url("/"), &complete).size(), static_cast<size_t>(kCap));
    EXPECT_FALSE(complete);
    EXPECT_EQ(TheHttpClient().last().outcome, TransferOutcome::kEndedEarly);
    EXPECT_EQ(TheHttpClient().last().reason, TransferReason::kTooLarge);
}

TEST_F(HttpClientTest, ABodyThatIsNotWhatItsEncodingSaysIsReported)
{
    const std::string good = httptest::Compress(std::string(200000, 'g'), "gzip");
    std::string corrupt = good;
    corrupt[corrupt.size() / 2] ^= 0x55;
    const struct {
        const char* name;
        std::string headers, body;
    } cases[] = {
        {"not gzip at all", "Content-Encoding: gzip\r\n", "plain text"},
        {"corrupt midway", "Content-Encoding: gzip\r\n", corrupt},
        {"unknown coding", "Content-Encoding: x-squeeze\r\n", "abc"},
    };
    for (const auto& c : cases) {
        TestServer server([&](const std::string&) { return CannedReply{Reply("200 OK", c.headers, c.body)}; });
        bool complete = true;
        read(server.Url("/"), &complete);
        EXPECT_FALSE(complete) << c.name;
        EXPECT_EQ(TheHttpClient().last().reason, TransferReason::kBadEncoding) << c.name;
    }
}

TEST_F(HttpClientTest, RequestOptionsGoIntoTheRequest)
{
    TestServer server(Ok);
    TheHttpClient().setRequestOptions({"scraper/2.0", {"X-One: 1", "accept: text/html", "X-Bad: a\r\nInjected: b"}, "a=1; b=2"});
    read(server.Url("/"));
    TheHttpClient().setRequestOptions({});
    read(server.Url("/"));
    const std::string with = server.Requests().at(0), without = server.Requests().at(1);
    for (const char* line : {"\r\nUser-Agent: scraper/2.0\r\n", "\r\nX-One: 1\r\n", "\r\naccept: text/html\r\n",
                             "\r\nCookie: a=1; b=2\r\n", "\r\nPragma: no-cache\r\n"})
        EXPECT_NE(with.find(line), std::string::npos) << line;
    for (const char* absent : {"Accept: */*", "Injected", "X-Bad"})
        EXPECT_EQ(with.find(absent), std::string::npos) << absent;
    EXPECT_NE(without.find("MSIE 6.0"), std::string::npos);
    EXPECT_EQ(without.find("Cookie"), std::string::npos);
}

TEST_F(HttpClientTest, RetriesFollowTransientFailures)
{
    std::atomic<int> failures{0};
    TestServer server([&](const std::string&) {
        if (failures.fetch_sub(1) > 0)
            return CannedReply{Reply("503 Busy", "Retry-After: 100\r\n", "busy")};
        return CannedReply{Reply("200 OK", "", "seen")};
    });
    TestServer notFound([](const std::string&) { return CannedReply{Reply("404 Not Found", "", "gone")}; });
    TheHttpClient().setLimits({.firstRetryMilliseconds = 1, .longestRetryWaitSeconds = 0});
    const struct {
        int failures, retries;
        std::string body;
        size_t requests;
    } cases[] = {{2, 2, "seen", 3}, {2, 1, "busy", 2}, {1, 0, "busy", 1}};
    size_t before = 0;
    for (const auto& c : cases) {
        failures = c.failures;
        TheHttpClient().setRequestOptions(Retries(c.retries));
        EXPECT_EQ(read(server.Url("/")), c.body) << c.retries;
        EXPECT_EQ(server.Requests().size() - before, c.requests) << c.retries;
        before = server.Requests().size();
    }
    TheHttpClient().setRequestOptions(Retries(3));
    EXPECT_EQ(read(notFound.Url("/")), "gone");
    EXPECT_EQ(notFound.Requests().size(), 1u) << "a 4xx answer is not retried";
    read("http://127.0.0.1:" + std::to_string(httptest::DeadPort()) + "/");
    EXPECT_EQ(TheHttpClient().last().reason, TransferReason::kConnect);
    TheHttpClient().setRequestOptions({});
}

// The wait before a retry (here the server's Retry-After of 60 s) ends at
// once when the transfer is cancelled.
TEST_F(HttpClientTest, ACancelEndsTheWaitBeforeARetry)
{
    TestServer server([](const std::string&) { return CannedReply{Reply("500 Oops", "Retry-After: 60\r\n", "oops")}; });
    TheHttpClient().setRequestOptions(Retries(5));
    std::thread canceller([&] {
        while (server.Requests().empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        TheHttpClient().cancel();
    });
    read(server.Url("/"));
    canceller.join();
    TheHttpClient().setRequestOptions({});
    EXPECT_EQ(TheHttpClient().last().outcome, TransferOutcome::kCancelled);
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(HttpClientTest, FailuresGiveTheirTrueReason)
{
    const struct {
        const char* name;
        std::string reply;
        TransferReason reason;
    } cases[] = {
        {"no status line", "just some text\n", TransferReason::kNotHttp},
        {"200 KB header line", Reply("200 OK", "X-Big: " + std::string(200000, 'a') + "\r\n", "body"),
         TransferReason::kHeaderTooLarge},
    };
    for (const auto& c : cases) {
        TestServer server([&](const std::string&) { return CannedReply{c.reply}; });
        read(server.Url("/"));
        EXPECT_EQ(TheHttpClient().last().reason, c.reason) << c.name;
        EXPECT_EQ(TheHttpClient().last().outcome, TransferOutcome::kFailed) << c.name;
    }
}

TEST(TransferReason, EveryCurlFailureHasItsNearestReason)
{
    const struct {
        CurlFailure failure;
        TransferReason reason;
    } cases[] = {
        {{.code = 1, .responseCode = 302}, TransferReason::kRedirectRefused}, // CURLE_UNSUPPORTED_PROTOCOL
        {{.code = 1, .responseCode = 0}, TransferReason::kNotHttp},
        {{.code = 3}, TransferReason::kBadUrl},
        {{.code = 5}, TransferReason::kProxy},
        {{.code = 6}, TransferReason::kResolve},
        {{.code = 7}, TransferReason::kConnect},
        {{.code = 8}, TransferReason::kNotHttp}, // CURLE_WEIRD_SERVER_REPLY
        {{.code = 18}, TransferReason::kBroken}, // CURLE_PARTIAL_FILE
        {{.code = 27, .bodyStarted = true}, TransferReason::kNoMemory},
        {{.code = 27, .bodyStarted = false}, TransferReason::kHeaderTooLarge},
        {{.code = 27, .bodyStarted = true, .message = "Rejected 200000 bytes header (max is 102400)!"},
         TransferReason::kHeaderTooLarge},
        {{.code = 56, .message = "Too large response headers: 300001 > 307200"}, TransferReason::kHeaderTooLarge},
        {{.code = 100}, TransferReason::kHeaderTooLarge}, // CURLE_TOO_LARGE
        {{.code = 28, .connected = false}, TransferReason::kConnectTimeout},
        {{.code = 28, .connected = true}, TransferReason::kStalled},
        {{.code = 28, .connected = true, .bytesLately = true}, TransferReason::kLowSpeed},
        {{.code = 28, .connected = true, .timeLimitHit = true}, TransferReason::kTimeLimit},
        {{.code = 35}, TransferReason::kSecureChannel},
        {{.code = 42}, TransferReason::kCancelled},
        {{.code = 47}, TransferReason::kTooManyRedirects},
        {{.code = 52}, TransferReason::kNothingReturned},
        {{.code = 55}, TransferReason::kBroken},
        {{.code = 56}, TransferReason::kBroken},
        {{.code = 58}, TransferReason::kSecureChannel},
        {{.code = 60}, TransferReason::kCertificate},
        {{.code = 61}, TransferReason::kBadEncoding},
        {{.code = 77}, TransferReason::kCaFile},
        {{.code = 83}, TransferReason::kCertificate},
        {{.code = 97}, TransferReason::kProxy},
        {{.code = 43}, TransferReason::kOther}, // CURLE_BAD_FUNCTION_ARGUMENT: ours, not the network's
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReasonForFailure(c.failure), c.reason) << c.failure.code << " " << c.failure.message;
        EXPECT_STRNE(ReasonText(c.reason), "");
    }
}

TEST_F(HttpClientTest, HttpsTrustsOnlyTheCaTheEnvironmentNames)
{
    httptest::TlsFiles ours("Ours"), strangers("Strangers");
    ASSERT_TRUE(ours.ok && strangers.ok) << "the openssl tool could not make certificates";
    TestServer server(Ok, &ours);
    EXPECT_EQ(read(server.Url("/")), "") << "not trusted through the system's CAs";
    for (const char* variable : {"SSL_CERT_FILE", "CURL_CA_BUNDLE"}) {
        setenv(variable, ours.caFile.c_str(), 1);
        EXPECT_EQ(read(server.Url("/secure")), "seen") << variable;
        setenv(variable, strangers.caFile.c_str(), 1);
        EXPECT_EQ(read(server.Url("/secure")), "") << variable;
        unsetenv(variable);
    }
    EXPECT_EQ(server.Requests().size(), 2u) << "failed handshakes send no request";
}

} // namespace
} // namespace mt

namespace mt {
namespace {

class HttpBoundsTest : public HttpClientTest {
protected:
    void TearDown() override
    {
        TheHttpClient().setLimits(HttpLimits{});
        TheHttpClient().setRequestOptions({});
    }
};

// The request line goes out in UTF-8 percent-encoding, the host in its
// ASCII form, whatever the runtime's GB18030 text held; a control character
// inside stops the read before any request.
TEST_F(HttpBoundsTest, UrlsGoOutAsBrowsersSendThem)
{
    TestServer server(Ok);
    const std::string port = std::to_string(server.port());
    // 中文 and 值 in GB18030, as the window and the command line hand them over.
    EXPECT_EQ(read("  http://127.0.0.1:" + port + "/\xd6\xd0\xce\xc4 x?q=\xd6\xb5#\xce\xc4\r"), "seen");
    EXPECT_EQ(read("http://\xd6\xd0\xce\xc4.localhost:" + port + "/"), "seen");
    const std::vector<std::string> heads = server.Requests();
    ASSERT_EQ(heads.size(), 2u);
    EXPECT_EQ(heads[0].substr(0, heads[0].find("\r\n")), "GET /%E4%B8%AD%E6%96%87%20x?q=%E5%80%BC HTTP/1.0");
    EXPECT_NE(heads[1].find("\r\nHost: xn--fiq228c.localhost:" + port + "\r\n"), std::string::npos) << heads[1];
    for (const std::string& bad : {"http://127.0.0.1:" + port + "/a\tb", "http://127.0.0.1:" + port + "/a\nb",
                                   "http://127.0.0.1:" + port + "/\x81"}) {
        EXPECT_EQ(read(bad), "");
        EXPECT_EQ(TheHttpClient().last().reason, TransferReason::kBadUrl);
        EXPECT_STREQ(TransferErrorCode(TheHttpClient().last()), "bad_url");
    }
    EXPECT_EQ(server.Requests().size(), 2u) << "no request for an unusable URL";
}

// A server that sends nothing is given up as silent; one that sends too
// slowly as slow, with its own reason; without the rule the slow one ends.
TEST_F(HttpBoundsTest, ASlowServerIsNotASilentOne)
{
    TestServer silent([](const std::string&) { return CannedReply{Reply("200 OK", "Content-Length: 9\r\n", ""), 5000}; });
    TestServer slow([](const std::string& head) {
        const size_t n = head.find("GET /short ") == 0 ? 30 : 1000;
        return CannedReply{Reply("200 OK", "Content-Length: " + std::to_string(n) + "\r\n", std::string(n, 's')), 0, 40};
    });
    TheHttpClient().setLimits({.speedSeconds = 1});
    EXPECT_EQ(read(silent.Url("/")), "");
    EXPECT_EQ(TheHttpClient().last().reason, TransferReason::kStalled);
    EXPECT_STREQ(TransferErrorCode(TheHttpClient().last()), "timeout");
    const std::string some = read(slow.Url("/"));
    EXPECT_GT(some.size(), 0u);
    EXPECT_LT(some.size(), 1000u);
    EXPECT_EQ(TheHttpClient().last().reason, TransferReason::kLowSpeed);
    EXPECT_EQ(TheHttpClient().last().outcome, TransferOutcome::kEndedEarly);
    EXPECT_STREQ(TransferErrorCode(TheHttpClient().last()), "low_speed");
    EXPECT_STREQ(ReasonText(TransferReason::kLowSpeed), "\xbd\xd3\xca\xd5\xcb\xd9\xb6\xc8\xb9\xfd\xc2\xfd"); // 接收速度过慢
    TheHttpClient().setLimits({.speedSeconds = 1, .speedLimit = 0});
    bool complete = false;
    EXPECT_EQ(read(slow.Url("/short"), &complete), std::string(30, 's')) << "no low-speed rule";
    EXPECT_TRUE(complete);
}

// The time limit bounds the whole read: a retry that would start after it
// is not made, and the try that runs gets only what is left.
TEST_F(HttpBoundsTest, TheTimeLimitHoldsForTheWholeReadRetriesIncluded)
{
    TestServer busy([](const std::string&) { return CannedReply{Reply("503 Busy", "", "later")}; });
    TestServer hang([](const std::string&) { return CannedReply{"", 5000}; });
    TheHttpClient().setLimits({.maxMilliseconds = 1000, .firstRetryMilliseconds = 400});
    TheHttpClient().setRequestOptions(Retries(5));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(read(busy.Url("/")), "later");
    EXPECT_LE(busy.Requests().size(), 2u) << "400 ms, then 800 ms would pass the second";
    EXPECT_EQ(TheHttpClient().last().status, 503);
    EXPECT_EQ(read(hang.Url("/")), "");
    EXPECT_EQ(TheHttpClient().last().reason, TransferReason::kTimeLimit);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 3.5) << "two reads of 1 s each, where the retries alone would take 30 s";
    TheHttpClient().setLimits({.maxMilliseconds = 300});
    TheHttpClient().setRequestOptions({});
    const auto again = std::chrono::steady_clock::now();
    EXPECT_EQ(read(hang.Url("/")), "");
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - again).count(), 1.5) << "a fraction";
}

// --max-filesize lowers the cap, and no page keeps more than the memory
// bound either: both end early with the cap's report, compressed or not.
TEST_F(HttpBoundsTest, TheCapsCountDecodedBytes)
{
    const std::string bomb = httptest::Compress(std::string(4 << 20, '\0'), "gzip");
    TestServer server([&bomb](const std::string& head) {
        if (head.find("GET /bomb ") == 0)
            return CannedReply{Reply("200 OK", "Content-Encoding: gzip\r\n", bomb)};
        return CannedReply{Reply("200 OK", "", std::string(300000, 'p'))};
    });
    for (const HttpLimits& limits : {HttpLimits{.bodyLimit = 100000}, HttpLimits{.memoryBound = 100000}}) {
        TheHttpClient().setLimits(limits);
        EXPECT_EQ(read(server.Url("/")), std::string(100000, 'p'));
        EXPECT_EQ(TheHttpClient().last().reason, TransferReason::kTooLarge);
        EXPECT_STREQ(TransferErrorCode(TheHttpClient().last()), "too_large");
        EXPECT_EQ(read(server.Url("/bomb")).size(), 100000u);
        EXPECT_EQ(TheHttpClient().last().reason, TransferReason::kTooLarge);
    }
}

} // namespace
} // namespace mt
