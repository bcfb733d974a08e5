// The transparent label kind: text painted straight onto whatever lies
// beneath it. It has no events of its own; the common mouse and key events
// reach it through its window. Every property write repaints what lies under
// the label, then the label, so no trace of the old text remains.
#include "components/component.h"
#include "components/components_texts.h"
#include "components/kind_helpers.h"
#include "components/kind_tables.h"
#include "components/property_types.h"
#include "components/trans_label_record.h"
#include "platform/label_surface.h"
#include "platform/native_window.h"

namespace mt {
namespace {

platform::LabelOptions OptionsOf(const TransLabelProperties& p)
{
    platform::LabelOptions o;
    o.effect = p.textEffect;
    o.textColor = p.textColor;
    o.font = p.font;
    o.horzAlign = p.horzAlign;
    o.wordWrap = p.wordWrap == 1;
    o.vertAlign = p.vertAlign;
    return o;
}

class TransLabelComponent : public Component {
public:
    TransLabelComponent(uint32_t style, uint32_t windowId, uint32_t componentId, int32_t childId)
        : Component(&kUiExtensionKinds[4], windowId, componentId, childId, style)
    {
    }

    void build(platform::WindowHandle parent, const platform::Rect& rect)
    {
        attach(platform::CreateLabelSurface(parent, rect, OptionsOf(p), p.caption, this));
    }

    // Named after its role (字符统计); its caption is its text.
    void named(std::string_view role) override
    {
        if (!role.empty())
            platform::SetAccessibleTexts(handle(), role, gb::kKindTransLabel);
    }

    // Stores one own property and shows it; an index the label does not
    // know still repaints.
    void write(int32_t own, const RawPropertyValue& v);

    TransLabelProperties p;

private:
    void show(int32_t own, platform::LabelSurface* s) const;
};

std::string TextOf(const RawPropertyValue& v)
{
    const char* t = v.pointer<char>();
    return t ? std::string(t) : std::string();
}

std::string BytesOf(const RawPropertyValue& v)
{
    const char* b = v.pointer<char>();
    return b ? std::string(b, v.length) : std::string();
}

void TransLabelComponent::write(int32_t own, const RawPropertyValue& v)
{
    const auto word = static_cast<int32_t>(v.value);
    switch (own) {
    case kLabelCaption: p.caption = TextOf(v); break;
    case kLabelTextEffect: p.textEffect = ClampChoice(word, kHighestTextEffect); break;
    case kLabelFont: p.font = StoredLabelFont(BytesOf(v)); break;
    case kLabelTextColor: p.textColor = static_cast<uint32_t>(v.value); break;
    case kLabelHorzAlign: p.horzAlign = ClampChoice(word, kHighestLabelAlign); break;
    case kLabelWordWrap: p.wordWrap = word == 1 ? 1 : 0; break;
    case kLabelVertAlign: p.vertAlign = ClampChoice(word, kHighestLabelAlign); break;
    }
    if (platform::LabelSurface* s = platform::LabelSurfaceOf(handle()))
        show(own, s);
}

// Each setter of the surface refreshes, so every write repaints once.
void TransLabelComponent::show(int32_t own, platform::LabelSurface* s) const
{
    switch (own) {
    case kLabelCaption: s->setText(p.caption); return;
    case kLabelTextEffect: s->setEffect(p.textEffect); return;
    case kLabelFont: s->setFont(p.font); return;
    case kLabelTextColor: s->setTextColor(p.textColor); return;
    case kLabelHorzAlign: s->setHorzAlign(p.horzAlign); return;
    case kLabelWordWrap: s->setWordWrap(p.wordWrap == 1); return;
    case kLabelVertAlign: s->setVertAlign(p.vertAlign); return;
    }
    s->refresh();
}

TransLabelComponent* AsLabel(Component* c) { return static_cast<TransLabelComponent*>(c); }

Component* Create(const uint8_t* record, int32_t length, uint32_t style, platform::WindowHandle parent,
                  int32_t childId, void*, int32_t left, int32_t top, int32_t width, int32_t height, uint32_t windowId,
                  uint32_t componentId, int32_t, int32_t)
{
    TransLabelProperties p;
    if (!ReadTransLabelRecord(record, RecordSize(length), &p))
        return nullptr;
    auto* label = new TransLabelComponent(style, windowId, componentId, childId);
    label->p = std::move(p);
    label->build(parent, {left, top, width, height});
    if (style & kStyleDisabled)
        platform::EnableWindow(label->handle(), false);
    return label;
}

int32_t SetProperty(Component* c, int32_t own, RawPropertyValue v)
{
    AsLabel(c)->write(own, v);
    return 0;
}

uint8_t* SaveProperties(Component* c, int32_t* length) { return WriteTransLabelRecord(AsLabel(c)->p).release(length); }

int32_t GetProperty(Component* c, int32_t own, RawPropertyValue* out)
{
    const TransLabelProperties& p = AsLabel(c)->p;
    switch (own) {
    case kLabelCaption: out->value = reinterpret_cast<uintptr_t>(p.caption.c_str()); break;
    case kLabelTextEffect: out->value = static_cast<uint32_t>(p.textEffect); break;
    case kLabelFont: PutBytes(p.font, out); break;
    case kLabelTextColor: out->value = p.textColor; break;
    case kLabelHorzAlign: out->value = static_cast<uint32_t>(p.horzAlign); break;
    case kLabelWordWrap: out->value = static_cast<uint32_t>(p.wordWrap); break;
    case kLabelVertAlign: out->value = static_cast<uint32_t>(p.vertAlign); break;
    default: return 0;
    }
    return 1;
}

// Caption and the font's face name; the record comes back as version 1.
uint8_t* VisitTexts(const uint8_t* record, int32_t length, TextVisitor visitor, void* user, int32_t* outLength)
{
    TransLabelProperties p;
    *outLength = 0;
    if (!ReadTransLabelRecord(record, RecordSize(length), &p))
        return nullptr;
    visitor(&p.caption, user);
    VisitFontFace(&p.font, visitor, user);
    return WriteTransLabelRecord(p).release(outLength);
}

} // namespace

KindRoutine TransLabelKindInterface(int32_t number)
{
    switch (number) {
    case kRoutineCreate: return reinterpret_cast<KindRoutine>(&Create);
    case kRoutineSetProperty: return reinterpret_cast<KindRoutine>(&SetProperty);
    case kRoutineSaveProperties: return reinterpret_cast<KindRoutine>(&SaveProperties);
    case kRoutineGetProperty: return reinterpret_cast<KindRoutine>(&GetProperty);
    case kRoutineVisitTexts: return reinterpret_cast<KindRoutine>(&VisitTexts);
    }
    return nullptr;
}

} // namespace mt
