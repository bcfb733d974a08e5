#include "components/timer_properties.h"

#include <climits>

namespace mt {
namespace {

constexpr uint32_t kTimerRecordVersion = 1;

template <typename Fields, typename Interval>
void VisitTimerFields(Fields& f, Interval& interval)
{
    f.choice(interval, INT32_MAX); // a negative interval reads as 0
}

} // namespace

bool ReadTimerRecord(const uint8_t* record, size_t size, int32_t* interval)
{
    *interval = 0;
    return ReadRecord(record, size, kTimerRecordVersion, [interval](auto& f) { VisitTimerFields(f, *interval); });
}

PropertyWriter WriteTimerRecord(int32_t interval)
{
    return WriteRecord(kTimerRecordVersion, [interval](auto& f) { VisitTimerFields(f, interval); });
}

} // namespace mt
