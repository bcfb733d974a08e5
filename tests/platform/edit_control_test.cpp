// The edit control through its runtime-terms API, on real widgets.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QClipboard>
#include <QDropEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>

#include <string>

#include "edit_test_support.h"
#include "platform/controls/text_style.h"
#include "platform/screen_metrics.h"
#include "platform/text_view/text_view.h"

namespace mt::platform {
namespace {

using test::Press;
using test::Type;
using test::Widget;

// GB18030 bytes: 中 D6 D0, 文 CE C4.
const std::string kZhong = "\xD6\xD0";
const std::string kWen = "\xCE\xC4";

struct Fixture : ::testing::Test {
    test::Recorder recorder;
    std::unique_ptr<QWidget> window = test::MakeWindow();

    EditControl* make(const EditOptions& o = {}, std::string_view text = {}, Rect r = {10, 10, 200, 24})
    {
        return test::MakeEdit(window.get(), &recorder, o, text, r);
    }
    static EditOptions multi(bool multiLine = true)
    {
        EditOptions o;
        o.multiLine = multiLine;
        return o;
    }
    void paste(EditControl* edit, const QString& text)
    {
        QGuiApplication::clipboard()->setText(text);
        Press(Widget(edit->handle()), Qt::Key_V, {}, Qt::ControlModifier);
    }
};

using EditSelection = Fixture;

TEST_F(EditSelection, SelectsByteRangesAcrossDoubleByteText)
{
    for (bool multiLine : {false, true}) {
        EditControl* edit = make(multi(multiLine), "a" + kZhong + kWen + "b");
        edit->select(1, 2);
        EXPECT_EQ(edit->selectedText(), kZhong);
        EXPECT_EQ(edit->selectionStart(), 1);
        EXPECT_EQ(edit->selectionLength(), 2);
        edit->select(2, 2); // both ends inside characters: the selection grows to cover them
        EXPECT_EQ(edit->selectedText(), kZhong + kWen);
        EXPECT_EQ(edit->selectionStart(), 1);
        edit->select(2, 0); // a caret inside a character goes to its start
        EXPECT_EQ(edit->selectionStart(), 1);
        EXPECT_EQ(edit->selectionLength(), 0);
        // The end as caret (what SelStart -1 asks for) and everything (SelLength -1).
        edit->select(static_cast<int64_t>(edit->text().size()), 0);
        EXPECT_EQ(edit->selectionStart(), 6);
        EXPECT_EQ(edit->selectionLength(), 0);
        edit->select(0, static_cast<int64_t>(edit->text().size()));
        EXPECT_EQ(edit->selectedText(), edit->text());
        // Out of range clamps.
        edit->select(-5, INT64_MAX);
        EXPECT_EQ(edit->selectionLength(), 6);
        edit->select(INT64_MAX, INT64_MAX);
        EXPECT_EQ(edit->selectionStart(), 6);
    }
}

TEST_F(EditSelection, LineBreaksKeepTheirBytesAndCrLfSelectsWhole)
{
    EditControl* edit = make(multi(), "ab\r\n" + kZhong + "\ncd\re");
    EXPECT_EQ(edit->text(), "ab\r\n" + kZhong + "\ncd\re");
    edit->select(3, 0); // between CR and LF
    EXPECT_EQ(edit->selectionStart(), 2);
    edit->select(3, 1);
    EXPECT_EQ(edit->selectedText(), "\r\n");
    edit->select(4, 3);
    EXPECT_EQ(edit->selectedText(), kZhong + "\n");

    // Typed Enter is CR LF, pasted text keeps its LF (and drops U+0000,
    // which would end the text), undecodable bytes and four-byte characters
    // stay whole; copy hands out Unicode.
    const std::string odd = "\xFF\x80\x95\x32\x82\x36\x81";
    edit->setText(odd);
    EXPECT_EQ(edit->text(), odd);
    edit->select(3, 1); // inside the four-byte character
    EXPECT_EQ(edit->selectedText(), "\x95\x32\x82\x36");
    Press(Widget(edit->handle()), Qt::Key_C, {}, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("\xF0\xA0\x80\x80")); // U+20000
    edit->select(0, 2);
    Press(Widget(edit->handle()), Qt::Key_C, {}, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("\xEF\xBF\xBD\xEF\xBF\xBD"));
    edit->select(7, 0);
    Press(Widget(edit->handle()), Qt::Key_Return, "\r");
    paste(edit, QString::fromUtf16(u"a\n\0b", 4));
    EXPECT_EQ(edit->text(), odd + "\r\na\nb");
    Press(Widget(edit->handle()), Qt::Key_Z, {}, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), odd + "\r\n");
    Press(Widget(edit->handle()), Qt::Key_Backspace, "\b"); // CR LF goes whole
    EXPECT_EQ(edit->text(), odd);
}

// Caret keys of a multi-line box, in bytes: CR LF and double-byte
// characters are single steps, rows keep their column.
TEST_F(EditSelection, CaretKeysStepByCharactersWordsAndRows)
{
    EditControl* edit = make(multi(), "ab\r\ncd" + kZhong + "ef gh\r\n\r\nlast", {10, 10, 300, 200});
    QWidget* w = Widget(edit->handle());
    SetFocusWindow(edit->handle());
    struct Row {
        int key;
        Qt::KeyboardModifiers mods;
        int64_t start;
        int64_t length;
    };
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Row rows[] = {
        {Qt::Key_Right, none, 1, 0},
        {Qt::Key_Right, none, 2, 0},
        {Qt::Key_Right, none, 4, 0},
        {Qt::Key_End, none, 13, 0},
        {Qt::Key_Left, none, 12, 0},
        {Qt::Key_Home, none, 4, 0},
        {Qt::Key_Right, Qt::ControlModifier, 6, 0}, // a word ends where ideographs start
        {Qt::Key_Right, Qt::ControlModifier, 8, 0},
        {Qt::Key_Right, Qt::ControlModifier, 11, 0},
        {Qt::Key_Left, Qt::ShiftModifier, 10, 1},
        {Qt::Key_Left, Qt::ShiftModifier, 9, 2},
        {Qt::Key_Down, none, 15, 0},
        {Qt::Key_Up, none, 9, 0},
        {Qt::Key_End, Qt::ControlModifier, 21, 0},
        {Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier, 0, 21},
        {Qt::Key_Left, Qt::ControlModifier, 0, 0},
    };
    edit->select(0, 0);
    for (const Row& row : rows) {
        Press(w, row.key, {}, row.mods);
        EXPECT_EQ(edit->selectionStart(), row.start) << "key " << std::hex << row.key;
        EXPECT_EQ(edit->selectionLength(), row.length) << "key " << std::hex << row.key;
    }
    // Assistive tools see the same text, caret and selection in characters.
    QAccessibleTextInterface* text = QAccessible::queryAccessibleInterface(w)->textInterface();
    ASSERT_NE(text, nullptr);
    text->setSelection(0, 4, 7);
    EXPECT_EQ(edit->selectedText(), "cd" + kZhong);
    EXPECT_EQ(text->text(0, 6), QString::fromUtf8("ab\r\ncd"));
    EXPECT_EQ(text->cursorPosition(), 7);
    EXPECT_EQ(text->characterCount(), 20);

    // Double-click takes the word, a third click the line with its break.
    QWidget* viewport = static_cast<QAbstractScrollArea*>(w)->viewport();
    const QPointF at(4, 6);
    const auto send = [&](QEvent::Type type) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, at, viewport->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(viewport, &e);
    };
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                           QEvent::MouseButtonRelease})
        send(t);
    EXPECT_EQ(edit->selectedText(), "ab");
    send(QEvent::MouseButtonPress);
    send(QEvent::MouseButtonRelease);
    EXPECT_EQ(edit->selectedText(), "ab\r\n");

    EditControl* next = make(multi(), "", {10, 220, 100, 40});
    Press(w, Qt::Key_Tab, "\t"); // Tab moves the focus and types nothing
    EXPECT_EQ(FocusWindow(), next->handle());
    EXPECT_EQ(edit->text().size(), 21u);
}

