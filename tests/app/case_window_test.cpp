// Cases saved from the window with Ctrl+S and loaded into it with Ctrl+O,
// then run by `middletext test` as a child process.
#include "tool_window.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCryptographicHash>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>

#include "platform/case_dialogs.h"
#include "platform/edit_control.h"
#include "platform/native_window.h"
#include "platform/testing/dialog_script.h"
#include "support/http_test_support.h"
#include "support/run_tool.h"

namespace mt::test {
namespace {

using namespace app::id;
using httptest::Reply;
using httptest::TestServer;
namespace fs = std::filesystem;

constexpr int32_t kContent = 8;
constexpr int32_t kCtrl = 1;

std::string Slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

std::string Sha256(const std::string& bytes)
{
    return QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Sha256).toHex().toStdString();
}

class SavedCases : public ToolWindow {
protected:
    void SetUp() override
    {
        ToolWindow::SetUp();
        ASSERT_TRUE(dir_.isValid());
        folder_ = dir_.path().toStdString();
        platform::RememberCaseFile("");
        platform::ScriptFileDialogs({});
        platform::ScriptPickLists({});
    }
    void TearDown() override
    {
        platform::RememberCaseFile("");
        ToolWindow::TearDown();
    }
    std::string CaseFile() const { return folder_ + "/cases.jsonl"; }
    void Rule(const std::string& left, const std::string& right)
    {
        SetText(编辑框左边, kContent, left);
        SetText(编辑框右边, kContent, right);
    }
    // Ctrl+S with the focus in the box given (the big box or another).
    void Save(uint32_t focus = 编辑框中间)
    {
        Click(focus);
        PressKey('S', kCtrl);
    }
    void Read(const std::string& url)
    {
        platform::ScriptInputDialogs({{true, Gb(url)}});
        Click(按钮读网页源码);
    }
    std::string Big() const { return Text(编辑框被查找文本, kContent); }
    // Opens the big box's context menu and picks the entry whose text begins
    // with `label`; false when it is not there or disabled.
    bool PickFromMenu(const QString& label)
    {
        auto* view = static_cast<QAbstractScrollArea*>(platform::ToWidget(Handle(编辑框被查找文本)));
        bool picked = false;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            QAction* entry = nullptr;
            for (QAction* a : menu->actions()) {
                if (a->text().startsWith(label))
                    entry = a;
            }
            menu->close();
            if (entry && entry->isEnabled()) {
                picked = true;
                entry->trigger();
            }
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), view->viewport()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(view->viewport(), &event);
        return picked;
    }

    QTemporaryDir dir_;
    std::string folder_;
};

// The file is asked for once; the big text, changed since any page read,
// is kept once under its SHA-256 however often it is saved, and the
// expectation is what the rule gives now (null when it finds nothing).
TEST_F(SavedCases, CtrlSWritesTheCaseAndKeepsThePageOnce)
{
    platform::ScriptFileDialogs({{true, CaseFile()}});
    SetText(编辑框被查找文本, kContent, "<b>中文</b> <i>斜体</i>\n");
    Rule("<b>", "</b>");
    Save(编辑框被查找文本);
    Save();
    Rule("<i>", "</x>");
    Save(编辑框被查找文本);
    Rule("\"", "\"");
    SetText(编辑框被查找文本, kContent, "say \"\" twice");
    Save();

    ASSERT_EQ(platform::ShownFileDialogs().size(), 1u);
    EXPECT_TRUE(platform::ShownFileDialogs()[0].save);
    EXPECT_EQ(Utf8(platform::ShownFileDialogs()[0].title), "保存测试用例");
    EXPECT_EQ(platform::RememberedCaseFile(), CaseFile());

    const std::string page = Gb("<b>中文</b> <i>斜体</i>\n"), other = "say \"\" twice";
    const std::string name = "pages/" + Sha256(page) + ".txt", otherName = "pages/" + Sha256(other) + ".txt";
    const std::vector<std::string> lines = Lines(Slurp(CaseFile()));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "{\"source\": \"" + name + "\", \"source_gbk\": true, \"left\": \"<b>\", \"right\": \"</b>\", "
                                                   "\"expect\": \"中文\"}");
    EXPECT_EQ(lines[1], lines[0]);
    EXPECT_EQ(lines[2], "{\"source\": \"" + name + "\", \"source_gbk\": true, \"left\": \"<i>\", \"right\": \"</x>\", "
                                                   "\"expect\": null}");
    EXPECT_EQ(lines[3], "{\"source\": \"" + otherName + "\", \"source_gbk\": true, \"left\": \"\\\"\", \"right\": "
                                                        "\"\\\"\", \"expect\": \"\"}");
    EXPECT_EQ(Slurp(fs::path(folder_) / name), page); // the raw GB18030 bytes
    size_t kept = 0;
    for ([[maybe_unused]] const auto& f : fs::directory_iterator(fs::path(folder_) / "pages"))
        ++kept;
    EXPECT_EQ(kept, 2u);
    EXPECT_EQ(Utf8(platform::EditControlOf(Handle(编辑框被查找文本))->notice()),
              "已保存为测试用例：" + CaseFile() + "，第 4 行");

    const ToolRun run = RunTool({"test", CaseFile()});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out, "ok 1\nok 2\nok 3\nok 4\n4 passed, 0 failed, 0 errors\n");
}

