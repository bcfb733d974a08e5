#include "platform/transfer_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <atomic>
#include <thread>
#include <utility>
#include <vector>

#include "platform/application.h"
#include "platform/application/input_hook.h"
#include "platform/platform_texts.h"
#include "platform/text_codec.h"

namespace mt::platform {
namespace {

constexpr int kShowAfterMs = 500;
constexpr int kRefreshMs = 200;
constexpr int kCancelAgainMs = 100;

// A dialog's frame, asked for in full: a title and a close box, nothing to
// minimise or maximise it with. (A window manager may still add its own
// buttons; openbox gives every dialog a minimise button.)
constexpr Qt::WindowFlags kProgressFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

QString Gb(const char* text, unsigned size) { return FromGb(std::string_view(text, size)); }

// A text with one "%s" filled in.
QString Filled(const char* pattern, unsigned size, const QString& value)
{
    QString text = Gb(pattern, size);
    return text.replace(QLatin1String("%s"), value);
}

class ProgressWindow : public QDialog {
public:
    ProgressWindow(const TransferWatch& watch, const QElapsedTimer& clock, std::function<void()> cancel,
                   QWidget* parent)
        : QDialog(parent, kProgressFlags), watch_(watch), clock_(clock)
    {
        setWindowTitle(Gb(gb::kTransferCaption, gb::kTransferCaptionSize));
        setObjectName(QStringLiteral("transferProgress"));
        auto* layout = new QVBoxLayout(this);
        layout->setSizeConstraint(QLayout::SetFixedSize);
        auto* address = new QLabel(Gb(gb::kTransferReading, gb::kTransferReadingSize) + FromGb(watch.url), this);
        address->setTextFormat(Qt::PlainText);
        address->setWordWrap(true);
        address->setMinimumWidth(360);
        received_ = new QLabel(this);
        rate_ = new QLabel(this);
        cancel_ = new QPushButton(Gb(gb::kTransferCancel, gb::kTransferCancelSize), this);
        cancel_->setObjectName(QStringLiteral("cancel"));
        layout->addWidget(address);
        layout->addWidget(received_);
        layout->addWidget(rate_);
        layout->addWidget(cancel_, 0, Qt::AlignRight);
        connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
        connect(this, &QDialog::rejected, this, std::move(cancel));
        refresh();
    }

    void refresh()
    {
        const int64_t got = watch_.received();
        const int64_t total = watch_.announced();
        QString line = Filled(gb::kTransferReceived, gb::kTransferReceivedSize, QString::number(got));
        if (total >= 0)
            line += Filled(gb::kTransferTotal, gb::kTransferTotalSize, QString::number(total));
        received_->setText(line);
        const double seconds = std::max<qint64>(clock_.elapsed(), 1) / 1000.0;
        rate_->setText(Filled(gb::kTransferRate, gb::kTransferRateSize,
                              QString::number(static_cast<double>(got) / 1024.0 / seconds, 'f', 1)));
    }

private:
    const TransferWatch& watch_;
    QLabel* received_;
    QLabel* rate_;
    QPushButton* cancel_;
    const QElapsedTimer& clock_; // since the transfer started
};

// The one wait in progress: its window (once shown), how to cancel, and the
// windows asked to close meanwhile.
struct Wait {
    const TransferWatch* watch = nullptr;
    QElapsedTimer clock;
    QPointer<ProgressWindow> window;
    std::vector<QPointer<QWidget>> closeLater;
    bool cancelled = false;
};
Wait* g_wait = nullptr;

std::function<void()> g_atStart;
std::function<void()> g_whenShown;
int g_shown = 0;

// Marks the wait cancelled and asks the work to end. The wait asks again
// until the work has ended, so that a cancel given before the work has set
// itself up is not lost.
void Cancel(Wait& wait)
{
    wait.cancelled = true;
    wait.watch->cancel();
}

bool IsInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
        return true;
    default:
        return false;
    }
}

