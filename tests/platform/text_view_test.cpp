// The multi-line box's widget on its own, offscreen: caret, rows, keys and
// history as a user meets them.
#include "text_view_fixture.h"

#include <QMenu>

namespace mt::platform {
namespace {

using test::DarkPixels;
using test::kZhong;
using test::Repeat;
using TextViewTest = test::TextViewTest;

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

// A program's whole-text write is one undo step; a placeholder write is
// none (the record holds the box as empty), so undo under it or after it
// was cleared brings back what it replaced. Each step: a write (w:text,
// p:placeholder), typing (t:text), undo (u) or redo (r); the bytes after it.
TEST_F(TextViewTest, ProgramWritesAreUndoStepsAndPlaceholdersAreNone)
{
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> steps;
    } cases[] = {
        {"writes", {{"w:page a", "page a"}, {"w:page b", "page b"}, {"u", "page a"}, {"u", ""}, {"r", "page a"}}},
        {"the same text twice is one step", {{"w:x", "x"}, {"w:x", "x"}, {"u", ""}, {"u", ""}}},
        {"a placeholder over a page",
         {{"w:page", "page"}, {"p:prompt", "prompt"}, {"w:", ""}, {"u", "page"}, {"r", ""}, {"u", "page"}}},
        {"undo under the placeholder", {{"w:page", "page"}, {"p:prompt", "prompt"}, {"u", "page"}}},
        {"placeholders come and go",
         {{"t:ab", "ab"}, {"p:prompt", "prompt"}, {"w:", ""}, {"p:prompt", "prompt"}, {"w:", ""}, {"u", "ab"}}},
        {"typing into a placeholder keeps it", {{"w:a", "a"}, {"p:P", "P"}, {"t:x", "Px"}, {"u", "P"}, {"u", ""}}},
        {"a placeholder with no record is the start", {{"p:P", "P"}, {"t:x", "Px"}, {"u", "P"}, {"u", "P"}}},
        {"nothing to undo keeps the placeholder", {{"p:P", "P"}, {"u", "P"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        view->setBytes("");
        for (const auto& [step, bytes] : c.steps) {
            if (step[0] == 'w' || step[0] == 'p')
                view->writeBytes(step.substr(2), step[0] == 'p');
            else if (step[0] == 't') {
                at(view->bytes().size());
                for (const char ch : step.substr(2))
                    key(Qt::Key_unknown, Qt::NoModifier, QString(QLatin1Char(ch)));
            } else
                key(Qt::Key_Z, step == "u" ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
            EXPECT_EQ(view->bytes(), bytes) << step;
        }
    }
}

// The key table: modifiers select the action, Shift extends movements only.
// A switch the program puts into the context menu: shown checked as its
// state says, behind a separator; choosing it turns the state over.
bool g_switchOn = true;
bool SwitchOn() { return g_switchOn; }
void TurnSwitch(bool on) { g_switchOn = on; }

TEST_F(TextViewTest, AMenuSwitchShowsItsStateAndTurnsIt)
{
    QMenu empty;
    view->addMenuSwitches(&empty);
    EXPECT_TRUE(empty.actions().isEmpty());
    view->addMenuSwitch(QStringLiteral("live"), SwitchOn, TurnSwitch);
    view->addMenuSwitch(QStringLiteral("live"), SwitchOn, TurnSwitch); // the same label again
    for (const bool on : {true, false}) {
        g_switchOn = on;
        QMenu menu;
        view->addMenuSwitches(&menu);
        ASSERT_EQ(menu.actions().size(), 2);
        EXPECT_TRUE(menu.actions()[0]->isSeparator());
        QAction* entry = menu.actions()[1];
        EXPECT_EQ(entry->text(), QStringLiteral("live"));
        EXPECT_TRUE(entry->isCheckable());
        EXPECT_EQ(entry->isChecked(), on);
        entry->trigger();
        EXPECT_EQ(g_switchOn, !on);
    }
}

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
            EXPECT_NEAR(DarkPixels(view->viewport()), inside, inside / 100.0);
            at(100 * unit);
            key(Qt::Key_unknown, Qt::NoModifier, c.typed);
        }
    }
}

} // namespace
} // namespace mt::platform

