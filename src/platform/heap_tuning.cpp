#include "platform/heap_tuning.h"

#include <malloc.h>

#include <QTimer>

namespace mt::platform {
namespace {

constexpr int kQuietMilliseconds = 1000;
constexpr size_t kWorthReturning = size_t{8} << 20;

QTimer* g_returnTimer = nullptr;

QTimer* ReturnTimer()
{
    if (!g_returnTimer) {
        g_returnTimer = new QTimer; // lives until the process ends
        g_returnTimer->setSingleShot(true);
        g_returnTimer->setInterval(kQuietMilliseconds);
        QObject::connect(g_returnTimer, &QTimer::timeout, [] {
            if (mallinfo2().fordblks >= kWorthReturning)
                malloc_trim(0);
        });
    }
    return g_returnTimer;
}

} // namespace

void KeepLargeBlocksForReuse()
{
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
}

void ReturnFreeHeapSoon()
{
    if (!ReturnTimer()->isActive())
        g_returnTimer->start();
}

void PostponeHeapReturn()
{
    if (g_returnTimer && g_returnTimer->isActive())
        g_returnTimer->start();
}

} // namespace mt::platform
