// The spinner of a single-line edit box.
#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>

class QToolButton;

namespace mt::platform {

// Two stacked arrow buttons that report presses (+1 up, -1 down) with
// auto-repeat, and keep a 16-bit range for their owner.
class SpinnerWidget : public QWidget {
public:
    explicit SpinnerWidget(QWidget* parent);

    std::function<void(int direction)> pressed;
    int16_t lower = 0;
    int16_t upper = 0;

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* up_;
    QToolButton* down_;
};

} // namespace mt::platform
