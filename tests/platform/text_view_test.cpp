// The multi-line box's widget on its own, offscreen: caret, rows, mouse,
// keys, clipboard, input method and history as a user meets them.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QDropEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "edit_test_support.h"
#include "platform/text_codec.h"
#include "platform/text_mime.h"
#include "platform/text_view.h"
#include "platform/text_view_keys.h"

namespace mt::platform {
namespace {

using test::Press;

std::string Repeat(const std::string& s, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

const std::string kZhong = "\xD6\xD0"; // 中

struct TextViewTest : ::testing::Test {
    std::unique_ptr<QWidget> window = test::MakeWindow(400, 300);
    TextView* view = nullptr;

    void SetUp() override
    {
        view = new TextView(window.get());
        view->setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 10));
        view->setGeometry(10, 10, 200, 120);
        view->show();
        view->setFocus();
        QApplication::processEvents();
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {})
    {
        Press(view, k, text, mods);
    }
    void at(size_t pos) { view->selectBytes(pos, pos); }
    QRectF caretRect() const { return view->inputMethodQuery(Qt::ImCursorRectangle).toRectF(); }
    void mouse(QEvent::Type type, QPoint p, Qt::MouseButton button = Qt::LeftButton)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent e(type, p, view->viewport()->mapToGlobal(p), button, held, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &e);
    }
    void click(QPoint p)
    {
        mouse(QEvent::MouseButtonPress, p);
        mouse(QEvent::MouseButtonRelease, p);
    }
    // Where the row after the caret's starts.
    size_t nextRowStart(size_t pos)
    {
        at(pos);
        key(Qt::Key_Down);
        key(Qt::Key_Home);
        return view->caret();
    }
};

// End puts the caret after the row's last character, drawn on that row;
// Home goes back to the row's start; typing lands after the last character.
TEST_F(TextViewTest, EndAndHomeStayOnWrappedRows)
{
    const struct {
        const char* name;
        std::string text;
        size_t from;
    } cases[] = {
        {"chinese run", Repeat(kZhong, 300), 0},
        {"ascii words", Repeat("word ", 100), 0},
        {"segment edge", std::string(3000, 'a'), 2040},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        view->setBytes(c.text);
        const size_t rowEnd = nextRowStart(c.from);
        ASSERT_GT(rowEnd, c.from);
        at(c.from);
        key(Qt::Key_Home);
        const size_t rowStart = view->caret();
        const QRectF onRow = caretRect();
        key(Qt::Key_End);
        EXPECT_EQ(view->caret(), rowEnd);
        EXPECT_EQ(caretRect().top(), onRow.top());
        EXPECT_GT(caretRect().left(), onRow.left());
        key(Qt::Key_Home);
        EXPECT_EQ(view->caret(), rowStart);
        // A click past the row's end puts the caret there too.
        click(QPoint(view->viewport()->width() - 3, static_cast<int>(onRow.center().y())));
        EXPECT_EQ(view->caret(), rowEnd);
        EXPECT_EQ(caretRect().top(), onRow.top());
        key(Qt::Key_Home);
        EXPECT_EQ(view->caret(), rowStart);
        key(Qt::Key_End);
        key(Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        EXPECT_EQ(view->bytes().substr(rowEnd, 1), "x");
        EXPECT_EQ(view->bytes().substr(0, rowEnd), c.text.substr(0, rowEnd));
    }
}

// A triple click selects the clicked line, its break included, and the
// view stays on the clicked row however long the line is.
TEST_F(TextViewTest, TripleClickSelectsTheLineWhereItIs)
{
    const std::string line = Repeat("word ", 400);
    view->setBytes(line + "\r\nnext line");
    at(1000);
    const int scrolled = view->verticalScrollBar()->value();
    const QPoint p(20, static_cast<int>(caretRect().center().y()));
    mouse(QEvent::MouseButtonPress, p);
    mouse(QEvent::MouseButtonRelease, p);
    mouse(QEvent::MouseButtonDblClick, p);
    mouse(QEvent::MouseButtonRelease, p);
    mouse(QEvent::MouseButtonPress, p);
    mouse(QEvent::MouseButtonRelease, p);
    EXPECT_EQ(view->selectionStart(), 0u);
    EXPECT_EQ(view->selectionEnd(), line.size() + 2);
    EXPECT_EQ(view->verticalScrollBar()->value(), scrolled);
}

// Undo, then each redo key does the edit again.
TEST_F(TextViewTest, RedoKeys)
{
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const struct {
        int key;
        Qt::KeyboardModifiers mods;
    } keys[] = {{Qt::Key_Y, ctrl}, {Qt::Key_Z, ctrl | Qt::ShiftModifier}};
    for (const auto& k : keys) {
        view->setBytes("a");
        at(1);
        key(Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
        key(Qt::Key_Z, ctrl);
        ASSERT_EQ(view->bytes(), "a");
        key(k.key, k.mods);
        EXPECT_EQ(view->bytes(), "ab") << k.key;
    }
}

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
    view->setBytes("abc d\x80" "f");
    view->selectBytes(0, 3);
    std::unique_ptr<QMimeData> primary(NewSelectionMime(view));
    EXPECT_EQ(primary->data(kGbMimeType).toStdString(), "abc");
    EXPECT_EQ(primary->text(), QStringLiteral("abc"));
    view->selectBytes(4, 7);
    EXPECT_EQ(primary->data(kGbMimeType).toStdString(), "d\x80" "f");
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

int DarkPixels(QWidget* viewport)
{
    const QImage image = viewport->grab().toImage();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qGray(image.pixel(x, y)) < 128;
    return n;
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

// Rows of the view that hold dark (text) pixels.
int PaintedRows(QWidget* viewport)
{
    const QImage image = viewport->grab().toImage();
    int rows = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                ++rows;
                break;
            }
        }
    }
    return rows;
}

