// The platform layer's translations into runtime terms: cursor numbers,
// character codes, nominal frames, logical-font records, window liveness.
#include <gtest/gtest.h>

#include "platform/application.h"
#include <QFont>

#include "platform/application/input_translation.h"
#include "platform/cursors.h"
#include "platform/fonts.h"
#include "platform/logical_font.h"
#include "platform/native_window.h"
#include "platform/screen_metrics.h"
#include "platform/top_window.h"

namespace mt::platform {
namespace {

TEST(CursorNumbers, MapBothWaysAndPassOthersUnchanged)
{
    for (int32_t n = 1; n <= 14; ++n) {
        EXPECT_NE(CursorIdentifier(n), n);
        EXPECT_EQ(CursorNumber(CursorIdentifier(n)), n);
    }
    EXPECT_EQ(CursorIdentifier(0), 0);
    EXPECT_EQ(CursorIdentifier(99), 99);
    EXPECT_EQ(CursorNumber(-1), -1);
}

TEST(CursorData, NoneEmptyAndUndecodableGiveNoCursor)
{
    EnsureApplication();
    const uint8_t none[4] = {0, 0, 0, 0};
    const uint8_t broken[16] = {0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3};
    const uint8_t hand[1] = {14};
    EXPECT_EQ(MakeCursor(nullptr, 0), nullptr);
    EXPECT_EQ(MakeCursor(none, sizeof none), nullptr);
    EXPECT_EQ(MakeCursor(broken, sizeof broken), nullptr);
    CursorHandle c = MakeCursor(hand, sizeof hand);
    EXPECT_NE(c, nullptr);
    DestroyCursor(c);
}

TEST(CharacterCodes, AreTheGbBytesBigEndian)
{
    EXPECT_EQ(CharacterCode("A"), 0x41);
    EXPECT_EQ(CharacterCode("\xD6\xD0"), 0xD6D0);
    EXPECT_EQ(CharacterCode("\x81\x30\x81\x30"), static_cast<int32_t>(0x81308130u));
    for (const char* s : {"A", "\xD6\xD0", "\x81\x30\x81\x30"})
        EXPECT_EQ(CharacterBytes(CharacterCode(s)), s);
}

TEST(NominalFrame, FixedCaptionedFrameIsThreeAndNineteen)
{
    const FrameMetrics fixed = NominalFrame(FrameBorder::kFixed, true, false, false);
    EXPECT_EQ(fixed.frame, 3);
    EXPECT_EQ(fixed.caption, 19);
    EXPECT_EQ(NominalFrame(FrameBorder::kNone, true, false, false).caption, 0);
    EXPECT_EQ(NominalFrame(FrameBorder::kSizable, false, false, true).frame, 6);
}

TEST(LogicalFontRecord, PacksSixtyBytesAndCutsLongNames)
{
    LogicalFont f;
    f.height = -12;
    f.weight = 700;
    f.italic = 1;
    f.faceName = std::string(40, 'x');
    const LogicalFontBytes bytes = f.toBytes();
    const LogicalFont back = LogicalFont::FromBytes(bytes.data());
    EXPECT_EQ(back.height, -12);
    EXPECT_EQ(back.weight, 700);
    EXPECT_EQ(back.italic, 1);
    EXPECT_EQ(back.faceName.size(), 31u);
}

struct Recorder : WindowListener {
    int destroyed = 0;
    void windowDestroyed() override { ++destroyed; }
};

TEST(TopLevelWindow, OuterRectIncludesTheNominalFrameAndHandlesGoStale)
{
    EnsureApplication();
    Recorder listener;
    const WindowHandle h = CreateTopWindow(nullptr, {10, 20, 528, 370}, FrameStyle{}, "t", &listener);
    EXPECT_TRUE(IsWindow(h));
    EXPECT_EQ(WindowRect(h), (Rect{10, 20, 528, 370}));
    DestroyWindow(h);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(listener.destroyed, 1);
    SetWindowRect(h, {0, 0, 1, 1}); // stale handles are ignored
    EXPECT_EQ(WindowRect(h), Rect{});
    FlushDestroyedWindows();
    EXPECT_EQ(listener.destroyed, 1);
}

} // namespace
} // namespace mt::platform

