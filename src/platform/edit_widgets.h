// The Qt widgets behind the edit control and the input dialog's fields: a
// line edit and a plain-text edit that filter typed characters, convert case
// and keep a byte limit, paint the classic borders and keep their selection
// while unfocused.
#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>

#include <cstddef>

#include "platform/edit_input_rules.h"

namespace mt::platform {

// Border widths of the six border styles, and their painting.
int EditBorderWidth(int border);
void PaintEditBorder(QPainter* painter, const QRect& rect, int border, const QPalette& palette);

// What an editor widget asks of the control that made it.
class EditorHost {
public:
    virtual void editorFocusChanged(bool in) = 0;
    // How many bytes a user insertion may add in place of the selection.
    virtual size_t editorInsertRoom() const = 0;

protected:
    ~EditorHost() = default;
};

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

class EditPlainWidget : public QPlainTextEdit {
public:
    explicit EditPlainWidget(QWidget* parent);

    void setHost(EditorHost* host) { host_ = host; }
    void setFilter(CharFilter filter) { filter_ = filter; }
    void setCaseConversion(int conversion) { caseConversion_ = conversion; }
    int caseConversion() const { return caseConversion_; }
    void setBorder(int border);
    int border() const { return border_; }
    // Case conversion and the byte limit applied to text a user inserts.
    QString shapeInsertion(const QString& text) const;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    EditorHost* host_ = nullptr;
    CharFilter filter_ = CharFilter::kAll;
    int caseConversion_ = 0;
    int border_ = 0;
};

} // namespace mt::platform