// A page read and left as it was is named by its address; once the big text
// changes, the case keeps the text instead. A text UTF-8 cannot carry is
// written in hex. Ctrl+Shift+S asks for the file again.
TEST_F(SavedCases, APageReadIsNamedByItsAddressUntilTheTextChanges)
{
    TestServer server([](const std::string&) {
        return httptest::CannedReply{Reply("200 OK", "Content-Type: text/html; charset=utf-8\r\n", "<h1>标题</h1><p>x</p>")};
    });
    platform::ScriptFileDialogs({{true, CaseFile()}, {true, folder_ + "/other.jsonl"}});
    Read(server.Url("/page"));
    ASSERT_EQ(Big(), "<h1>标题</h1><p>x</p>");
    Rule("<h1>", "</h1>");
    Save();
    SetText(编辑框被查找文本, kContent, "<h1>改过</h1>");
    Save();
    // A byte GB18030 does not decode: kept as hex.
    platform::EditControlOf(Handle(编辑框被查找文本))->writeText("<h1>\xff\xff</h1>", false);
    Save();

    const std::vector<std::string> lines = Lines(Slurp(CaseFile()));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "{\"source\": \"" + server.Url("/page") +
                            "\", \"left\": \"<h1>\", \"right\": \"</h1>\", \"expect\": \"标题\"}");
    EXPECT_NE(lines[1].find("\"source_gbk\": true"), std::string::npos) << lines[1];
    EXPECT_NE(lines[1].find("\"expect\": \"改过\""), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find("\"expect_gbk\": \"ffff\""), std::string::npos) << lines[2];
    const ToolRun run = RunTool({"test", CaseFile()});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out, "ok 1\nok 2\nok 3\n3 passed, 0 failed, 0 errors\n");

    PressKey('S', 3); // Ctrl+Shift+S
    EXPECT_EQ(platform::ShownFileDialogs().size(), 2u);
    EXPECT_EQ(platform::RememberedCaseFile(), folder_ + "/other.jsonl");
    EXPECT_EQ(Lines(Slurp(folder_ + "/other.jsonl")).size(), 1u);
}

