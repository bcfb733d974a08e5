#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "net/http_client.h"
#include "support/http_test_support.h"

namespace mt {
namespace {

using httptest::CannedReply;
using httptest::Reply;
using httptest::TestServer;

std::string Contents(const GrowBuffer& b) { return {reinterpret_cast<const char*>(b.data()), static_cast<size_t>(b.size())}; }

CannedReply Ok(const std::string&) { return {Reply("200 OK", "", "seen")}; }

class HttpClientTest : public testing::Test {
protected:
    void SetUp() override
    {
        httptest::InstallHeapService();
        for (const char* name : {"CURL_CA_BUNDLE", "SSL_CERT_FILE"})
            unsetenv(name);
    }
    void TearDown() override { TheHttpClient().SetLimits(HttpLimits{}); }

    // Reads `url` through the program's client; the body, and the flag in *complete.
    std::string Read(const std::string& url, bool* complete = nullptr)
    {
        GrowBuffer out;
        bool flag = TheHttpClient().Read(url.c_str(), out);
        if (complete)
            *complete = flag;
        return Contents(out);
    }
};

TEST_F(HttpClientTest, RequestIsAnHttp10GetWithoutFragment)
{
    TestServer server(Ok);
    ASSERT_EQ(Read(server.Url("/page?a=1&b=%20#top")), "seen");
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
    ASSERT_EQ(Read(url.insert(7, "user:pass@")), "seen");
    EXPECT_NE(server.Requests().at(0).find("\r\nAuthorization: Basic dXNlcjpwYXNz\r\n"), std::string::npos);
}

TEST_F(HttpClientTest, BodyIsReadWhateverTheStatusAndFraming)
{
    struct Case {
        const char* name;
        std::string reply, body;
    };
    std::string big(300001, 'b');
    for (const Case& c : {Case{"404", Reply("404 Not Found", "Content-Length: 11\r\n", "<h1>no</h1>"), "<h1>no</h1>"},
                          Case{"500", Reply("500 Oops", "", "broken"), "broken"},
                          Case{"unannounced", Reply("200 OK", "", big), big},
                          Case{"announced", Reply("200 OK", "Content-Length: 300001\r\n", big), big},
                          Case{"empty", Reply("204 No Content", "", ""), ""}}) {
        TestServer server([&](const std::string&) { return CannedReply{c.reply}; });
        bool complete = false;
        EXPECT_EQ(Read(server.Url("/"), &complete), c.body) << c.name;
        EXPECT_TRUE(complete) << c.name;
    }
}

TEST_F(HttpClientTest, FailureMidwayKeepsWhatArrived)
{
    TestServer truncated([](const std::string&) { return CannedReply{Reply("200 OK", "Content-Length: 1000\r\n", std::string(400, 't'))}; });
    TestServer stalled([](const std::string&) { return CannedReply{Reply("200 OK", "Content-Length: 100\r\n", ""), 10000}; });
    TestServer large([](const std::string&) { return CannedReply{Reply("200 OK", "", std::string(5000, 'L'))}; });
    bool complete = true;
    EXPECT_EQ(Read(truncated.Url("/"), &complete), std::string(400, 't'));
    EXPECT_FALSE(complete);
    TheHttpClient().SetLimits({.bodyLimit = 1000, .stallSeconds = 1});
    EXPECT_EQ(Read(stalled.Url("/"), &complete), "") << "a silent server is given up";
    EXPECT_FALSE(complete);
    EXPECT_EQ(Read(large.Url("/"), &complete), std::string(1000, 'L'));
    EXPECT_FALSE(complete);
    TheHttpClient().SetLimits(HttpLimits{});
    TestServer huge([](const std::string&) { return CannedReply{Reply("200 OK", "", std::string(1000000, 'L'))}; });
    httptest::InstallHeapService(300000); // the buffer cannot grow beyond that
    std::string kept = Read(huge.Url("/"), &complete);
    EXPECT_FALSE(complete);
    EXPECT_GT(kept.size(), 0u);
    EXPECT_EQ(kept, std::string(kept.size(), 'L'));
}

TEST_F(HttpClientTest, TheReportTellsHowTheLastRequestEnded)
{
    TestServer page([](const std::string&) {
        return CannedReply{Reply("200 OK", "Content-Type: text/html; charset=Big5\r\n", "\xa4\xa4")};
    });
    TestServer cut([](const std::string&) { return CannedReply{Reply("200 OK", "Content-Length: 9\r\n", "\xEF\xBB\xBF" "ab\xe4\xb8")}; });
    TestServer slow([](const std::string&) { return CannedReply{Reply("200 OK", "Content-Length: 9\r\n", "ab"), 10000}; });
    const TransferReport& r = TheHttpClient().last();
    Read(page.Url("/"));
    EXPECT_EQ(r.outcome, TransferOutcome::kComplete);
    EXPECT_EQ(r.contentType, "text/html; charset=Big5");
    EXPECT_STREQ(r.charset, "BIG5-HKSCS");
    Read(cut.Url("/"));
    EXPECT_EQ(r.outcome, TransferOutcome::kEndedEarly);
    EXPECT_EQ(r.reason, TransferReason::kBroken);
    EXPECT_EQ(r.bomLength, 3);
    EXPECT_EQ(r.cutLength, 2);
    // A cancel from another thread wakes the transfer from its wait.
    std::thread canceller([] {
        while (!TheHttpClient().busy() || TheHttpClient().receivedSoFar() < 2)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        TheHttpClient().Cancel();
    });
    EXPECT_EQ(Read(slow.Url("/")), "ab");
    canceller.join();
    EXPECT_EQ(r.outcome, TransferOutcome::kCancelled);
    Read("ftp://127.0.0.1/");
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
    EXPECT_EQ(Read(server.Url("/to-http")), "seen");
    EXPECT_EQ(target.Requests().at(0).find("GET /arrived HTTP/1.0"), 0u);
    bool complete = true;
    EXPECT_EQ(Read(server.Url("/to-file"), &complete), "");
    EXPECT_FALSE(complete);
    EXPECT_EQ(Read(server.Url("/to-ftp"), &complete), "");
    EXPECT_EQ(target.Requests().size(), 1u) << "no connection for the ftp redirect";
    EXPECT_EQ(Read(server.Url("/loop"), &complete), "");
    EXPECT_FALSE(complete);
    EXPECT_EQ(server.Requests().size(), 3u + 11u); // the first request and ten redirects
}

TEST_F(HttpClientTest, NothingIsReadFromBadUrlsOrDeadPorts)
{
    TestServer server(Ok);
    std::string upper = server.Url("/");
    upper.replace(0, 4, "HtTp");
    EXPECT_EQ(Read(upper), "seen");
    ReleaseHttpClient();
    int64_t opens = TheHttpClient().opens();
    std::string port = std::to_string(server.port());
    for (const char* url : {"", "ftp://127.0.0.1:", "file:///etc/hostname", "127.0.0.1:", "httpx://127.0.0.1:"})
        EXPECT_EQ(Read(url + (*url ? port + "/" : "")), "") << url;
    GrowBuffer out;
    EXPECT_FALSE(TheHttpClient().Read(nullptr, out));
    EXPECT_EQ(TheHttpClient().opens(), opens) << "no handle for URLs that are not read";
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(Read("http://127.0.0.1:" + std::to_string(httptest::DeadPort()) + "/"), "");
}

TEST_F(HttpClientTest, TwoRequestsOpenTheSharedHandleOnce)
{
    TestServer server(Ok);
    ReleaseHttpClient();
    int64_t opens = TheHttpClient().opens();
    EXPECT_EQ(Read(server.Url("/1")) + Read(server.Url("/2")), "seenseen");
    EXPECT_EQ(TheHttpClient().opens(), opens + 1);
    ReleaseHttpClient();
    ReleaseHttpClient();
    EXPECT_EQ(Read(server.Url("/3")), "seen");
    EXPECT_EQ(TheHttpClient().opens(), opens + 2);
}

TEST_F(HttpClientTest, ProxyFromTheEnvironmentIsIgnored)
{
    TestServer server(Ok);
    std::string dead = "http://127.0.0.1:" + std::to_string(httptest::DeadPort());
    setenv("http_proxy", dead.c_str(), 1);
    setenv("HTTPS_PROXY", dead.c_str(), 1);
    std::string body = Read(server.Url("/direct"));
    unsetenv("http_proxy");
    unsetenv("HTTPS_PROXY");
    EXPECT_EQ(body, "seen");
}

TEST_F(HttpClientTest, HttpsTrustsOnlyTheCaTheEnvironmentNames)
{
    httptest::TlsFiles ours("Ours"), strangers("Strangers");
    ASSERT_TRUE(ours.ok && strangers.ok) << "the openssl tool could not make certificates";
    TestServer server(Ok, &ours);
    EXPECT_EQ(Read(server.Url("/")), "") << "not trusted through the system's CAs";
    for (const char* variable : {"SSL_CERT_FILE", "CURL_CA_BUNDLE"}) {
        setenv(variable, ours.caFile.c_str(), 1);
        EXPECT_EQ(Read(server.Url("/secure")), "seen") << variable;
        setenv(variable, strangers.caFile.c_str(), 1);
        EXPECT_EQ(Read(server.Url("/secure")), "") << variable;
        unsetenv(variable);
    }
    EXPECT_EQ(server.Requests().size(), 2u) << "failed handshakes send no request";
}

} // namespace
} // namespace mt
