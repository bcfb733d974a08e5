#include "platform/application.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFont>
#include <QMetaObject>
#include <QThread>

#include <vector>

#include "platform/application/input_hook.h"
#include "platform/application/standard_texts.h"
#include "platform/fonts.h"
#include "platform/heap_tuning.h"

namespace mt::platform {
namespace {

InputHook g_inputHook = nullptr;
InputHook g_transferHook = nullptr;

class RuntimeApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::Wheel:
        case QEvent::InputMethod:
            PostponeHeapReturn();
            break;
        default:
            break;
        }
        if (g_transferHook && g_transferHook(receiver, event))
            return true;
        if (g_inputHook && g_inputHook(receiver, event))
            return true;
        return QApplication::notify(receiver, event);
    }
};

int g_argc = 1;
char g_arg0[] = "middletext";
char* g_argv[] = {g_arg0, nullptr};

struct LoopFrame {
    QEventLoop* loop;
};
std::vector<LoopFrame> g_loops;
QElapsedTimer g_idleSince; // valid during an idle period

} // namespace

void EnsureApplication()
{
    if (QCoreApplication::instance())
        return;
    new RuntimeApplication(g_argc, g_argv); // lives until the process ends
    KeepLargeBlocksForReuse();
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setFont(GuiFont());
    InstallStandardTexts();
    QCoreApplication::setApplicationName(QStringLiteral("middletext"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MT_VERSION));
    // The desktop entry the window manager matches the window with.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.middletext.MiddleText"));
}

void SetInputHook(InputHook hook) { g_inputHook = hook; }

void SetTransferHook(InputHook hook) { g_transferHook = hook; }

bool HasApplication() { return QCoreApplication::instance() != nullptr; }

int RunEventLoop(const std::function<bool(int)>& idle)
{
    EnsureApplication();
    QEventLoop loop;
    g_loops.push_back({&loop});
    int idleCount = 0;
    bool idleWanted = true;
    bool wokeItself = false;
    auto* dispatcher = QAbstractEventDispatcher::instance();
    QMetaObject::Connection blocking = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [&] {
        if (idleCount == 0 && !wokeItself)
            ReturnFreeHeapSoon();
        if (!idle || !idleWanted)
            return;
        if (idleCount == 0)
            g_idleSince.start();
        idleWanted = idle(idleCount++);
        if (idleWanted) { // go round again instead of waiting
            wokeItself = true;
            dispatcher->wakeUp();
        }
    });
    QMetaObject::Connection awake = QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [&] {
        if (wokeItself) { // the idle period goes on
            wokeItself = false;
            return;
        }
        idleCount = 0;
        idleWanted = true;
        g_idleSince.invalidate();
    });
    int code = loop.exec();
    QObject::disconnect(blocking);
    QObject::disconnect(awake);
    g_loops.pop_back();
    return code;
}

int64_t IdleMilliseconds() { return g_idleSince.isValid() ? g_idleSince.elapsed() : 0; }

void PostQuit(int code)
{
    if (!g_loops.empty())
        g_loops.back().loop->exit(code);
}

void ProcessPendingEvents()
{
    if (HasApplication())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool IsGuiThread()
{
    return !QCoreApplication::instance() || QThread::currentThread() == QCoreApplication::instance()->thread();
}

void RunOnGuiThreadBlocking(const std::function<void()>& fn)
{
    if (IsGuiThread()) {
        fn();
        return;
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), fn, Qt::BlockingQueuedConnection);
}

} // namespace mt::platform