// Ctrl+O: the file, then the case from a list; its source comes into the big
// box as one step to undo, and its rule into the left and right boxes.
TEST_F(SavedCases, CtrlOLoadsTheCasePickedFromTheList)
{
    TestServer server([](const std::string&) { return httptest::CannedReply{Reply("200 OK", "", "<a>from the web</a>")}; });
    {
        fs::create_directories(fs::path(folder_) / "pages");
        std::ofstream(fs::path(folder_) / "pages" / "p.txt", std::ios::binary) << "<td>中间</td>";
        std::ofstream(CaseFile(), std::ios::binary)
            << "{\"name\": \"cell\", \"source\": \"pages/p.txt\", \"left\": \"<td>\", \"right\": \"</td>\", "
               "\"expect\": \"中间\"}\n\n"
            << "{\"source\": \"" << server.Url("/") << "\", \"left\": \"<a>\", \"right\": \"</a>\", \"expect\": \"x\"}\n";
    }
    SetText(编辑框被查找文本, kContent, "before");
    platform::ScriptFileDialogs({{true, CaseFile()}, {true, CaseFile()}, {false, ""}});
    platform::ScriptPickLists({0, 1});
    PressKey('O', kCtrl);
    ASSERT_EQ(platform::ShownPickLists().size(), 1u);
    const platform::ShownPickList& list = platform::ShownPickLists()[0];
    EXPECT_FALSE(platform::ShownFileDialogs()[0].save);
    ASSERT_EQ(list.items.size(), 2u);
    EXPECT_EQ(Utf8(list.items[0]), "cell    <td> … </td>    pages/p.txt");
    EXPECT_EQ(Utf8(list.items[1]), "3    <a> … </a>    " + server.Url("/"));
    EXPECT_EQ(Big(), "<td>中间</td>");
    EXPECT_EQ(Text(编辑框左边, kContent), "<td>");
    EXPECT_EQ(Text(编辑框右边, kContent), "</td>");

    PressKey('O', kCtrl);
    EXPECT_EQ(Big(), "<a>from the web</a>");
    EXPECT_EQ(Text(编辑框左边, kContent), "<a>");
    Click(编辑框被查找文本);
    PressKey('Z', kCtrl);
    EXPECT_EQ(Big(), "<td>中间</td>");
    PressKey('Z', kCtrl);
    EXPECT_EQ(Big(), "before");

    PressKey('O', kCtrl); // cancelled: nothing changes
    EXPECT_EQ(Big(), "before");
    EXPECT_EQ(platform::ShownPickLists().size(), 2u);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(platform::RememberedCaseFile(), CaseFile());
}

// The big box's menu offers both, with nothing selected, and shows the keys.
TEST_F(SavedCases, TheMenuEntriesSaveAndOpen)
{
    platform::ScriptFileDialogs({{true, CaseFile()}, {true, CaseFile()}});
    SetText(编辑框被查找文本, kContent, "<p>1</p>");
    Rule("<p>", "</p>");
    EXPECT_TRUE(PickFromMenu(QString::fromUtf8("保存为测试用例")));
    EXPECT_EQ(Lines(Slurp(CaseFile())).size(), 1u);
    SetText(编辑框被查找文本, kContent, "other");
    EXPECT_TRUE(PickFromMenu(QString::fromUtf8("打开测试用例")));
    EXPECT_EQ(platform::ShownPickLists().size(), 1u);
    EXPECT_EQ(Big(), "<p>1</p>");
}

// A file that is not a case file says where; so does a source that is gone.
TEST_F(SavedCases, ABadCaseFileOrSourceIsAMessage)
{
    std::ofstream(CaseFile(), std::ios::binary) << "{\"source\": \"gone.txt\", \"left\": \"a\", \"right\": \"b\", "
                                                   "\"expect\": null}\n{\"source\": 1}\n";
    platform::ScriptFileDialogs({{true, CaseFile()}});
    PressKey('O', kCtrl);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text.rfind("未能打开测试用例：\n" + CaseFile() + ":2: ", 0), 0u) << Messages()[0].text;

    std::ofstream(CaseFile(), std::ios::binary) << "{\"source\": \"gone.txt\", \"left\": \"a\", \"right\": \"b\", "
                                                   "\"expect\": null}\n";
    platform::ScriptFileDialogs({{true, CaseFile()}});
    PressKey('O', kCtrl);
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[1].text.rfind("未能读取用例的来源：\n", 0), 0u) << Messages()[1].text;
    EXPECT_NE(Messages()[1].text.find(folder_ + "/gone.txt"), std::string::npos) << Messages()[1].text;
    EXPECT_EQ(Big(), "请输入被查找的文本");

    // A page that does not come: the read's own message, and the rule stays.
    std::ofstream(CaseFile(), std::ios::binary) << "{\"source\": \"http://127.0.0.1:" << httptest::DeadPort()
                                                << "/\", \"left\": \"a\", \"right\": \"b\", \"expect\": null}\n";
    platform::ScriptFileDialogs({{true, CaseFile()}});
    PressKey('O', kCtrl);
    ASSERT_EQ(Messages().size(), 3u);
    EXPECT_EQ(Messages()[2].text.rfind("未能读取到网页内容！\n", 0), 0u) << Messages()[2].text;
    EXPECT_EQ(Text(编辑框左边, kContent), "请输入左边文本");
}

} // namespace
} // namespace mt::test
