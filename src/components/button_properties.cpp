#include "components/button_properties.h"

#include "components/components_texts.h"
#include "components/property_types.h"

namespace mt {

ButtonProperties::ButtonProperties() : caption(gb::kButtonDefaultCaption) {}

bool ButtonProperties::read(const uint8_t* record, size_t size)
{
    *this = ButtonProperties{};
    PropertyReader r(record, size);
    uint32_t v = 0;
    if (!r.version(kVersion, &v))
        return r.ok();
    buttonType = ClampChoice(r.i32(), 1);
    horzAlign = ClampChoice(r.i32(), 2);
    vertAlign = ClampChoice(r.i32(), 2);
    picture = r.bytes();
    font = r.bytes();
    caption = r.bytes();
    return r.ok();
}

PropertyWriter ButtonProperties::write() const
{
    PropertyWriter w;
    w.u32(kVersion);
    w.i32(buttonType);
    w.i32(horzAlign);
    w.i32(vertAlign);
    w.bytes(picture);
    w.bytes(font);
    w.bytes(caption);
    return w;
}

} // namespace mt
