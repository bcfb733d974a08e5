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

namespace {

// Versions 0 and 1 share one layout.
template <typename Fields, typename P>
void VisitTransLabelFields(Fields& f, P& p)
{
    f.choice(p.textEffect, kHighestTextEffect);
    f.u32(p.textColor);
    f.choice(p.horzAlign, kHighestLabelAlign);
    f.choice(p.vertAlign, kHighestLabelAlign);
    f.i32(p.wordWrap, [](int32_t stored) { return stored == 1 ? 1 : 0; });
    f.bytes(p.font, StoredLabelFont);
    f.bytes(p.caption);
}

} // namespace

bool ReadTransLabelRecord(const uint8_t* record, size_t size, TransLabelProperties* out)
{
    *out = TransLabelProperties::Defaults();
    return ReadRecord(record, size, TransLabelProperties::kVersion,
                      [out](auto& f) { VisitTransLabelFields(f, *out); });
}

PropertyWriter WriteTransLabelRecord(const TransLabelProperties& p)
{
    return WriteRecord(TransLabelProperties::kVersion, [&p](auto& f) { VisitTransLabelFields(f, p); });
}

} // namespace mt
