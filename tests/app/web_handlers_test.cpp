// Reading a web page into the big box, against servers on 127.0.0.1.
#include "tool_window.h"

#include <cstdlib>
#include <filesystem>
#include <functional>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include "net/http_client.h"
#include "platform/application.h"
#include "platform/edit_control.h"
#include "platform/input_dialog.h"
#include "platform/native_window.h"
#include "platform/testing/dialog_script.h"
#include "platform/testing/input_simulation.h"
#include "platform/testing/window_system_input.h"
#include "platform/transfer_window.h"
#include "support/http_test_support.h"
#include "support/run_tool.h"
#include "windows/window_engine.h"

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
    std::string Notice() const { return Utf8(platform::EditControlOf(Handle(编辑框被查找文本))->notice()); }
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

TEST_F(ReadPage, AFailedFetchKeepsTheBigBoxAndSaysWhy)
{
    httptest::TlsFiles strangers("Strangers");
    ASSERT_TRUE(strangers.ok);
    TestServer silent([](const std::string&) { return httptest::CannedReply{""}; });
    TestServer empty([](const std::string&) { return httptest::CannedReply{Reply("204 No Content", "", "")}; });
    TestServer toFile([](const std::string&) {
        return httptest::CannedReply{Reply("302 Found", "Location: file:///etc/hostname\r\n", "")};
    });
    TestServer stalled([](const std::string&) { return httptest::CannedReply{Reply("200 OK", "", ""), 5000}; });
    TestServer untrusted([](const std::string&) { return httptest::CannedReply{Reply("200 OK", "", "x")}; }, &strangers);
    const struct {
        std::string url;
        const char* reason;
    } cases[] = {
        {"http://127.0.0.1:" + std::to_string(httptest::DeadPort()) + "/", "无法连接到服务器"},
        {"http://", "网址无法读取"}, // the dialog's initial text, unchanged
        {silent.Url("/"), "服务器没有返回内容"},
        {empty.Url("/"), "服务器没有返回内容"},
        {toFile.Url("/"), "重定向被拒绝"},
        {stalled.Url("/"), "服务器长时间没有发送数据"},
        {untrusted.Url("/"), "证书无效"},
    };
    TheHttpClient().setLimits({.speedSeconds = 1});
    SetText(编辑框被查找文本, kContent, "my text");
    for (const auto& c : cases)
        Read(c.url);
    TheHttpClient().setLimits(HttpLimits{});
    EXPECT_EQ(Big(), "my text");
    EXPECT_EQ(Int(编辑框被查找文本, kTextColor), 0x808080);
    ASSERT_EQ(Messages().size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(Messages()[i].text, std::string("未能读取到网页内容！\n") + cases[i].reason) << cases[i].url;
        EXPECT_EQ(Messages()[i].caption, "读取网页源码");
        EXPECT_EQ(Messages()[i].flags & 0xFFF, 16u);
    }
}

struct PageCase {
    const char* name;
    std::string headers, body;
    std::string shown;       // what the big box holds, in UTF-8
    std::string notice = ""; // the notice over it, in UTF-8
};

