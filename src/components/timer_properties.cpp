#include "components/timer_properties.h"

namespace mt {

bool ReadTimerRecord(const uint8_t* record, size_t size, int32_t* interval)
{
    PropertyReader r(record, size);
    uint32_t version = 0;
    *interval = 0;
    if (r.version(1, &version))
        *interval = r.i32();
    if (*interval < 0)
        *interval = 0;
    return r.ok();
}

PropertyWriter WriteTimerRecord(int32_t interval)
{
    PropertyWriter w;
    w.u32(1);
    w.i32(interval);
    return w;
}

} // namespace mt
