#include "net/http_read.h"

#include <cstring>

#include "net/http_client.h"
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

ValueRecord Arg(int32_t argc, const ValueRecord* args, int32_t i)
{
    return args && i < argc ? args[i] : Omitted();
}

} // namespace

void HttpRead(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    const char* url = argc >= 1 && args[0].type == kTypeText ? AsPointer<const char>(args[0]) : nullptr;
    GrowBuffer body;
    HttpClient& client = TheHttpClient();
    const platform::TransferWatch watch{url ? url : "", [&client] { return client.receivedSoFar(); },
                                        [&client] { return client.announced(); }, [&client] { client.Cancel(); }};
    // The flag does not matter: whatever arrived is the answer.
    platform::RunTransfer([&] { client.Read(url, body); }, watch);
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
    *result = MakeInt(static_cast<int32_t>(r.outcome));
}

void HttpTimeLimit(ValueRecord*, int32_t argc, ValueRecord* args)
{
    const ValueRecord seconds = Arg(argc, args, 0);
    HttpLimits limits = TheHttpClient().limits();
    limits.maxSeconds = seconds.type == kTypeInt && AsInt32(seconds) > 0 ? AsInt32(seconds) : 0;
    TheHttpClient().SetLimits(limits);
}

void HttpRequestOptions(ValueRecord*, int32_t, ValueRecord*)
{
    // TODO(net): store the options in the client.
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
    if (uint8_t* block = buffer.TakeHeapBlock()) {
        std::memcpy(block, header, sizeof header);
        return block;
    }
    ByteArrayValue copy = NewByteArray(buffer.data(), static_cast<size_t>(buffer.size()));
    buffer.Release();
    return copy;
}

} // namespace mt
