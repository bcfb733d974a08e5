#include "net/http_read.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "abi/service_calls.h"
#include "net/http_client.h"
#include "net/page_decoding.h"
#include "platform/transfer_window.h"

namespace mt {
namespace {

// Writes a new text into a by-reference text argument (its payload is the
// address of the caller's variable), freeing what the variable held.
void SetTextVariable(const ValueRecord& variable, std::string_view text)
{
    if (variable.type != kTypeText || !AsPointer(variable))
        return;
    auto** slot = AsPointer<char*>(variable);
    svc::Free(*slot);
    *slot = NewText(text);
}

void SetIntVariable(const ValueRecord& variable, int32_t value)
{
    if (variable.type == kTypeInt && AsPointer(variable))
        std::memcpy(AsPointer(variable), &value, sizeof value);
}

void SetLongVariable(const ValueRecord& variable, int64_t value)
{
    if (variable.type == kTypeLong && AsPointer(variable))
        std::memcpy(AsPointer(variable), &value, sizeof value);
}

ValueRecord Arg(int32_t argc, const ValueRecord* args, int32_t i)
{
    return args && i < argc ? args[i] : Omitted();
}

std::string_view TextArg(const ValueRecord& v)
{
    return v.type == kTypeText ? TextView(AsPointer<const char>(v)) : std::string_view();
}

// A byte array built in one heap block that grows by doubling, with room
// for the array's header in front; a refused allocation fails it.
class ArrayBuilder {
public:
    explicit ArrayBuilder(size_t expected) { grow(std::max<size_t>(expected, 64)); }
    ~ArrayBuilder() { svc::Free(block_); }
    ArrayBuilder(const ArrayBuilder&) = delete;
    ArrayBuilder& operator=(const ArrayBuilder&) = delete;

    bool append(std::string_view bytes)
    {
        if (!block_ || (bytes.size() > capacity_ - size_ && !grow(std::max(2 * capacity_, size_ + bytes.size()))))
            return false;
        std::memcpy(static_cast<char*>(block_) + kByteArrayHeader + size_, bytes.data(), bytes.size());
        size_ += bytes.size();
        return true;
    }

    // The finished array (null when empty); the builder is empty after it.
    ByteArrayValue take()
    {
        if (!block_ || size_ == 0)
            return nullptr;
        const int32_t header[2] = {1, static_cast<int32_t>(size_)};
        std::memcpy(block_, header, sizeof header);
        void* block = block_;
        block_ = nullptr;
        if (void* smaller = svc::Reallocate(block, kByteArrayHeader + size_))
            block = smaller;
        return static_cast<ByteArrayValue>(block);
    }

private:
    bool grow(size_t capacity)
    {
        if (capacity > static_cast<size_t>(std::numeric_limits<int32_t>::max()) - kByteArrayHeader)
            return false;
        void* bigger = svc::TryAllocate(kByteArrayHeader + capacity);
        if (!bigger)
            return false;
        if (block_)
            std::memcpy(bigger, block_, kByteArrayHeader + size_);
        svc::Free(block_);
        block_ = bigger;
        capacity_ = capacity;
        return true;
    }

