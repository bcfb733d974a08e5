// Pages through `middletext fetch`, run as a separate process against the
// tests' server: undeclared UTF-8, compressed bodies, partial decoding and
// proxies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/http_test_support.h"
#include "support/run_tool.h"

namespace {

namespace httptest = mt::httptest;
using httptest::CannedReply;
using httptest::Reply;
using mt::test::RunTool;

struct PageCase {
    const char* name;
    std::vector<std::string> options;
    std::string headers, body;
    std::string out, err;
};

const std::string kUtf8 = "Content-Type: text/html; charset=utf-8\r\n";
// A warning, behind "middletext: URL: " (the loops add that).
const std::string kWarning = "warning: ";

std::string AboutUrl(const std::string& url, const std::string& message)
{
    return message.empty() ? message : "middletext: " + url + ": " + message;
}

TEST(FetchPages, UndeclaredUtf8AndPartlyBadPagesKeepTheirText)
{
    const std::string json = "{\"name\":\"张三\"}";
    const std::string gbkPage = "<p>\xD6\xD0\xCE\xC4\xCD\xF8\xD2\xB3\xB5\xC4\xB1\xEA\xCC\xE2</p>"; // 中文网页的标题
    const PageCase cases[] = {
        {"JSON without a charset", {}, "Content-Type: application/json\r\n", json, json, ""},
        {"JSON as GB18030", {"--gbk"}, "Content-Type: application/json\r\n", json, "{\"name\":\"\xD5\xC5\xC8\xFD\"}", ""},
        {"undeclared page", {}, "", "<p>café</p>", "<p>café</p>", ""},
        {"undeclared GBK stays as received", {}, "", gbkPage, "<p>中文网页的标题</p>", ""},
        {"GBK declared UTF-8 stays as received", {}, kUtf8, gbkPage, "<p>中文网页的标题</p>", ""},
        {"one bad byte", {}, kUtf8, "中文\xFF价格", "中文\xEF\xBF\xBD价格", kWarning + "1 byte of the page did not convert and was replaced\n"},
        {"a bad sequence", {}, kUtf8, "中文\xE4\xB8价格", "中文\xEF\xBF\xBD价格", kWarning + "2 bytes of the page did not convert and were replaced\n"},
        {"raw keeps the bytes", {"--raw"}, kUtf8, "中文\xFF价格", "中文\xFF价格", ""},
        {"UTF-16 of odd length", {}, "", std::string("\xFF\xFE<\0p\0>\0!", 9), "<p>", kWarning + "1 byte of the page did not convert and was replaced\n"},
    };
    for (const auto& c : cases) {
        httptest::TestServer server([&](const std::string&) { return CannedReply{Reply("200 OK", c.headers, c.body)}; });
        std::vector<std::string> args{"fetch"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(server.Url("/"));
        const auto run = RunTool(args);
        EXPECT_EQ(run.out, c.out) << c.name;
        EXPECT_EQ(run.err, AboutUrl(server.Url("/"), c.err)) << c.name;
        EXPECT_EQ(run.status, 0) << c.name;
    }
}

TEST(FetchPages, CompressedBodiesArePrintedDecoded)
{
    const std::string page = "<meta charset=utf-8><p>中文价格</p>" + std::string(5000, ' ');
    for (const char* encoding : {"gzip", "deflate", "br"}) {
        if (std::string(encoding) == "br" && !httptest::HaveBrotli())
            continue;
        const std::string body = httptest::Compress(page, encoding);
        httptest::TestServer server([&](const std::string&) {
            return CannedReply{Reply("200 OK", std::string("Content-Encoding: ") + encoding + "\r\n", body)};
        });
        const auto run = RunTool({"fetch", server.Url("/")});
        EXPECT_EQ(run.out, page) << encoding;
        EXPECT_EQ(run.err, "") << encoding;
        EXPECT_EQ(run.status, 0) << encoding;
    }
}

// A small body that inflates past the 256 MiB cap ends at the cap, with the
// early-end warning; a body that is not gzip is a failure with its reason.
TEST(FetchPages, ABombStopsAtTheCapAndABadBodySaysWhy)
{
    const std::string bomb = httptest::Compress(std::string((256 << 20) + (8 << 20), 'a'), "gzip");
    ASSERT_LT(bomb.size(), 300000u);
    httptest::TestServer bombServer([&](const std::string&) {
        return CannedReply{Reply("200 OK", "Content-Encoding: gzip\r\n", bomb)};
    });
    mt::test::ToolStreams toNull;
    toNull.out = mt::test::ToolStreams::Out::kPath;
    toNull.outPath = "/dev/null";
    const auto run = RunTool({"fetch", "--raw", bombServer.Url("/")}, "", toNull);
    EXPECT_EQ(run.err, AboutUrl(bombServer.Url("/"), kWarning + "the page ended early (网页太大，只读取了前面部分)\n"));
    EXPECT_EQ(run.status, 4);

    httptest::TestServer bad([](const std::string&) {
        return CannedReply{Reply("200 OK", "Content-Encoding: gzip\r\n", "this is not gzip")};
    });
    const auto failed = RunTool({"fetch", bad.Url("/")});
    EXPECT_EQ(failed.out, "");
    EXPECT_NE(failed.err.find("网页的压缩数据有误，无法解压"), std::string::npos) << failed.err;
    EXPECT_NE(failed.status, 0);
}

TEST(FetchPages, ProxiesFromTheEnvironment)
{
    httptest::TestServer proxy([](const std::string&) { return CannedReply{Reply("200 OK", "", "via proxy")}; });
    httptest::TestServer direct([](const std::string&) { return CannedReply{Reply("200 OK", "", "direct")}; });
    const std::string viaProxy = "http://127.0.0.1:" + std::to_string(proxy.port());
    const std::string dead = "http://127.0.0.1:" + std::to_string(httptest::DeadPort());
    const struct {
        const char* name;
        std::vector<std::string> environment;
        std::string url, out;
    } cases[] = {
        {"http_proxy", {"http_proxy=" + viaProxy}, "http://origin.invalid/page", "via proxy"},
        {"ALL_PROXY", {"ALL_PROXY=" + viaProxy}, "http://origin.invalid/page", "via proxy"},
        {"HTTP_PROXY is not read", {"HTTP_PROXY=" + dead}, direct.Url("/"), "direct"},
        {"no_proxy", {"http_proxy=" + dead, "no_proxy=127.0.0.1"}, direct.Url("/"), "direct"},
    };
    for (const auto& c : cases) {
        const auto run = RunTool({"fetch", c.url}, "", c.environment);
        EXPECT_EQ(run.out, c.out) << c.name;
        EXPECT_EQ(run.status, 0) << c.name << ": " << run.err;
    }
    ASSERT_EQ(proxy.Requests().size(), 2u);
    EXPECT_EQ(proxy.Requests()[0].find("GET http://origin.invalid/page HTTP/1.0\r\n"), 0u);
}

} // namespace
