#include "platform/label_surface.h"

#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QMoveEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWidget>

#include <algorithm>

#include "platform/application.h"
#include "platform/controls/text_style.h"
#include "platform/native_window.h"
#include "platform/text_codec.h"
#include "platform/windows/placed_rect.h"

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

// A single line wider than the label first takes the free room beside it
// (up to the nearest component on either side, or the window's edge), then
// a horizontally narrowed font, down to this stretch (per cent); it never
// reaches over another component. A text that fits is drawn as it always was.
constexpr int kNarrowestStretch = 50;

class LabelWidget : public QWidget, public LabelSurface, public PlacedRect {
public:
    LabelWidget(QWidget* parent, const LabelOptions& options, std::string_view text)
        : QWidget(parent), options_(Clamped(options)), text_(text), shown_(FromGb(text))
    {
        setFocusPolicy(Qt::NoFocus);
        setAutoFillBackground(false);
    }

    // PlacedRect: the rectangle the label was placed at; the widget may
    // reach beyond it into free room for a text that does not fit.
    QRect placedRect() const override { return placed_; }
    void place(const QRect& rect) override
    {
        placed_ = rect;
        fit();
    }
    // Where the text is drawn, in the widget, and the font's stretch.
    QRect textArea() const { return textArea_.isNull() ? rect() : textArea_; }
    int stretch() const { return stretch_; }

    WindowHandle handle() const override { return ToHandle(const_cast<LabelWidget*>(this)); }
    const std::string& text() const override { return text_; }
    const LabelOptions& options() const override { return options_; }

    void setText(std::string_view gb) override
    {
        text_ = std::string(gb);
        const QString before = shown_;
        shown_ = FromGb(gb);
        fit();
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
        fit();
        refresh();
    }
    void repaintArea(const QRect& area);
    int flags() const;
    // Sizes the widget and the text's area for the text (see kNarrowestStretch).
    void fit();
    // The free room on the label's row: from the nearest component left of
    // it to the nearest one right of it (or the parent's edges).
    QRect freeRoom() const;

    LabelOptions options_;
    std::string text_;
    QString shown_;
    QRect placed_;
    QRect textArea_; // null: the whole widget, which is the placed rectangle
    int stretch_ = 100;
};

QRect LabelWidget::freeRoom() const
{
    QWidget* parent = parentWidget();
    int left = 0, right = parent->width();
    for (QObject* o : parent->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w == this || w->isWindow())
            continue; // a hidden component may be shown: it counts
        const QRect g = dynamic_cast<PlacedRect*>(w) ? dynamic_cast<PlacedRect*>(w)->placedRect() : w->geometry();
        if (g.bottom() < placed_.top() || g.top() > placed_.bottom())
            continue;
        if (g.right() < placed_.left())
            left = std::max(left, g.right() + 1);
        else if (g.left() > placed_.right())
            right = std::min(right, g.left());
    }
    left = std::min(left, placed_.left());
    right = std::max(right, placed_.right() + 1);
    return QRect(left, placed_.top(), right - left, placed_.height());
}

void LabelWidget::fit()
{
    QRect widget = placed_;
    QRect area;
    stretch_ = 100;
    if (!options_.wordWrap && !shown_.isEmpty() && parentWidget()) {
        QFont font = FontFromRecord(options_.font);
        const auto widthOf = [&](const QFont& f) {
            return QFontMetrics(f).size(Qt::TextSingleLine | Qt::TextShowMnemonic, shown_).width();
        };
        int width = widthOf(font);
        if (width > placed_.width()) {
            const QRect room = freeRoom();
            for (int s = std::max(kNarrowestStretch, 100 * room.width() / width); width > room.width(); --s) {
                font.setStretch(s);
                width = widthOf(font);
                stretch_ = s;
                if (s <= kNarrowestStretch)
                    break;
            }
            width = std::min(width, room.width());
            int x = options_.horzAlign == 0   ? placed_.left()
                    : options_.horzAlign == 2 ? placed_.right() + 1 - width
                                              : placed_.left() + (placed_.width() - width) / 2;
            const int kept = std::clamp(x, room.left(), room.right() + 1 - width);
            const QRect text(kept, placed_.top(), width, placed_.height());
            // A pixel either way for the rounding of the alignment.
            widget = (placed_ | text.adjusted(-1, 0, 1, 0)) & room;
            // Where the alignment puts it is where it goes, as it always did;
            // otherwise it is put where it stays in the room.
            area = (kept == x && stretch_ == 100 ? placed_ : text).translated(-widget.topLeft());
        }
    }
    textArea_ = area;
    if (geometry() != widget)
        setGeometry(widget);
}

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
    static constexpr Qt::AlignmentFlag kHorizontal[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    static constexpr Qt::AlignmentFlag kVertical[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    const int f = kHorizontal[options_.horzAlign] | Qt::TextDontClip | Qt::TextShowMnemonic;
    if (options_.wordWrap)
        return f | Qt::TextWordWrap | Qt::AlignTop;
    return f | Qt::TextSingleLine | kVertical[options_.vertAlign];
}

// The font is made for each paint, from the record or the default GUI font.
void LabelWidget::paintEvent(QPaintEvent*)
{
    if (shown_.isEmpty())
        return;
    QPainter p(this);
    QFont font = FontFromRecord(options_.font);
    if (stretch_ != 100)
        font.setStretch(stretch_);
    p.setFont(font);
    QRect r = textArea();
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
    label->place(QRect(rect.left, rect.top, std::max(0, rect.width), std::max(0, rect.height)));
    RegisterWindow(label, listener ? listener : &none);
    return ToHandle(label);
}

LabelSurface* LabelSurfaceOf(WindowHandle handle) { return dynamic_cast<LabelWidget*>(ToWidget(handle)); }

} // namespace mt::platform
