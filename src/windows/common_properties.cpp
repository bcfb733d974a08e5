#include "windows/common_properties.h"

#include <cstring>
#include <string>

#include "abi/text_value.h"
#include "components/component.h"
#include "components/property_types.h"
#include "platform/cursors.h"
#include "platform/native_window.h"
#include "windows/engine_state.h"

namespace mt::engine {
namespace {

uint64_t Pointer(const void* p) { return reinterpret_cast<uintptr_t>(p); }

int32_t RectField(const platform::Rect& r, int32_t index)
{
    switch (index) {
    case kPropLeft: return r.left;
    case kPropTop: return r.top;
    case kPropWidth: return r.width;
    default: return r.height;
    }
}

int32_t StoredField(const ComponentRecord& r, int32_t index)
{
    switch (index) {
    case kPropLeft: return r.left;
    case kPropTop: return r.top;
    case kPropWidth: return r.width;
    default: return r.height;
    }
}

void SetBit(uint32_t* state, uint32_t bit, bool on) { *state = on ? *state | bit : *state & ~bit; }

uint64_t CursorBytes(const std::string& stored)
{
    std::string bytes = stored;
    if (bytes.size() >= 4) {
        int32_t word;
        std::memcpy(&word, bytes.data(), 4);
        word = platform::CursorNumber(word);
        std::memcpy(bytes.data(), &word, 4);
    }
    return Pointer(NewByteArray(bytes.data(), bytes.size()));
}

void WriteGeometry(ComponentRecord& r, Component* c, int32_t index, int32_t value)
{
    int32_t* fields[] = {&r.left, &r.top, &r.width, &r.height};
    const int32_t v = index <= kPropTop ? ClampPosition(value) : ClampSize(value);
    *fields[index] = v;
    if (!c)
        return;
    platform::Rect rect = platform::WindowRect(c->handle());
    int32_t* live[] = {&rect.left, &rect.top, &rect.width, &rect.height};
    *live[index] = v;
    platform::SetWindowRect(c->handle(), rect);
    platform::Repaint(c->handle());
}

// Shows a component unless its kind is never shown.
void ShowComponent(WindowDescription& d, ComponentRecord& r, Component* c, bool show)
{
    if (!show) {
        platform::ShowWindow(c->handle(), false);
        return;
    }
    if (&r == &d.records[0]) {
        ShowLoadedWindow(d, false);
        return;
    }
    if (!(c->kindFlags() & kKindNeverShown))
        platform::ShowWindow(c->handle(), true);
}

void WriteMousePointer(ComponentRecord& r, Component* c, uint64_t value)
{
    platform::DestroyCursor(static_cast<platform::CursorHandle>(r.cursor));
    const auto* array = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(value));
    r.mousePointer.assign(ByteArrayView(array));
    r.cursor = platform::MakeCursor(reinterpret_cast<const uint8_t*>(r.mousePointer.data()), r.mousePointer.size());
    if (!c)
        return;
    platform::SetWindowCursor(c->handle(), static_cast<platform::CursorHandle>(r.cursor));
    platform::RefreshMouseCursor();
}

} // namespace

uint64_t ReadCommonProperty(WindowDescription&, ComponentRecord& r, int32_t index)
{
    Component* c = LiveObject(r);
    switch (index) {
    case kPropLeft:
    case kPropTop:
    case kPropWidth:
    case kPropHeight:
        return static_cast<uint32_t>(c ? RectField(platform::WindowRect(c->handle()), index) : StoredField(r, index));
    case kPropTag: return Pointer(NewText(r.tag));
    case kPropVisible: return c ? platform::IsVisible(c->handle()) : (r.state & kStateVisible) != 0;
    case kPropDisabled: return c ? !platform::IsEnabled(c->handle()) : (r.state & kStateDisabled) != 0;
    case kPropMousePointer: return CursorBytes(r.mousePointer);
    }
    return 0;
}

void WriteCommonProperty(WindowDescription& d, ComponentRecord& r, int32_t index, uint64_t value)
{
    Component* c = LiveObject(r);
    const auto word = static_cast<int32_t>(value);
    switch (index) {
    case kPropLeft:
    case kPropTop:
    case kPropWidth:
    case kPropHeight: WriteGeometry(r, c, index, word); break;
    case kPropTag: {
        const char* t = reinterpret_cast<const char*>(static_cast<uintptr_t>(value));
        r.tag = t ? t : "";
        break;
    }
    case kPropVisible:
        SetBit(&r.state, kStateVisible, word != 0);
        if (c)
            ShowComponent(d, r, c, word != 0);
        break;
    case kPropDisabled:
        SetBit(&r.state, kStateDisabled, word != 0);
        if (c)
            platform::EnableWindow(c->handle(), word == 0);
        break;
    case kPropMousePointer: WriteMousePointer(r, c, value); break;
    }
}

} // namespace mt::engine
