// The edit control through its runtime-terms API, on real widgets.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <string>

#include "edit_test_support.h"
#include "platform/edit_control.h"
#include "platform/text_style.h"

namespace mt::platform {
namespace {

using test::Handle;
using test::Press;
using test::Type;
using test::Widget;

// GB18030 bytes: 中 D6 D0, 文 CE C4.
const std::string kZhong = "\xD6\xD0";
const std::string kWen = "\xCE\xC4";

struct Fixture : ::testing::Test {
    std::unique_ptr<QWidget> window = test::MakeWindow();

    std::unique_ptr<EditControl> make(EditOptions o = {}, std::string_view text = {}, Rect r = {10, 10, 200, 24})
    {
        return std::make_unique<EditControl>(Handle(window.get()), r, o, text);
    }
    static EditOptions multi()
    {
        EditOptions o;
        o.multiLine = true;
        return o;
    }
};

using EditSelection = Fixture;

TEST_F(EditSelection, SelectsByteRangesAcrossDoubleByteText)
{
    for (bool multiLine : {false, true}) {
        EditOptions o;
        o.multiLine = multiLine;
        auto edit = make(o, "a" + kZhong + kWen + "b");
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
        edit->select(static_cast<int64_t>(edit->textSize()), 0);
        EXPECT_EQ(edit->selectionStart(), 6);
        EXPECT_EQ(edit->selectionLength(), 0);
        edit->select(0, static_cast<int64_t>(edit->textSize()));
        EXPECT_EQ(edit->selectedText(), edit->text());
        // Out of range clamps.
        edit->select(-5, INT64_MAX);
        EXPECT_EQ(edit->selectionLength(), 6);
        edit->select(INT64_MAX, INT64_MAX);
        EXPECT_EQ(edit->selectionStart(), 6);
    }
}

TEST_F(EditSelection, LineBreaksReadAsCrLfAndSelectWhole)
{
    auto edit = make(multi(), "ab\r\n" + kZhong + "\ncd\re");
    EXPECT_EQ(edit->text(), "ab\r\n" + kZhong + "\r\ncd\r\ne");
    edit->select(3, 0); // between CR and LF
    EXPECT_EQ(edit->selectionStart(), 2);
    edit->select(3, 1);
    EXPECT_EQ(edit->selectedText(), "\r\n");
    edit->select(4, 4);
    EXPECT_EQ(edit->selectedText(), kZhong + "\r\n");
}

TEST_F(EditSelection, UnfocusedLineEditKeepsItsSelection)
{
    auto edit = make({}, "hello");
    auto other = make({}, "", {10, 50, 100, 24});
    edit->setFocus();
    edit->select(1, 3);
    other->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(edit->hasFocus());
    EXPECT_EQ(edit->selectedText(), "ell");
}

using EditText = Fixture;

TEST_F(EditText, SettingTextReportsOnlyWhenAsked)
{
    for (bool multiLine : {false, true}) {
        EditOptions o;
        o.multiLine = multiLine;
        auto edit = make(o, "x");
        int changes = 0;
        edit->setListener({.textChanged = [&] { ++changes; }});
        edit->setText("abc");
        EXPECT_EQ(changes, 0);
        EXPECT_EQ(edit->text(), "abc");
        EXPECT_EQ(edit->selectionStart(), 0);
        edit->setText("abc", true);
        EXPECT_EQ(changes, 1);
        edit->select(3, 0);
        Type(Widget(edit->handle()), "d");
        EXPECT_EQ(changes, 2);
        EXPECT_EQ(edit->text(), "abcd");
        edit->select(0, 1);
        edit->replaceSelection(kZhong);
        EXPECT_EQ(changes, 3);
        EXPECT_EQ(edit->text(), kZhong + "bcd");
    }
}

// A listener that writes the text again while the change is reported must
// leave the mirror right (the plain-text edit reports after its edit ends).
TEST_F(EditText, SingleLineHoldsTextsBeyondTheLineEditDefaultLimit)
{
    const std::string big(100000, 'x');
    auto edit = make({}, big);
    EXPECT_EQ(edit->text(), big);
    edit->select(100000, 0);
    Type(Widget(edit->handle()), "y");
    EXPECT_EQ(edit->textSize(), 100001u);
}

TEST_F(EditText, ListenerMayRewriteTheText)
{
    auto edit = make(multi(), "");
    int changes = 0;
    edit->setListener({.textChanged = [&] {
        ++changes;
        if (edit->text() == "ab")
            edit->setText("rewritten", true);
    }});
    Type(Widget(edit->handle()), "ab");
    EXPECT_EQ(edit->text(), "rewritten");
    EXPECT_EQ(changes, 3);
    auto* plain = static_cast<QPlainTextEdit*>(Widget(edit->handle()));
    EXPECT_EQ(plain->toPlainText(), "rewritten");
}

TEST_F(EditText, InputModesFilterTypedCharactersOnly)
{
    struct Row {
        int mode;
        QString typed;
        std::string kept;
    };
    const Row rows[] = {
        {3, "a-1.b", "-1"}, {7, "x9", "9"}, {4, "-1.5e", "-1.5"}, {10, "3.", "3."}, {5, "-42", "42"}, {0, "a-.", "a-."},
    };
    for (bool multiLine : {false, true}) {
        for (const Row& row : rows) {
            EditOptions o;
            o.multiLine = multiLine;
            o.inputMode = row.mode;
            auto edit = make(o);
            Type(Widget(edit->handle()), row.typed);
            EXPECT_EQ(edit->text(), row.kept) << "mode " << row.mode << " multi " << multiLine;
        }
    }
    EditOptions o;
    o.inputMode = 3;
    auto edit = make(o, "12");
    edit->select(2, 0);
    Press(Widget(edit->handle()), Qt::Key_Backspace, "\b"); // control characters pass
    EXPECT_EQ(edit->text(), "1");
    QGuiApplication::clipboard()->setText("ab");
    static_cast<QLineEdit*>(Widget(edit->handle()))->paste(); // pasted text is not filtered
    EXPECT_EQ(edit->text(), "1ab");
}

TEST_F(EditText, CaseConversionAppliesToEveryWayIn)
{
    for (bool multiLine : {false, true}) {
        EditOptions o;
        o.multiLine = multiLine;
        o.caseConversion = 2;
        auto edit = make(o, "set");
        EXPECT_EQ(edit->text(), "SET");
        edit->select(3, 0);
        Type(Widget(edit->handle()), "ty");
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
        EditOptions o;
        o.multiLine = multiLine;
        o.textLimit = 5;
        auto edit = make(o, "abc");
        edit->select(3, 0);
        Type(Widget(edit->handle()), QString::fromUtf8("\xE4\xB8\xAD")); // 中: 2 bytes, fits
        EXPECT_EQ(edit->text(), "abc" + kZhong);
        Type(Widget(edit->handle()), "d"); // a sixth byte
        EXPECT_EQ(edit->text(), "abc" + kZhong);
        edit->select(0, 3);
        QGuiApplication::clipboard()->setText(QString::fromUtf8("x\xE4\xB8\xAD\xE6\x96\x87")); // x中文: 5 bytes, 3 fit
        if (multiLine)
            static_cast<QPlainTextEdit*>(Widget(edit->handle()))->paste();
        else
            static_cast<QLineEdit*>(Widget(edit->handle()))->paste();
        EXPECT_EQ(edit->text(), "x" + kZhong + kZhong) << multiLine;
        edit->setText("longer than five"); // the program may go beyond
        EXPECT_EQ(edit->textSize(), 16u);
    }
}

using EditLook = Fixture;

TEST_F(EditLook, PasswordModeMasksWithThePasswordChar)
{
    EditOptions o;
    o.inputMode = 2;
    o.passwordChar = '#';
    auto edit = make(o, "secret");
    auto* line = static_cast<QLineEdit*>(Widget(edit->handle()));
    EXPECT_EQ(line->displayText(), "######");
    edit->setPasswordChar('x');
    EXPECT_EQ(line->displayText(), "xxxxxx");
    edit->setInputMode(1);
    EXPECT_EQ(line->displayText(), "secret");
    EXPECT_TRUE(line->isReadOnly());
    EXPECT_EQ(edit->text(), "secret");
}

TEST_F(EditLook, LowSingleLineBoxGrowsToOneLinePlusEdges)
{
    auto edit = make({}, "", {5, 5, 80, 10});
    const int expected = QFontMetrics(DefaultGuiFont()).height() + 2 * kEditEdgeHeight;
    EXPECT_EQ(Widget(edit->handle())->geometry(), QRect(5, 5, 80, expected));
    auto tall = make({}, "", {5, 50, 80, 60});
    EXPECT_EQ(Widget(tall->handle())->height(), 60);
    auto box = make(multi(), "", {5, 120, 80, 10});
    EXPECT_EQ(Widget(box->handle())->height(), 10); // multi-line boxes keep their height
}

TEST_F(EditLook, ColoursResolveTheButtonFace)
{
    EditOptions o;
    o.textColor = 0x0000FF; // red
    o.backColor = 0xFF000000;
    auto edit = make(o);
    const QPalette pal = Widget(edit->handle())->palette();
    EXPECT_EQ(pal.color(QPalette::Active, QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(pal.color(QPalette::Active, QPalette::Base), QApplication::palette().color(QPalette::Button));
    edit->setBackColor(0x00FF00);
    EXPECT_EQ(Widget(edit->handle())->palette().color(QPalette::Base), QColor(0, 255, 0));
}

using EditSpinner = Fixture;

TEST_F(EditSpinner, FollowsTheBoxAndReportsPresses)
{
    EditOptions o;
    o.spinner = true;
    o.spinMin = 70000; // low half 4464
    o.spinMax = -5;
    auto edit = make(o, "", {10, 10, 100, 30});
    ASSERT_TRUE(edit->hasSpinner());
    EXPECT_EQ(edit->spinnerLower(), -5);
    EXPECT_EQ(edit->spinnerUpper(), 4464);
    QWidget* box = Widget(edit->handle());
    QWidget* spin = Widget(edit->spinnerHandle());
    EXPECT_EQ(spin->parentWidget(), window.get());
    EXPECT_EQ(spin->geometry(), QRect(110, 10, kSpinnerWidth, 30));
    box->move(40, 60);
    box->resize(50, 26);
    EXPECT_EQ(spin->geometry(), QRect(90, 60, kSpinnerWidth, 26));
    box->setEnabled(false);
    EXPECT_FALSE(spin->isEnabled());
    box->hide();
    EXPECT_TRUE(spin->isHidden());
    box->show();
    box->setEnabled(true);
    EXPECT_TRUE(spin->isVisible());

    std::vector<int> presses;
    edit->setListener({.spinnerPressed = [&](int d) { presses.push_back(d); }});
    const auto buttons = spin->findChildren<QAbstractButton*>();
    ASSERT_EQ(buttons.size(), 2);
    buttons[0]->pressed(); // up
    buttons[1]->pressed(); // down
    box->setEnabled(false);
    buttons[0]->pressed(); // ignored while the box is disabled
    EXPECT_EQ(presses, (std::vector<int>{+1, -1}));

    EditOptions many = o;
    many.multiLine = true;
    EXPECT_FALSE(make(many)->hasSpinner());
}

using EditLife = Fixture;

TEST_F(EditLife, ReportsFocusAndItsOwnEnd)
{
    auto edit = make();
    auto other = make({}, "", {10, 50, 100, 24});
    std::string events;
    edit->setListener({.focusIn = [&] { events += "in "; },
                       .focusOut = [&] { events += "out "; },
                       .destroyed = [&] { events += "gone"; }});
    edit->setFocus();
    other->setFocus();
    window.reset();
    EXPECT_EQ(events, "in out gone");
    EXPECT_FALSE(edit->isAlive());
    edit->setText("still safe");
    edit->select(0, 3);
    EXPECT_EQ(edit->handle(), nullptr);
}

TEST_F(EditLife, MayBeDestroyedFromItsOwnCallback)
{
    auto edit = make();
    edit->setListener({.textChanged = [&] { edit.reset(); }});
    QWidget* w = Widget(edit->handle());
    Type(w, "a");
    EXPECT_EQ(edit, nullptr);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window->findChildren<QLineEdit*>().isEmpty());
}

} // namespace
} // namespace mt::platform
