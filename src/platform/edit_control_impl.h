// The inside of the edit control: the editor widget, the byte mirror of its
// text and the reports to the listener. One class, in three files:
// edit_control.cpp builds and tears it down, edit_control_text.cpp keeps the
// text and selection, edit_control_look.cpp the appearance and the spinner.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

#include "platform/edit_control.h"
#include "platform/edit_spinner.h"
#include "platform/edit_text_mirror.h"
#include "platform/edit_widgets.h"

namespace mt::platform {

class EditControl::Impl : public QObject, public EditorHost {
public:
    explicit Impl(const EditOptions& o) : options(o), mirror(o.multiLine) {}
    ~Impl() override;

    void build(QWidget* parent, const Rect& rect, std::string_view text);
    QWidget* editor() const { return box; }
    void detach();

    void setText(std::string_view gb, bool notify);
    void unitSelection(size_t* start, size_t* end) const;
    void select(int64_t start, int64_t length);
    void replaceSelection(const QString& text);

    void applyColors();
    void applyFont();
    void applyBorder();
    void applyInputMode();
    void applyShaping();
    void applyAlignment();
    void setSpinnerRange(int32_t a, int32_t b);
    void placeSpinner();

    template <typename... Args>
    void fire(const std::function<void(Args...)>& callback, Args... args);

    // EditorHost
    void editorFocusChanged(bool in) override { fire(in ? listener.focusIn : listener.focusOut); }
    size_t editorInsertRoom() const override;
    void editorDestroyed() override;

    bool eventFilter(QObject* watched, QEvent* event) override;

    EditOptions options;
    EditTextMirror mirror;
    EditListener listener;
    // The editor: `box` tracks its life (a QPointer of the base class, so it
    // can be compared while the widget is being destroyed), `line` or
    // `plain` is the same widget by its type.
    QPointer<QWidget> box;
    QPointer<EditLineWidget> line;
    QPointer<EditPlainWidget> plain;
    QPointer<SpinnerWidget> spinner;
    QString lineText; // the line edit's text as the mirror holds it
    bool settingText = false;
    bool pendingChange = false;
    int callbackDepth = 0;

private:
    void setupLine();
    void setupPlain();
    void onLineTextChanged(const QString& text);
    void onContentsChange(int position, int removed, int added);
    void onPlainTextChanged();
    void resyncPlain();
};

template <typename... Args>
inline void EditControl::Impl::fire(const std::function<void(Args...)>& callback, Args... args)
{
    if (!callback)
        return;
    // The callback may replace the listener or destroy the control; this
    // object then lives on until the event loop deletes it.
    const std::function<void(Args...)> call = callback;
    ++callbackDepth;
    call(args...);
    --callbackDepth;
}

} // namespace mt::platform
