#include "components/common_events.h"

#include "components/component.h"

namespace mt {
namespace {

using platform::InputKind;

int32_t IndexOf(InputKind kind)
{
    switch (kind) {
    case InputKind::LeftDown: return kEventLeftDown;
    case InputKind::LeftUp: return kEventLeftUp;
    case InputKind::DoubleClick: return kEventDoubleClick;
    case InputKind::RightDown: return kEventRightDown;
    case InputKind::RightUp: return kEventRightUp;
    case InputKind::MouseMove: return kEventMouseMove;
    case InputKind::KeyDown: return kEventKeyDown;
    case InputKind::KeyUp: return kEventKeyUp;
    case InputKind::Character: return kEventCharacter;
    case InputKind::Wheel: return kEventWheel;
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
    case InputKind::KeyDown:
    case InputKind::KeyUp: component.raise(index, {e.key, e.keyState}, &result, &hasResult); break;
    case InputKind::Character: component.raise(index, {e.key}, &result, &hasResult); break;
    case InputKind::Wheel: component.raise(index, {e.wheel, e.keyState}, &result, &hasResult); break;
    default: component.raise(index, {Unsigned16(e.x), Unsigned16(e.y), e.keyState}, &result, &hasResult); break;
    }
    if (!hasResult)
        return false;
    if (result == 0)
        return true;
    if (e.kind == InputKind::Character)
        e.key = result;
    return false;
}

} // namespace mt