// Undoing a paste that scrolled the view paints the text as any edit does.
TEST_F(TextViewTest, UndoOfAScrollingPastePaintsTheText)
{
    std::string lines;
    for (int i = 0; i < 30; ++i)
        lines += "line " + std::to_string(i) + "\r\n";
    view->setBytes(lines);
    const int full = PaintedRows(view->viewport());
    ASSERT_GT(full, 20);
    at(lines.size());
    QGuiApplication::clipboard()->setText(QString::fromStdString(Repeat("pasted\r\n", 400)));
    key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_GT(view->verticalScrollBar()->value(), 0);
    key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(view->bytes(), lines);
    EXPECT_GT(PaintedRows(view->viewport()), full / 2);
    EXPECT_GT(view->verticalScrollBar()->maximum(), 0);
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
    for (int offset : {0, 2, 3, 5, 8, 9})
        EXPECT_EQ(text->offsetAtPoint(text->characterRect(offset).center() - QPoint(1, 0)), offset) << offset;
    EXPECT_EQ(text->offsetAtPoint(view->viewport()->mapToGlobal(QPoint(-5, -5))), -1);

    SetTextViewAccessibleSink(Record);
    g_told.clear();
    editable->insertText(3, QStringLiteral("!"));
    EXPECT_EQ(view->bytes(), "ab" + kZhong + "!\x80" + "cd\r\nxy");
    editable->deleteText(0, 2);
    editable->replaceText(0, 1, QStringLiteral("Z"));
    EXPECT_EQ(view->bytes(), "Z!\x80" "cd\r\nxy");
    view->selectBytes(3, 5);
    key(Qt::Key_Z, Qt::ControlModifier);
    SetTextViewAccessibleSink(nullptr);
    const std::vector<std::string> expected = {
        "insert 3 !", "remove 0 ab", "update 0 \xE4\xB8\xAD>Z", "select 3-5", "update 0 Z>\xE4\xB8\xAD", "select 0-1",
    };
    EXPECT_EQ(g_told, expected);
}

// The key table: modifiers select the action, Shift extends movements only.
TEST(TextViewKeys, TableGivesEachKeyItsAction)
{
    const Qt::KeyboardModifiers no = Qt::NoModifier, ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
    const struct {
        int key;
        Qt::KeyboardModifiers mods;
        EditAction action;
        bool extend;
    } cases[] = {
        {Qt::Key_Y, ctrl, EditAction::kRedo, false},
        {Qt::Key_Z, ctrl | shift, EditAction::kRedo, false},
        {Qt::Key_Z, ctrl, EditAction::kUndo, false},
        {Qt::Key_Insert, shift, EditAction::kPaste, false},
        {Qt::Key_Delete, shift, EditAction::kCut, false},
        {Qt::Key_Delete, no, EditAction::kDeleteForward, false},
        {Qt::Key_Left, ctrl | shift, EditAction::kWordLeft, true},
        {Qt::Key_End, shift | Qt::KeypadModifier, EditAction::kRowEnd, true},
        {Qt::Key_Home, ctrl, EditAction::kTextStart, false},
        {Qt::Key_Backspace, ctrl, EditAction::kDeleteWordBack, false},
        {Qt::Key_Return, shift, EditAction::kNewLine, true},
        {Qt::Key_Return, ctrl, EditAction::kNone, false},
        {Qt::Key_C, ctrl | shift, EditAction::kNone, false},
        {Qt::Key_A, no, EditAction::kNone, false},
    };
    for (const auto& c : cases) {
        const KeyAction a = ActionForKey(c.key, c.mods);
        EXPECT_EQ(a.action, c.action) << std::hex << c.key << " " << c.mods.toInt();
        EXPECT_EQ(a.extend, c.extend) << std::hex << c.key << " " << c.mods.toInt();
    }
}

// A line longer than a segment wraps as one paragraph: rows break where the
// width says, never at the segments' 2 KiB edges.
TEST_F(TextViewTest, LongLinesWrapAcrossSegmentEdges)
{
    const struct {
        const char* name;
        std::string text;
        QString typed; // one unit of the text: every row starts at a multiple of it
    } cases[] = {
        {"chinese run", Repeat(kZhong, 3000), QString::fromUtf8("\xE4\xB8\xAD")},
        {"letters", std::string(6000, 'a'), QStringLiteral("a")},
        {"words", Repeat("word ", 1200), QStringLiteral("word ")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        view->setBytes(c.text);
        const size_t unit = ToGb(c.typed).size();
        // Before and after an edit early in the line.
        for (int round = 0; round < 2; ++round) {
            std::vector<size_t> starts{0};
            at(0);
            for (;;) {
                key(Qt::Key_Down);
                key(Qt::Key_Home);
                if (view->caret() <= starts.back())
                    break;
                starts.push_back(view->caret());
            }
            ASSERT_GT(starts.back(), 2 * 2048u);
            const size_t row = starts[1] - starts[0];
            for (size_t i = 1; i + 1 < starts.size(); ++i) {
                EXPECT_EQ(starts[i] % unit, 0u) << "row " << i;
                EXPECT_EQ(starts[i + 1] - starts[i], row) << "row " << i << " at " << starts[i];
            }
            // Rows across an edge are drawn once: as much ink as inside a segment.
            at(1024 * unit);
            const int inside = DarkPixels(view->viewport());
            at(2048);
            EXPECT_NEAR(DarkPixels(view->viewport()), inside, inside / 100);
            at(100 * unit);
            key(Qt::Key_unknown, Qt::NoModifier, c.typed);
        }
    }
}

} // namespace
} // namespace mt::platform
