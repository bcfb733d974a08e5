// The transparent label as the screen shows it: pixels read back from the
// window's backing store after each change.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QWidget>

#include <cstring>

#include "edit_test_support.h"
#include "platform/label_surface.h"

namespace mt::platform {
namespace {

using test::Handle;

const QColor kBackground(0, 0, 255);
const QColor kUnder(0, 255, 0);
const QColor kRed(255, 0, 0);

// A 60-byte font record: 40-pixel bold face.
std::string BigBoldFont()
{
    std::string blob(60, '\0');
    const int32_t height = -40, weight = 700;
    std::memcpy(blob.data(), &height, 4);
    std::memcpy(blob.data() + 16, &weight, 4);
    return blob;
}

// The window as the screen shows it; `settle` lets pending paints happen
// first, without it the picture is what the last call left.
QImage Screen(QWidget* window, bool settle = true)
{
    if (settle)
        QApplication::processEvents();
    return QGuiApplication::primaryScreen()->grabWindow(window->winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

// The pixels inside r that `match`: how many, and their bounding box.
template <typename Match>
std::pair<int, QRect> Pixels(const QImage& img, const QRect& r, Match match)
{
    std::pair<int, QRect> found{0, QRect()};
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if (match(img.pixelColor(x, y))) {
                ++found.first;
                found.second |= QRect(x, y, 1, 1);
            }
        }
    }
    return found;
}

int Count(const QImage& img, const QColor& color, const QRect& r)
{
    return Pixels(img, r, [&](QColor c) { return c == color; }).first;
}

QRect Box(const QImage& img, const QColor& color, const QRect& r)
{
    return Pixels(img, r, [&](QColor c) { return c == color; }).second;
}

// Where a white copy shows: over the blue background and beside red text
// only white brings green in, even where its edges are blended.
int WhiteTinted(const QImage& img, const QRect& r)
{
    return Pixels(img, r, [](QColor c) { return c.green() > 100; }).first;
}

struct LabelFixture : ::testing::Test {
    test::Recorder recorder;
    std::unique_ptr<QWidget> window = [] {
        auto w = test::MakeWindow(400, 200);
        QPalette pal = w->palette();
        pal.setColor(QPalette::Window, kBackground);
        w->setPalette(pal);
        w->setAutoFillBackground(true);
        w->repaint();
        return w;
    }();
    const QRect area{20, 20, 300, 80};

    LabelSurface* make(LabelOptions o, std::string_view text)
    {
        o.textColor = 0x0000FF;
        o.font = BigBoldFont();
        const WindowHandle h = CreateLabelSurface(Handle(window.get()),
                                                  Rect{area.x(), area.y(), area.width(), area.height()}, o, text,
                                                  &recorder);
        ShowWindow(h, true);
        return LabelSurfaceOf(h);
    }
};

using LabelPaint = LabelFixture;

TEST_F(LabelPaint, AShorterTextLeavesNoRemainsOfTheLongerOne)
{
    LabelSurface* label = make({}, "WWWWWWWW");
    const QImage before = Screen(window.get());
    const QRect tail(area.x() + 60, area.y(), area.width() - 60, area.height());
    ASSERT_GT(Count(before, kRed, tail), 100);
    label->setText("W");
    EXPECT_EQ(Count(Screen(window.get(), false), kBackground, tail), tail.width() * tail.height());
    label->setText("");
    EXPECT_EQ(Count(Screen(window.get()), kBackground, area), area.width() * area.height());
}

TEST_F(LabelPaint, AMovedLabelLeavesNothingBehind)
{
    LabelSurface* label = make({}, "WWWW");
    ASSERT_GT(Count(Screen(window.get()), kRed, area), 100);
    label->refresh();
    test::Widget(label->handle())->move(area.x(), area.bottom() + 5);
    EXPECT_EQ(Count(Screen(window.get(), false), kBackground, area), area.width() * area.height());
}

TEST_F(LabelPaint, ShowsWhatLiesBeneathBetweenTheLetters)
{
    QWidget under(window.get());
    under.setGeometry(area);
    QPalette pal = under.palette();
    pal.setColor(QPalette::Window, kUnder);
    under.setPalette(pal);
    under.setAutoFillBackground(true);
    under.show();
    make({}, "I I I");
    const QImage img = Screen(window.get());
    EXPECT_GT(Count(img, kRed, area), 50);
    EXPECT_GT(Count(img, kUnder, area), area.width() * area.height() / 2);
    EXPECT_EQ(Count(img, kBackground, area), 0);
}

TEST_F(LabelPaint, EffectsOffsetTheCopies)
{
    LabelSurface* label = make({}, "HH");
    const QImage plain = Screen(window.get());
    const QRect text = Box(plain, kRed, area);
    ASSERT_FALSE(text.isEmpty());

    label->setEffect(2); // white copy where the text was, the text one pixel lower right
    QImage img = Screen(window.get());
    EXPECT_EQ(Box(img, kRed, area), text.translated(1, 1));
    EXPECT_GT(WhiteTinted(img, area), 20);

    label->setEffect(1); // the text stays, a white copy one pixel lower right
    img = Screen(window.get());
    EXPECT_EQ(Box(img, kRed, area), text);
    EXPECT_EQ(Box(img, Qt::white, area).bottomRight(), text.bottomRight() + QPoint(1, 1));

    label->setEffect(3); // a black shadow two pixels lower right
    img = Screen(window.get());
    EXPECT_EQ(Box(img, kRed, area), text);
    EXPECT_EQ(Box(img, Qt::black, area).bottomRight(), text.bottomRight() + QPoint(2, 2));

    label->setEffect(7);
    EXPECT_EQ(label->options().effect, 3);
}

TEST_F(LabelPaint, AlignmentPlacesTheText)
{
    LabelOptions o;
    o.horzAlign = 2;
    o.vertAlign = 2;
    LabelSurface* label = make(o, "H");
    QRect box = Box(Screen(window.get()), kRed, area);
    EXPECT_GT(box.left(), area.center().x());
    EXPECT_GT(box.top(), area.center().y());
    label->setWordWrap(true); // wrapped text starts at the top whatever VertAlign says
    box = Box(Screen(window.get()), kRed, area);
    EXPECT_LT(box.top(), area.center().y());
    label->setHorzAlign(-1);
    EXPECT_EQ(label->options().horzAlign, 0);
    EXPECT_LT(Box(Screen(window.get()), kRed, area).left(), area.center().x());
}

TEST_F(LabelPaint, OddFontRecordsStillPaint)
{
    LabelSurface* label = make({}, "H");
    std::string huge = BigBoldFont();
    const int32_t height = INT32_MIN;
    std::memcpy(huge.data(), &height, 4);
    label->setFont(huge); // taken as 1000 pixels
    EXPECT_GT(Count(Screen(window.get()), kRed, area), 0);
    label->setFont("short"); // not 60 bytes: the default GUI font, thin and blended
    EXPECT_LT(Count(Screen(window.get()), kBackground, area), area.width() * area.height());
}

TEST_F(LabelPaint, ReportsItsEnd)
{
    const WindowHandle h = CreateLabelSurface(Handle(window.get()), {0, 0, 50, 20}, {}, "x", &recorder);
    window.reset();
    EXPECT_EQ(recorder.events, "gone ");
    EXPECT_EQ(LabelSurfaceOf(h), nullptr);
}

} // namespace
} // namespace mt::platform
