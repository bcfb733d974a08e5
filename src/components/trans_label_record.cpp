#include "components/trans_label_record.h"

#include "components/property_types.h"
#include "components/trans_label_texts.h"
#include "platform/logical_font.h"

namespace mt {

TransLabelProperties TransLabelProperties::Defaults()
{
    TransLabelProperties p;
    p.caption = gb::kTransLabelDefaultCaption;
    return p;
}

std::string StoredLabelFont(std::string blob)
{
    return blob.size() == platform::kLogicalFontSize ? std::move(blob) : std::string();
}

bool ReadTransLabelRecord(const uint8_t* record, size_t size, TransLabelProperties* out)
{
    *out = TransLabelProperties::Defaults();
    PropertyReader r(record, size);
    uint32_t version = 0;
    if (!r.version(TransLabelProperties::kVersion, &version))
        return r.ok();
    // Versions 0 and 1 share one layout.
    out->textEffect = ClampChoice(r.i32(), kHighestTextEffect);
    out->textColor = static_cast<uint32_t>(r.i32());
    out->horzAlign = ClampChoice(r.i32(), kHighestLabelAlign);
    out->vertAlign = ClampChoice(r.i32(), kHighestLabelAlign);
    out->wordWrap = r.i32() == 1 ? 1 : 0;
    out->font = StoredLabelFont(r.bytes());
    out->caption = r.bytes();
    return r.ok();
}

PropertyWriter WriteTransLabelRecord(const TransLabelProperties& p)
{
    PropertyWriter w;
    w.u32(TransLabelProperties::kVersion);
    w.i32(p.textEffect);
    w.u32(p.textColor);
    w.i32(p.horzAlign);
    w.i32(p.vertAlign);
    w.i32(p.wordWrap);
    w.bytes(p.font);
    w.bytes(p.caption);
    return w;
}

} // namespace mt
