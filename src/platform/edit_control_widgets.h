// The Qt widgets behind the edit control and the input dialog's fields:
// a line edit and a plain-text edit that filter typed characters, convert
// case and keep a byte limit, paint the classic borders and keep their
// selection while unfocused; and the spinner.
#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QValidator>
#include <QWidget>

#include <cstddef>
#include <cstdint>
#include <functional>

class QToolButton;

namespace mt::platform {

// Which typed characters (code 32 and up) an edit accepts.
enum class CharFilter { kAll, kSignedDigits, kDecimal, kDigits };

// The filter of an edit box input mode: 3, 6, 7, 8 "-0-9"; 4, 9, 10 "-.0-9";
// 5 "0-9"; others all.
CharFilter CharFilterForInputMode(int mode);
// `typed` without the characters the filter refuses.
QString FilterTyped(CharFilter filter, const QString& typed);
// conversion 1: lower case, 2: upper case, else unchanged.
QString ConvertCase(int conversion, const QString& text);
// The longest leading part of `text`, in whole characters, whose bytes fit
// in `room`; line breaks are normalised to '\n' first and counted as CR LF
// when crlf is set.
QString FitBytes(const QString& text, size_t room, bool crlf);

// The units [pos, pos + removed) of `a` that became [pos, pos + added) of
// `b`, found by their common prefix and suffix; never inside a surrogate pair.
void DiffRange(QStringView a, QStringView b, qsizetype* pos, qsizetype* removed, qsizetype* added);

// Border widths of the six border styles, and their painting.
int EditBorderWidth(int border);
void PaintEditBorder(QPainter* painter, const QRect& rect, int border, const QPalette& palette);

// What an editor widget asks of the control that made it.
class EditorHost {
public:
    virtual void editorFocusChanged(bool in) = 0;
    // How many bytes a user insertion may add in place of the selection.
    virtual size_t editorInsertRoom() const = 0;
    // Called from the widget's destructor.
    virtual void editorDestroyed() = 0;

protected:
    ~EditorHost() = default;
};

// Shapes what reaches a line edit other than by typing (paste, drop, undo):
// case conversion and the byte limit.
class LineInputValidator : public QValidator {
public:
    explicit LineInputValidator(QObject* parent) : QValidator(parent) {}
    State validate(QString& input, int& pos) const override;

    int caseConversion = 0;
    size_t byteLimit = 0;           // 0: none
    bool suspended = false;         // while the text is set programmatically
    mutable QString lastAccepted;
};

class EditLineWidget : public QLineEdit {
public:
    explicit EditLineWidget(QWidget* parent);
    ~EditLineWidget() override;

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
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    EditorHost* host_ = nullptr;
    CharFilter filter_ = CharFilter::kAll;
    int border_ = 0;
    LineInputValidator* shaper_;
    QStyle* passwordStyle_ = nullptr;
};

class EditPlainWidget : public QPlainTextEdit {
public:
    explicit EditPlainWidget(QWidget* parent);
    ~EditPlainWidget() override;

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

// Two stacked arrow buttons that report presses (+1 up, -1 down) with
// auto-repeat, and keep a 16-bit range for their owner.
class SpinnerWidget : public QWidget {
public:
    explicit SpinnerWidget(QWidget* parent);

    std::function<void(int direction)> pressed;
    int16_t lower = 0;
    int16_t upper = 0;

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* up_;
    QToolButton* down_;
};

} // namespace mt::platform
