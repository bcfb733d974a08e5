#include "platform/edit/edit_spinner.h"

#include <QToolButton>

namespace mt::platform {

SpinnerWidget::SpinnerWidget(QWidget* parent) : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this))
{
    setFocusPolicy(Qt::NoFocus);
    const std::pair<QToolButton*, int> buttons[] = {{up_, +1}, {down_, -1}};
    for (auto [button, direction] : buttons) {
        button->setArrowType(direction > 0 ? Qt::UpArrow : Qt::DownArrow);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        // pressed comes on the press and again on every auto-repeat.
        connect(button, &QToolButton::pressed, this, [this, direction = direction] {
            if (pressed)
                pressed(direction);
        });
    }
}

void SpinnerWidget::resizeEvent(QResizeEvent*)
{
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

} // namespace mt::platform
