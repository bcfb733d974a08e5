#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "abi/text_value.h"
#include "net/http_client.h"
#include "net/http_read.h"
#include "support/http_test_support.h"

namespace mt {
namespace {

using httptest::CannedReply;
using httptest::Reply;

class HttpReadTest : public testing::Test {
protected:
    void SetUp() override { httptest::InstallHeapService(); }
    void TearDown() override { EXPECT_EQ(httptest::LiveBlocks(), 0) << "every block handed out was freed"; }

    // Runs the command as the call gate would and returns its byte array.
    ByteArrayValue call(int32_t argc, ValueRecord url)
    {
        ValueRecord result{};
        HttpRead(&result, argc, &url);
        EXPECT_EQ(result.type, kTypeBytes);
        return AsPointer<uint8_t>(result);
    }
    ByteArrayValue call(const std::string& url) { return call(1, MakePointer(url.c_str(), kTypeText)); }
};

// Small bodies are copied out of the pool, large ones become the array in
// place; either way the result is a block the runtime's free releases.
TEST_F(HttpReadTest, BodyBecomesAByteArray)
{
    for (size_t size : {1u, 512u, 513u, 250000u}) {
        std::string body(size, 'x');
        body.front() = '<';
        httptest::TestServer server([&](const std::string&) { return CannedReply{Reply("200 OK", "", body)}; });
        ByteArrayValue a = call(server.Url("/"));
        ASSERT_NE(a, nullptr) << size;
        int32_t header[2];
        std::memcpy(header, a, sizeof header);
        EXPECT_EQ(header[0], 1);
        EXPECT_EQ(header[1], static_cast<int32_t>(size));
        EXPECT_EQ(ByteArrayView(a), body) << size;
        svc::Free(a);
        EXPECT_EQ(GrowBuffer::PoolInUse(), 0);
    }
}

TEST_F(HttpReadTest, NoBytesGiveTheEmptyArray)
{
    httptest::TestServer empty([](const std::string&) { return CannedReply{Reply("200 OK", "", "")}; });
    EXPECT_EQ(call(empty.Url("/")), nullptr);
    EXPECT_EQ(call("http://127.0.0.1:" + std::to_string(httptest::DeadPort()) + "/"), nullptr);
    ReleaseHttpClient();
    int64_t opens = TheHttpClient().opens();
    EXPECT_EQ(call(""), nullptr);
    EXPECT_EQ(call(1, MakePointer(nullptr, kTypeText)), nullptr);
    EXPECT_EQ(call(0, Omitted()), nullptr);
    EXPECT_EQ(call(1, MakeInt(12345)), nullptr) << "a number is not read as an address";
    EXPECT_EQ(TheHttpClient().opens(), opens);
    EXPECT_EQ(empty.Requests().size(), 1u);
}

// The page decoding command: the converted bytes and the count, in its
// variable and in the report; null and -1 beyond the bound.
TEST_F(HttpReadTest, PageTextReplacesAFewBadBytes)
{
    const struct {
        std::string bytes;
        const char* encoding;
        std::string text;
        int64_t replaced;
    } cases[] = {
        {"a\xFF\xE4\xB8\xAD", "UTF-8", "a\x84\x31\xA4\x37\xD6\xD0", 1},
        {"\xD6\xD0\xCE\xC4\xCD\xF8\xD2\xB3", "UTF-8", "", -1},
        {"", "UTF-8", "", 0},
        {"abc", "NO-SUCH-ENCODING", "", -1},
    };
    for (const auto& c : cases) {
        ByteArrayValue data = NewByteArray(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size());
        int64_t replaced = 99;
        ValueRecord args[3] = {MakePointer(data, kTypeBytes), MakePointer(c.encoding, kTypeText),
                               MakePointer(&replaced, kTypeLong)};
        ValueRecord result{};
        HttpPageText(&result, 3, args);
        EXPECT_EQ(result.type, kTypeBytes);
        EXPECT_EQ(ByteArrayView(AsPointer<uint8_t>(result)), c.text) << c.bytes;
        EXPECT_EQ(replaced, c.replaced) << c.bytes;
        int64_t reported = -5;
        ValueRecord report[8] = {Omitted(), Omitted(), Omitted(), Omitted(), Omitted(), Omitted(), Omitted(),
                                 MakePointer(&reported, kTypeLong)};
        ValueRecord outcome{};
        HttpTransferReport(&outcome, 8, report);
        EXPECT_EQ(reported, c.replaced < 0 ? 0 : c.replaced) << c.bytes;
        svc::Free(AsPointer<uint8_t>(result));
        svc::Free(data);
    }
}

// Request options through the command, and a time limit beyond what
// libcurl takes, which must not make every transfer fail.
TEST_F(HttpReadTest, OptionsAndTimeLimitsOfAnySize)
{
    httptest::TestServer server([](const std::string&) { return CannedReply{Reply("200 OK", "", "seen")}; });
    ValueRecord options[4] = {MakePointer("agent/1", kTypeText), MakePointer("X-A: 1\r\n\nX-B: 2\n", kTypeText),
                              MakePointer("k=v", kTypeText), MakeInt(0)};
    ValueRecord none{};
    HttpRequestOptions(&none, 4, options);
    for (int32_t seconds : {2147483647, 2147484, 2147483, 1, 0, -1}) {
        ValueRecord limit = MakeInt(seconds);
        HttpTimeLimit(&none, 1, &limit);
        ByteArrayValue a = call(server.Url("/"));
        EXPECT_EQ(ByteArrayView(a), "seen") << seconds;
        svc::Free(a);
    }
    HttpRequestOptions(&none, 0, nullptr);
    HttpTimeLimit(&none, 0, nullptr);
    const std::string head = server.Requests().at(0);
    for (const char* line : {"\r\nUser-Agent: agent/1\r\n", "\r\nX-A: 1\r\n", "\r\nX-B: 2\r\n", "\r\nCookie: k=v\r\n"})
        EXPECT_NE(head.find(line), std::string::npos) << line;
    EXPECT_EQ(TheHttpClient().requestOptions().headers.size(), 0u);
    EXPECT_EQ(TheHttpClient().limits().maxMilliseconds, 0);
}

// The command line's switches through the request-options command, and
// what the report command answers about a redirect chain.
TEST_F(HttpReadTest, SwitchesOfTheRequestAndTheReportOnRedirects)
{
    httptest::TestServer server(httptest::NetworkOptionPages());
    const auto configure = [](int32_t redirects, bool noCompression, bool keepHeaders) {
        ValueRecord options[10] = {Omitted(), Omitted(), Omitted(), Omitted(), MakeInt(0), Omitted(), Omitted(),
                                   MakeInt(redirects), MakeInt(noCompression), MakeInt(keepHeaders)};
        ValueRecord none{};
        HttpRequestOptions(&none, 10, options);
    };
    struct ReportOf {
        char* error = nullptr;
        char* headers = nullptr;
        char* url = nullptr;
        int64_t downloaded = -1, micros = -1;
        int32_t redirects = -1;
        ~ReportOf()
        {
            svc::Free(error);
            svc::Free(headers);
            svc::Free(url);
        }
    };
    const auto report = [](ReportOf* r) {
        ValueRecord args[14] = {Omitted(), Omitted(), Omitted(), Omitted(), Omitted(), Omitted(), Omitted(), Omitted(),
                                MakePointer(&r->error, kTypeText), MakePointer(&r->headers, kTypeText),
                                MakePointer(&r->url, kTypeText), MakePointer(&r->downloaded, kTypeLong),
                                MakePointer(&r->micros, kTypeLong), MakePointer(&r->redirects, kTypeInt)};
        ValueRecord outcome{};
        HttpTransferReport(&outcome, 14, args);
        return AsInt32(outcome);
    };
    configure(-1, false, true);
    ByteArrayValue body = call(server.Url("/hop/2"));
    EXPECT_EQ(ByteArrayView(body), "end");
    svc::Free(body);
    {
        ReportOf r;
        EXPECT_EQ(report(&r), 1);
        EXPECT_EQ(TextView(r.error), "");
        EXPECT_EQ(TextView(r.url), server.Url("/hop/0"));
        EXPECT_EQ(r.redirects, 2);
        EXPECT_EQ(r.downloaded, 3);
        EXPECT_GE(r.micros, 0);
        const std::string_view headers = TextView(r.headers);
        EXPECT_EQ(headers.rfind("HTTP/1.0 302 Found\r\n", 0), 0u) << headers;
        EXPECT_NE(headers.find("\r\n\r\nHTTP/1.0 302 Found\r\n"), std::string_view::npos) << headers;
        EXPECT_NE(headers.find("\r\n\r\nHTTP/1.0 200 OK\r\n"), std::string_view::npos) << headers;
    }
    configure(0, true, false); // no redirect followed, no compression asked for, no header lines kept
    body = call(server.Url("/hop/2"));
    EXPECT_EQ(ByteArrayView(body), "moved 2");
    svc::Free(body);
    {
        ReportOf r;
        EXPECT_EQ(report(&r), 1);
        EXPECT_EQ(TextView(r.headers), "");
        EXPECT_EQ(r.redirects, 0);
    }
    configure(1, false, false);
    body = call(server.Url("/hop/3"));
    EXPECT_EQ(body, nullptr);
    {
        ReportOf r;
        EXPECT_EQ(report(&r), 4);
        EXPECT_EQ(TextView(r.error), "redirect");
    }
    body = call(server.Url("/status/404"));
    svc::Free(body);
    {
        ReportOf r;
        EXPECT_EQ(report(&r), 1);
        EXPECT_EQ(TextView(r.error), "http_status");
    }
    const auto requests = server.Requests();
    ASSERT_GE(requests.size(), 4u);
    EXPECT_NE(requests[0].find("\r\nAccept-Encoding: "), std::string::npos) << requests[0];
    EXPECT_EQ(requests[3].find("Accept-Encoding"), std::string::npos) << requests[3];
    ValueRecord none{};
    HttpRequestOptions(&none, 0, nullptr);
}

} // namespace
} // namespace mt
