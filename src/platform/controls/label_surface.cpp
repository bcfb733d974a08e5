#include "platform/label_surface.h"

#include <QAccessibleWidget>
#include <QMoveEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWidget>

#include <algorithm>

#include "platform/application.h"
#include "platform/native_window.h"
#include "platform/text_codec.h"
#include "platform/controls/text_style.h"

namespace mt::platform {
namespace {

struct NoListener : WindowListener {};

LabelOptions Clamped(LabelOptions o)
{
    o.effect = std::clamp(o.effect, 0, 3);
    o.horzAlign = std::clamp(o.horzAlign, 0, 2);
    o.vertAlign = std::clamp(o.vertAlign, 0, 2);
    return o;
}

class LabelWidget : public QWidget, public LabelSurface {
public:
    LabelWidget(QWidget* parent, const LabelOptions& options, std::string_view text)
        : QWidget(parent), options_(Clamped(options)), text_(text), shown_(FromGb(text))
    {
        setFocusPolicy(Qt::NoFocus);
        setAutoFillBackground(false);
    }

    WindowHandle handle() const override { return ToHandle(const_cast<LabelWidget*>(this)); }
    const std::string& text() const override { return text_; }
    const LabelOptions& options() const override { return options_; }

    void setText(std::string_view gb) override
    {
        text_ = std::string(gb);
        const QString before = shown_;
        shown_ = FromGb(gb);
        refresh();
        if (QAccessible::isActive() && before != shown_) {
            QAccessibleTextUpdateEvent e(this, 0, before, shown_);
            QAccessible::updateAccessibility(&e);
        }
    }
    const QString& shown() const { return shown_; }
    void setEffect(int effect) override { change(&LabelOptions::effect, effect); }
    void setFont(std::string_view logicalFont) override { change(&LabelOptions::font, std::string(logicalFont)); }
    void setTextColor(uint32_t color) override { change(&LabelOptions::textColor, color); }
    void setHorzAlign(int align) override { change(&LabelOptions::horzAlign, align); }
    void setWordWrap(bool wrap) override { change(&LabelOptions::wordWrap, wrap); }
    void setVertAlign(int align) override { change(&LabelOptions::vertAlign, align); }
    void refresh() override { repaintArea(geometry()); }

protected:
    void paintEvent(QPaintEvent*) override;
    void moveEvent(QMoveEvent* event) override { repaintArea(QRect(event->oldPos(), size()) | geometry()); }
    void resizeEvent(QResizeEvent* event) override { repaintArea(QRect(pos(), event->oldSize()) | geometry()); }

private:
    template <typename T, typename V>
    void change(T LabelOptions::*field, V value)
    {
        options_.*field = std::move(value);
        options_ = Clamped(options_);
        refresh();
    }
    void repaintArea(const QRect& area);
    int flags() const;

    LabelOptions options_;
    std::string text_;
    QString shown_;
};

// The label paints nothing behind its text, so Qt paints the window and the
// widgets under it first whenever the label's area is repainted: repainting
// the area (parent coordinates) in the top window at once does it bottom
// layer first.
void LabelWidget::repaintArea(const QRect& area)
{
    QWidget* top = window();
    if (top == this || !top->isVisible()) {
        update();
        return;
    }
    top->repaint(QRect(parentWidget()->mapTo(top, area.topLeft()), area.size()));
}

int LabelWidget::flags() const
{
    static constexpr Qt::AlignmentFlag horizontal[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    static constexpr Qt::AlignmentFlag vertical[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    const int f = horizontal[options_.horzAlign] | Qt::TextDontClip | Qt::TextShowMnemonic;
    if (options_.wordWrap)
        return f | Qt::TextWordWrap | Qt::AlignTop;
    return f | Qt::TextSingleLine | vertical[options_.vertAlign];
}

// The font is made for each paint, from the record or the default GUI font.
void LabelWidget::paintEvent(QPaintEvent*)
{
    if (shown_.isEmpty())
        return;
    QPainter p(this);
    p.setFont(FontFromRecord(options_.font));
    QRect r = rect();
    const auto draw = [&](const QRect& at, const QColor& color) {
        p.setPen(color);
        p.drawText(at, flags(), shown_);
    };
    switch (options_.effect) {
    case 1: draw(r.translated(1, 1), Qt::white); break;
    case 2:
        draw(r, Qt::white);
        r.translate(1, 1);
        break;
    case 3: draw(r.translated(2, 2), Qt::black); break;
    }
    draw(r, ToQColor(options_.textColor));
}

// The label to assistive tools: static text whose caption is read through
// the text interface (it has no caret and no selection).
class LabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit LabelAccessible(LabelWidget* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value || (t == QAccessible::Name && widget()->accessibleName().isEmpty()))
            return caption();
        return QAccessibleWidget::text(t);
    }

    // QAccessibleTextInterface
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override
    {
        const QString c = caption();
        start = std::clamp(start, 0, static_cast<int>(c.size()));
        end = end < 0 ? static_cast<int>(c.size()) : std::clamp(end, start, static_cast<int>(c.size()));
        return c.mid(start, end - start);
    }
    int characterCount() const override { return static_cast<int>(caption().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* end) const override
    {
        *start = *end = offset;
        return {};
    }

private:
    QString caption() const { return static_cast<const LabelWidget*>(widget())->shown(); }
};

QAccessibleInterface* LabelAccessibleFactory(const QString&, QObject* object)
{
    if (auto* label = dynamic_cast<LabelWidget*>(object))
        return new LabelAccessible(label);
    return nullptr;
}

} // namespace

WindowHandle CreateLabelSurface(WindowHandle parent, const Rect& rect, const LabelOptions& options,
                                std::string_view text, WindowListener* listener)
{
    static NoListener none;
    EnsureApplication();
    static const bool accessible = [] {
        QAccessible::installFactory(LabelAccessibleFactory);
        return true;
    }();
    (void)accessible;
    auto* label = new LabelWidget(ToWidget(parent), options, text);
    label->hide();
    label->setGeometry(rect.left, rect.top, std::max(0, rect.width), std::max(0, rect.height));
    RegisterWindow(label, listener ? listener : &none);
    return ToHandle(label);
}

LabelSurface* LabelSurfaceOf(WindowHandle handle) { return dynamic_cast<LabelWidget*>(ToWidget(handle)); }

} // namespace mt::platform