TEST_F(EditSelection, UnfocusedLineEditKeepsItsSelection)
{
    EditControl* edit = make({}, "hello");
    EditControl* other = make({}, "", {10, 50, 100, 24});
    SetFocusWindow(edit->handle());
    edit->select(1, 3);
    SetFocusWindow(other->handle());
    EXPECT_EQ(FocusWindow(), other->handle());
    EXPECT_EQ(edit->selectedText(), "ell");
}

using EditText = Fixture;

TEST_F(EditText, SettingTextReportsOnlyWhenAsked)
{
    for (bool multiLine : {false, true}) {
        recorder.changes = 0;
        EditControl* edit = make(multi(multiLine), "x");
        edit->setText("abc");
        EXPECT_EQ(recorder.changes, 0);
        EXPECT_EQ(edit->text(), "abc");
        EXPECT_EQ(edit->selectionStart(), 0);
        edit->setText("abc", true);
        EXPECT_EQ(recorder.changes, 1);
        edit->select(3, 0);
        Type(edit, "d");
        EXPECT_EQ(recorder.changes, 2);
        EXPECT_EQ(edit->text(), "abcd");
        edit->select(0, 1);
        edit->replaceSelection(kZhong);
        EXPECT_EQ(recorder.changes, 3);
        EXPECT_EQ(edit->text(), kZhong + "bcd");
        // Bytes that do not decode read back as written, edits around them too.
        const std::string odd = "\xFF\x80" + kWen + "\x84\x31\xA4\x37\x81";
        edit->setText(odd);
        EXPECT_EQ(edit->text(), odd);
        edit->select(2, 0);
        Type(edit, "z");
        EXPECT_EQ(edit->text(), "\xFF\x80z" + kWen + "\x84\x31\xA4\x37\x81") << multiLine;
    }
}