namespace mt::platform {
namespace {

TEST(LogicalFontRecord, ExtremeHeightsGiveABoundedFont)
{
    LogicalFont lf;
    for (int32_t height : {INT32_MIN, INT32_MAX, -5000}) {
        lf.height = height;
        EXPECT_EQ(ToQFont(lf).pixelSize(), 1000) << height;
    }
    lf.height = -12;
    EXPECT_EQ(ToQFont(lf).pixelSize(), 12);
}

} // namespace
} // namespace mt::platform

#include <QFontInfo>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QMenu>

#include <memory>

#include "platform/application/standard_texts.h"
#include "platform/controls/text_style.h"
#include "platform/message_box.h"

namespace mt::platform {
namespace {

// The main window's texts in the default GUI font, measured where its layout
// puts them: the red count centred in its 111-pixel label (whole up to six
// digits, every digit inside up to ten), the captions in
// 77 × 32 buttons, the prompts in the 160 × 32 boxes (two-pixel border and
// two-pixel margin each side).
TEST(DefaultGuiFont, IsNinePointsAndTheLayoutsTextsFit)
{
    EXPECT_EQ(DefaultGuiFontPixels(), (9 * ScreenDpiY() + 36) / 72);
    const QFont font = FontFromRecord({});
    EXPECT_EQ(QFontInfo(font).pixelSize(), DefaultGuiFontPixels());
    if (ScreenDpiY() != 96)
        GTEST_SKIP() << "the layout's metrics hold at 96 dpi";
    const QFontMetricsF m(font);
    std::string digits;
    for (int n = 1; n <= 10; ++n) {
        digits += static_cast<char>('0' + n % 10);
        const QString head = QString::fromUtf8("共计"), count = head + QString::fromLatin1(digits.c_str());
        const QString text = count + QString::fromUtf8("个字符。");
        // Centred, glyphs on whole pixels: less than half a pixel over an
        // edge rounds inside.
        const double left = (111 - m.horizontalAdvance(text)) / 2;
        const QRectF ink = m.tightBoundingRect(text).translated(left, 0);
        if (n <= 6) {
            EXPECT_GT(ink.left(), -0.5) << n;
            EXPECT_LT(ink.right(), 111.5) << n;
        }
        EXPECT_GE(left + m.horizontalAdvance(head), 0) << n; // every digit inside
        EXPECT_LE(left + m.horizontalAdvance(count), 111) << n;
    }
    for (const char* caption : {"读网页源码", "清空数据", "取中间文本", "找中间文本", "向下查找", "生成代码"})
        EXPECT_LE(m.horizontalAdvance(QString::fromUtf8(caption)), 77 - 2 * 4) << caption;
    for (const char* prompt : {"请输入左边文本", "请输入欲查找的中间文本", "请输入右边文本"})
        EXPECT_LE(m.horizontalAdvance(QString::fromUtf8(prompt)), 160 - 2 * 4) << prompt;
    EXPECT_LE(m.lineSpacing(), 32 - 2 * 4);
}

// Qt's own texts in the runtime's language: each message box style's buttons
// and a line edit's context menu.
TEST(StandardTexts, MessageBoxButtonsAndEditMenusReadChinese)
{
    const char* buttons[] = {"确定", "确定 取消", "中止 重试 忽略", "是 否 取消", "是 否", "重试 取消"};
    for (uint32_t style = 0; style < 6; ++style) {
        QStringList texts;
        for (int id : MessageBoxButtons(style))
            texts << StandardButtonText(id);
        EXPECT_EQ(texts.join(u' '), QString::fromUtf8(buttons[style])) << style;
    }
    EnsureApplication();
    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList entries;
    for (QAction* a : menu->actions()) {
        if (!a->isSeparator())
            entries << a->text().section(u'\t', 0, 0);
    }
    EXPECT_EQ(entries.join(u' '),
              QString::fromUtf8("撤销 重做 剪切 复制 粘贴 删除 全选"));
}

} // namespace
} // namespace mt::platform