TEST_F(ReadPage, PagesAreDecodedFromTheCharsetTheyDeclare)
{
    const std::string zhong = "\xe4\xb8\xad"; // 中 in UTF-8
    const std::string html = "Content-Type: text/html; charset=";
    const PageCase cases[] = {
        {"charset=utf-8", "", "<meta charset=utf-8>" + zhong, "<meta charset=utf-8>中"},
        {"quoted, capitals", "", "<meta charset=\"UTF-8\">" + zhong, "<meta charset=\"UTF-8\">中"},
        {"utf8 alias", "", "<meta charset=utf8>" + zhong, "<meta charset=utf8>中"},
        {"single quotes", "", "<meta charset='utf-8'>" + zhong, "<meta charset='utf-8'>中"},
        {"the header alone", html + "utf-8\r\n", zhong + "文价格", "中文价格"},
        {"UTF-8 mark", "", "\xEF\xBB\xBF" + zhong, "中"},
        {"UTF-16 mark", "", std::string("\xFF\xFE\x2D\x4E\x61\0", 6), "中a"},
        {"Big5", "", "<meta http-equiv=Content-Type content='text/html; charset=big5'>\xa4\xa4\xa4\xe5\xbb\xf9\xae\xe6",
         "<meta http-equiv=Content-Type content='text/html; charset=big5'>中文價格"},
        {"Shift_JIS", html + "Shift_JIS\r\n", "\x93\xfa\x96\x7b\x8c\xea", "日本語"},
        {"late charset=utf-8", "", std::string(1100, ' ') + "charset=utf-8" + zhong,
         std::string(1100, ' ') + "charset=utf-8中"},
        {"undeclared", "", "\xd6\xd0", "中"},
        {"undeclared UTF-8 (JSON)", "Content-Type: application/json\r\n", "{\"a\":\"" + zhong + "\"}", "{\"a\":\"中\"}"},
        {"one bad byte", html + "utf-8\r\n", zhong + "\xFF" + zhong, "中\xEF\xBF\xBD中",
         "页面有 1 个字节无法解码，已替换为“\xEF\xBF\xBD”"},
        {"UTF-16 of odd length", "", std::string("\xFF\xFE\x2D\x4E\x61\0!", 7), "中a",
         "页面有 1 个字节无法解码，已替换为“\xEF\xBF\xBD”"},
        {"GBK declared", html + "gbk\r\n", "charset=utf-8 \xd6\xd0", "charset=utf-8 中"},
        {"declared but invalid: shown as received", "", "charset=utf-8 \xd6\xd0", "charset=utf-8 中"},
        {"a zero byte ends the text", "", std::string("ab\0cd", 5), "ab"},
        {"a zero byte ends a UTF-8 text", html + "utf-8\r\n", zhong + std::string("\0", 1) + zhong, "中"},
        {"UTF-8 beyond the basic plane and Latin", html + "utf-8\r\n", "caf\xC3\xA9 \xF0\x9F\x98\x80",
         "caf\xC3\xA9 \xF0\x9F\x98\x80"},
        {"a character the converter has no code for", html + "utf-8\r\n", zhong + "\xEE\x9E\x8D" + zhong,
         "中\xEF\xBF\xBD中", "页面有 3 个字节无法解码，已替换为“\xEF\xBF\xBD”"},
        {"an overlong sequence", html + "utf-8\r\n", std::string(300, 'x') + zhong + "\xC0\xAF" + zhong,
         std::string(300, 'x') + "中\xEF\xBF\xBD\xEF\xBF\xBD中", "页面有 2 个字节无法解码，已替换为“\xEF\xBF\xBD”"},
    };
    for (const auto& c : cases) {
        TestServer server([&](const std::string&) { return httptest::CannedReply{Reply("200 OK", c.headers, c.body)}; });
        Read(server.Url("/"));
        EXPECT_EQ(Big(), c.shown) << c.name;
        EXPECT_EQ(Notice(), c.notice) << c.name;
        EXPECT_EQ(Int(编辑框被查找文本, kTextColor), 0) << c.name;
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ReadPage, APageCutAtTheCapLosesOnlyItsLastCharacter)
{
    const PageCase cases[] = {
        {"UTF-8", "", "<meta charset=utf-8>\xe4\xb8\xad\xe4\xb8\xad", "<meta charset=utf-8>中"},
        {"Big5", "", "<meta charset=big5>\xa4\xa4\xa4\xe5\xa4\xa4", "<meta charset=big5>中文"},
    };
    for (const auto& c : cases) {
        TestServer server([&](const std::string&) { return httptest::CannedReply{Reply("200 OK", "", c.body)}; });
        TheHttpClient().setLimits({.bodyLimit = static_cast<int64_t>(c.body.size()) - 1});
        Read(server.Url("/"));
        EXPECT_EQ(Big(), c.shown) << c.name;
    }
    TheHttpClient().setLimits(HttpLimits{});
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ReadPage, CancellingChangesNothing)
{
    // Announces far more than it sends, and keeps the connection open for a
    // minute: only a cancel ends the read within a test's time.
    TestServer slow([](const std::string&) {
        return httptest::CannedReply{Reply("200 OK", "Content-Length: 100000\r\n", "<p>partial"), 60000};
    });
    // Input as the window system gives it, into the windows' QWindows.
    const auto escapeInMain = [this] { test::PressEscapeIn(Handle(按钮清空)); };
    struct Case {
        const char* name;
        std::function<void()> atStart, whenShown;
    };
    const Case cases[] = {
        {"a click on 取消", {}, test::ClickTransferCancel},
        {"Esc in the progress window", {}, test::PressEscapeInTransferWindow},
        {"the progress window's close box", {}, test::CloseTransferWindow},
        {"Esc before the progress window is up", escapeInMain, {}},
    };
    for (const Case& c : cases) {
        SetText(编辑框被查找文本, kContent, "my text");
        // The window takes no input meanwhile: a click on the clear button is lost.
        platform::ScriptTransfer(
            [&] {
                test::ClickThroughWindowSystem(Handle(按钮清空), 5, 5);
                if (c.atStart)
                    c.atStart();
            },
            c.whenShown);
        Read(slow.Url("/"));
        EXPECT_EQ(Big(), "my text") << c.name;
    }
    EXPECT_TRUE(Messages().empty());

    // Closing the window cancels too; the window goes once the handler is done.
    platform::ScriptTransfer({}, [this] { test::CloseThroughWindowSystem(Handle(按钮清空)); });
    platform::ScriptInputDialogs({{true, Gb(slow.Url("/"))}});
    const platform::WindowHandle button = Handle(按钮读网页源码);
    platform::SimulateMouse(button, platform::InputKind::kLeftDown, 5, 5);
    platform::SimulateMouse(button, platform::InputKind::kLeftUp, 5, 5);
    EXPECT_TRUE(engine::IsWindowLive(MainWindow));
    EXPECT_EQ(Big(), "my text");
    EXPECT_TRUE(Messages().empty());
    platform::ProcessPendingEvents();
    EXPECT_FALSE(engine::IsWindowLive(MainWindow));
}

TEST_F(ReadPage, CapitalSchemesAnErrorBodyAndTheCount)
{
    TestServer server([](const std::string&) { return httptest::CannedReply{Reply("404 Not Found", "", "missing")}; });
    std::string url = server.Url("/x");
    url.replace(0, 4, "HTTP");
    Read(url);
    EXPECT_EQ(Big(), "missing");
    EXPECT_EQ(Text(透明标签字符统计, 8), "共计7个字符。");
    // The notice names the answer, changes no byte and goes with the next edit.
    EXPECT_EQ(Notice(), "服务器返回错误状态 404 Not Found");
    EXPECT_TRUE(Messages().empty());
    SetText(编辑框被查找文本, kContent, "edited");
    EXPECT_EQ(Notice(), "");
    TestServer bare([](const std::string&) { return httptest::CannedReply{Reply("503 ", "", "busy")}; });
    TheHttpClient().setRequestOptions({});
    Read(bare.Url("/"));
    EXPECT_EQ(Big(), "busy");
    EXPECT_EQ(Notice().rfind("服务器返回错误状态 503", 0), 0u) << Notice();
}

// A page read is one step of the big box's undo record: Ctrl+Z brings back
// what the box held before, the prompt's place included, Ctrl+Y the page.
TEST_F(ReadPage, APageReadIsOneUndoStep)
{
    TestServer server([](const std::string& request) {
        return httptest::CannedReply{Reply("200 OK", "", request.find("/b ") != std::string::npos ? "page b" : "page a")};
    });
    Read(server.Url("/a"));
    Read(server.Url("/b"));
    ASSERT_EQ(Big(), "page b");
    Click(编辑框被查找文本);
    PressKey('Z', 1); // Ctrl+Z
    EXPECT_EQ(Big(), "page a");
    EXPECT_EQ(Text(透明标签字符统计, 8), "共计6个字符。");
    PressKey('Z', 1);
    EXPECT_EQ(Big(), ""); // the prompt stood for an empty box
    PressKey('Y', 1);
    PressKey('Y', 1);
    EXPECT_EQ(Big(), "page b");
}

// Four-byte characters (Hangul, emoji) among the Chinese, LF line breaks.
TEST_F(ReadPage, AChinesePageWithLfBreaksKeepsTheBytesTheCommandLineFetches)
{
    std::string body = "<html><head><meta charset=\"utf-8\"><title>中间文本</title></head>\n<body>\n";
    for (int i = 0; i < 300; ++i)
        body += "<p class=\"p\">第" + std::to_string(i) + "段：网页源码，左边文本与右边文本之间 귭😀。</p>\n";
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

namespace mt::test {
namespace {

using namespace app::id;

// A file dropped onto the big box replaces its text, decoded as a page is
// (one edit: the count follows, undo takes it back); a directory or a file
// that cannot be read is a message and the text stays.
TEST_F(ReadPage, ADroppedFileIsReadAsAPage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct {
        const char* name;
        std::string bytes; // the file's
        std::string shown; // Content afterwards (UTF-8); empty: unchanged, with the message
        const char* message;
    } cases[] = {
        {"utf8.html", "<meta charset=\"utf-8\"><p>\xE4\xB8\xAD\xE6\x96\x87</p>", "<meta charset=\"utf-8\"><p>中文</p>", ""},
        {"bom.txt", "\xEF\xBB\xBF\xE4\xB8\xAD", "中", ""},
        {"gbk.html", Gb("<p>中文</p>"), "<p>中文</p>", ""},
        {"", "", "", "拖入的是文件夹，不是文件："},
        {"missing.html", "", "", "文件无法读取："},
    };
    for (const auto& c : cases) {
        SetText(编辑框被查找文本, kContent, "old");
        const QString path = *c.name ? dir.filePath(QString::fromUtf8(c.name)) : dir.path();
        if (!c.bytes.empty()) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.bytes.data(), static_cast<qint64>(c.bytes.size()));
        }
        const size_t before = Messages().size();
        auto* view = static_cast<QAbstractScrollArea*>(platform::ToWidget(Handle(编辑框被查找文本)));
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(3, 3), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &enter);
        QDropEvent drop(QPointF(3, 3), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &drop);
        if (*c.message) {
            ASSERT_EQ(Messages().size(), before + 1) << c.name;
            EXPECT_EQ(Messages().back().text.rfind(c.message, 0), 0u) << c.name;
            EXPECT_EQ(Big(), "old") << c.name;
            continue;
        }
        EXPECT_EQ(Messages().size(), before) << c.name;
        EXPECT_EQ(Big(), c.shown) << c.name;
        EXPECT_EQ(Text(透明标签字符统计, 8), "共计" + std::to_string(Gb(c.shown).size()) + "个字符。") << c.name;
        view->setFocus();
        PressKey('Z', 1); // Ctrl+Z
        EXPECT_EQ(Big(), "old") << c.name;
    }
}

} // namespace
} // namespace mt::test

