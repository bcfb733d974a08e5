#include "net/http_read.h"

#include <cstring>

#include "net/http_client.h"

namespace mt {

void HttpRead(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    const char* url = argc >= 1 && args[0].type == kTypeText ? AsPointer<const char>(args[0]) : nullptr;
    GrowBuffer body;
    TheHttpClient().Read(url, body); // the flag does not matter: whatever arrived is the answer
    *result = MakePointer(TakeByteArray(body), kTypeBytes);
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
