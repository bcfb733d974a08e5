#include "net/encoding_conversion.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <string_view>

#include "abi/gb18030.h"
#include "abi/text_value.h"
#include "platform/iconv_handle.h"

namespace mt {
namespace {

// iconv is called at most this often per conversion; the work buffer grows
// between the calls, so the largest output that fits is n + 11 × growth.
constexpr int kMaxIconvCalls = 12;

ValueRecord Arg(int32_t argc, const ValueRecord* args, int32_t i)
{
    return args && i < argc ? args[i] : Omitted();
}

// The bytes to convert: a byte array's bytes (a text's bytes are taken too);
// anything else is no data.
std::string_view DataArg(const ValueRecord& v)
{
    if (v.type == kTypeBytes)
        return ByteArrayView(AsPointer<const uint8_t>(v));
    if (v.type == kTypeText)
        return TextView(AsPointer<const char>(v));
    return {};
}

// An encoding name; a null or non-text argument is the empty name.
const char* NameArg(const ValueRecord& v)
{
    const char* name = v.type == kTypeText ? AsPointer<const char>(v) : nullptr;
    return name ? name : "";
}

void SetSuccess(const ValueRecord& variable, int32_t value)
{
    if (variable.type != kTypeNone && AsPointer(variable))
        std::memcpy(AsPointer(variable), &value, sizeof value);
}

// The command's own output block: a heap block that may be refused (the
// conversion then fails, no run-time error) and grows keeping its bytes.
class WorkBuffer {
public:
    WorkBuffer() = default;
    WorkBuffer(const WorkBuffer&) = delete;
    WorkBuffer& operator=(const WorkBuffer&) = delete;
    ~WorkBuffer() { svc::Free(data_); }

    char* data() const { return data_; }
    size_t size() const { return size_; }

    // Replaces the block by one of `size + extra` bytes holding the first
    // `keep` bytes; false (the old block kept) when the heap refuses.
    bool grow(size_t extra, size_t keep)
    {
        auto* bigger = static_cast<char*>(svc::TryAllocate(size_ + extra));
        if (!bigger)
            return false;
        if (keep != 0)
            std::memcpy(bigger, data_, keep);
        svc::Free(data_);
        data_ = bigger;
        size_ += extra;
        return true;
    }

private:
    char* data_ = nullptr;
    size_t size_ = 0;
};

// Converts all of `input` through cd into *buffer, which starts at the
// input's size and grows by half of it plus 128 bytes whenever it is full.
// Where iconv stops at a character it leaves unmapped that GB18030 has a
// code for (gb18030.h), that code or character is written and iconv goes on;
// only the calls that find the buffer full count towards the twelve.
// Returns the number of bytes produced, or -1 when iconv reports invalid or
// incomplete input, when the twelfth call still finds the buffer full, when
// the buffer cannot be had, or when the output is too large for a byte
// array.
int64_t Convert(platform::IconvHandle& cd, gb18030::Form from, gb18030::Form to, std::string_view input, WorkBuffer* buffer)
{
    if (input.empty())
        return 0;
    const size_t growth = input.size() / 2 + 128;
    if (!buffer->grow(input.size(), 0))
        return -1;
    const char* in = input.data();
    size_t inLeft = input.size();
    char* out = buffer->data();
    size_t outLeft = buffer->size();
    int fullCalls = 0;
    const auto grow = [&] {
        const size_t produced = static_cast<size_t>(out - buffer->data());
        if (!buffer->grow(growth, produced))
            return false;
        out = buffer->data() + produced;
        outLeft += growth;
        return true;
    };
    for (;;) {
        const int error = cd.convert(&in, &inLeft, &out, &outLeft);
        if (error == 0) {
            const size_t produced = buffer->size() - outLeft;
            return produced <= INT32_MAX ? static_cast<int64_t>(produced) : -1; // a byte array's count is 32-bit
        }
        if (error == EILSEQ) {
            const gb18030::Filled f = gb18030::UnmappedAt(from, to, reinterpret_cast<const unsigned char*>(in), inLeft);
            if (f.taken != 0) {
                if (outLeft < f.length && (++fullCalls == kMaxIconvCalls || !grow()))
                    return -1;
                std::memcpy(out, f.bytes, f.length);
                out += f.length;
                outLeft -= f.length;
                in += f.taken;
                inLeft -= f.taken;
                continue;
            }
        }
        if (error != E2BIG || ++fullCalls == kMaxIconvCalls || !grow())
            return -1;
    }
}

} // namespace

void ConvertEncoding(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    const std::string_view data = DataArg(Arg(argc, args, 0));
    const ValueRecord success = Arg(argc, args, 3);
    SetSuccess(success, 0);
    *result = MakePointer(nullptr, kTypeBytes);
    const char* from = NameArg(Arg(argc, args, 1));
    const char* to = NameArg(Arg(argc, args, 2));
    platform::IconvHandle cd(to, from);
    if (!cd.valid())
        return;
    WorkBuffer buffer;
    const int64_t produced = Convert(cd, gb18030::FormOfName(from), gb18030::FormOfName(to), data, &buffer);
    if (produced >= 0) {
        *result = MakePointer(NewByteArray(buffer.data(), static_cast<size_t>(produced)), kTypeBytes);
        SetSuccess(success, 1);
    }
}

} // namespace mt
