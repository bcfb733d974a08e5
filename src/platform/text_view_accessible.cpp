// The multi-line box to assistive tools: its text, caret and selection
// through Qt's accessible text interface. Positions there count UTF-16
// units of the whole text, so each question walks the bytes before the
// position asked about; it is only asked while such a tool is running.
#include <QAccessibleWidget>

#include "platform/text_codec.h"
#include "platform/text_view.h"

namespace mt::platform {
namespace {

class TextViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TextViewAccessible(TextView* view) : QAccessibleWidget(view, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? FromGb(view()->bytes()) : QAccessibleWidget::text(t);
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
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int start, int end) override { setSelection(0, start, end); }
    QString attributes(int offset, int* start, int* end) const override
    {
        *start = *end = offset;
        return {};
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

QAccessibleInterface* Factory(const QString&, QObject* object)
{
    if (auto* view = dynamic_cast<TextView*>(object))
        return new TextViewAccessible(view);
    return nullptr;
}

} // namespace

void InstallTextViewAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

} // namespace mt::platform
