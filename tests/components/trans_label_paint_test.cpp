// What the transparent label shows, read back from the window: the text and
// nothing else, with what lies beneath showing around and between the
// letters, and no remains of an old text after a write.
#include "component_fixture.h"
#include "components/property_types.h"
#include "support/window_pixels.h"
#include "trans_label_records.h"

namespace mt::test {
namespace {

constexpr uint32_t kLabel = ComponentIdOf(1);
constexpr uint32_t kTwin = ComponentIdOf(2);
constexpr uint32_t kUnder = ComponentIdOf(3);
constexpr uint32_t kBlue = 0x00FF0000; // 0x00BBGGRR
constexpr uint32_t kRed = 0x000000FF;
constexpr uint32_t kGreen = 0x0000FF00;
constexpr platform::Rect kArea{20, 20, 300, 80};
constexpr platform::Rect kTwinArea{20, 120, 300, 80};

bool Contains(const platform::Rect& outer, const platform::Rect& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.left + inner.width <= outer.left + outer.width &&
           inner.top + inner.height <= outer.top + outer.height;
}

platform::Rect Moved(platform::Rect r, int32_t dx, int32_t dy) { return {r.left + dx, r.top + dy, r.width, r.height}; }

class TransLabelPaint : public LoadedWindow {
protected:
    // A blue window; the label first in template order, so on top of
    // whatever follows it.
    void LoadOver(const std::string& caption, std::vector<ComponentRecord> below)
    {
        WindowProperties w = PlainWindow();
        w.backColor = kBlue;
        std::vector<ComponentRecord> records = {WindowRecord(w), LabelRecord(kLabel, kArea, Red(caption))};
        for (auto& r : below)
            records.push_back(std::move(r));
        Load(std::move(records));
    }

    static TransLabelProperties Red(const std::string& caption)
    {
        TransLabelProperties p = TransLabelProperties::Defaults();
        p.caption = caption;
        p.textColor = kRed;
        p.font = BigBoldFont();
        return p;
    }

    void SetCaption(uint32_t id, const std::string& caption)
    {
        Write(id, kCaption, reinterpret_cast<uintptr_t>(caption.c_str()));
    }

    // The window as it shows now, without letting pending paints run: what
    // a write left is what it painted itself.
    WindowPixels Shown() { return GrabWindow(Handle(kWindowRecordId)); }
    WindowPixels Settled()
    {
        platform::ProcessPendingEvents();
        return Shown();
    }
    static int32_t Pixels(const platform::Rect& r) { return r.width * r.height; }
};

TEST_F(TransLabelPaint, AShorterCaptionLeavesNoRemainsOfTheLongerOne)
{
    LoadOver("WWWWWWWW", {LabelRecord(kTwin, kTwinArea, Red("W"))});
    const WindowPixels before = Settled();
    ASSERT_GT(before.count(kArea, kRed), 200);
    ASSERT_NE(before.crop(kArea), before.crop(kTwinArea));

    SetCaption(kLabel, "W"); // the twin never had the long text
    const WindowPixels after = Shown();
    EXPECT_EQ(after.crop(kArea), after.crop(kTwinArea));
    EXPECT_EQ(Settled().crop(kArea), after.crop(kTwinArea));
}

TEST_F(TransLabelPaint, AnEmptyCaptionDrawsNothing)
{
    LoadOver("WWWW", {});
    ASSERT_GT(Settled().count(kArea, kRed), 200);
    SetCaption(kLabel, "");
    EXPECT_EQ(Shown().count(kArea, kBlue), Pixels(kArea));
    EXPECT_EQ(Settled().count(kArea, kBlue), Pixels(kArea));
}

TEST_F(TransLabelPaint, AMovedLabelLeavesNothingBehind)
{
    LoadOver("WWWW", {});
    ASSERT_GT(Settled().count(kArea, kRed), 200);
    Write(kLabel, kPropTop, static_cast<uint32_t>(kTwinArea.top));
    const WindowPixels shown = Shown();
    EXPECT_EQ(shown.count(kArea, kBlue), Pixels(kArea));
    EXPECT_GT(shown.count(kTwinArea, kRed), 200);
}

TEST_F(TransLabelPaint, EffectTwoMovesTheTextOnePixelDownAndRight)
{
    LoadOver("HH", {});
    const platform::Rect plain = Settled().box(kArea, kRed);
    ASSERT_GT(plain.width, 0);
    Write(kLabel, kTextEffect, 2);
    const WindowPixels shown = Shown();
    EXPECT_EQ(shown.box(kArea, kRed), Moved(plain, 1, 1));
    EXPECT_GT(shown.count(kArea, 0x00FFFFFF), 0); // the light copy where the text was
    Write(kLabel, kTextEffect, 0);
    EXPECT_EQ(Shown().box(kArea, kRed), plain);
}

TEST_F(TransLabelPaint, WrappedTextStartsAtTheTopWhateverVertAlignSays)
{
    LoadOver("H", {});
    Write(kLabel, kVertAlign, 2);
    const platform::Rect bottom = Shown().box(kArea, kRed);
    EXPECT_GT(bottom.top, kArea.top + kArea.height / 2);
    Write(kLabel, kWordWrap, 1);
    const platform::Rect wrapped = Shown().box(kArea, kRed);
    EXPECT_LT(wrapped.top, kArea.top + kArea.height / 2);
    Write(kLabel, kHorzAlign, 2);
    EXPECT_GT(Shown().box(kArea, kRed).left, kArea.left + kArea.width / 2);
}

TEST_F(TransLabelPaint, EvenAnUnknownIndexRepaintsWhatLiesBeneath)
{
    LoadOver("WWWW", {});
    Settled();
    constexpr int32_t kWindowBackColor = 10;
    Write(kWindowRecordId, kWindowBackColor, kGreen); // the window repaints later
    ASSERT_EQ(Shown().count(kArea, kGreen), 0);
    // Own index 7 is not a property of the label (the engine never passes
    // one); the label repaints all the same.
    auto set = KindRoutineOf<SetPropertyRoutine>(Object(kLabel)->kind(), kRoutineSetProperty);
    EXPECT_EQ(set(Object(kLabel), 7, RawPropertyValue{}), 0);
    EXPECT_GT(Shown().count(kArea, kGreen), Pixels(kArea) / 2);
}

TEST_F(TransLabelPaint, ALabelOverAnotherComponentShowsItBetweenTheLetters)
{
    ComponentRecord button = ButtonRecord(kUnder, "", kArea.left, kArea.top, 0, kStateShown);
    button.width = kArea.width;
    button.height = kArea.height;
    LoadOver("", {button});
    const WindowPixels bare = Settled();
    ASSERT_LT(bare.count(kArea, kBlue), Pixels(kArea) / 2); // the button covers the area

    SetCaption(kLabel, "I I I");
    const WindowPixels lettered = Shown();
    EXPECT_GT(lettered.count(kArea, kRed), 100);
    int32_t same = 0;
    const WindowPixels a = bare.crop(kArea), b = lettered.crop(kArea);
    for (size_t i = 0; i < a.colors.size(); ++i)
        same += a.colors[i] == b.colors[i] ? 1 : 0;
    EXPECT_GT(same, Pixels(kArea) * 3 / 4);
    EXPECT_TRUE(Contains(kArea, lettered.box(kArea, kRed)));
}

} // namespace
} // namespace mt::test
