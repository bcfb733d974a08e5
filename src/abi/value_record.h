// The typed value that crosses the call gate: a 64-bit payload and a 32-bit
// type code, 12 bytes with no padding. Only this header reads the raw payload.
#pragma once

#include <cstdint>
#include <cstring>

namespace mt {

// Type codes of the basic types. A code with kArrayBit set is an array of the
// type in the remaining bits; a component kind's KindCode serves as the type
// code of a component reference.
enum TypeCode : uint32_t {
    kTypeNone = 0,
    kTypeByte = 0x80000101,
    kTypeShort = 0x80000201,
    kTypeInt = 0x80000301,
    kTypeLong = 0x80000401,
    kTypeFloat = 0x80000501,
    kTypeDouble = 0x80000601,
    kTypeBool = 0x80000002,
    kTypeDateTime = 0x80000003,
    kTypeText = 0x80000004,
    kTypeBytes = 0x80000005,
    kTypeSubroutine = 0x80000006,
    kTypeOpaque64 = 0x80000008,
};

inline constexpr uint32_t kArrayBit = 0x20000000;

constexpr bool IsArrayType(uint32_t type) { return (type & kArrayBit) != 0; }
constexpr uint32_t ElementType(uint32_t type) { return type & ~kArrayBit; }

// The numeric types are exactly the codes 0x80000n01 with n = 1..6.
constexpr bool IsNumericType(uint32_t type)
{
    return (type & 0xFFFFF0FFu) == 0x80000001u && ((type >> 8) & 0xF) >= 1 && ((type >> 8) & 0xF) <= 6;
}

// Bytes one element of a numeric type occupies: 1, 2, 4, 8, 4, 8.
constexpr int NumericWidth(uint32_t type)
{
    constexpr int kWidths[] = {0, 1, 2, 4, 8, 4, 8};
    return IsNumericType(type) ? kWidths[(type >> 8) & 0xF] : 0;
}

// Basic types have the top two bits 10; 01 are application types; 00 and 11
// are component kinds.
constexpr bool IsBasicType(uint32_t type) { return (type >> 30) == 2; }

#pragma pack(push, 4)
// Packed to 12 bytes: the payload of a record in an array may sit on a
// 4-byte boundary, so read it by value; never bind a reference or pointer
// to it.
struct ValueRecord {
    uint64_t payload;
    uint32_t type;
};
#pragma pack(pop)
static_assert(sizeof(ValueRecord) == 12, "a value record is 12 bytes");
static_assert(alignof(ValueRecord) == 4);

constexpr uint32_t Low32(const ValueRecord& v) { return static_cast<uint32_t>(v.payload); }
constexpr uint32_t High32(const ValueRecord& v) { return static_cast<uint32_t>(v.payload >> 32); }
constexpr int32_t AsInt32(const ValueRecord& v) { return static_cast<int32_t>(Low32(v)); }
constexpr int64_t AsInt64(const ValueRecord& v) { return static_cast<int64_t>(v.payload); }
constexpr bool AsBool(const ValueRecord& v) { return Low32(v) != 0; }

inline float AsFloat(const ValueRecord& v)
{
    uint32_t bits = Low32(v);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

inline double AsDouble(const ValueRecord& v)
{
    double d;
    std::memcpy(&d, &v.payload, sizeof d);
    return d;
}

template <typename T = void>
inline T* AsPointer(const ValueRecord& v)
{
    return reinterpret_cast<T*>(static_cast<uintptr_t>(v.payload));
}

constexpr ValueRecord MakeInt(int32_t i) { return {static_cast<uint32_t>(i), kTypeInt}; }
constexpr ValueRecord MakeLong(int64_t i) { return {static_cast<uint64_t>(i), kTypeLong}; }
constexpr ValueRecord MakeBool(bool b) { return {b ? 1u : 0u, kTypeBool}; }
constexpr ValueRecord Omitted() { return {0, kTypeNone}; }

inline ValueRecord MakeFloat(float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return {bits, kTypeFloat};
}

inline ValueRecord MakeDouble(double d, uint32_t type = kTypeDouble)
{
    ValueRecord v{0, type};
    std::memcpy(&v.payload, &d, sizeof d);
    return v;
}

inline ValueRecord MakePointer(const void* p, uint32_t type)
{
    return {static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p)), type};
}

// A component reference: window id in the low half, component id in the high
// half, the component's KindCode as the type.
constexpr ValueRecord MakeComponentRef(uint32_t window, uint32_t component, uint32_t kind)
{
    return {static_cast<uint64_t>(window) | (static_cast<uint64_t>(component) << 32), kind};
}

} // namespace mt