// Input reaches a window first at its QWindow, which hands it on to the
// widget it is for; both must let the progress window's input through.
bool InProgressWindow(QObject* receiver)
{
    ProgressWindow* window = g_wait->window;
    if (!window)
        return false;
    if (auto* widget = qobject_cast<QWidget*>(receiver))
        return widget == window || window->isAncestorOf(widget);
    if (auto* surface = qobject_cast<QWindow*>(receiver))
        return surface == window->windowHandle();
    return false;
}

bool IsEscape(QEvent* event)
{
    return event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
}

// Keeps input from the program's windows while the transfer runs, and turns
// a close request for one of them into a cancel and a close afterwards. Esc
// cancels wherever it is pressed.
bool HoldInput(QObject* receiver, QEvent* event)
{
    if (!g_wait || InProgressWindow(receiver))
        return false;
    if (IsEscape(event)) {
        Cancel(*g_wait);
        return true;
    }
    if (event->type() == QEvent::Close) {
        auto* widget = qobject_cast<QWidget*>(receiver);
        if (!widget || (widget->windowType() != Qt::Window && widget->windowType() != Qt::Dialog))
            return false; // popups and tool tips close as they always do
        event->ignore();
        g_wait->closeLater.emplace_back(widget);
        Cancel(*g_wait);
        return true;
    }
    return IsInput(event->type());
}

// The window the progress window stands over: the active one, else the
// first visible top-level window.
QWidget* WindowBeneath()
{
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && !qobject_cast<QDialog*>(w))
            return w;
    }
    return nullptr;
}

void ShowProgress(Wait& wait)
{
    // Modal to the window beneath by the input hold rather than by Qt's
    // modality, which would swallow that window's close requests.
    auto* window = new ProgressWindow(
        *wait.watch, wait.clock, [&wait] { Cancel(wait); }, WindowBeneath());
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    wait.window = window;
    ++g_shown;
    window->show();
    auto* refresh = new QTimer(window);
    QObject::connect(refresh, &QTimer::timeout, window, [window] { window->refresh(); });
    refresh->start(kRefreshMs);
    if (std::function<void()> script = std::exchange(g_whenShown, {}))
        QTimer::singleShot(0, window, std::move(script));
}

} // namespace

void RunTransfer(const std::function<void()>& work, const TransferWatch& watch)
{
    if (!HasApplication() || !IsGuiThread() || g_wait) {
        work();
        return;
    }
    Wait wait;
    wait.watch = &watch;
    wait.clock.start();
    QEventLoop loop;
    QObject context;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        work();
        done = true;
        QMetaObject::invokeMethod(
            &context, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    g_wait = &wait;
    SetTransferHook(&HoldInput);
    QTimer::singleShot(kShowAfterMs, &context, [&wait] {
        if (!wait.cancelled)
            ShowProgress(wait);
    });
    QTimer cancelAgain;
    QObject::connect(&cancelAgain, &QTimer::timeout, &context, [&wait] {
        if (wait.cancelled)
            wait.watch->cancel();
    });
    cancelAgain.start(kCancelAgainMs);
    if (std::function<void()> script = std::exchange(g_atStart, {}))
        QTimer::singleShot(0, &context, std::move(script));
    loop.exec(QEventLoop::AllEvents);
    if (!done)
        watch.cancel(); // the loop was ended from outside (the application quits)
    worker.join();
    SetTransferHook(nullptr);
    g_wait = nullptr;
    g_whenShown = {}; // a script is for one transfer, shown or not
    delete wait.window.data();
    // Windows asked to close meanwhile close once the caller is back in the
    // event loop.
    for (const QPointer<QWidget>& w : wait.closeLater) {
        if (w)
            QTimer::singleShot(0, w.data(), [w] {
                if (w)
                    w->close();
            });
    }
}

void ScriptTransfer(std::function<void()> atStart, std::function<void()> whenShown)
{
    g_atStart = std::move(atStart);
    g_whenShown = std::move(whenShown);
}

int TransferWindowsShown() { return g_shown; }

} // namespace mt::platform
