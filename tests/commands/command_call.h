// Calling command routines the way the call gate does, and taking their
// text and byte-array answers apart (and freeing them) in tests.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "abi/runtime_entry_table.h"
#include "abi/text_value.h"

namespace mt::test {

// Calls the routine with a zeroed result record, as the gate does.
inline ValueRecord CallCommand(CommandRoutine routine, std::vector<ValueRecord> args)
{
    ValueRecord result{};
    routine(&result, static_cast<int32_t>(args.size()), args.data());
    return result;
}

inline ValueRecord Text(const char* text) { return MakePointer(text, kTypeText); }

// The bytes of a returned text, which is then freed. An empty text must be
// null, never a block holding only the terminator.
inline std::string TakeText(const ValueRecord& r)
{
    EXPECT_EQ(r.type, kTypeText);
    auto* t = AsPointer<char>(r);
    std::string bytes(TextView(t));
    if (t) {
        EXPECT_FALSE(bytes.empty()) << "an empty text is null";
    }
    svc::Free(t);
    return bytes;
}

// The bytes of a returned byte array, which is then freed. The block must
// hold the word 1 and the count; an empty array must be null.
inline std::string TakeBytes(const ValueRecord& r)
{
    EXPECT_EQ(r.type, kTypeBytes);
    auto* a = AsPointer<uint8_t>(r);
    std::string bytes(ByteArrayView(a));
    if (a) {
        int32_t header[2];
        std::memcpy(header, a, sizeof header);
        EXPECT_EQ(header[0], 1);
        EXPECT_EQ(header[1], static_cast<int32_t>(bytes.size()));
        EXPECT_FALSE(bytes.empty()) << "an empty byte array is null";
    }
    svc::Free(a);
    return bytes;
}

// A byte array laid out as the application holds one (in test memory, not
// the heap): the word 1, the count, the bytes.
class ByteArrayBlock {
public:
    explicit ByteArrayBlock(std::string_view bytes) : block_(kByteArrayHeader + bytes.size())
    {
        const int32_t header[2] = {1, static_cast<int32_t>(bytes.size())};
        std::memcpy(block_.data(), header, sizeof header);
        std::memcpy(block_.data() + kByteArrayHeader, bytes.data(), bytes.size());
    }
    ValueRecord value() const { return MakePointer(block_.data(), kTypeBytes); }

private:
    std::vector<uint8_t> block_;
};

// An array block: the dimension count, the dimension sizes, the elements.
class ArrayBlock {
public:
    ArrayBlock(std::initializer_list<int32_t> dimensions, std::string_view elements)
    {
        Append(static_cast<int32_t>(dimensions.size()));
        for (int32_t d : dimensions)
            Append(d);
        Append(elements);
    }
    ValueRecord value(uint32_t elementType) const { return MakePointer(block_.data(), elementType | kArrayBit); }

private:
    void Append(int32_t word) { Append(std::string_view(reinterpret_cast<const char*>(&word), sizeof word)); }
    void Append(std::string_view bytes) { block_.append(bytes); }
    std::string block_;
};

} // namespace mt::test
