#include "components/button_properties.h"

#include "components/components_texts.h"
#include "components/property_types.h"

namespace mt {
namespace {

template <typename Fields, typename P>
void VisitButtonFields(Fields& f, P& p)
{
    f.choice(p.buttonType, 1);
    f.choice(p.horzAlign, 2);
    f.choice(p.vertAlign, 2);
    f.bytes(p.picture);
    f.bytes(p.font);
    f.bytes(p.caption);
}

} // namespace

ButtonProperties::ButtonProperties() : caption(gb::kButtonDefaultCaption) {}

bool ButtonProperties::read(const uint8_t* record, size_t size)
{
    *this = ButtonProperties{};
    return ReadRecord(record, size, kVersion, [this](auto& f) { VisitButtonFields(f, *this); });
}

PropertyWriter ButtonProperties::write() const
{
    return WriteRecord(kVersion, [this](auto& f) { VisitButtonFields(f, *this); });
}

} // namespace mt
