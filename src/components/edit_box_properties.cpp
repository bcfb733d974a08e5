#include "components/edit_box_properties.h"

#include "components/property_types.h"

namespace mt {
namespace {

// The record's fields in order: the fixed ones, then the variable parts.
template <typename Fields, typename P>
void VisitEditBoxFields(Fields& f, P& p)
{
    f.choice(p.border, kEbBorderMax);
    f.u32(p.textColor);
    f.u32(p.backColor);
    f.boolean(p.hideSelection);
    f.choice(p.maxLength, INT32_MAX);
    f.boolean(p.multiLine);
    f.choice(p.scrollBars, kEbScrollBarsMax);
    f.choice(p.alignment, kEbAlignmentMax);
    f.choice(p.inputMode, kEbInputModeMax);
    f.byte16(p.passwordChar);
    f.choice(p.caseConversion, kEbCaseConversionMax);
    f.choice(p.spinButton, kEbSpinButtonMax);
    f.i32(p.spinMin);
    f.i32(p.spinMax);
    f.i32(p.selStart);
    f.i32(p.selLength);
    f.bytes(p.font);
    f.bytes(p.content);
    if (f.version() >= 2) {
        f.bytes(p.dataSource);
        f.bytes(p.dataColumn);
    }
}

} // namespace

bool ReadEditBoxRecord(const uint8_t* record, size_t size, EditBoxProperties* out)
{
    *out = EditBoxProperties{};
    return ReadRecord(record, size, EditBoxProperties::kVersion, [out](auto& f) { VisitEditBoxFields(f, *out); });
}

PropertyWriter WriteEditBoxRecord(const EditBoxProperties& p)
{
    return WriteRecord(EditBoxProperties::kVersion, [&p](auto& f) { VisitEditBoxFields(f, p); });
}

} // namespace mt
