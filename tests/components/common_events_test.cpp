// Common events from the window's pre-translation: arguments, swallowing
// and character replacement; focus events.
#include "component_fixture.h"
#include "components/common_events.h"
#include "platform/native_window.h"
#include "platform/testing/input_simulation.h"

namespace mt::test {
namespace {

constexpr uint32_t kOk = ComponentIdOf(1);

class CommonEvents : public LoadedWindow {
protected:
    void SetUp() override
    {
        ComponentRecord ok = ButtonRecord(kOk, "ok", 10, 10);
        Bind(ok, 0, 0);
        Bind(ok, kEventLeftDown, 1);
        Bind(ok, kEventCharacter, 2);
        Bind(ok, kEventGainsFocus, 3);
        Bind(ok, kEventLosesFocus, 4);
        ComponentRecord w = WindowRecord();
        Bind(w, kEventKeyDown, 5);
        Load({w, ok});
    }
};

TEST_F(CommonEvents, MouseDownCarriesClientPositionAndKeyStateAndMaySwallow)
{
    int* clicked = Count(0);
    EventCall seen;
    bool swallow = false;
    SetHandler(1, [&](EventCall* call) {
        seen = *call;
        if (swallow) {
            call->hasResult = true;
            call->result = 0;
        }
    });
    platform::SimulateMouse(Handle(kOk), platform::InputKind::kLeftDown, 5, 6, platform::kKeyStateShift);
    platform::SimulateMouse(Handle(kOk), platform::InputKind::kLeftUp, 5, 6);
    ASSERT_EQ(seen.argc, 3);
    EXPECT_EQ(AsInt32(seen.args[0]), 5);
    EXPECT_EQ(AsInt32(seen.args[1]), 6);
    EXPECT_EQ(AsInt32(seen.args[2]), platform::kKeyStateShift);
    EXPECT_EQ(*clicked, 1);

    swallow = true;
    platform::SimulateMouse(Handle(kOk), platform::InputKind::kLeftDown, 5, 6);
    platform::SimulateMouse(Handle(kOk), platform::InputKind::kLeftUp, 5, 6);
    EXPECT_EQ(*clicked, 1); // the press never reached the button
}

TEST_F(CommonEvents, KeyDownOnTheWindowItselfSeesFoldedKeyCodes)
{
    std::vector<int32_t> keys;
    SetHandler(5, [&](EventCall* call) { keys.push_back(AsInt32(call->args[0])); });
    platform::SimulateKey('A');
    platform::SimulateKey(platform::kVkF1 + 1);
    EXPECT_EQ(keys, (std::vector<int32_t>{'A', platform::kVkF1 + 1}));
}

TEST_F(CommonEvents, CharacterHandlerSeesTheGbCode)
{
    platform::SetFocusWindow(Handle(kOk));
    std::vector<int32_t> chars;
    int32_t answer = 0;
    SetHandler(2, [&](EventCall* call) {
        chars.push_back(AsInt32(call->args[0]));
        call->hasResult = answer >= 0;
        call->result = answer;
    });
    platform::SimulateCharacter("x");
    answer = -1; // no result: delivered unchanged
    platform::SimulateCharacter(Gb("中"));
    ASSERT_EQ(chars.size(), 2u);
    EXPECT_EQ(chars[0], 'x');
    EXPECT_EQ(chars[1], 0xD6D0); // GB18030 bytes D6 D0
}

TEST_F(CommonEvents, FocusMovesRaiseLosesThenGains)
{
    std::vector<int> order;
    SetHandler(3, [&](EventCall*) { order.push_back(-7); });
    SetHandler(4, [&](EventCall*) { order.push_back(-8); });
    platform::SetFocusWindow(Handle(kOk));
    platform::SetFocusWindow(Handle(kWindowRecordId));
    EXPECT_EQ(order, (std::vector<int>{-7, -8}));
}

} // namespace
} // namespace mt::test
