#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "abi/service_calls.h"
#include "net/http_batch.h"
#include "net/http_read.h"
#include "support/http_test_support.h"

namespace mt {
namespace {

using httptest::CannedReply;
using httptest::Reply;
using httptest::TestServer;

class HttpBatchTest : public testing::Test {
protected:
    void SetUp() override { httptest::InstallHeapService(); }
    void TearDown() override
    {
        TheHttpBatch().setJobs(HttpBatch::kDefaultJobs);
        TheHttpClient().setLimits(HttpLimits{});
        TheHttpClient().setRequestOptions({});
    }

    // The page under `ticket`: its body, and its report in *report.
    static std::string Take(uint64_t ticket, TransferReport* report = nullptr)
    {
        ByteArrayValue body = nullptr;
        TransferReport ignored;
        EXPECT_TRUE(TheHttpBatch().take(ticket, &body, report ? report : &ignored)) << ticket;
        std::string bytes(ByteArrayView(body));
        svc::Free(body);
        return bytes;
    }
};

// The first page waits until the server has seen every other request, so
// it ends last; it says whether it saw them (a batch that read one page at
// a time would make it wait in vain). Taken by ticket, each page is its own.
TEST_F(HttpBatchTest, PagesEndInAnyOrderAndAreTakenByTicket)
{
    constexpr int kPages = 6;
    TestServer* self = nullptr;
    TestServer server(
        [&self](const std::string& head) {
            const std::string path = head.substr(4, head.find(' ', 4) - 4);
            if (path != "/1")
                return CannedReply{Reply("200 OK", "", "page" + path)};
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (self->Requests().size() < kPages && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            return CannedReply{Reply("200 OK", "", self->Requests().size() == kPages ? "last" : "alone")};
        },
        nullptr, true);
    self = &server;
    TheHttpBatch().setJobs(kPages);
    const int64_t blocks = httptest::LiveBlocks();
    for (int i = 1; i <= kPages; ++i)
        ASSERT_TRUE(TheHttpBatch().add(i, server.Url("/" + std::to_string(i) + "#frag").c_str()));
    EXPECT_FALSE(TheHttpBatch().add(3, server.Url("/3").c_str())) << "a ticket in use";
    EXPECT_EQ(Take(1), "last");
    for (int i = kPages; i >= 2; --i)
        EXPECT_EQ(Take(i), "page/" + std::to_string(i));
    EXPECT_EQ(TheHttpBatch().held(), 0u);
    EXPECT_EQ(httptest::LiveBlocks(), blocks) << "every page given away";
    ByteArrayValue body = nullptr;
    TransferReport report;
    EXPECT_FALSE(TheHttpBatch().take(1, &body, &report)) << "taken already";
}

// However many pages are asked for, no more than `jobs` connections are
// open at once; pages never taken are dropped with the batch.
TEST_F(HttpBatchTest, AtMostJobsConnectionsAtOnce)
{
    TestServer server(
        [](const std::string&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            return CannedReply{Reply("200 OK", "", std::string(3000, 'x'))};
        },
        nullptr, true);
    TheHttpBatch().setJobs(3);
    for (uint64_t ticket = 1; ticket <= 12; ++ticket)
        TheHttpBatch().add(ticket, server.Url("/").c_str());
    for (uint64_t ticket = 1; ticket <= 10; ++ticket)
        EXPECT_EQ(Take(ticket).size(), 3000u);
    EXPECT_LE(server.MostAtOnce(), 3);
    EXPECT_GE(server.MostAtOnce(), 2) << "the transfers ran side by side";
    TheHttpBatch().setJobs(3);
    EXPECT_EQ(TheHttpBatch().held(), 0u);
}

// Each page is read and reported on as the single client reads it: status,
// early end, charset, limits, request options, retries, refused schemes.
TEST_F(HttpBatchTest, EachPageHasTheReportOfASingleRead)
{
    std::atomic<int> busy{1};
    TestServer server(
        [&busy](const std::string& head) {
            const std::string path = head.substr(4, head.find(' ', 4) - 4);
            if (path == "/missing")
                return CannedReply{Reply("404 Not Found", "", "gone")};
            if (path == "/cut")
                return CannedReply{Reply("200 OK", "Content-Length: 9\r\n", "\xEF\xBB\xBF"
                                                                            "ab\xe4\xb8")};
            if (path == "/utf8")
                return CannedReply{Reply("200 OK", "Content-Type: text/html; charset=utf-8\r\n", "\xe4\xb8\xad")};
            if (path == "/large")
                return CannedReply{Reply("200 OK", "", std::string(5000, 'L'))};
            if (path == "/busy")
                return CannedReply{busy.fetch_sub(1) > 0 ? Reply("503 Busy", "", "busy") : Reply("200 OK", "", "up")};
            const bool agent = head.find("\r\nUser-Agent: tester\r\n") != std::string::npos;
            return CannedReply{Reply("200 OK", "", agent ? "agent" : "plain")};
        },
        nullptr, true);
    TheHttpClient().setLimits({.bodyLimit = 1000, .firstRetryMilliseconds = 1});
    RequestOptions options;
    options.userAgent = "tester";
    options.retries = 1;
    TheHttpClient().setRequestOptions(options);
    const std::string dead = "http://127.0.0.1:" + std::to_string(httptest::DeadPort()) + "/";
    const struct {
        std::string url, body;
        TransferOutcome outcome;
        TransferReason reason;
        int status;
        std::string charset;
    } cases[] = {
        {server.Url("/missing"), "gone", TransferOutcome::kComplete, TransferReason::kNone, 404, ""},
        {server.Url("/cut"), "\xEF\xBB\xBF"
                             "ab\xe4\xb8",
         TransferOutcome::kEndedEarly, TransferReason::kBroken, 200, "UTF-8"},
        {server.Url("/utf8"), "\xe4\xb8\xad", TransferOutcome::kComplete, TransferReason::kNone, 200, "UTF-8"},
        {server.Url("/large"), std::string(1000, 'L'), TransferOutcome::kEndedEarly, TransferReason::kTooLarge, 200, ""},
        {server.Url("/busy"), "up", TransferOutcome::kComplete, TransferReason::kNone, 200, ""},
        {server.Url("/options"), "agent", TransferOutcome::kComplete, TransferReason::kNone, 200, ""},
        {dead, "", TransferOutcome::kFailed, TransferReason::kConnect, 0, ""},
        {"ftp://127.0.0.1/", "", TransferOutcome::kFailed, TransferReason::kBadUrl, 0, ""},
        {"", "", TransferOutcome::kFailed, TransferReason::kBadUrl, 0, ""},
    };
    uint64_t ticket = 0;
    for (const auto& c : cases)
        TheHttpBatch().add(++ticket, c.url.c_str());
    ticket = 0;
    for (const auto& c : cases) {
        TransferReport r;
        EXPECT_EQ(Take(++ticket, &r), c.body) << c.url;
        EXPECT_EQ(r.outcome, c.outcome) << c.url;
        EXPECT_EQ(r.reason, c.reason) << c.url;
        EXPECT_EQ(r.status, c.status) << c.url;
        EXPECT_EQ(r.charset, c.charset) << c.url;
    }
    EXPECT_EQ(TheHttpBatch().held(), 0u);
}

// Through the commands: the page taken is the one the report command
// answers for.
TEST_F(HttpBatchTest, TheCommandsHandOverThePageAndItsReport)
{
    TestServer server([](const std::string&) { return CannedReply{Reply("410 Gone", "", "old")}; });
    ValueRecord jobs = MakeInt(2), result{};
    HttpBatchJobs(&result, 1, &jobs);
    const std::string url = server.Url("/");
    ValueRecord add[2] = {MakeLong(7), MakePointer(url.c_str(), kTypeText)};
    HttpBatchAdd(&result, 2, add);
    EXPECT_TRUE(AsBool(result));
    ValueRecord ticket = MakeLong(7);
    HttpBatchTake(&result, 1, &ticket);
    auto* body = AsPointer<uint8_t>(result);
    EXPECT_EQ(ByteArrayView(body), "old");
    svc::Free(body);
    EXPECT_EQ(TheHttpClient().last().status, 410);
    EXPECT_EQ(TheHttpClient().last().statusText, "410 Gone");
    char* error = nullptr;
    ValueRecord report[9] = {Omitted(), Omitted(), Omitted(), Omitted(), Omitted(),
                             Omitted(), Omitted(), Omitted(), MakePointer(&error, kTypeText)};
    HttpTransferReport(&result, 9, report);
    EXPECT_STREQ(error, "http_status") << "the stable name beside the reason";
    svc::Free(error);
    HttpBatchTake(&result, 1, &ticket);
    EXPECT_EQ(AsPointer(result), nullptr);
    EXPECT_EQ(TheHttpClient().last().outcome, TransferOutcome::kNone) << "nothing under that ticket";
}

// A page that stalls costs its own time and holds up no other: while it
// waits for its time limit, the pages behind it are read, within --jobs.
TEST_F(HttpBatchTest, AStalledPageHoldsUpOnlyItself)
{
    TestServer server(
        [](const std::string& head) {
            if (head.find("GET /hang ") == 0)
                return CannedReply{"", 15000};
            return CannedReply{Reply("200 OK", "", "fast")};
        },
        nullptr, true);
    // Time enough for 29 pages on a loaded machine under the sanitizers.
    TheHttpClient().setLimits({.maxMilliseconds = 5000});
    TheHttpBatch().setJobs(4);
    constexpr uint64_t kPages = 30;
    ASSERT_TRUE(TheHttpBatch().add(1, server.Url("/hang").c_str()));
    uint64_t asked = 1;
    const auto start = std::chrono::steady_clock::now();
    // As the command line asks: more pages while the batch has room for them.
    while (asked < kPages && !TheHttpBatch().wait(1))
        ASSERT_TRUE(TheHttpBatch().add(++asked, server.Url("/p").c_str()));
    EXPECT_EQ(asked, kPages) << "every page asked for while the first one hung";
    TransferReport report;
    EXPECT_EQ(Take(1, &report), "");
    EXPECT_EQ(report.reason, TransferReason::kTimeLimit);
    EXPECT_STREQ(TransferErrorCode(report), "timeout");
    EXPECT_EQ(server.Requests().size(), kPages) << "the others were read meanwhile";
    for (uint64_t ticket = 2; ticket <= kPages; ++ticket)
        EXPECT_EQ(Take(ticket), "fast");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 9.0) << "the time limit of 5 s ends the hang, not the server's 15 s";
    EXPECT_LE(TheHttpBatch().mostRunning(), 4);
}

// The bytes all pages hold stay under the memory bound: the pages behind a
// slow head pause when they would pass it and go on, whole, once the head
// is taken; the head always passes; a page larger than the bound ends at it.
TEST_F(HttpBatchTest, TheBytesHeldStayUnderTheMemoryBound)
{
    const auto page = [](int n) { return std::string(40000, static_cast<char>('a' + n)); };
    const std::string zipped = httptest::Compress(page(20) + page(21), "gzip");
    TestServer server(
        [&](const std::string& head) {
            const int n = std::stoi(head.substr(head.find("/p") + 2));
            if (n == 1)
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
            if (n == 5)
                return CannedReply{Reply("200 OK", "Content-Encoding: gzip\r\n", zipped)};
            if (n == 8)
                return CannedReply{Reply("200 OK", "", std::string(150000, 'L'))};
            return CannedReply{Reply("200 OK", "Content-Length: 40000\r\n", page(n))};
        },
        nullptr, true);
    constexpr int64_t kBound = 100000;
    TheHttpClient().setLimits({.memoryBound = kBound});
    TheHttpBatch().setJobs(8);
    for (int n = 1; n <= 8; ++n)
        TheHttpBatch().add(n, server.Url("/p" + std::to_string(n)).c_str());
    // Compared without printing pages of 40 KB.
    const auto same = [](const std::string& got, const std::string& wanted) {
        return got == wanted ? std::string("same") : std::to_string(got.size()) + " bytes, not " + std::to_string(wanted.size());
    };
    EXPECT_EQ(same(Take(1), page(1)), "same");
    // The new head may pass the bound by its own page.
    EXPECT_LE(TheHttpBatch().heldBytes(), kBound + 40000) << "the others waited for room meanwhile";
    for (int n = 2; n <= 7; ++n) {
        EXPECT_EQ(same(Take(n), n == 5 ? page(20) + page(21) : page(n)), "same") << n;
        EXPECT_LE(TheHttpBatch().heldBytes(), kBound + 120000) << n;
    }
    TransferReport report;
    EXPECT_EQ(same(Take(8, &report), std::string(kBound, 'L')), "same");
    EXPECT_EQ(report.reason, TransferReason::kTooLarge);
    EXPECT_EQ(TheHttpBatch().heldBytes(), 0);
}

} // namespace
} // namespace mt
