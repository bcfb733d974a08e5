// The push button kind: caption, picture, default-push style, alignment and
// font; event 0 when clicked (also by Enter and by its mnemonic).
#include <cstring>

#include "components/button_properties.h"
#include "components/component.h"
#include "components/font_record.h"
#include "components/kind_helpers.h"
#include "components/kind_tables.h"
#include "components/property_types.h"
#include "platform/fonts.h"
#include "platform/native_window.h"
#include "platform/push_button.h"

namespace mt {
namespace {

const uint8_t* Data(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

class ButtonComponent : public Component {
public:
    ButtonComponent(uint32_t style, uint32_t windowId, uint32_t componentId, int32_t childId)
        : Component(&kCoreKinds[10], windowId, componentId, childId, style)
    {
    }

    void build(platform::WindowHandle parent, const platform::Rect& rect)
    {
        attach(platform::CreatePushButton(parent, rect, p.caption, this));
        platform::SetDefaultPush(handle(), p.buttonType == 1);
        applyAlignment();
        platform::SetButtonPicture(handle(), Data(p.picture), p.picture.size());
        applyFont();
    }

    void applyAlignment()
    {
        platform::SetButtonAlignment(handle(), static_cast<platform::HorizontalAlign>(p.horzAlign),
                                     static_cast<platform::VerticalAlign>(p.vertAlign));
    }

    void applyFont()
    {
        if (p.font.size() == platform::kLogicalFontSize) {
            const auto bytes = ForDisplay(platform::LogicalFont::FromBytes(Data(p.font))).toBytes();
            platform::SetWindowFont(handle(), bytes.data(), bytes.size());
        } else {
            platform::SetWindowFont(handle(), nullptr, 0);
        }
    }

    void clicked() override { raise(0); }
    std::string mnemonicText() const override { return p.caption; }
    void activateMnemonic() override { raise(0); }

    ButtonProperties p;
};

ButtonComponent* AsButton(Component* c) { return static_cast<ButtonComponent*>(c); }

std::string BytesOf(const RawPropertyValue& v)
{
    const char* p = v.pointer<char>();
    return p ? std::string(p, v.length) : std::string();
}

Component* Create(const uint8_t* record, int32_t length, uint32_t style, platform::WindowHandle parent,
                  int32_t childId, void*, int32_t left, int32_t top, int32_t width, int32_t height, uint32_t windowId,
                  uint32_t componentId, int32_t, int32_t)
{
    ButtonProperties p;
    if (!p.read(record, RecordSize(length)))
        return nullptr;
    auto* b = new ButtonComponent(style, windowId, componentId, childId);
    b->p = std::move(p);
    b->build(parent, {left, top, width, height});
    if (style & kStyleDisabled)
        platform::EnableWindow(b->handle(), false);
    return b;
}

int32_t SetProperty(Component* c, int32_t own, RawPropertyValue v)
{
    ButtonComponent* b = AsButton(c);
    const auto word = static_cast<int32_t>(v.value);
    switch (own) {
    case kBtnPicture: b->p.picture = BytesOf(v); return 1;
    case kBtnButtonType:
        b->p.buttonType = ClampChoice(word, 1);
        platform::SetDefaultPush(b->handle(), b->p.buttonType == 1);
        break;
    case kBtnCaption:
        b->p.caption = v.pointer<char>() ? std::string(v.pointer<char>()) : std::string();
        platform::SetWindowText(b->handle(), b->p.caption);
        break;
    case kBtnHorzAlign:
        b->p.horzAlign = ClampChoice(word, 2);
        b->applyAlignment();
        break;
    case kBtnVertAlign:
        b->p.vertAlign = ClampChoice(word, 2);
        b->applyAlignment();
        break;
    case kBtnFont:
        b->p.font = BytesOf(v);
        b->applyFont();
        break;
    }
    return 0;
}

uint8_t* SaveProperties(Component* c, int32_t* length) { return AsButton(c)->p.write().release(length); }

int32_t GetProperty(Component* c, int32_t own, RawPropertyValue* out)
{
    const ButtonProperties& p = AsButton(c)->p;
    switch (own) {
    case kBtnPicture: PutBytes(p.picture, out); break;
    case kBtnButtonType: out->value = static_cast<uint32_t>(p.buttonType); break;
    case kBtnCaption: out->value = reinterpret_cast<uintptr_t>(p.caption.c_str()); break;
    case kBtnHorzAlign: out->value = static_cast<uint32_t>(p.horzAlign); break;
    case kBtnVertAlign: out->value = static_cast<uint32_t>(p.vertAlign); break;
    case kBtnFont: PutBytes(p.font, out); break;
    default: return 0;
    }
    return 1;
}

uint8_t* VisitTexts(const uint8_t* record, int32_t length, TextVisitor visitor, void* user, int32_t* outLength)
{
    ButtonProperties p;
    *outLength = 0;
    if (!p.read(record, RecordSize(length)))
        return nullptr;
    visitor(&p.caption, user);
    VisitFontFace(&p.font, visitor, user);
    return p.write().release(outLength);
}

int32_t IsDefaultButton(Component* c) { return platform::IsDefaultPush(c->handle()) ? 1 : 0; }

} // namespace

KindRoutine ButtonKindInterface(int32_t number)
{
    switch (number) {
    case kRoutineCreate: return reinterpret_cast<KindRoutine>(&Create);
    case kRoutineSetProperty: return reinterpret_cast<KindRoutine>(&SetProperty);
    case kRoutineSaveProperties: return reinterpret_cast<KindRoutine>(&SaveProperties);
    case kRoutineGetProperty: return reinterpret_cast<KindRoutine>(&GetProperty);
    case kRoutineVisitTexts: return reinterpret_cast<KindRoutine>(&VisitTexts);
    case kRoutineIsDefaultButton: return reinterpret_cast<KindRoutine>(&IsDefaultButton);
    }
    return nullptr;
}

} // namespace mt
