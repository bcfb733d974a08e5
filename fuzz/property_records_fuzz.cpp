// libFuzzer target: the property-record readers of every kind (window, edit
// box, button, timer) must accept or refuse any bytes without reading outside
// them, and a record they accept must write back to bytes that read again
// and write back the same. No widget is made.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "components/button_properties.h"
#include "components/edit_box_properties.h"
#include "components/timer_properties.h"
#include "components/window_properties.h"

namespace {

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

// Read, write, read again, write again: the two writes must agree.
template <typename Read, typename Write>
void RoundTrip(const uint8_t* data, size_t size, Read read, Write write)
{
    if (!read(data, size))
        return;
    const std::string once = write();
    if (!read(Bytes(once), once.size()) || write() != once)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    mt::WindowProperties window;
    RoundTrip(
        data, size, [&](const uint8_t* d, size_t n) { return window.read(d, n); },
        [&] { return window.write().data(); });
    mt::EditBoxProperties box;
    RoundTrip(
        data, size, [&](const uint8_t* d, size_t n) { return mt::ReadEditBoxRecord(d, n, &box); },
        [&] { return mt::WriteEditBoxRecord(box).data(); });
    mt::ButtonProperties button;
    RoundTrip(
        data, size, [&](const uint8_t* d, size_t n) { return button.read(d, n); },
        [&] { return button.write().data(); });
    int32_t interval = 0;
    RoundTrip(
        data, size, [&](const uint8_t* d, size_t n) { return mt::ReadTimerRecord(d, n, &interval); },
        [&] { return mt::WriteTimerRecord(interval).data(); });
    return 0;
}
