#include "components/kind_helpers.h"

#include "platform/logical_font.h"

namespace mt {

void PutBytes(const std::string& bytes, RawPropertyValue* out)
{
    out->value = bytes.empty() ? 0 : reinterpret_cast<uintptr_t>(bytes.data());
    out->length = static_cast<uint32_t>(bytes.size());
}

void VisitFontFace(std::string* font, TextVisitor visitor, void* user)
{
    if (font->size() != platform::kLogicalFontSize)
        return;
    platform::LogicalFont f = platform::LogicalFont::FromBytes(reinterpret_cast<const uint8_t*>(font->data()));
    visitor(&f.faceName, user);
    const auto bytes = f.toBytes();
    font->assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

} // namespace mt
