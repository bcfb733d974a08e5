#include "platform/push_button.h"

#include <QEvent>
#include <QPixmap>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>

#include "platform/application.h"
#include "platform/native_window.h"
#include "platform/text_codec.h"

namespace mt::platform {
namespace {

class PushButton : public QPushButton {
public:
    PushButton(QWidget* parent, WindowListener* listener) : QPushButton(parent), listener_(listener)
    {
        setAutoDefault(false);
        connect(this, &QPushButton::clicked, this, &PushButton::notifyClicked);
    }

    void setAlignment(Qt::Alignment alignment)
    {
        if (alignment_ == alignment)
            return;
        alignment_ = alignment;
        update();
    }

    void setPicture(const QPixmap& picture)
    {
        picture_ = picture;
        update();
    }
    bool hasPicture() const { return !picture_.isNull(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter p(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        option.icon = QIcon();
        // The focus gets the dotted mark below, not the style's own.
        option.state &= ~QStyle::State_HasFocus;
        // The default button wears a black frame and a bevel one pixel smaller.
        if (isDefault()) {
            p.setPen(palette().color(QPalette::WindowText));
            p.setBrush(Qt::NoBrush);
            p.drawRect(rect().adjusted(0, 0, -1, -1));
            option.rect = rect().adjusted(1, 1, -1, -1);
        }
        p.drawControl(QStyle::CE_PushButtonBevel, option);
        const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
        if (!picture_.isNull())
            p.drawItemPixmap(contents, static_cast<int>(alignment_), picture_);
        else
            p.drawItemText(contents, static_cast<int>(alignment_) | Qt::TextShowMnemonic | Qt::TextWordWrap,
                           palette(), isEnabled(), text(), QPalette::ButtonText);
        if (hasFocus())
            paintFocusMark(p, option.rect.adjusted(3, 3, -4, -4));
    }

    // A rectangle of every other pixel in the text colour.
    void paintFocusMark(QPainter& p, const QRect& r) const
    {
        if (r.width() < 1 || r.height() < 1)
            return;
        const QColor c = palette().color(QPalette::ButtonText);
        p.setPen(Qt::NoPen);
        const auto dot = [&](int x, int y) {
            if ((x + y) % 2 == 0)
                p.fillRect(x, y, 1, 1, c);
        };
        for (int x = r.left(); x <= r.right(); ++x) {
            dot(x, r.top());
            dot(x, r.bottom());
        }
        for (int y = r.top() + 1; y < r.bottom(); ++y) {
            dot(r.left(), y);
            dot(r.right(), y);
        }
    }

    void focusInEvent(QFocusEvent* event) override
    {
        QPushButton::focusInEvent(event);
        if (live())
            listener_->focusIn();
    }

    void focusOutEvent(QFocusEvent* event) override
    {
        QPushButton::focusOutEvent(event);
        if (live())
            listener_->focusOut();
    }

    // The caption's mnemonic clicks at once, without the animated delay.
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::Shortcut) {
            if (isEnabled())
                notifyClicked();
            return true;
        }
        return QPushButton::event(event);
    }

private:
    bool live() const { return IsWindow(ToHandle(const_cast<PushButton*>(this))); }
    void notifyClicked()
    {
        if (live())
            listener_->clicked();
    }

    WindowListener* listener_;
    Qt::Alignment alignment_ = Qt::AlignCenter;
    QPixmap picture_;
};

PushButton* ToButton(WindowHandle handle) { return dynamic_cast<PushButton*>(ToWidget(handle)); }

} // namespace

WindowHandle CreatePushButton(WindowHandle parent, const Rect& rect, std::string_view caption,
                              WindowListener* listener)
{
    EnsureApplication();
    auto* b = new PushButton(ToWidget(parent), listener);
    b->hide();
    b->setText(FromGb(caption));
    b->setGeometry(rect.left, rect.top, std::max(rect.width, 0), std::max(rect.height, 0));
    RegisterWindow(b, listener);
    return ToHandle(b);
}

void SetDefaultPush(WindowHandle button, bool isDefault)
{
    if (PushButton* b = ToButton(button))
        b->setDefault(isDefault);
}

bool IsDefaultPush(WindowHandle button)
{
    PushButton* b = ToButton(button);
    return b && b->isDefault();
}

void SetButtonAlignment(WindowHandle button, HorizontalAlign horizontal, VerticalAlign vertical)
{
    PushButton* b = ToButton(button);
    if (!b)
        return;
    const Qt::Alignment h = horizontal == HorizontalAlign::kLeft    ? Qt::AlignLeft
                            : horizontal == HorizontalAlign::kRight ? Qt::AlignRight
                                                                    : Qt::AlignHCenter;
    const Qt::Alignment v = vertical == VerticalAlign::kTop      ? Qt::AlignTop
                            : vertical == VerticalAlign::kBottom ? Qt::AlignBottom
                                                                 : Qt::AlignVCenter;
    b->setAlignment(h | v);
}

bool SetButtonPicture(WindowHandle button, const uint8_t* bytes, size_t size)
{
    PushButton* b = ToButton(button);
    if (!b)
        return false;
    QPixmap pixmap;
    if (bytes && size > 0 && size <= 0x7FFFFFFF)
        pixmap.loadFromData(bytes, static_cast<uint>(size));
    b->setPicture(pixmap);
    return !pixmap.isNull();
}

bool HasButtonPicture(WindowHandle button)
{
    PushButton* b = ToButton(button);
    return b && b->hasPicture();
}

bool IsPushButton(WindowHandle handle) { return ToButton(handle) != nullptr; }

void ClickButton(WindowHandle button)
{
    if (PushButton* b = ToButton(button))
        b->click();
}

} // namespace mt::platform
