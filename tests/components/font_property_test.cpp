// Font properties through the button's Font: single fields, the whole
// record, and the default GUI font standing in for an empty blob.
#include <cstdlib>
#include <cstring>

#include "component_fixture.h"
#include "components/components_texts.h"
#include "components/font_record.h"
#include "platform/screen_metrics.h"

namespace mt::test {
namespace {

constexpr uint32_t kOk = ComponentIdOf(1);
constexpr int32_t kFont = 13;

class FontProperty : public LoadedWindow {
protected:
    void SetUp() override { Load({WindowRecord(), ButtonRecord(kOk, "ok", 0, 0)}); }

    std::string FaceName()
    {
        auto* t = reinterpret_cast<char*>(Read(kOk, kFont, kFontFaceName));
        std::string s = t ? t : "";
        std::free(t);
        return s;
    }
};

TEST_F(FontProperty, FaceNamesTooLongOrEmptyBecomeTheDefaultFace)
{
    const std::string longName(40, 'A');
    Write(kOk, kFont, reinterpret_cast<uintptr_t>(longName.c_str()), kFontFaceName);
    EXPECT_EQ(FaceName(), gb::kDefaultFaceName);
    Write(kOk, kFont, reinterpret_cast<uintptr_t>("Serif"), kFontFaceName);
    EXPECT_EQ(FaceName(), "Serif");
    Write(kOk, kFont, 0, kFontFaceName);
    EXPECT_EQ(FaceName(), gb::kDefaultFaceName);
}

TEST_F(FontProperty, AngleIsKeptWithinOneTurn)
{
    const struct {
        int32_t written;
        uint64_t stored;
    } cases[] = {{-10, 3590}, {3600, 0}, {7250, 50}, {900, 900}};
    for (const auto& c : cases) {
        Write(kOk, kFont, static_cast<uint32_t>(c.written), kFontAngle);
        EXPECT_EQ(Read(kOk, kFont, kFontAngle), c.stored) << c.written;
    }
}

TEST_F(FontProperty, SingleFieldsKeepTheOthers)
{
    Write(kOk, kFont, 1, kFontBold);
    Write(kOk, kFont, 1, kFontUnderline);
    Write(kOk, kFont, 12, kFontSize);
    EXPECT_EQ(Read(kOk, kFont, kFontBold), 1u);
    EXPECT_EQ(Read(kOk, kFont, kFontUnderline), 1u);
    EXPECT_EQ(Read(kOk, kFont, kFontItalic), 0u);
    EXPECT_EQ(Read(kOk, kFont, kFontSize), 12u);
}

TEST_F(FontProperty, WholeRecordRoundTrips)
{
    char face[] = "Sans";
    FontRecord in{450, 1, 1, 0, 1, 9, face};
    Write(kOk, kFont, reinterpret_cast<uintptr_t>(&in));
    auto* out = reinterpret_cast<FontRecord*>(Read(kOk, kFont));
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->angle, 450);
    EXPECT_EQ(out->bold, 1);
    EXPECT_EQ(out->italic, 1);
    EXPECT_EQ(out->strikeOut, 0);
    EXPECT_EQ(out->underline, 1);
    EXPECT_EQ(out->size, 9);
    EXPECT_STREQ(out->faceName, "Sans");
    std::free(out->faceName);
    std::free(out);
    Write(kOk, kFont, 0); // null record: back to the default GUI font
    EXPECT_EQ(Read(kOk, kFont, kFontAngle), 0u);
}

TEST(MulDiv, RoundsLikeThePlatform)
{
    EXPECT_EQ(MulDiv(9, 96, 72), 12);
    EXPECT_EQ(MulDiv(10, 72, 96), 8); // 7.5 rounds up
    EXPECT_EQ(MulDiv(-10, 72, 96), -8);
    EXPECT_EQ(MulDiv(5, 5, 0), 0);
}

} // namespace
} // namespace mt::test
