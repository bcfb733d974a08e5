#include "platform/heap_tuning.h"

#include <malloc.h>

#include <QTimer>

namespace mt::platform {
namespace {

constexpr int kQuietMilliseconds = 1000;
constexpr size_t kWorthReturning = size_t{8} << 20;

QTimer* g_quietTimer = nullptr;
bool g_timerJustFired = false;

} // namespace

void KeepLargeBlocksForReuse()
{
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
}

void ReturnFreeHeapWhenQuiet()
{
    // The idle period that the timer itself began starts no new wait.
    if (g_timerJustFired) {
        g_timerJustFired = false;
        return;
    }
    if (!g_quietTimer) {
        g_quietTimer = new QTimer; // lives until the process ends
        g_quietTimer->setSingleShot(true);
        g_quietTimer->setInterval(kQuietMilliseconds);
        QObject::connect(g_quietTimer, &QTimer::timeout, [] {
            g_timerJustFired = true;
            if (mallinfo2().fordblks >= kWorthReturning)
                malloc_trim(0);
        });
    }
    g_quietTimer->start();
}

} // namespace mt::platform
