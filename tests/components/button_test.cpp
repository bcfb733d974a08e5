// The button kind: caption, choices, default push, clicks and mnemonics.
#include <cstdlib>
#include <cstring>

#include "component_fixture.h"
#include "components/button_properties.h"
#include "platform/native_window.h"
#include "platform/push_button.h"
#include "platform/testing/input_simulation.h"
#include "support/window_pixels.h"

namespace mt::test {
namespace {

constexpr uint32_t kOk = ComponentIdOf(1);
constexpr uint32_t kOther = ComponentIdOf(2);
constexpr int32_t kButtonType = 9, kCaption = 10, kHorzAlign = 11, kVertAlign = 12;

// Little-endian 32-bit words, as records store their fixed fields.
std::string Words(std::initializer_list<int32_t> words)
{
    std::string out;
    for (int32_t w : words)
        out.append(reinterpret_cast<const char*>(&w), 4);
    return out;
}

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

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

// The stored record: the version, ButtonType, HorzAlign and VertAlign, then
// Picture, Font and Caption, each after its length.
TEST(ButtonRecord, FieldsKeepTheirOrderComeBackAndEveryCutIsRefused)
{
    ButtonProperties p;
    p.buttonType = 1;
    p.horzAlign = 2;
    p.vertAlign = 0;
    p.picture = "pic";
    p.caption = "Go";
    const std::string r = p.write().data();
    EXPECT_EQ(r, Words({1, 1, 2, 0, 3}) + "pic" + Words({0, 2}) + "Go");
    ButtonProperties back;
    ASSERT_TRUE(back.read(Bytes(r), r.size()));
    EXPECT_EQ(back.buttonType, 1);
    EXPECT_EQ(back.horzAlign, 2);
    EXPECT_EQ(back.vertAlign, 0);
    EXPECT_EQ(back.picture, "pic");
    EXPECT_EQ(back.caption, "Go");
    EXPECT_EQ(back.write().data(), r);
    for (size_t n = 1; n < r.size(); ++n)
        EXPECT_FALSE(back.read(Bytes(r), n)) << n;
    const std::string newer = Words({2}) + r.substr(4);
    EXPECT_FALSE(back.read(Bytes(newer), newer.size()));
    ASSERT_TRUE(back.read(nullptr, 0)); // nothing stored: the defaults
    EXPECT_EQ(back.write().data(), ButtonProperties{}.write().data());
}

} // namespace
} // namespace mt::test
