#include "components/property_conversion.h"

#include <cstring>
#include <string>

#include "abi/text_value.h"
#include "components/component.h"
#include "components/font_record.h"
#include "components/property_types.h"
#include "platform/cursors.h"
#include "platform/heap_tuning.h"

namespace mt {
namespace {

const PropertyDescriptor* Descriptor(const Component* c, int32_t index)
{
    const ComponentKind* k = c->kind();
    if (!k || !k->properties || index < kCommonPropertyCount || index >= k->propertyCount)
        return nullptr;
    return &k->properties[index];
}

uint64_t Pointer(const void* p) { return reinterpret_cast<uintptr_t>(p); }

// Translates the first word of cursor bytes in place.
void TranslateCursorWord(std::string* bytes, int32_t (*translate)(int32_t))
{
    if (bytes->size() < 4)
        return;
    int32_t word;
    std::memcpy(&word, bytes->data(), 4);
    word = translate(word);
    std::memcpy(bytes->data(), &word, 4);
}

std::string BytesOf(const RawPropertyValue& raw)
{
    const uint8_t* p = raw.pointer();
    return p && raw.length ? std::string(reinterpret_cast<const char*>(p), raw.length) : std::string();
}

uint64_t ConvertRead(PropertyClass cls, const RawPropertyValue& raw, int32_t fontField)
{
    switch (cls) {
    case PropertyClass::kWord:
    case PropertyClass::kChoice: return static_cast<uint32_t>(raw.value);
    case PropertyClass::kEightBytes: return static_cast<uint32_t>(raw.value) | static_cast<uint64_t>(raw.length) << 32;
    case PropertyClass::kLogical: return static_cast<uint32_t>(raw.value) == 1;
    case PropertyClass::kBytes: return Pointer(NewByteArray(raw.pointer(), raw.pointer() ? raw.length : 0));
    case PropertyClass::kCursor: {
        std::string bytes = BytesOf(raw);
        TranslateCursorWord(&bytes, &platform::CursorNumber);
        return Pointer(NewByteArray(bytes.data(), bytes.size()));
    }
    case PropertyClass::kFont: return ReadFontField(FontOrDefault(raw.pointer(), raw.length), fontField);
    case PropertyClass::kText: {
        if (raw.fill) {
            if (raw.size == 0)
                return Pointer(nullptr);
            auto* text = static_cast<char*>(svc::Allocate(raw.size + 1));
            const bool noZero = raw.fill(raw.source, text);
            text[raw.size] = 0;
            if (noZero)
                platform::NoteTextLength(text, raw.size);
            return Pointer(text);
        }
        const char* t = raw.pointer<char>();
        if (!t)
            return Pointer(nullptr);
        // A length is trusted where its terminator is found.
        const bool lengthKnown = raw.length != 0 && t[raw.length] == 0;
        return Pointer(NewText(lengthKnown ? std::string_view(t, raw.length) : std::string_view(t)));
    }
    }
    return 0;
}

// The font blob a font write hands to the kind.
platform::LogicalFontBytes FontToWrite(Component* c, int32_t ownIndex, int32_t fontField, uint64_t value, bool* empty)
{
    *empty = false;
    if (fontField == kFontWhole) {
        const auto* record = reinterpret_cast<const FontRecord*>(static_cast<uintptr_t>(value));
        *empty = record == nullptr;
        return record ? FontFromRecord(*record).toBytes() : platform::LogicalFontBytes{};
    }
    RawPropertyValue current;
    auto get = KindRoutineOf<GetPropertyRoutine>(c->kind(), kRoutineGetProperty);
    if (get)
        get(c, ownIndex, &current);
    platform::LogicalFont font = FontOrDefault(current.pointer(), current.length);
    WriteFontField(&font, fontField, value);
    return font.toBytes();
}

} // namespace

uint64_t ReadOwnProperty(Component* c, int32_t index, int32_t fontField)
{
    const PropertyDescriptor* d = Descriptor(c, index);
    auto get = KindRoutineOf<GetPropertyRoutine>(c->kind(), kRoutineGetProperty);
    if (!d || !get)
        return 0;
    RawPropertyValue raw;
    const PropertyClass cls = ClassOf(PropertyTypeOf(*d));
    if (!get(c, index - kCommonPropertyCount, &raw) && cls != PropertyClass::kFont)
        return 0;
    return ConvertRead(cls, raw, fontField);
}

int32_t WriteOwnProperty(Component* c, int32_t index, int32_t fontField, uint64_t value)
{
    const PropertyDescriptor* d = Descriptor(c, index);
    auto set = KindRoutineOf<SetPropertyRoutine>(c->kind(), kRoutineSetProperty);
    if (!d || !set)
        return 0;
    const int32_t own = index - kCommonPropertyCount;
    const auto low = static_cast<uint32_t>(value);
    RawPropertyValue raw;
    std::string bytes;
    platform::LogicalFontBytes font{};
    switch (ClassOf(PropertyTypeOf(*d))) {
    case PropertyClass::kWord: raw.value = low; break;
    case PropertyClass::kEightBytes:
        raw.value = low;
        raw.length = static_cast<uint32_t>(value >> 32);
        break;
    case PropertyClass::kLogical: raw.value = low != 0; break;
    case PropertyClass::kChoice: raw.value = static_cast<int32_t>(low) < 0 ? 0 : low; break;
    case PropertyClass::kBytes:
    case PropertyClass::kCursor: {
        const auto* array = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(value));
        bytes.assign(ByteArrayView(array));
        if (ClassOf(PropertyTypeOf(*d)) == PropertyClass::kCursor)
            TranslateCursorWord(&bytes, &platform::CursorIdentifier);
        raw.value = bytes.empty() ? 0 : Pointer(bytes.data());
        raw.length = static_cast<uint32_t>(bytes.size());
        break;
    }
    case PropertyClass::kFont: {
        bool empty = false;
        font = FontToWrite(c, own, fontField, value, &empty);
        raw.value = empty ? 0 : Pointer(font.data());
        raw.length = empty ? 0 : static_cast<uint32_t>(font.size());
        break;
    }
    case PropertyClass::kText: {
        const char* t = reinterpret_cast<const char*>(static_cast<uintptr_t>(value));
        raw.value = Pointer(t ? t : "");
        break;
    }
    }
    return set(c, own, raw);
}

} // namespace mt
