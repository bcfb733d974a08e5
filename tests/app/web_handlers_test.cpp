// Reading a web page into the big box, against servers on 127.0.0.1.
#include "tool_window.h"

#include "platform/input_dialog.h"
#include "support/http_test_support.h"
#include "support/run_tool.h"

namespace mt::test {
namespace {

using namespace app::id;
using httptest::Reply;
using httptest::TestServer;

constexpr int32_t kContent = 8, kTextColor = 10;

class ReadPage : public ToolWindow {
protected:
    // Clicks the read button and answers the dialog with `url` (UTF-8).
    void Read(const std::string& url, bool ok = true)
    {
        platform::ScriptInputDialogs({{ok, Gb(url)}});
        Click(按钮读网页源码);
    }
    std::string Big() const { return Text(编辑框被查找文本, kContent); }
};

TEST_F(ReadPage, TheDialogAsksForTheAddress)
{
    Read("", false);
    ASSERT_EQ(platform::ShownInputDialogs().size(), 1u);
    const auto& shown = platform::ShownInputDialogs()[0];
    EXPECT_EQ(Utf8(shown.prompt), "请输入你要读取的网址,请以http:// 或 https://开头。");
    EXPECT_EQ(Utf8(shown.title), "读取网页源码");
    EXPECT_EQ(Utf8(shown.initial), "http://");
    EXPECT_TRUE(Messages().empty()); // cancelled: nothing happens
    EXPECT_EQ(Big(), "请输入被查找的文本");
}

TEST_F(ReadPage, AddressesAreCheckedBeforeAnythingIsFetched)
{
    Read("");
    Read("example.com/page");
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[0].text, "输入的URL无效，请重新输入！");
    EXPECT_EQ(Messages()[0].caption, "错误");
    EXPECT_EQ(Messages()[1].text, "输入的网址格式不正确，请在网址前加上 http:// 或 https:// ");
    EXPECT_EQ(Messages()[1].caption, "网址无效");
    EXPECT_EQ(Messages()[1].flags & 0xFFF, 16u);
}

TEST_F(ReadPage, AFailedFetchKeepsTheBigBoxAndSaysSo)
{
    SetText(编辑框被查找文本, kContent, "my text");
    Read("http://127.0.0.1:" + std::to_string(httptest::DeadPort()) + "/");
    Read("http://"); // the dialog's initial text, unchanged
    EXPECT_EQ(Big(), "my text");
    EXPECT_EQ(Int(编辑框被查找文本, kTextColor), 0x808080);
    ASSERT_EQ(Messages().size(), 2u);
    for (const auto& m : Messages()) {
        EXPECT_EQ(m.text, "未能读取到网页内容！");
        EXPECT_EQ(m.caption, "读取网页源码");
        EXPECT_EQ(m.flags & 0xFFF, 16u);
    }
}

struct PageCase {
    const char* name;
    std::string body;
    std::string shown; // what the big box holds, in UTF-8
};

TEST_F(ReadPage, PagesDeclaringUtf8AreConvertedOthersShownAsReceived)
{
    const std::string zhong = "\xe4\xb8\xad"; // 中 in UTF-8
    const PageCase cases[] = {
        {"charset=utf-8", "<meta charset=utf-8>" + zhong, "<meta charset=utf-8>中"},
        {"quoted, capitals", "<meta charset=\"UTF-8\">" + zhong, "<meta charset=\"UTF-8\">中"},
        {"utf8 is not recognised", "charset=utf8 \xd6\xd0", "charset=utf8 中"},
        {"single quotes are not recognised", "charset='utf-8' \xd6\xd0", "charset='utf-8' 中"},
        {"declared but invalid: shown as received", "charset=utf-8 \xd6\xd0", "charset=utf-8 中"},
        {"a zero byte ends the text", std::string("ab\0cd", 5), "ab"},
    };
    for (const auto& c : cases) {
        TestServer server([&](const std::string&) { return httptest::CannedReply{Reply("200 OK", "", c.body)}; });
        Read(server.Url("/"));
        EXPECT_EQ(Big(), c.shown) << c.name;
        EXPECT_EQ(Int(编辑框被查找文本, kTextColor), 0) << c.name;
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ReadPage, CapitalSchemesAnErrorBodyAndTheCount)
{
    TestServer server([](const std::string&) { return httptest::CannedReply{Reply("404 Not Found", "", "missing")}; });
    std::string url = server.Url("/x");
    url.replace(0, 4, "HTTP");
    Read(url);
    EXPECT_EQ(Big(), "missing");
    EXPECT_EQ(Text(透明标签字符统计, 8), "共计7个字符。");
}

TEST_F(ReadPage, AChinesePageWithLfBreaksKeepsTheBytesTheCommandLineFetches)
{
    std::string body = "<html><head><meta charset=\"utf-8\"><title>中间文本</title></head>\n<body>\n";
    for (int i = 0; i < 300; ++i)
        body += "<p class=\"p\">第" + std::to_string(i) + "段：网页源码，左边文本与右边文本之间。</p>\n";
    body += "</body></html>\n";
    TestServer server([&](const std::string&) { return httptest::CannedReply{Reply("200 OK", "", body)}; });
    Read(server.Url("/zh"));
    const ToolRun fetched = RunTool({"fetch", server.Url("/zh"), "--gbk"});
    ASSERT_EQ(fetched.status, 0);
    EXPECT_TRUE(Gb(Big()) == fetched.out); // LF kept, nothing added
    EXPECT_EQ(Text(透明标签字符统计, 8), "共计" + std::to_string(fetched.out.size()) + "个字符。");
}

} // namespace
} // namespace mt::test
