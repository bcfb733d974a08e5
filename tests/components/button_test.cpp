// The button kind: caption, choices, default push, clicks and mnemonics.
#include <cstdlib>
#include <cstring>

#include "component_fixture.h"
#include "platform/testing/input_simulation.h"
#include "platform/native_window.h"
#include "platform/push_button.h"
#include "support/window_pixels.h"

namespace mt::test {
namespace {

constexpr uint32_t kOk = ComponentIdOf(1);
constexpr uint32_t kOther = ComponentIdOf(2);
constexpr int32_t kButtonType = 9, kCaption = 10, kHorzAlign = 11, kVertAlign = 12;

class Button : public LoadedWindow {
protected:
    void SetUp() override
    {
        ComponentRecord ok = ButtonRecord(kOk, "&Go", 0, 0);
        Bind(ok, 0, 0);
        Load({WindowRecord(), ok, ButtonRecord(kOther, "other", 0, 40)});
    }
};

TEST_F(Button, CaptionChangesAtOnceWithoutARebuild)
{
    Component* before = Object(kOk);
    const std::string caption = Gb("读网页源码");
    Write(kOk, kCaption, reinterpret_cast<uintptr_t>(caption.c_str()));
    EXPECT_EQ(Object(kOk), before);
    EXPECT_EQ(platform::WindowText(Handle(kOk)), caption);
    auto* back = reinterpret_cast<char*>(Read(kOk, kCaption));
    EXPECT_EQ(std::string(back), caption);
    std::free(back);
}

TEST_F(Button, ChoicesAreClampedNeverRejected)
{
    const struct {
        int32_t index;
        int32_t written;
        uint64_t stored;
    } cases[] = {{kButtonType, 5, 1}, {kButtonType, -1, 0}, {kHorzAlign, -3, 0}, {kHorzAlign, 9, 2}, {kVertAlign, 2, 2}};
    for (const auto& c : cases) {
        Write(kOk, c.index, static_cast<uint32_t>(c.written));
        EXPECT_EQ(Read(kOk, c.index), c.stored) << c.index << " " << c.written;
    }
}

TEST_F(Button, ButtonTypeSetsTheDefaultPushStyle)
{
    EXPECT_FALSE(platform::IsDefaultPush(Handle(kOk)));
    Write(kOk, kButtonType, 1);
    EXPECT_TRUE(platform::IsDefaultPush(Handle(kOk)));
}

// The dotted mark three pixels inside the bevel: every other pixel of its
// top line in the caption's colour while the button has the focus, none
// without it; the default button's black frame around its edge.
TEST_F(Button, FocusMarkAndDefaultFrameShowOnlyWhereTheyBelong)
{
    constexpr uint32_t kBlack = 0x000000;
    const auto shown = [&](uint32_t id, int32_t inset) {
        platform::ProcessPendingEvents();
        const platform::Rect b = platform::WindowRect(Handle(id));
        return GrabWindow(Handle(kWindowRecordId))
            .count({b.left + inset + 1, b.top + inset, b.width - 2 * inset - 2, 1}, kBlack);
    };
    platform::SetFocusWindow(Handle(kOk));
    EXPECT_GE(shown(kOk, 3), (77 - 8) / 2 - 1);
    EXPECT_EQ(shown(kOther, 3), 0);
    EXPECT_EQ(shown(kOk, 0), 0);
    Write(kOk, kButtonType, 1);
    EXPECT_EQ(shown(kOk, 0), 77 - 2);
    EXPECT_GE(shown(kOk, 4), (77 - 10) / 2 - 1); // the bevel is a pixel smaller now
    platform::SetFocusWindow(Handle(kOther));
    EXPECT_EQ(shown(kOk, 4), 0);
    EXPECT_GE(shown(kOther, 3), (77 - 8) / 2 - 1);
}

TEST_F(Button, ClickRaisesClicked)
{
    int* clicked = Count(0);
    platform::ClickButton(Handle(kOk));
    EXPECT_EQ(*clicked, 1);
}

TEST_F(Button, AltMnemonicClicksTheButtonWhoseCaptionCarriesIt)
{
    int* clicked = Count(0);
    platform::SimulateKey('G', platform::kKeyStateAlt);
    EXPECT_EQ(*clicked, 1);
    platform::SimulateKey('X', platform::kKeyStateAlt);
    EXPECT_EQ(*clicked, 1);
    Write(kOk, 6, 1); // disabled buttons take no mnemonic
    platform::SimulateKey('G', platform::kKeyStateAlt);
    EXPECT_EQ(*clicked, 1);
}

TEST_F(Button, UnknownOwnIndexReadsZero)
{
    EXPECT_EQ(Read(kOk, 14), 0u);
    EXPECT_EQ(Read(kOk, -3), 0u);
    Write(kOk, 40, 1); // ignored
}

} // namespace
} // namespace mt::test
