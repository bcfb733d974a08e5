// The multi-line box to assistive tools: its text, caret and selection
// through Qt's accessible text interface, edits through the editable-text
// interface, and events for edits, caret and selection. Offsets count
// UTF-16 units of the whole text (a character above U+FFFF is two, CR LF is
// two, an undecodable byte is one U+FFFD), so each question walks the bytes
// before the offset asked about; it is only asked while such a tool runs.
// Character boxes and offsets at a point are answered for what is in view.
#include <QAccessibleWidget>

#include "platform/text_codec.h"
#include "platform/text_view/text_view.h"

namespace mt::platform {
namespace {

class TextViewAccessible : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface {
public:
    explicit TextViewAccessible(TextView* view) : QAccessibleWidget(view, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return FromGb(view()->bytes());
        // The notice over the text is part of what is said of the box.
        QString own = QAccessibleWidget::text(t);
        if (t == QAccessible::Description && !view()->notice().isEmpty())
            return own.isEmpty() ? view()->notice() : own + QLatin1String(" - ") + view()->notice();
        return own;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = !view()->isReadOnly();
        s.readOnly = view()->isReadOnly();
        s.multiLine = true;
        s.selectableText = true;
        return s;
    }

    // QAccessibleTextInterface
    void selection(int index, int* start, int* end) const override
    {
        *start = *end = 0;
        if (index == 0 && selectionCount() == 1) {
            *start = unitOf(view()->selectionStart());
            *end = unitOf(view()->selectionEnd());
        }
    }
    int selectionCount() const override { return view()->selectionEnd() > view()->selectionStart() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { view()->selectBytes(view()->caret(), view()->caret()); }
    void setSelection(int, int start, int end) override
    {
        view()->selectBytes(byteOf(std::min(start, end)), byteOf(std::max(start, end)));
    }
    int cursorPosition() const override { return unitOf(view()->caret()); }
    void setCursorPosition(int position) override { setSelection(0, position, position); }
    QString text(int start, int end) const override
    {
        const size_t b0 = byteOf(start);
        return FromGb(view()->buffer().copy(b0, std::max(b0, byteOf(end))));
    }
    int characterCount() const override { return unitOf(view()->buffer().size()); }
    QRect characterRect(int offset) const override
    {
        if (offset < 0)
            return {};
        const QRect r = view()->characterRect(byteOf(offset));
        return r.isEmpty() ? QRect() : QRect(view()->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        const QPoint local = view()->viewport()->mapFromGlobal(point);
        size_t pos;
        if (!view()->positionAt(local, &pos))
            return -1;
        // The character under the point, where a click would put the caret
        // behind it once the point is past the character's middle.
        if (pos > 0) {
            const size_t before = view()->buffer().stopAtOrBefore(pos - 1);
            if (view()->characterRect(before).contains(local))
                pos = before;
        }
        return unitOf(pos);
    }
    void scrollToSubstring(int start, int end) override { setSelection(0, start, end); }
    QString attributes(int offset, int* start, int* end) const override
    {
        *start = *end = offset;
        return {};
    }

    // QAccessibleEditableTextInterface
    void deleteText(int start, int end) override { replaceText(start, end, {}); }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString& text) override
    {
        view()->replaceBytes(byteOf(std::min(start, end)), byteOf(std::max(start, end)), ToGb(text));
    }

private:
    TextView* view() const { return static_cast<TextView*>(widget()); }
    int unitOf(size_t byte) const
    {
        return static_cast<int>(GbToUtf16Position(view()->bytes(), byte, Snap::kDown));
    }
    size_t byteOf(int unit) const
    {
        return Utf16ToGbPosition(view()->bytes(), static_cast<size_t>(std::max(0, unit)));
    }
};

void (*g_sink)(QAccessibleEvent*) = nullptr;

void Tell(QAccessibleEvent* e)
{
    if (g_sink)
        g_sink(e);
    else
        QAccessible::updateAccessibility(e);
}

QAccessibleInterface* Factory(const QString&, QObject* object)
{
    if (auto* view = dynamic_cast<TextView*>(object))
        return new TextViewAccessible(view);
    return nullptr;
}

} // namespace

bool TextViewsAnnounce() { return g_sink || QAccessible::isActive(); }

void SetTextViewAccessibleSink(void (*sink)(QAccessibleEvent*)) { g_sink = sink; }

void TextView::announceEdit(size_t pos, std::string_view removed, size_t inserted)
{
    const int at = static_cast<int>(GbToUtf16Position(bytes(), pos, Snap::kDown));
    const QString gone = FromGb(removed);
    const QString added = FromGb(text_.copy(pos, pos + inserted));
    if (!gone.isEmpty() && !added.isEmpty()) {
        QAccessibleTextUpdateEvent e(this, at, gone, added);
        Tell(&e);
    } else if (!gone.isEmpty()) {
        QAccessibleTextRemoveEvent e(this, at, gone);
        Tell(&e);
    } else if (!added.isEmpty()) {
        QAccessibleTextInsertEvent e(this, at, added);
        Tell(&e);
    }
}

void TextView::announceCaret()
{
    const auto unit = [this](size_t byte) { return static_cast<int>(GbToUtf16Position(bytes(), byte, Snap::kDown)); };
    const int caret = unit(caret_);
    const bool selected = caret_ != anchor_;
    if (selected || announcedSelection_) {
        QAccessibleTextSelectionEvent e(this, selected ? unit(selectionStart()) : caret,
                                        selected ? unit(selectionEnd()) : caret);
        e.setCursorPosition(caret);
        Tell(&e);
        announcedSelection_ = selected;
    }
    QAccessibleTextCursorEvent moved(this, caret);
    Tell(&moved);
}

void InstallTextViewAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

} // namespace mt::platform
