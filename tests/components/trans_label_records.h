// Transparent labels for template blocks: a record built from properties,
// and a large bold font that makes letters easy to find in pixel tests.
#pragma once

#include <string>

#include "components/kind_routines.h"
#include "components/kind_tables.h"
#include "components/trans_label_record.h"
#include "platform/logical_font.h"
#include "platform/window_handle.h"
#include "support/template_builder.h"

namespace mt::test {

// Own property indices as application code numbers them.
enum LabelIndex : int32_t {
    kCaption = 8,
    kTextEffect = 9,
    kFont = 10,
    kTextColor = 11,
    kHorzAlign = 12,
    kWordWrap = 13,
    kVertAlign = 14,
};

inline std::string BigBoldFont()
{
    platform::LogicalFont f;
    f.height = -40;
    f.weight = 700;
    f.faceName = "DejaVu Sans"; // a face with a bold of its own: crisp stems
    const auto bytes = f.toBytes();
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

inline ComponentRecord LabelRecord(uint32_t id, const platform::Rect& rect, const std::string& properties)
{
    ComponentRecord r;
    r.id = id;
    r.kind = kKindCodeTransLabel;
    r.left = rect.left;
    r.top = rect.top;
    r.width = rect.width;
    r.height = rect.height;
    r.state = kStateShown;
    r.mousePointer = std::string(4, '\0');
    r.properties = properties;
    return r;
}

inline ComponentRecord LabelRecord(uint32_t id, const platform::Rect& rect, const TransLabelProperties& p)
{
    return LabelRecord(id, rect, WriteTransLabelRecord(p).data());
}

} // namespace mt::test
