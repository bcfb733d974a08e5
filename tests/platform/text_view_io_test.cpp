// The multi-line box's widget and what comes in and goes out: clipboard,
// PRIMARY, input methods, words and assistive tools.
#include "text_view_fixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

namespace mt::platform {
namespace {

using test::DarkPixels;
using test::kZhong;
using test::Repeat;
using TextViewTest = test::TextViewTest;

// Copy and cut offer the exact bytes beside the text; paste and drop take
// the bytes, so undecodable ones survive a round trip.
TEST_F(TextViewTest, ClipboardKeepsBytes)
{
    const std::string text = "a\x80" + kZhong + "\xFF" + "b";
    view->setBytes(text);
    view->selectBytes(0, text.size());
    key(Qt::Key_C, Qt::ControlModifier);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->data(kGbMimeType).toStdString(), text);
    EXPECT_EQ(data->text(), FromGb(text));
    at(text.size());
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(view->bytes(), text + text);
    view->selectBytes(0, text.size());
    key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(view->bytes(), text);
    EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->data(kGbMimeType).toStdString(), text);

    QMimeData dropped;
    dropped.setText(QStringLiteral("other"));
    dropped.setData(kGbMimeType, QByteArray("\x80z"));
    QDragEnterEvent enter(QPoint(3, 3), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &enter);
    QDropEvent drop(QPointF(3, 3), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &drop);
    EXPECT_EQ(view->bytes(), "\x80z" + text);
}