namespace mt::platform::test {
namespace {

// The widest text a search of the tint was handed since the last reset.
size_t g_searched = 0;
int64_t PlainSearch(std::string_view text, std::string_view sought)
{
    g_searched = std::max(g_searched, text.size());
    const size_t at = text.find(sought);
    return at == std::string_view::npos ? -1 : static_cast<int64_t>(at);
}

bool ShowsColor(QWidget* viewport, QColor color)
{
    const QImage image = viewport->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == color)
                return true;
    return false;
}

// Marks and the notice are looks: marks cut to the text, drawn, the middle
// one scrolled into view; the notice drawn over the top, one line; both
// gone with the next change of the text; the bytes, rows, selection and
// caret stay.
TEST_F(TextViewTest, MarksAndTheNoticeAreDrawnAndGoWithTheNextEdit)
{
    const std::string text = Repeat("line\r\n", 200) + "[" + kZhong + "\xFE\x39\xFE\x39" + "\r\n]";
    const size_t middle = text.size() - 9;
    const struct {
        const char* name;
        std::function<void(TextViewTest*)> edit;
    } edits[] = {
        {"typing", [](TextViewTest* t) { t->key(Qt::Key_X, Qt::NoModifier, QStringLiteral("x")); }},
        {"a new text", [](TextViewTest* t) { t->view->setBytes("other"); }},
        {"deleting", [](TextViewTest* t) { t->key(Qt::Key_Delete); }},
        {"undoing", [](TextViewTest* t) { t->key(Qt::Key_Z, Qt::ControlModifier); }},
    };
    const QColor band(0xFF, 0xF1, 0xC4);
    for (const auto& e : edits) {
        view->setBytes(text);
        if (std::string(e.name) == "undoing") { // something to undo, the text as it was
            view->selectBytes(0, 0);
            key(Qt::Key_Y, Qt::NoModifier, QStringLiteral("y"));
            key(Qt::Key_Backspace);
        }
        view->selectBytes(1, 3);
        const QRectF caretBefore = caretRect();
        const int scrolledBefore = view->verticalScrollBar()->value();
        view->setNotice(QStringLiteral("\u670D\u52A1\u5668\u8FD4\u56DE\u9519\u8BEF 404\n") + QString(80, u'x'));
        QApplication::processEvents();
        EXPECT_TRUE(ShowsColor(view->viewport(), band)) << e.name;
        EXPECT_FALSE(view->notice().contains(u'\n')) << e.name;
        EXPECT_EQ(view->noticeRect().top(), 0) << e.name;
        EXPECT_LT(view->noticeRect().height(), view->viewport()->height() / 3) << e.name;
        EXPECT_EQ(caretRect(), caretBefore) << e.name;
        EXPECT_EQ(view->verticalScrollBar()->value(), scrolledBefore) << e.name;
        view->setMarks({{{middle - 1, 1, MarkTint::kLeft}, {middle, 8, MarkTint::kMiddle}, {text.size() - 1, 5, MarkTint::kRight}},
                        "",
                        nullptr,
                        1});
        QApplication::processEvents();
        ASSERT_EQ(view->marks().marks.size(), 3u) << e.name;
        EXPECT_EQ(view->marks().marks[2].length, 1u) << e.name; // cut to the text
        EXPECT_GT(view->verticalScrollBar()->value(), 0) << e.name;
        EXPECT_TRUE(ShowsColor(view->viewport(), QColor(0xFF, 0xC0, 0x60))) << e.name;
        EXPECT_EQ(view->bytes(), text);
        EXPECT_EQ(view->selectionStart(), 1u);
        EXPECT_EQ(view->selectionEnd(), 3u);
        EXPECT_FALSE(view->notice().isEmpty()) << e.name;
        e.edit(this);
        EXPECT_TRUE(view->marks().marks.empty()) << e.name;
        EXPECT_TRUE(view->notice().isEmpty()) << e.name;
        QApplication::processEvents();
        EXPECT_FALSE(ShowsColor(view->viewport(), QColor(0xFF, 0xC0, 0x60))) << e.name;
        EXPECT_FALSE(ShowsColor(view->viewport(), band)) << e.name;
    }
}

// The sought text's occurrences are found in the rows in view alone, and
// follow the view as it scrolls.
TEST_F(TextViewTest, OccurrencesAreTintedInTheRowsInViewOnly)
{
    const std::string line = "ab-ab\r\n";
    view->setBytes(Repeat(line, 5000));
    view->setMarks({{}, "ab", PlainSearch, -1});
    for (const size_t top : {size_t(0), line.size() * 2500}) {
        view->selectBytes(top, top);
        g_searched = 0;
        const auto found = view->occurrencesInView();
        ASSERT_FALSE(found.empty());
        EXPECT_LT(g_searched, 100 * line.size()); // a screen's rows, not the text
        EXPECT_LT(found.size(), 60u);
        for (const auto& [s, e] : found) {
            EXPECT_EQ(view->bytes().substr(s, e - s), "ab");
            EXPECT_FALSE(view->characterRect(s).isEmpty()) << s;
        }
        QApplication::processEvents();
        EXPECT_TRUE(ShowsColor(view->viewport(), QColor(0xFF, 0xEE, 0x80)));
    }
}

} // namespace
} // namespace mt::platform::test