TEST_F(EditText, SingleLineHoldsTextsBeyondTheLineEditDefaultLimit)
{
    const std::string big(100000, 'x');
    EditControl* edit = make({}, big);
    EXPECT_EQ(edit->text(), big);
    edit->select(100000, 0);
    Type(edit, "y");
    EXPECT_EQ(edit->text().size(), 100001u);
}

// A listener that writes the text again while the change is reported must
// leave the mirror right (the plain-text edit reports after its edit ends).
TEST_F(EditText, ListenerMayRewriteTheText)
{
    EditControl* edit = make(multi());
    recorder.onChange = [&] {
        if (edit->text() == "ab")
            edit->setText("rewritten", true);
    };
    Type(edit, "ab");
    EXPECT_EQ(edit->text(), "rewritten");
    EXPECT_EQ(recorder.changes, 3);
    EXPECT_EQ(static_cast<TextView*>(Widget(edit->handle()))->bytes(), "rewritten");
}

// A preedit shows in place and changes nothing; a commit or a drop is one
// edit.
TEST_F(EditText, InputMethodCommitsAndDropsInsertAndPreeditsWait)
{
    EditControl* edit = make(multi(), "ab", {10, 10, 200, 100});
    QWidget* w = Widget(edit->handle());
    SetFocusWindow(edit->handle());
    edit->select(1, 0);
    QInputMethodEvent preedit(QStringLiteral("zhong"), {});
    QApplication::sendEvent(w, &preedit);
    EXPECT_EQ(edit->text(), "ab");
    EXPECT_EQ(recorder.changes, 0);
    EXPECT_TRUE(w->inputMethodQuery(Qt::ImCursorRectangle).toRectF().isValid());
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("中文"));
    QApplication::sendEvent(w, &commit);
    EXPECT_EQ(edit->text(), "a" + kZhong + kWen + "b");
    EXPECT_EQ(edit->selectionStart(), 5);
    EXPECT_EQ(recorder.changes, 1);
    EXPECT_EQ(w->inputMethodQuery(Qt::ImCursorPosition).toInt(), 3);

    // Text dropped from elsewhere goes in where it falls, as given.
    QMimeData dropped;
    dropped.setText("x\ny");
    QWidget* viewport = static_cast<QAbstractScrollArea*>(w)->viewport();
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    EXPECT_EQ(edit->text(), "x\nya" + kZhong + kWen + "b");
    EXPECT_EQ(recorder.changes, 2);
}

