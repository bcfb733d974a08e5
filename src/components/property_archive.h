// Property records: a little-endian archive of a 32-bit version, fixed
// fields and length-prefixed variable parts. The reader never reads past its
// range and refuses a version higher than the one its kind writes.
//
// A kind declares its record's layout once, as a function that visits the
// fields in record order through either a RecordReader or a RecordWriter:
//
//   template <typename Fields, typename P> void VisitFields(Fields& f, P& p)
//   {
//       f.choice(p.border, kBorderMax);
//       if (f.version() >= 2)
//           f.bytes(p.dataSource);
//   }
//
// ReadRecord and WriteRecord run it, so reading and writing cannot drift apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "components/property_types.h"

namespace mt {

class PropertyReader {
public:
    PropertyReader(const uint8_t* data, size_t size) : p_(data), end_(data ? data + size : data) {}

    // Reads the version word: false when it is above `highest` or missing.
    // An empty record reads as "nothing stored" (false, ok() true).
    bool version(uint32_t highest, uint32_t* out);
    bool ok() const { return ok_; }
    bool empty() const { return p_ == end_; }

    int32_t i32(int32_t fallback = 0);
    uint16_t u16(uint16_t fallback = 0);
    bool boolean(bool fallback) { return i32(fallback ? 1 : 0) != 0; }
    // A 32-bit byte length and that many bytes.
    std::string bytes();

private:
    bool take(size_t n);
    const uint8_t* p_;
    const uint8_t* end_;
    bool ok_ = true;
};

class PropertyWriter {
public:
    void u32(uint32_t v);
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void u16(uint16_t v);
    void boolean(bool b) { u32(b ? 1 : 0); }
    void bytes(std::string_view b);
    const std::string& data() const { return out_; }
    // The record in a new runtime block, its length in *length.
    uint8_t* release(int32_t* length) const;

private:
    std::string out_;
};

// Reads each visited field in place. Once the record has ended, a field keeps
// the value it had and the reader's ok() is false.
class RecordReader {
public:
    RecordReader(PropertyReader& in, uint32_t version) : in_(in), version_(version) {}
    // The version the record was stored with.
    uint32_t version() const { return version_; }

    void i32(int32_t& v) { v = in_.i32(v); }
    // `fix` puts the stored value right (the writer stores the value as it is).
    template <typename Fix>
    void i32(int32_t& v, Fix fix) { v = fix(in_.i32(v)); }
    void u32(uint32_t& v) { v = static_cast<uint32_t>(in_.i32(static_cast<int32_t>(v))); }
    void boolean(bool& v) { v = in_.boolean(v); }
    // A value kept within 0..highest.
    void choice(int32_t& v, int32_t highest) { v = ClampChoice(in_.i32(v), highest); }
    // One byte stored in a 16-bit field: the byte, then a zero byte.
    void byte16(char& v) { v = static_cast<char>(in_.u16(static_cast<uint8_t>(v)) & 0xFF); }
    void bytes(std::string& v) { v = in_.bytes(); }
    template <typename Fix>
    void bytes(std::string& v, Fix fix) { v = fix(in_.bytes()); }

private:
    PropertyReader& in_;
    uint32_t version_;
};

// Writes each visited field; every field of its version is visited.
class RecordWriter {
public:
    explicit RecordWriter(uint32_t version) : version_(version) { out_.u32(version); }
    uint32_t version() const { return version_; }

    void i32(int32_t v) { out_.i32(v); }
    template <typename Fix>
    void i32(int32_t v, Fix) { out_.i32(v); }
    void u32(uint32_t v) { out_.u32(v); }
    void boolean(bool v) { out_.boolean(v); }
    void choice(int32_t v, int32_t) { out_.i32(v); }
    void byte16(char v) { out_.u16(static_cast<uint8_t>(v)); }
    void bytes(std::string_view v) { out_.bytes(v); }
    template <typename Fix>
    void bytes(std::string_view v, Fix) { out_.bytes(v); }

    PropertyWriter take() { return std::move(out_); }

private:
    PropertyWriter out_;
    uint32_t version_;
};

// Reads a record of version 0 to `highest` by visiting its fields with
// visit(RecordReader&). False for a higher version or a record that ends
// early; an empty record is "nothing stored": nothing visited, true.
template <typename Visit>
bool ReadRecord(const uint8_t* record, size_t size, uint32_t highest, Visit visit)
{
    PropertyReader in(record, size);
    uint32_t version = 0;
    if (!in.version(highest, &version))
        return in.ok();
    RecordReader fields(in, version);
    visit(fields);
    return in.ok();
}

// The record of `version`, its fields written by visit(RecordWriter&).
template <typename Visit>
PropertyWriter WriteRecord(uint32_t version, Visit visit)
{
    RecordWriter fields(version);
    visit(fields);
    return fields.take();
}

} // namespace mt