    void* block_ = nullptr;
    size_t capacity_ = 0;
    size_t size_ = 0;
};

} // namespace

void HttpRead(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    const char* url = argc >= 1 && args[0].type == kTypeText ? AsPointer<const char>(args[0]) : nullptr;
    GrowBuffer body;
    HttpClient& client = TheHttpClient();
    const platform::TransferWatch watch{url ? url : "", [&client] { return client.receivedSoFar(); },
                                        [&client] { return client.announced(); }, [&client] { client.cancel(); }};
    // The flag does not matter: whatever arrived is the answer.
    platform::RunTransfer([&] { client.read(url, body); }, watch);
    *result = MakePointer(TakeByteArray(body), kTypeBytes);
}

void HttpTransferReport(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    const TransferReport& r = TheHttpClient().last();
    SetTextVariable(Arg(argc, args, 0), ReasonText(r.reason));
    SetTextVariable(Arg(argc, args, 1), r.contentType);
    SetTextVariable(Arg(argc, args, 2), r.charset);
    SetIntVariable(Arg(argc, args, 3), r.bomLength);
    SetIntVariable(Arg(argc, args, 4), r.cutLength);
    SetIntVariable(Arg(argc, args, 5), r.status);
    SetTextVariable(Arg(argc, args, 6), r.statusText);
    SetLongVariable(Arg(argc, args, 7), r.replaced);
    SetTextVariable(Arg(argc, args, 8),
                    ErrorCode(r.reason, r.outcome == TransferOutcome::kComplete,
                              r.outcome == TransferOutcome::kEndedEarly, r.status));
    SetTextVariable(Arg(argc, args, 9), r.headers);
    SetTextVariable(Arg(argc, args, 10), r.effectiveUrl);
    SetLongVariable(Arg(argc, args, 11), r.downloaded);
    SetLongVariable(Arg(argc, args, 12), r.totalMicroseconds);
    SetIntVariable(Arg(argc, args, 13), r.redirects);
    *result = MakeInt(static_cast<int32_t>(r.outcome));
}

void HttpTimeLimit(ValueRecord*, int32_t argc, ValueRecord* args)
{
    const ValueRecord seconds = Arg(argc, args, 0);
    HttpLimits limits = TheHttpClient().limits();
    // libcurl takes about 24 days at most; a longer bound is that one.
    limits.maxMilliseconds = seconds.type == kTypeInt && AsInt32(seconds) > 0
                                 ? std::min<int64_t>(AsInt32(seconds), HttpLimits::kLongestSeconds) * 1000
                                 : 0;
    TheHttpClient().setLimits(limits);
}

void HttpTransferBounds(ValueRecord*, int32_t argc, ValueRecord* args)
{
    const HttpLimits defaults;
    HttpLimits limits = TheHttpClient().limits();
    // A long integer argument, or `fallback` when it is omitted or of
    // another type; never below `low`, never above `high`.
    const auto number = [&](int32_t i, int64_t fallback, int64_t low, int64_t high) {
        const ValueRecord v = Arg(argc, args, i);
        return std::clamp<int64_t>(v.type == kTypeLong ? AsInt64(v) : fallback, low, high);
    };
    constexpr int64_t kLongestMs = int64_t{HttpLimits::kLongestSeconds} * 1000;
    limits.maxMilliseconds = number(0, defaults.maxMilliseconds, 0, kLongestMs);
    limits.connectMilliseconds = static_cast<long>(number(1, defaults.connectMilliseconds, 1, kLongestMs));
    limits.speedLimit = static_cast<long>(number(2, defaults.speedLimit, 0, INT32_MAX));
    limits.speedSeconds = static_cast<long>(number(3, defaults.speedSeconds, 0, HttpLimits::kLongestSeconds));
    limits.bodyLimit = number(4, defaults.bodyLimit, 1, HttpLimits::kDefaultBodyLimit);
    limits.memoryBound = number(5, defaults.memoryBound, 1, INT64_MAX);
    TheHttpClient().setLimits(limits);
}

void HttpRequestOptions(ValueRecord*, int32_t argc, ValueRecord* args)
{
    RequestOptions options;
    options.userAgent = TextArg(Arg(argc, args, 0));
    const std::string_view headers = TextArg(Arg(argc, args, 1));
    for (size_t start = 0; start < headers.size();) {
        size_t end = headers.find('\n', start);
        if (end == std::string_view::npos)
            end = headers.size();
        std::string line(headers.substr(start, end - start));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            options.headers.push_back(std::move(line));
        start = end + 1;
    }
    options.cookies = TextArg(Arg(argc, args, 2));
    const ValueRecord retries = Arg(argc, args, 3);
    options.retries = retries.type == kTypeInt ? std::max(0, AsInt32(retries)) : 0;
    const auto flag = [&](int32_t i) {
        const ValueRecord v = Arg(argc, args, i);
        return v.type == kTypeInt && AsInt32(v) != 0;
    };
    options.insecure = flag(4);
    options.caFile = TextArg(Arg(argc, args, 5));
    options.proxy = TextArg(Arg(argc, args, 6));
    const ValueRecord redirects = Arg(argc, args, 7);
    options.maxRedirects = redirects.type == kTypeInt ? std::max(-1, AsInt32(redirects)) : -1;
    options.noCompression = flag(8);
    options.keepHeaders = flag(9);
    TheHttpClient().setRequestOptions(options);
}

void HttpPageText(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    const ValueRecord data = Arg(argc, args, 0);
    const std::string_view bytes =
        data.type == kTypeBytes ? ByteArrayView(AsPointer<const uint8_t>(data)) : std::string_view();
    const std::string encoding(TextArg(Arg(argc, args, 1)));
    *result = MakePointer(nullptr, kTypeBytes);
    // Most pages shrink or keep their size (Chinese in UTF-8 takes three
    // bytes a character, in GB18030 two); the block doubles when not.
    ArrayBuilder out(bytes.size() + 64);
    const PageDecodeResult decoded =
        DecodePageToGb18030(bytes, encoding.c_str(), [&out](std::string_view piece) { return out.append(piece); });
    const int64_t replaced = decoded.converted ? decoded.replaced : -1;
    if (decoded.converted)
        *result = MakePointer(out.take(), kTypeBytes);
    SetLongVariable(Arg(argc, args, 2), replaced);
    if (!TheHttpClient().busy())
        TheHttpClient().noteDecoded(std::max<int64_t>(replaced, 0));
}

void HttpProgress(ValueRecord*, int32_t argc, ValueRecord* args)
{
    const HttpClient& client = TheHttpClient();
    const ValueRecord received = Arg(argc, args, 0);
    const ValueRecord announced = Arg(argc, args, 1);
    const int64_t values[2] = {client.receivedSoFar(), client.announced()};
    if (received.type == kTypeLong && AsPointer(received))
        std::memcpy(AsPointer(received), &values[0], sizeof values[0]);
    if (announced.type == kTypeLong && AsPointer(announced))
        std::memcpy(AsPointer(announced), &values[1], sizeof values[1]);
}

ByteArrayValue TakeByteArray(GrowBuffer& buffer)
{
    static_assert(GrowBuffer::kHeapFront == kByteArrayHeader, "a heap block must have room for the array header");
    const int32_t header[2] = {1, buffer.size()};
    if (uint8_t* block = buffer.takeHeapBlock()) {
        std::memcpy(block, header, sizeof header);
        return block;
    }
    ByteArrayValue copy = NewByteArray(buffer.data(), static_cast<size_t>(buffer.size()));
    buffer.release();
    return copy;
}

} // namespace mt
