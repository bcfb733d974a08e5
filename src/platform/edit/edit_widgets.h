// The line edit behind single-line edit controls and the input dialog's
// fields: it filters typed characters, converts case, keeps a byte limit,
// paints the classic borders and keeps its selection while unfocused.
// Multi-line controls are TextViews (text_view.h).
#pragma once

#include <QLineEdit>

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/edit/edit_input_rules.h"
#include "platform/edit/editor_host.h"

namespace mt::platform {

// Border widths of the six border styles, and their painting.
int EditBorderWidth(int border);
void PaintEditBorder(QPainter* painter, const QRect& rect, int border, const QPalette& palette);

// Ctrl+Y: redo, beside the platform's own key (Ctrl+Shift+Z).
bool IsRedoKey(const QKeyEvent* event);

class EditLineWidget : public QLineEdit {
public:
    explicit EditLineWidget(QWidget* parent);

    void setHost(EditorHost* host) { host_ = host; }
    void setFilter(CharFilter filter) { filter_ = filter; }
    CharFilter filter() const { return filter_; }
    void setBorder(int border);
    int border() const { return border_; }
    LineInputValidator* shaper() { return shaper_; }
    // Masks the text with this character; a null character shows it.
    void setPasswordChar(QChar c);
    // Keeps or drops the validator as shaping is needed.
    void updateShaping();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The height of one line of text: that of "W" in the widget's font.
    int lineHeight() const;
    // One text line centred vertically, between the border's sides.
    void applyTextMargins();

    EditorHost* host_ = nullptr;
    CharFilter filter_ = CharFilter::kAll;
    int border_ = 0;
    LineInputValidator* shaper_;
    QStyle* passwordStyle_ = nullptr;
};

} // namespace mt::platform
