#include "components/common_events.h"

#include "components/component.h"

namespace mt {
namespace {

using platform::InputKind;

int32_t IndexOf(InputKind kind)
{
    switch (kind) {
    case InputKind::kLeftDown: return kEventLeftDown;
    case InputKind::kLeftUp: return kEventLeftUp;
    case InputKind::kDoubleClick: return kEventDoubleClick;
    case InputKind::kRightDown: return kEventRightDown;
    case InputKind::kRightUp: return kEventRightUp;
    case InputKind::kMouseMove: return kEventMouseMove;
    case InputKind::kKeyDown: return kEventKeyDown;
    case InputKind::kKeyUp: return kEventKeyUp;
    case InputKind::kCharacter: return kEventCharacter;
    case InputKind::kWheel: return kEventWheel;
    }
    return 0;
}

// Mouse positions travel as the two unsigned 16-bit halves of a message
// position.
int32_t Unsigned16(int32_t v) { return v & 0xFFFF; }

} // namespace

bool RaiseCommonEvent(Component& component, platform::InputEvent& e)
{
    int32_t result = 0;
    bool hasResult = false;
    const int32_t index = IndexOf(e.kind);
    switch (e.kind) {
    case InputKind::kKeyDown:
    case InputKind::kKeyUp: component.raise(index, {e.key, e.keyState}, &result, &hasResult); break;
    case InputKind::kCharacter: component.raise(index, {e.key}, &result, &hasResult); break;
    case InputKind::kWheel: component.raise(index, {e.wheel, e.keyState}, &result, &hasResult); break;
    default: component.raise(index, {Unsigned16(e.x), Unsigned16(e.y), e.keyState}, &result, &hasResult); break;
    }
    if (!hasResult)
        return false;
    if (result == 0)
        return true;
    if (e.kind == InputKind::kCharacter)
        e.key = result;
    return false;
}

} // namespace mt
