// A multi-line box one row high keeps the text before a line break in
// sight, on real widgets (offscreen).
#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QDropEvent>
#include <QFontMetrics>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>

#include <set>

#include "edit_test_support.h"
#include "platform/edit/edit_one_row.h"
#include "platform/text_view/text_view.h"

namespace mt::platform {
namespace {

using test::Press;
using test::Type;
using test::Widget;

struct OneRow : ::testing::Test {
    test::Recorder recorder;
    std::unique_ptr<QWidget> window = test::MakeWindow();

    // The main window's small boxes: 160 x 32, multi-line, sunken.
    EditControl* make(std::string_view text = {}, int height = 32)
    {
        EditOptions o;
        o.multiLine = true;
        EditControl* edit = test::MakeEdit(window.get(), &recorder, o, text, {10, 10, 160, height});
        SetFocusWindow(edit->handle());
        return edit;
    }
    static QWidget* viewport(EditControl* edit)
    {
        return static_cast<QAbstractScrollArea*>(Widget(edit->handle()))->viewport();
    }
    // The columns of the viewport where the text colour (black) is drawn.
    static std::set<int> inkColumns(EditControl* edit)
    {
        QWidget* v = viewport(edit);
        v->repaint();
        const QImage image = v->grab().toImage();
        std::set<int> columns;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 100)
                    columns.insert(x);
        return columns;
    }
    static void click(EditControl* edit, QPoint at, QEvent::Type type = QEvent::MouseButtonPress)
    {
        QWidget* v = viewport(edit);
        QMouseEvent press(type, at, v->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(v, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, v->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(v, &release);
    }
};

// Enter keeps its bytes, and the text before it stays drawn, with a mark.
TEST_F(OneRow, EnterKeepsTheTextBeforeItInSight)
{
    EditControl* edit = make();
    Type(edit, "abc");
    Press(Widget(edit->handle()), Qt::Key_Return, "\r");
    EXPECT_EQ(edit->text(), "abc\r\n");
    const QFontMetrics m(Widget(edit->handle())->font());
    // "abc" and the mark, not the caret alone on an empty second line.
    EXPECT_GE(inkColumns(edit).size(), static_cast<size_t>(m.horizontalAdvance(QStringLiteral("abc")) / 2));
    Type(edit, "de");
    EXPECT_EQ(edit->text(), "abc\r\nde");
    const auto both = inkColumns(edit);
    ASSERT_FALSE(both.empty());
    EXPECT_GE(*both.rbegin() - *both.begin(), m.horizontalAdvance(QStringLiteral("abc\u21B5d")));
}

// Each form of line break has its own mark, so LF and CR LF look different.
TEST(OneRowMarks, EachLineBreakFormHasItsOwnMark)
{
    const struct {
        std::string_view text;
        size_t at;
        char16_t mark;
    } cases[] = {{"a\r\nb", 1, u'\u21B5'}, {"a\nb", 1, u'\u2193'}, {"a\rb", 1, u'\u2190'}, {"a\r", 1, u'\u2190'}};
    for (const auto& c : cases)
        EXPECT_EQ(OneRowText::MarkOf(c.text, c.at), c.mark) << c.text;
}

// The mouse places the caret and selects words in the row as drawn.
TEST_F(OneRow, TheMouseFindsPositionsInTheRow)
{
    EditControl* edit = make("ab\r\ncd");
    const QFontMetrics m(Widget(edit->handle())->font());
    const int y = viewport(edit)->height() / 2;
    click(edit, {viewport(edit)->width() - 2, y});
    EXPECT_EQ(edit->selectionStart(), 6);
    click(edit, {1, y});
    EXPECT_EQ(edit->selectionStart(), 0);
    const int onCd = 2 + m.horizontalAdvance(QStringLiteral("ab\u21B5c"));
    click(edit, {onCd, y}, QEvent::MouseButtonDblClick);
    EXPECT_EQ(edit->selectionStart(), 4);
    EXPECT_EQ(edit->selectionLength(), 2);
}

// A drop from elsewhere lands where it falls in the row, undoably.
TEST_F(OneRow, DropsLandWhereTheyFallInTheRow)
{
    EditControl* edit = make("ab\r\ncd");
    QWidget* v = viewport(edit);
    QMimeData data;
    data.setText(QStringLiteral("X"));
    for (const QPoint at : {QPoint(v->width() - 2, v->height() / 2), QPoint(1, v->height() / 2)}) {
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(v, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(v, &drop);
    }
    EXPECT_EQ(edit->text(), "Xab\r\ncdX");
    Press(Widget(edit->handle()), Qt::Key_Z, {}, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "ab\r\ncdX");
}

// A box of several rows and a box without a break are the view's own.
TEST_F(OneRow, TallerBoxesAndSingleLinesAreLeftToTheView)
{
    EXPECT_TRUE(OneRowText::Applies(*static_cast<TextView*>(Widget(make("ab\r\ncd")->handle()))));
    EXPECT_FALSE(OneRowText::Applies(*static_cast<TextView*>(Widget(make("ab\r\ncd", 120)->handle()))));
    EXPECT_FALSE(OneRowText::Applies(*static_cast<TextView*>(Widget(make("abcd")->handle()))));
    EXPECT_FALSE(OneRowText::Applies(
        *static_cast<TextView*>(Widget(make(std::string(OneRowText::kMaxBytes, 'x') + "\r\n")->handle()))));
}

} // namespace
} // namespace mt::platform
