// The platform layer's translations into runtime terms: cursor numbers,
// character codes, nominal frames, logical-font records, window liveness.
#include <gtest/gtest.h>

#include "platform/application.h"
#include <QFont>

#include "platform/cursors.h"
#include "platform/fonts.h"
#include "platform/input_translation.h"
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
    const FrameMetrics fixed = NominalFrame(FrameBorder::Fixed, true, false, false);
    EXPECT_EQ(fixed.frame, 3);
    EXPECT_EQ(fixed.caption, 19);
    EXPECT_EQ(NominalFrame(FrameBorder::None, true, false, false).caption, 0);
    EXPECT_EQ(NominalFrame(FrameBorder::Sizable, false, false, true).frame, 6);
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
