#include "platform/label_surface.h"

#include <QMoveEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWidget>

#include <algorithm>

#include "platform/application.h"
#include "platform/text_codec.h"
#include "platform/text_style.h"

namespace mt::platform {

// The widget paints from its own copy of the label's state; it tells the
// surface when it goes.
class LabelWidget : public QWidget {
public:
    explicit LabelWidget(QWidget* parent) : QWidget(parent)
    {
        setFocusPolicy(Qt::NoFocus);
        setAutoFillBackground(false);
    }
    ~LabelWidget() override
    {
        if (onGone)
            onGone();
    }

    QString text;
    LabelOptions options;
    std::function<void()> onGone;

    // Repaints `area` (parent coordinates) of the top window at once.
    void repaintArea(const QRect& area);

protected:
    void paintEvent(QPaintEvent*) override;
    void moveEvent(QMoveEvent* event) override { repaintArea(QRect(event->oldPos(), size()) | geometry()); }
    void resizeEvent(QResizeEvent* event) override { repaintArea(QRect(pos(), event->oldSize()) | geometry()); }

private:
    int flags() const;
};

// The label paints nothing behind its text, so Qt paints the window and the
// widgets under it first whenever the label's area is repainted: repainting
// the area in the top window at once does it bottom layer first.
void LabelWidget::repaintArea(const QRect& area)
{
    QWidget* top = window();
    if (!top->isVisible() || top == this) {
        update();
        return;
    }
    top->repaint(QRect(parentWidget()->mapTo(top, area.topLeft()), area.size()));
}

int LabelWidget::flags() const
{
    static constexpr Qt::AlignmentFlag horizontal[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    static constexpr Qt::AlignmentFlag vertical[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    int f = horizontal[options.horzAlign] | Qt::TextDontClip | Qt::TextShowMnemonic;
    if (options.wordWrap)
        return f | Qt::TextWordWrap | Qt::AlignTop;
    return f | Qt::TextSingleLine | vertical[options.vertAlign];
}

void LabelWidget::paintEvent(QPaintEvent*)
{
    if (text.isEmpty())
        return;
    QPainter p(this);
    p.setFont(FontFromLogFont(options.font));
    QRect r = rect();
    const auto draw = [&](const QRect& at, const QColor& color) {
        p.setPen(color);
        p.drawText(at, flags(), text);
    };
    switch (options.effect) {
    case 1: draw(r.translated(1, 1), Qt::white); break;
    case 2:
        draw(r, Qt::white);
        r.translate(1, 1);
        break;
    case 3: draw(r.translated(2, 2), Qt::black); break;
    }
    draw(r, ColorFromRef(options.textColor));
}

namespace {

LabelOptions Clamped(LabelOptions o)
{
    o.effect = std::clamp(o.effect, 0, 3);
    o.horzAlign = std::clamp(o.horzAlign, 0, 2);
    o.vertAlign = std::clamp(o.vertAlign, 0, 2);
    return o;
}

} // namespace

LabelSurface::LabelSurface(WindowHandle parent, const Rect& rect, const LabelOptions& options, std::string_view text)
    : text_(text), options_(Clamped(options))
{
    EnsureApplication();
    widget_ = new LabelWidget(reinterpret_cast<QWidget*>(parent));
    widget_->onGone = [this] {
        widget_ = nullptr;
        if (auto call = destroyed_)
            call();
    };
    widget_->setGeometry(rect.left, rect.top, std::max(0, rect.width), std::max(0, rect.height));
    widget_->setEnabled(!options.disabled);
    widget_->setVisible(options.visible);
    push();
}

LabelSurface::~LabelSurface()
{
    if (!widget_)
        return;
    widget_->onGone = nullptr;
    delete widget_;
}

void LabelSurface::setDestroyedListener(std::function<void()> listener) { destroyed_ = std::move(listener); }
bool LabelSurface::isAlive() const { return widget_ != nullptr; }
WindowHandle LabelSurface::handle() const { return reinterpret_cast<WindowHandle>(static_cast<QWidget*>(widget_)); }

void LabelSurface::setText(std::string_view gb)
{
    text_ = std::string(gb);
    push();
}

void LabelSurface::setEffect(int effect)
{
    options_.effect = effect;
    push();
}

void LabelSurface::setFont(std::string_view logFont)
{
    options_.font = std::string(logFont);
    push();
}

void LabelSurface::setTextColor(uint32_t colorRef)
{
    options_.textColor = colorRef;
    push();
}

void LabelSurface::setHorzAlign(int align)
{
    options_.horzAlign = align;
    push();
}

void LabelSurface::setWordWrap(bool wrap)
{
    options_.wordWrap = wrap;
    push();
}

void LabelSurface::setVertAlign(int align)
{
    options_.vertAlign = align;
    push();
}

// Hands the state to the widget and refreshes.
void LabelSurface::push()
{
    options_ = Clamped(options_);
    if (!widget_)
        return;
    widget_->text = FromGb(text_);
    widget_->options = options_;
    refresh();
}

void LabelSurface::refresh()
{
    if (widget_)
        widget_->repaintArea(widget_->geometry());
}

} // namespace mt::platform