// PRIMARY serves what is selected when it is asked, and nothing once
// nothing is selected.
TEST_F(TextViewTest, PrimaryServesTheSelectionOfNow)
{
    view->setBytes("abc d\x80"
                   "f");
    view->selectBytes(0, 3);
    std::unique_ptr<QMimeData> primary(NewSelectionMime(view));
    EXPECT_EQ(primary->data(kGbMimeType).toStdString(), "abc");
    EXPECT_EQ(primary->text(), QStringLiteral("abc"));
    view->selectBytes(4, 7);
    EXPECT_EQ(primary->data(kGbMimeType).toStdString(), "d\x80"
                                                        "f");
    key(Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    EXPECT_TRUE(primary->formats().isEmpty());
    EXPECT_FALSE(primary->hasText());
}

void Compose(QWidget* view, const QString& preedit, const QString& commit = {})
{
    QInputMethodEvent e(preedit, {});
    if (!commit.isEmpty())
        e.setCommitString(commit);
    QApplication::sendEvent(view, &e);
}

// A press, a focus change or a program's edit during a composition puts
// the composition where it was being composed.
TEST_F(TextViewTest, CompositionIsCommittedWhereItWasComposed)
{
    const std::string text = "\xC4\xE3\xC2\xED\xD6\xD0\xCE\xC4\xCA\xC7"; // 你马中文是
    const struct {
        const char* name;
        std::function<void(TextViewTest*)> interrupt;
        size_t caretAfter;
    } cases[] = {
        {"press", [](TextViewTest* t) { t->click(QPoint(t->view->viewport()->width() - 3, 8)); }, 13},
        {"focus out",
         [](TextViewTest* t) {
             QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
             QApplication::sendEvent(t->view, &out);
         },
         3},
        {"selection set", [](TextViewTest* t) { t->view->selectBytes(13, 13); }, 13},
        {"text replaced", [](TextViewTest* t) { t->view->replaceSelectionBytes("!"); }, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        view->setBytes(text);
        at(0);
        Compose(view, QStringLiteral("shi"));
        ASSERT_EQ(view->bytes(), text);
        c.interrupt(this);
        EXPECT_EQ(view->bytes().substr(0, 3), "shi");
        EXPECT_EQ(view->bytes().substr(view->bytes().size() - text.size()), text);
        EXPECT_EQ(view->caret(), c.caretAfter);
    }
}

// A composition begun over a selection takes its place.
TEST_F(TextViewTest, CompositionReplacesTheSelection)
{
    view->setBytes("abc");
    view->selectBytes(1, 3);
    Compose(view, QStringLiteral("shi"));
    EXPECT_EQ(view->bytes(), "a");
    EXPECT_EQ(view->selectionStart(), view->selectionEnd());
    Compose(view, {}, QString::fromUtf8("\xE6\x98\xAF")); // 是
    EXPECT_EQ(view->bytes(), "a\xCA\xC7");
}

// The composition is drawn underlined: more ink than the same text typed.
TEST_F(TextViewTest, CompositionIsUnderlined)
{
    view->setBytes("");
    key(Qt::Key_W, Qt::NoModifier, QStringLiteral("www"));
    const int typed = DarkPixels(view->viewport());
    view->setBytes("");
    Compose(view, QStringLiteral("www"));
    EXPECT_GT(DarkPixels(view->viewport()), typed + 10);
}

// Word steps stop at Unicode word boundaries: full-width marks and spaces
// separate words; a run of ideographs is one word.
TEST_F(TextViewTest, WordsEndAtPunctuationAndSpaces)
{
    const QString text = QString::fromUtf8("你好，世界。 hello world「引号」、abc！？def");
    const auto byte = [&](int chars) { return ToGb(text.left(chars)).size(); };
    view->resize(600, 120);
    view->setBytes(ToGb(text));
    const std::vector<int> stops = {0, 2, 3, 5, 7, 13, 18, 19, 21, 23, 26, 28, 31};
    at(0);
    for (size_t i = 1; i < stops.size(); ++i) {
        key(Qt::Key_Right, Qt::ControlModifier);
        EXPECT_EQ(view->caret(), byte(stops[i])) << "right to " << stops[i];
    }
    for (size_t i = stops.size() - 1; i > 0; --i) {
        key(Qt::Key_Left, Qt::ControlModifier);
        EXPECT_EQ(view->caret(), byte(stops[i - 1])) << "left to " << stops[i - 1];
    }
    const struct {
        int at, start, end;
    } words[] = {{4, 3, 5}, {9, 7, 12}, {6, 6, 7}, {22, 21, 23}, {27, 26, 28}, {1, 0, 2}};
    for (const auto& w : words) {
        at(byte(w.at));
        const QPoint p(static_cast<int>(caretRect().left()) + 2, static_cast<int>(caretRect().center().y()));
        mouse(QEvent::MouseButtonPress, p);
        mouse(QEvent::MouseButtonRelease, p);
        mouse(QEvent::MouseButtonDblClick, p);
        mouse(QEvent::MouseButtonRelease, p);
        EXPECT_EQ(view->selectionStart(), byte(w.start)) << "double click at " << w.at;
        EXPECT_EQ(view->selectionEnd(), byte(w.end)) << "double click at " << w.at;
    }
    at(byte(13));
    key(Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(FromGb(view->bytes()), text.left(7) + text.mid(13));
    at(0);
    key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(FromGb(view->bytes()), text.mid(2, 5) + text.mid(13));
}

std::vector<std::string> g_told;

void Record(QAccessibleEvent* e)
{
    std::string what;
    switch (e->type()) {
    case QAccessible::TextInserted: {
        auto* t = static_cast<QAccessibleTextInsertEvent*>(e);
        what = "insert " + std::to_string(t->changePosition()) + " " + t->textInserted().toStdString();
        break;
    }
    case QAccessible::TextRemoved: {
        auto* t = static_cast<QAccessibleTextRemoveEvent*>(e);
        what = "remove " + std::to_string(t->changePosition()) + " " + t->textRemoved().toStdString();
        break;
    }
    case QAccessible::TextUpdated: {
        auto* t = static_cast<QAccessibleTextUpdateEvent*>(e);
        what = "update " + std::to_string(t->changePosition()) + " " + t->textRemoved().toStdString() + ">" +
               t->textInserted().toStdString();
        break;
    }
    case QAccessible::TextSelectionChanged: {
        auto* t = static_cast<QAccessibleTextSelectionEvent*>(e);
        what = "select " + std::to_string(t->selectionStart()) + "-" + std::to_string(t->selectionEnd());
        break;
    }
    default: return;
    }
    g_told.push_back(what);
}

// Assistive tools get character boxes and offsets for what is in view, can
// edit the text, and hear of edits and selections; offsets count UTF-16
// units (an undecodable byte one, CR LF two).
TEST_F(TextViewTest, AssistiveToolsReadEditAndHearTheText)
{
    view->setBytes("ab" + kZhong + "\x80" + "cd\r\nxy");
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(view);
    ASSERT_NE(a, nullptr);
    QAccessibleTextInterface* text = a->textInterface();
    QAccessibleEditableTextInterface* editable = a->editableTextInterface();
    ASSERT_NE(text, nullptr);
    ASSERT_NE(editable, nullptr);
    const QRect r0 = text->characterRect(0);
    const QRect r2 = text->characterRect(2);
    ASSERT_FALSE(r0.isEmpty());
    EXPECT_GT(r2.left(), r0.left());
    EXPECT_EQ(r2.top(), r0.top());
    const QRect r8 = text->characterRect(8); // x, on the second row
    EXPECT_GT(r8.top(), r0.top());
    for (int offset : {0, 2, 3, 5, 8, 9}) {
        const QRect box = text->characterRect(offset);
        for (const QPoint at : {box.topLeft() + QPoint(1, 1), box.center(), box.center() + QPoint(box.width() / 4, 0)})
            EXPECT_EQ(text->offsetAtPoint(at), offset) << offset << " at " << at.x() - box.left();
    }
    EXPECT_EQ(text->offsetAtPoint(view->viewport()->mapToGlobal(QPoint(-5, -5))), -1);

    SetTextViewAccessibleSink(Record);
    g_told.clear();
    editable->insertText(3, QStringLiteral("!"));
    EXPECT_EQ(view->bytes(), "ab" + kZhong + "!\x80" + "cd\r\nxy");
    editable->deleteText(0, 2);
    editable->replaceText(0, 1, QStringLiteral("Z"));
    EXPECT_EQ(view->bytes(), "Z!\x80"
                             "cd\r\nxy");
    view->selectBytes(3, 5);
    key(Qt::Key_Z, Qt::ControlModifier);
    SetTextViewAccessibleSink(nullptr);
    const std::vector<std::string> expected = {
        "insert 3 !",
        "remove 0 ab",
        "update 0 \xE4\xB8\xAD>Z",
        "select 3-5",
        "update 0 Z>\xE4\xB8\xAD",
        "select 0-1",
    };
    EXPECT_EQ(g_told, expected);
}

} // namespace
} // namespace mt::platform

namespace mt::platform::test {
namespace {

struct DropHost : EditorHost {
    void editorFocusChanged(bool, FocusCause) override {}
    size_t editorInsertRoom() const override { return SIZE_MAX; }
    void editorTextEdited() override { ++edits; }
    void editorFileDropped(const DroppedFile& file) override { files.push_back(file); }
    int edits = 0;
    std::vector<DroppedFile> files;
};

void DropMime(TextView* view, QMimeData* mime)
{
    QDragEnterEvent enter(QPoint(3, 3), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &enter);
    QDropEvent drop(QPointF(3, 3), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &drop);
}

// A dropped file is read and handed up with its bytes as they are, or with
// why not; the text stays until the host puts the bytes in, as one edit
// that undo takes back. Dropped text still goes in where it falls.
TEST_F(TextViewTest, ADroppedFileIsHandedUpAsItsBytes)
{
    DropHost host;
    view->setHost(&host);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString page = dir.filePath(QStringLiteral("page.html"));
    const std::string bytes = std::string("<p>\x00\xE4\xB8\xAD</p>\r\n", 13);
    {
        QFile f(page);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    const QString big = dir.filePath(QStringLiteral("big.bin"));
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(kDroppedFileCap + 1)); // sparse: nothing is written
    }
    const struct {
        QString path;
        DroppedFile::Problem problem;
        std::string bytes;
    } cases[] = {
        {page, DroppedFile::kNone, bytes},
        {dir.path(), DroppedFile::kDirectory, ""},
        {big, DroppedFile::kTooBig, ""},
        {dir.filePath(QStringLiteral("missing.html")), DroppedFile::kUnreadable, ""},
    };
    for (const auto& c : cases) {
        view->setBytes("old");
        host.files.clear();
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(c.path)});
        DropMime(view, &mime);
        ASSERT_EQ(host.files.size(), 1u) << c.path.toStdString();
        EXPECT_EQ(host.files[0].problem, c.problem) << c.path.toStdString();
        EXPECT_EQ(host.files[0].bytes, c.bytes) << c.path.toStdString();
        EXPECT_EQ(host.files[0].name, ToGb(c.path));
        EXPECT_EQ(host.files[0].reason.empty(), c.problem != DroppedFile::kUnreadable);
        EXPECT_EQ(view->bytes(), "old");
    }
    host.edits = 0;
    view->replaceAllFromUser(bytes);
    EXPECT_EQ(view->bytes(), "<p>\xE4\xB8\xAD</p>\r\n"); // no zero byte
    EXPECT_EQ(host.edits, 1);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(view->bytes(), "old");
    QMimeData text;
    text.setText(QStringLiteral("t"));
    DropMime(view, &text);
    EXPECT_EQ(view->bytes(), "told");
    view->setHost(nullptr);
}

} // namespace
} // namespace mt::platform::test
