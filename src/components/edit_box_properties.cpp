#include "components/edit_box_properties.h"

#include "components/property_types.h"

namespace mt {
namespace {

// The fixed fields, in record order.
void ReadFixed(PropertyReader& r, EditBoxProperties* p)
{
    p->border = ClampChoice(r.i32(p->border), kEbBorderMax);
    p->textColor = static_cast<uint32_t>(r.i32(static_cast<int32_t>(p->textColor)));
    p->backColor = static_cast<uint32_t>(r.i32(static_cast<int32_t>(p->backColor)));
    p->hideSelection = r.boolean(p->hideSelection);
    p->maxLength = ClampChoice(r.i32(p->maxLength), INT32_MAX);
    p->multiLine = r.boolean(p->multiLine);
    p->scrollBars = ClampChoice(r.i32(p->scrollBars), kEbScrollBarsMax);
    p->alignment = ClampChoice(r.i32(p->alignment), kEbAlignmentMax);
    p->inputMode = ClampChoice(r.i32(p->inputMode), kEbInputModeMax);
    // A 16-bit field: the character byte, then a zero byte.
    p->passwordChar = static_cast<char>(r.u16(static_cast<uint8_t>(p->passwordChar)) & 0xFF);
    p->caseConversion = ClampChoice(r.i32(p->caseConversion), kEbCaseConversionMax);
    p->spinButton = ClampChoice(r.i32(p->spinButton), kEbSpinButtonMax);
    p->spinMin = r.i32(p->spinMin);
    p->spinMax = r.i32(p->spinMax);
    p->selStart = r.i32(p->selStart);
    p->selLength = r.i32(p->selLength);
}

} // namespace

bool ReadEditBoxRecord(const uint8_t* record, size_t size, EditBoxProperties* out)
{
    *out = EditBoxProperties{};
    PropertyReader r(record, size);
    uint32_t version = 0;
    if (!r.version(EditBoxProperties::kVersion, &version))
        return r.ok();
    ReadFixed(r, out);
    out->font = r.bytes();
    out->content = r.bytes();
    if (version >= 2) {
        out->dataSource = r.bytes();
        out->dataColumn = r.bytes();
    }
    return r.ok();
}

PropertyWriter WriteEditBoxRecord(const EditBoxProperties& p)
{
    PropertyWriter w;
    w.u32(EditBoxProperties::kVersion);
    w.i32(p.border);
    w.u32(p.textColor);
    w.u32(p.backColor);
    w.boolean(p.hideSelection);
    w.i32(p.maxLength);
    w.boolean(p.multiLine);
    w.i32(p.scrollBars);
    w.i32(p.alignment);
    w.i32(p.inputMode);
    w.u16(static_cast<uint8_t>(p.passwordChar));
    w.i32(p.caseConversion);
    w.i32(p.spinButton);
    w.i32(p.spinMin);
    w.i32(p.spinMax);
    w.i32(p.selStart);
    w.i32(p.selLength);
    w.bytes(p.font);
    w.bytes(p.content);
    w.bytes(p.dataSource);
    w.bytes(p.dataColumn);
    return w;
}

} // namespace mt
