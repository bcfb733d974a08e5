// The widget behind a top-level window (inside the layer only).
#pragma once

#include <QPixmap>
#include <QPoint>
#include <QSize>
#include <QWidget>

#include "platform/screen_metrics.h"
#include "platform/top_window.h"

namespace mt::platform {

class TopWindow : public QWidget {
public:
    TopWindow(QWidget* owner, WindowListener* listener);

    Rect outerRect() const;
    void setOuterRect(const Rect& rect);
    FrameStyle frameStyle() const { return style_; }
    void setFrameStyle(const FrameStyle& style);
    bool movable() const { return movable_; }
    void setMovable(bool movable);
    void setBackground(uint32_t color, const QPixmap& picture, int32_t mode);
    WindowListener* listener() const { return listener_; }
    // Fixed frames cannot be resized by the user.
    void applyFixedSize();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool live() const;
    FrameMetrics metrics() const;

    WindowListener* listener_;
    FrameStyle style_;
    bool movable_ = true;
    uint32_t backColor_ = kDefaultColor;
    QPixmap picture_;
    int32_t pictureMode_ = 1;
    QPoint lastPos_;
    QSize lastSize_;
};

} // namespace mt::platform
