// The wait for a transfer, driven by input the way the window system hands
// it over: into a top-level window's QWindow, on through the application's
// hooks to the widget. The work stands in for a transfer that would run far
// longer than any test: it ends when cancelled, or after a minute.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/application.h"
#include "platform/testing/window_system_input.h"
#include "platform/transfer_window.h"

namespace mt::platform {
namespace {

class SlowWork {
public:
    void Run()
    {
        std::unique_lock lock(mutex_);
        woken_.wait_for(lock, std::chrono::minutes(1), [this] { return cancelled_; });
    }
    void Cancel()
    {
        const std::lock_guard lock(mutex_);
        cancelled_ = true;
        woken_.notify_all();
    }
    bool cancelled()
    {
        const std::lock_guard lock(mutex_);
        return cancelled_;
    }

private:
    std::mutex mutex_;
    std::condition_variable woken_;
    bool cancelled_ = false;
};

// A window the progress window stands over, with a button that counts its
// clicks.
class TransferWait : public testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        main_ = std::make_unique<QWidget>();
        main_->resize(300, 200);
        button_ = new QPushButton(main_.get());
        button_->setGeometry(10, 10, 100, 30);
        QObject::connect(button_, &QPushButton::clicked, [this] { ++clicks_; });
        main_->show();
        main_->activateWindow();
    }

    // Runs a transfer with the given input and says whether it was cancelled.
    bool Run(std::function<void()> atStart, std::function<void()> whenShown)
    {
        SlowWork work;
        ScriptTransfer(std::move(atStart), std::move(whenShown));
        RunTransfer([&work] { work.Run(); }, {"http://127.0.0.1/", [] { return int64_t{5}; },
                                              [] { return int64_t{-1}; }, [&work] { work.Cancel(); }});
        return work.cancelled();
    }

    QWindow* MainSurface()
    {
        main_->winId();
        return main_->windowHandle();
    }

    void EscapeInMain()
    {
        QTest::sendKeyEvent(QTest::Press, MainSurface(), Qt::Key_Escape, QChar(0x1b), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, MainSurface(), Qt::Key_Escape, QChar(0x1b), Qt::NoModifier);
    }

    std::unique_ptr<QWidget> main_;
    QPushButton* button_ = nullptr;
    int clicks_ = 0;
};

TEST_F(TransferWait, EveryWayOfCancellingEndsTheWork)
{
    struct Case {
        const char* name;
        std::function<void()> atStart, whenShown;
        int shown; // progress windows shown
    };
    const Case cases[] = {
        {"a click on 取消", {}, test::ClickTransferCancel, 1},
        {"Esc in the progress window", {}, test::PressEscapeInTransferWindow, 1},
        {"the progress window's close box", {}, test::CloseTransferWindow, 1},
        {"Esc in the window beneath, while the progress window is up", {}, [this] { EscapeInMain(); }, 1},
        {"Esc before the progress window is up", [this] { EscapeInMain(); }, {}, 0},
    };
    for (const Case& c : cases) {
        const int before = TransferWindowsShown();
        EXPECT_TRUE(Run(c.atStart, c.whenShown)) << c.name;
        EXPECT_EQ(TransferWindowsShown() - before, c.shown) << c.name;
        EXPECT_FALSE(test::TransferWindowUp()) << c.name;
    }
}

TEST_F(TransferWait, OtherWindowsTakeNoInputMeanwhile)
{
    const auto clickButton = [this] {
        QTest::mouseClick(MainSurface(), Qt::LeftButton, Qt::NoModifier, button_->geometry().center());
    };
    EXPECT_TRUE(Run(clickButton, [&] {
        clickButton();
        test::ClickTransferCancel();
    }));
    EXPECT_EQ(clicks_, 0);
    // Once the wait is over the window takes clicks again.
    clickButton();
    EXPECT_EQ(clicks_, 1);
}

TEST_F(TransferWait, TheProgressWindowOffersOnlyAClosebox)
{
    test::FrameButtons frame;
    EXPECT_TRUE(Run({}, [&frame] {
        frame = test::TransferWindowFrame();
        test::ClickTransferCancel();
    }));
    EXPECT_TRUE(frame.dialog);
    EXPECT_TRUE(frame.close);
    EXPECT_FALSE(frame.minimise);
    EXPECT_FALSE(frame.maximise);
}

} // namespace
} // namespace mt::platform
