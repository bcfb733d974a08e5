// The edit box kind's routines, handed out by number.
#include "components/edit_box_component.h"
#include "components/edit_box_properties.h"
#include "components/kind_helpers.h"
#include "components/kind_tables.h"
#include "components/property_archive.h"

namespace mt {
namespace {

EditBoxComponent* AsEditBox(Component* c) { return static_cast<EditBoxComponent*>(c); }

Component* Create(const uint8_t* record, int32_t length, uint32_t style, platform::WindowHandle parent,
                  int32_t childId, void*, int32_t left, int32_t top, int32_t width, int32_t height, uint32_t windowId,
                  uint32_t componentId, int32_t, int32_t)
{
    EditBoxProperties p;
    if (!ReadEditBoxRecord(record, RecordSize(length), &p))
        return nullptr;
    return EditBoxComponent::Make(std::move(p), style, parent, {left, top, width, height}, windowId, componentId,
                                  childId);
}

int32_t SetProperty(Component* c, int32_t own, RawPropertyValue v) { return AsEditBox(c)->setProperty(own, v); }

uint8_t* SaveProperties(Component* c, int32_t* length)
{
    return WriteEditBoxRecord(AsEditBox(c)->current()).release(length);
}

int32_t GetProperty(Component* c, int32_t own, RawPropertyValue* out) { return AsEditBox(c)->getProperty(own, out); }

int32_t WantsKey(Component* c, int32_t key) { return AsEditBox(c)->wantsKey(key) ? 1 : 0; }

// Content, the font's face name, DataSource and DataColumn.
uint8_t* VisitTexts(const uint8_t* record, int32_t length, TextVisitor visitor, void* user, int32_t* outLength)
{
    EditBoxProperties p;
    *outLength = 0;
    if (!ReadEditBoxRecord(record, RecordSize(length), &p))
        return nullptr;
    visitor(&p.content, user);
    VisitFontFace(&p.font, visitor, user);
    visitor(&p.dataSource, user);
    visitor(&p.dataColumn, user);
    return WriteEditBoxRecord(p).release(outLength);
}

} // namespace

KindRoutine EditBoxKindInterface(int32_t number)
{
    switch (number) {
    case kRoutineCreate: return reinterpret_cast<KindRoutine>(&Create);
    case kRoutineSetProperty: return reinterpret_cast<KindRoutine>(&SetProperty);
    case kRoutineSaveProperties: return reinterpret_cast<KindRoutine>(&SaveProperties);
    case kRoutineGetProperty: return reinterpret_cast<KindRoutine>(&GetProperty);
    case kRoutineWantsKey: return reinterpret_cast<KindRoutine>(&WantsKey);
    case kRoutineVisitTexts: return reinterpret_cast<KindRoutine>(&VisitTexts);
    }
    return nullptr;
}

} // namespace mt