TEST_F(EditText, InputModesFilterTypedCharactersOnly)
{
    struct Row {
        int mode;
        QString typed;
        std::string kept;
    };
    const Row rows[] = {
        {3, "a-1.b", "-1"},
        {7, "x9", "9"},
        {4, "-1.5e", "-1.5"},
        {10, "3.", "3."},
        {5, "-42", "42"},
        {0, "a-.", "a-."},
    };
    for (bool multiLine : {false, true}) {
        for (const Row& row : rows) {
            EditOptions o = multi(multiLine);
            o.inputMode = row.mode;
            EditControl* edit = make(o);
            Type(edit, row.typed);
            EXPECT_EQ(edit->text(), row.kept) << "mode " << row.mode << " multi " << multiLine;
        }
    }
    EditOptions o;
    o.inputMode = 3;
    EditControl* edit = make(o, "12");
    edit->select(2, 0);
    Press(Widget(edit->handle()), Qt::Key_Backspace, "\b"); // control characters pass
    EXPECT_EQ(edit->text(), "1");
    paste(edit, "ab"); // pasted text is not filtered
    EXPECT_EQ(edit->text(), "1ab");
}

TEST_F(EditText, CaseConversionAppliesToEveryWayIn)
{
    for (bool multiLine : {false, true}) {
        EditOptions o = multi(multiLine);
        o.caseConversion = 2;
        EditControl* edit = make(o, "set");
        EXPECT_EQ(edit->text(), "SET");
        edit->select(3, 0);
        Type(edit, "ty");
        EXPECT_EQ(edit->text(), "SETTY");
        edit->setCaseConversion(1);
        edit->select(0, 5);
        edit->replaceSelection("MiX");
        EXPECT_EQ(edit->text(), "mix");
    }
}

TEST_F(EditText, TextLimitCountsBytesAndNeverSplitsACharacter)
{
    for (bool multiLine : {false, true}) {
        EditOptions o = multi(multiLine);
        o.textLimit = 5;
        EditControl* edit = make(o, "abc");
        edit->select(3, 0);
        Type(edit, QString::fromUtf8("中")); // 2 bytes: fits
        EXPECT_EQ(edit->text(), "abc" + kZhong);
        Type(edit, "d"); // a sixth byte
        EXPECT_EQ(edit->text(), "abc" + kZhong);
        edit->select(0, 3);
        paste(edit, QString::fromUtf8("x中文")); // 5 bytes, of which 3 fit
        EXPECT_EQ(edit->text(), "x" + kZhong + kZhong) << multiLine;
        edit->setText("longer than five"); // the program may go beyond
        EXPECT_EQ(edit->text().size(), 16u);
    }
}

using EditLook = Fixture;

TEST_F(EditLook, PasswordModeMasksWithThePasswordChar)
{
    EditOptions o;
    o.inputMode = 2;
    o.passwordChar = '#';
    EditControl* edit = make(o, "secret");
    auto* line = static_cast<QLineEdit*>(Widget(edit->handle()));
    EXPECT_EQ(line->displayText(), "######");
    edit->setPasswordChar('x');
    EXPECT_EQ(line->displayText(), "xxxxxx");
    edit->setInputMode(1);
    EXPECT_EQ(line->displayText(), "secret");
    EXPECT_TRUE(line->isReadOnly());
}

TEST_F(EditLook, LowSingleLineBoxGrowsToOneLinePlusEdges)
{
    EditControl* edit = make({}, "", {5, 5, 80, 10});
    // One line of a double-byte character in the font the box resolved.
    const QFontMetrics box = Widget(edit->handle())->fontMetrics();
    const int expected = box.size(Qt::TextSingleLine, QString::fromUtf8("中")).height() + 2 * kEditEdgeHeight;
    EXPECT_EQ(WindowRect(edit->handle()), (Rect{5, 5, 80, expected}));
    EXPECT_EQ(WindowRect(make({}, "", {5, 50, 80, 60})->handle()).height, 60);
    EXPECT_EQ(WindowRect(make(multi(), "", {5, 120, 80, 10})->handle()).height, 10); // multi-line keeps it
}

