// When the window gives memory back: timers of its event loop that wait for
// a quiet moment after the user's last input (heap_tuning.h).
#include <QTimer>

#include "platform/heap_tuning.h"

namespace mt::platform {
namespace {

constexpr int kQuietMilliseconds = 1000;

QTimer* g_returnTimer = nullptr;
QTimer* g_longIdleTimer = nullptr;

QTimer* SingleShot(int milliseconds, void (*action)())
{
    auto* t = new QTimer; // lives until the process ends
    t->setSingleShot(true);
    t->setInterval(milliseconds);
    QObject::connect(t, &QTimer::timeout, action);
    return t;
}

} // namespace

void ReturnFreeHeapSoon()
{
    if (!g_returnTimer) {
        g_returnTimer = SingleShot(kQuietMilliseconds, ReturnFreeHeapPages);
        g_longIdleTimer = SingleShot(kLongIdleMilliseconds, [] {
            ReleaseKeptLargeBlocks();
            ReturnFreeHeapPages();
        });
    }
    if (!g_returnTimer->isActive())
        g_returnTimer->start();
    if (!g_longIdleTimer->isActive() && KeptLargeBlocks() > 0)
        g_longIdleTimer->start();
}

void PostponeHeapReturn()
{
    if (g_returnTimer && g_returnTimer->isActive())
        g_returnTimer->start();
    if (g_longIdleTimer && g_longIdleTimer->isActive())
        g_longIdleTimer->start();
}

} // namespace mt::platform