namespace mt::platform::test {
namespace {

void CtrlWheel(TextView* view, int dy)
{
    QWheelEvent e(QPointF(5, 5), view->viewport()->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, dy), Qt::NoButton,
                  Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &e);
}

// Ctrl+plus, minus, 0 and Ctrl+wheel change the text size of a zoomable
// view by steps from the font set from outside; the text and the font that
// was set stay, and a view that is not zoomable ignores them.
TEST_F(TextViewTest, ZoomStepsFromTheFontSetFromOutside)
{
    view->setBytes("zoom");
    const qreal base = view->font().pointSizeF();
    const struct {
        const char* name;
        std::function<void(TextViewTest*)> act;
        int steps;
    } cases[] = {
        {"Ctrl+plus", [](TextViewTest* t) { t->key(Qt::Key_Plus, Qt::ControlModifier); }, 1},
        {"Ctrl+=", [](TextViewTest* t) { t->key(Qt::Key_Equal, Qt::ControlModifier); }, 2},
        {"Ctrl+minus", [](TextViewTest* t) { t->key(Qt::Key_Minus, Qt::ControlModifier); }, 1},
        {"Ctrl+wheel up", [](TextViewTest* t) { CtrlWheel(t->view, 120); }, 2},
        {"Ctrl+wheel down", [](TextViewTest* t) { CtrlWheel(t->view, -120); }, 1},
        {"a new font keeps the zoom",
         [](TextViewTest* t) { t->view->setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 10)); }, 1},
        {"Ctrl+0", [](TextViewTest* t) { t->key(Qt::Key_0, Qt::ControlModifier); }, 0},
    };
    for (const bool zoomable : {false, true}) {
        view->setZoomable(zoomable);
        for (const auto& c : cases) {
            c.act(this);
            const int steps = zoomable ? c.steps : 0;
            EXPECT_EQ(view->zoomSteps(), steps) << c.name;
            EXPECT_NEAR(view->font().pointSizeF(), base * std::pow(1.1, steps), 0.01) << c.name;
            EXPECT_EQ(view->bytes(), "zoom") << c.name;
        }
    }
}

} // namespace
} // namespace mt::platform::test
