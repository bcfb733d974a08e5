#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/text_value.h"
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
    ByteArrayValue Call(int32_t argc, ValueRecord url)
    {
        ValueRecord result{};
        HttpRead(&result, argc, &url);
        EXPECT_EQ(result.type, kTypeBytes);
        return AsPointer<uint8_t>(result);
    }
    ByteArrayValue Call(const std::string& url) { return Call(1, MakePointer(url.c_str(), kTypeText)); }
};

// Small bodies are copied out of the pool, large ones become the array in
// place; either way the result is a block the runtime's free releases.
TEST_F(HttpReadTest, BodyBecomesAByteArray)
{
    for (size_t size : {1u, 512u, 513u, 250000u}) {
        std::string body(size, 'x');
        body.front() = '<';
        httptest::TestServer server([&](const std::string&) { return CannedReply{Reply("200 OK", "", body)}; });
        ByteArrayValue a = Call(server.Url("/"));
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
    EXPECT_EQ(Call(empty.Url("/")), nullptr);
    EXPECT_EQ(Call("http://127.0.0.1:" + std::to_string(httptest::DeadPort()) + "/"), nullptr);
    ReleaseHttpClient();
    int64_t opens = TheHttpClient().opens();
    EXPECT_EQ(Call(""), nullptr);
    EXPECT_EQ(Call(1, MakePointer(nullptr, kTypeText)), nullptr);
    EXPECT_EQ(Call(0, Omitted()), nullptr);
    EXPECT_EQ(Call(1, MakeInt(12345)), nullptr) << "a number is not read as an address";
    EXPECT_EQ(TheHttpClient().opens(), opens);
    EXPECT_EQ(empty.Requests().size(), 1u);
}

} // namespace
} // namespace mt
