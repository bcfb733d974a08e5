#include "commands/text_commands.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <string_view>

#include "abi/text_value.h"
#include "commands/find_text.h"
#include "commands/value_format.h"
#include "platform/heap_tuning.h"

namespace mt {
namespace {

// Argument i; one the caller did not pass reads as omitted.
ValueRecord Arg(int32_t argc, const ValueRecord* args, int32_t i)
{
    return args && i < argc ? args[i] : Omitted();
}

bool Given(const ValueRecord& v) { return v.type != kTypeNone; }

// The bytes of a text argument. The application passes a shared empty text
// for a null one; a null payload or an argument of another type reads as the
// empty text all the same.
std::string_view TextArg(const ValueRecord& v)
{
    if (v.type != kTypeText)
        return {};
    const char* t = AsPointer<const char>(v);
    // A long text read from a big box comes with its length.
    if (const size_t n = t ? platform::KnownTextLength(t) : platform::kUnknownTextLength;
        n != platform::kUnknownTextLength)
        return {t, n};
    return TextView(t);
}

void ReturnInt(ValueRecord* result, int32_t value) { *result = MakeInt(value); }
void ReturnText(ValueRecord* result, std::string_view bytes) { *result = MakePointer(NewText(bytes), kTypeText); }
void ReturnBytes(ValueRecord* result, std::string_view bytes)
{
    *result = MakePointer(NewByteArray(bytes.data(), bytes.size()), kTypeBytes);
}

// The elements of an array value as bytes, for elements of `width` bytes:
// all elements in storage order, the count being the product of the
// dimension sizes (for a one-dimensional array its second word). A null
// block, a block without dimensions or with a negative size, and one larger
// than a byte array can hold read as no elements.
std::string_view ArrayBytes(const ValueRecord& v, int width)
{
    const auto* block = AsPointer<const uint8_t>(v);
    if (!block)
        return {};
    int32_t dimensions;
    std::memcpy(&dimensions, block, 4);
    if (dimensions <= 0)
        return {};
    uint64_t bytes = static_cast<uint64_t>(width);
    for (int32_t d = 0; d < dimensions; ++d) {
        int32_t size;
        std::memcpy(&size, block + 4 + 4 * static_cast<size_t>(d), 4);
        if (size < 0)
            return {};
        bytes *= static_cast<uint64_t>(size);
        if (bytes > INT32_MAX)
            return {};
    }
    return {reinterpret_cast<const char*>(block + 4 + 4 * static_cast<size_t>(dimensions)),
            static_cast<size_t>(bytes)};
}

// Bytes before the first zero byte.
std::string_view UpToZero(std::string_view bytes)
{
    if (bytes.empty())
        return bytes; // its data may be null, which memchr must not see
    const void* zero = std::memchr(bytes.data(), 0, bytes.size());
    return zero ? bytes.substr(0, static_cast<size_t>(static_cast<const char*>(zero) - bytes.data())) : bytes;
}

// How many payload bytes ToBytes gives a scalar type, or 0 for none.
int ScalarWidth(uint32_t type)
{
    if (IsNumericType(type))
        return NumericWidth(type);
    switch (type) {
    case kTypeBool:
    case kTypeSubroutine:
        return 4;
    case kTypeDateTime:
    case kTypeOpaque64:
        return 8;
    default:
        return 0;
    }
}

} // namespace

void 取文本长度(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    const size_t length = TextArg(Arg(argc, args, 0)).size();
    ReturnInt(result, static_cast<int32_t>(std::min<size_t>(length, INT32_MAX)));
}

void ToText(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    const ValueRecord v = Arg(argc, args, 0);
    if (IsArrayType(v.type)) {
        const uint32_t element = ElementType(v.type);
        if (IsNumericType(element))
            ReturnText(result, UpToZero(ArrayBytes(v, NumericWidth(element))));
        return;
    }
    std::string formatted;
    if (v.type == kTypeBytes)
        ReturnText(result, UpToZero(ByteArrayView(AsPointer<const uint8_t>(v))));
    else if (v.type == kTypeText)
        ReturnText(result, TextArg(v));
    else if (FormatScalarValue(v, &formatted))
        ReturnText(result, formatted);
    else
        ReturnText(result, {});
}

void 寻找文本(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    const ValueRecord text = Arg(argc, args, 0);
    const std::string_view sought = TextArg(Arg(argc, args, 1));
    const ValueRecord start = Arg(argc, args, 2);
    const ValueRecord flag = Arg(argc, args, 3);
    // P ≤ 0 behaves as 1; the offset is computed in 64 bits, so P = INT32_MIN is no trap.
    const int64_t offset = Given(start) ? std::max<int64_t>(int64_t{AsInt32(start)} - 1, 0) : 0;
    const bool ignoreCase = Given(flag) && Low32(flag) == 1;
    // The text's length is measured only as far as the search gets.
    const char* bytes = text.type == kTypeText ? AsPointer<const char>(text) : nullptr;
    const int64_t found = FindTextOffsetInTerminated(bytes, sought, static_cast<size_t>(offset), ignoreCase);
    // A position beyond the integer range cannot be answered; -1 is the nearest honest answer.
    ReturnInt(result, found >= 0 && found < INT32_MAX ? static_cast<int32_t>(found + 1) : -1);
}

void 取文本中间(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    const std::string_view text = TextArg(Arg(argc, args, 0));
    const int64_t start = int64_t{AsInt32(Arg(argc, args, 1))} - 1;
    const int64_t length = AsInt32(Arg(argc, args, 2));
    const auto size = static_cast<int64_t>(text.size());
    if (start < 0 || start >= size || length <= 0) {
        ReturnText(result, {});
        return;
    }
    const int64_t count = std::min(length, size - start);
    ReturnText(result, text.substr(static_cast<size_t>(start), static_cast<size_t>(count)));
}

void ToBytes(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    const ValueRecord v = Arg(argc, args, 0);
    if (IsArrayType(v.type)) {
        const uint32_t element = ElementType(v.type);
        ReturnBytes(result, IsNumericType(element) ? ArrayBytes(v, NumericWidth(element)) : std::string_view());
        return;
    }
    if (v.type == kTypeText) {
        ReturnBytes(result, TextArg(v));
        return;
    }
    if (v.type == kTypeBytes) {
        ReturnBytes(result, ByteArrayView(AsPointer<const uint8_t>(v)));
        return;
    }
    char bytes[8];
    const int width = ScalarWidth(v.type);
    for (int k = 0; k < width; ++k)
        bytes[k] = static_cast<char>(v.payload >> (8 * k));
    ReturnBytes(result, {bytes, static_cast<size_t>(width)});
}

} // namespace mt