namespace mt::test {
namespace {

// The dialog offers the addresses read successfully, most recent first, at
// most 20, without user name and password; its initial text stays, and the
// dialogs after it offer nothing. MIDDLETEXT_NO_HISTORY turns it off.
TEST_F(ReadPage, TheDialogOffersTheAddressesReadLately)
{
    std::filesystem::remove_all(std::string(std::getenv("XDG_CONFIG_HOME")) + "/middletext");
    TestServer server([](const std::string&) { return httptest::CannedReply{Reply("200 OK", "", "page")}; });
    TestServer empty([](const std::string&) { return httptest::CannedReply{Reply("204 No Content", "", "")}; });
    const auto offered = [this] {
        Read("", false);
        const auto& shown = platform::ShownInputDialogs().back();
        EXPECT_EQ(Utf8(shown.initial), "http://");
        std::vector<std::string> out;
        for (const auto& c : shown.completions)
            out.push_back(Utf8(c));
        return out;
    };
    EXPECT_TRUE(offered().empty());
    std::string authority = server.Url("/");
    authority = authority.substr(7, authority.size() - 8); // host:port
    Read("http://user:secret@" + authority + "/first");
    Read(empty.Url("/nothing")); // no page: not kept
    TestServer missing([](const std::string&) { return httptest::CannedReply{Reply("404 Not Found", "", "gone")}; });
    Read(missing.Url("/gone")); // an error page is shown, not kept
    Read(server.Url("/second"));
    Read(server.Url("/first"));
    EXPECT_EQ(offered(), (std::vector<std::string>{server.Url("/first"), server.Url("/second")}));
    // Only the next dialog offers them.
    EXPECT_TRUE(platform::ShowInputDialog({"p", "t", "i", 1}).ok);
    EXPECT_TRUE(platform::ShownInputDialogs().back().completions.empty());
    for (int i = 0; i < 21; ++i)
        Read(server.Url("/" + std::to_string(i)));
    const auto twenty = offered();
    ASSERT_EQ(twenty.size(), 20u);
    EXPECT_EQ(twenty.front(), server.Url("/20"));
    EXPECT_EQ(twenty.back(), server.Url("/1"));
    setenv("MIDDLETEXT_NO_HISTORY", "1", 1);
    Read(server.Url("/off"));
    EXPECT_TRUE(offered().empty());
    unsetenv("MIDDLETEXT_NO_HISTORY");
    EXPECT_EQ(offered().front(), server.Url("/20"));
}

} // namespace
} // namespace mt::test