TEST_F(EditLook, SingleLineTextAreaIsOneLineOfWCentred)
{
    for (const int height : {60, 61}) {
        for (const int border : {0, 1, 5}) {
            EditOptions o;
            o.border = border;
            auto* line = static_cast<QLineEdit*>(Widget(make(o, "x", {5, 5, 80, height})->handle()));
            const int w = line->fontMetrics().size(Qt::TextSingleLine, "W").height();
            const QMargins m = line->textMargins();
            EXPECT_EQ(m.top(), (height - w) / 2) << height << " " << border;
            EXPECT_EQ(height - m.top() - m.bottom(), w) << height << " " << border;
        }
    }
}

TEST_F(EditLook, ColoursAreBlueGreenRedWords)
{
    EditOptions o;
    o.textColor = 0x0000FF; // red
    o.backColor = kDefaultColor;
    EditControl* edit = make(o);
    const QPalette pal = Widget(edit->handle())->palette();
    EXPECT_EQ(pal.color(QPalette::Active, QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(pal.color(QPalette::Active, QPalette::Base), ToQColor(ButtonFaceColor()));
}

using EditSpinner = Fixture;

TEST_F(EditSpinner, FollowsTheBoxAndReportsPresses)
{
    EditOptions o;
    o.spinner = true;
    o.spinMin = 70000; // low half 4464
    o.spinMax = -5;
    EditControl* edit = make(o, "", {10, 10, 100, 30});
    ASSERT_TRUE(edit->hasSpinner());
    EXPECT_EQ(edit->spinnerLower(), -5);
    EXPECT_EQ(edit->spinnerUpper(), 4464);
    const WindowHandle box = edit->handle();
    QWidget* spin = Widget(edit->spinnerHandle());
    EXPECT_EQ(spin->parentWidget(), window.get());
    EXPECT_EQ(spin->geometry(), QRect(110, 10, kSpinnerWidth, 30));
    SetWindowRect(box, {40, 60, 50, 26});
    EXPECT_EQ(spin->geometry(), QRect(90, 60, kSpinnerWidth, 26));
    EnableWindow(box, false);
    EXPECT_FALSE(spin->isEnabled());
    ShowWindow(box, false);
    EXPECT_TRUE(spin->isHidden());
    ShowWindow(box, true);
    EnableWindow(box, true);
    EXPECT_TRUE(spin->isVisible());

    const auto buttons = spin->findChildren<QAbstractButton*>();
    ASSERT_EQ(buttons.size(), 2);
    buttons[0]->pressed(); // up
    buttons[1]->pressed(); // down
    EnableWindow(box, false);
    buttons[0]->pressed(); // ignored while the box is disabled
    EXPECT_EQ(recorder.presses, (std::vector<int>{+1, -1}));

    EditOptions many = o;
    many.multiLine = true;
    EXPECT_FALSE(make(many)->hasSpinner());
}

using EditLife = Fixture;

TEST_F(EditLife, ReportsFocusAndItsEnd)
{
    EditControl* edit = make();
    SetFocusWindow(edit->handle());
    SetFocusWindow(make({}, "", {10, 50, 100, 24})->handle());
    const WindowHandle h = edit->handle();
    DestroyWindow(test::Handle(window.release())); // as the engine closes a window
    EXPECT_EQ(recorder.events, "in out in gone gone ");
    EXPECT_EQ(EditControlOf(h), nullptr);
    FlushDestroyedWindows();
}

// A handler may destroy the window that reported; from then on nothing
// reports, and the widget goes when the event loop comes round.
TEST_F(EditLife, MayBeDestroyedFromItsOwnNotice)
{
    EditControl* edit = make(multi());
    const WindowHandle h = edit->handle();
    SetFocusWindow(h);
    recorder.onChange = [&] { DestroyWindow(h); };
    Type(edit, "ab");
    EXPECT_EQ(recorder.changes, 1);
    EXPECT_EQ(EditControlOf(h), nullptr);
    FlushDestroyedWindows();
    EXPECT_TRUE(window->findChildren<TextView*>().isEmpty());
    EXPECT_EQ(recorder.events, "in gone ");
}

} // namespace
} // namespace mt::platform
