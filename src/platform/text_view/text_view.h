// The multi-line edit box's widget: a scroll area that shows and edits a
// TextBuffer, the GB18030 bytes themselves.
//
// Only what is in view is decoded and laid out: a line is laid out one
// segment at a time (see TextBuffer), a wrapped line's rows going on across
// segment edges, and the layouts in view are kept until an edit touches
// them (SegmentLayoutCache). The vertical scroll bar counts bytes, so that
// it costs nothing on huge texts; rows scroll by rows. The caret blink
// repaints the caret alone.
//
// Bytes that do not decode show as U+FFFD; CR LF is one caret stop; typed
// Enter inserts the line break the text already uses (or another view's
// text: setLineBreakSource), CR LF when it has none; copy, cut and drags
// offer the exact bytes beside Unicode, and paste and drop take the bytes
// when they are there.
#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPointer>

class QAccessibleEvent;
class QPainter;
class QMimeData;

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/edit/edit_input_rules.h"
#include "platform/edit/editor_host.h"
#include "platform/text_marks.h"
#include "platform/text_view/edit_history.h"
#include "platform/text_view/segment_layout_cache.h"
#include "platform/text_view/text_buffer.h"
#include "platform/text_view/text_view_keys.h"

class QMenu;

namespace mt::platform {

// Makes Qt's accessibility find TextViews' text interface (text_view_accessible.cpp).
void InstallTextViewAccessibility();
// Whether the views tell of edits, caret and selection: while an assistive
// tool listens, or while a sink is set. A sink receives the events instead
// of the platform (for tests: offscreen, no tool can listen).
bool TextViewsAnnounce();
void SetTextViewAccessibleSink(void (*sink)(QAccessibleEvent*));

class TextView;
// The PRIMARY selection's data: what `view` has selected when another
// program asks, in both forms; nothing while nothing is selected.
QMimeData* NewSelectionMime(const TextView* view);

class TextView : public QAbstractScrollArea, private SegmentLayoutCache::Host {
public:
    explicit TextView(QWidget* parent);
    ~TextView() override;

    void setHost(EditorHost* host) { host_ = host; }

    // ---- text and selection, in bytes ------------------------------------------
    const std::string& bytes() const { return text_.contiguous(); }
    const TextBuffer& buffer() const { return text_; }
    // Counts every change of the text.
    uint64_t generation() const { return generation_; }
    // Replaces everything; the caret goes to the start, the undo record is
    // cleared, nothing is reported.
    void setBytes(std::string_view gb);
    // A program's write of the whole text that the user can take back: one
    // step of the undo record (within its bounds); the caret goes to the
    // start, nothing is reported. A placeholder (a prompt standing for no
    // text) is no step of its own: the record goes on as if the box were
    // empty, so the first undo under it, or after it was cleared, brings
    // back the text it replaced.
    void writeBytes(std::string_view gb, bool placeholder);
    bool showsPlaceholder() const { return placeholder_; }
    size_t selectionStart() const { return std::min(caret_, anchor_); }
    size_t selectionEnd() const { return std::max(caret_, anchor_); }
    size_t caret() const { return caret_; }
    // Selects [start, end) snapped outwards to caret stops (a caret snaps
    // back); the caret goes to the end and into view.
    void selectBytes(size_t start, size_t end);
    // Replaces the selection with bytes as given; reported as an edit.
    // Not undoable: the record is cleared.
    void replaceSelectionBytes(std::string_view gb);
    // What a user insertion becomes: filtered when typed, case converted,
    // cut to the room the host gives, never inside a character.
    std::string shapeInsertion(const QString& text, bool typed) const;
    // The longest leading part of gb, in whole characters (CR LF whole),
    // that fits the room the host gives.
    std::string fitToRoom(std::string gb) const;

    // ---- dropped files (text_view_clipboard.cpp) ------------------------------------
    // A drop of one local file is read here (up to kDroppedFileCap) and handed
    // to the host, which decides what becomes of it; dropped text goes in as
    // it always did.
    bool takesFile(const QMimeData* mime) const;
    // Replaces the whole text as one undoable edit, reported once.
    void replaceAllFromUser(std::string_view gb);

    // ---- marks (text_view_marks.cpp) ---------------------------------------------
    // Replaces the marks; those beyond the text are cut to it. The mark
    // marks.reveal names is scrolled into view; the caret stays.
    void setMarks(TextMarks marks);
    const TextMarks& marks() const { return marks_; }

    // ---- context menu (text_view.cpp) ---------------------------------------------
    // An entry at the top of the menu that presses a function key here
    // while text is selected (see EditControl::addMenuKey).
    void addMenuKey(std::string_view gbLabel, int32_t virtualKey);
    // What the entry does: the key's press and release, sent through the
    // application as typed keys are.
    void pressMenuKey(int32_t virtualKey);
    // The occurrences of the sought text that start in the rows in view,
    // as [start, end) byte ranges; found in those rows alone.
    std::vector<std::pair<size_t, size_t>> occurrencesInView();

    // ---- the notice (text_view_notice.cpp) -----------------------------------------
    // One line of text drawn over the top of the view, such as why a page
    // looks as it does: it changes neither the bytes, the rows nor the
    // caret, and goes with the next change of the text. Empty: none.
    void setNotice(const QString& notice);
    const QString& notice() const { return notice_; }
    // Where the notice is drawn in the viewport; empty while there is none.
    QRect noticeRect() const;

    // ---- switches at the end of the context menu (text_view_menu_switch.cpp) ----
    // A checkable entry, checked while isOn() answers true; choosing it calls
    // turn() with the other state. The same label again replaces the entry.
    void addMenuSwitch(const QString& label, bool (*isOn)(), void (*turn)(bool));
    // The entries as the menu shows them, behind a separator (none: nothing).
    void addMenuSwitches(QMenu* menu);
    // An entry beside the function keys', always enabled, that presses a
    // letter key with modifiers (1 Ctrl, 2 Shift, 4 Alt) here, as typed
    // (see EditControl::addMenuShortcut). The same key again replaces it.
    void addMenuShortcut(const QString& label, int32_t letter, int32_t keyState);
    void addMenuShortcuts(QMenu* menu);

    // ---- zoom (text_view_zoom.cpp) --------------------------------------------------
    // A zoomable view takes Ctrl+wheel and Ctrl+plus, minus and 0. The font
    // set from outside stays the base the steps count from, and stays what
    // the box's owner reads back: the zoom is the view's alone.
    void setZoomable(bool zoomable) { zoomable_ = zoomable; }
    // One step up (+1) or down (-1), or back to the base size (0).
    void zoom(int step);
    int zoomSteps() const { return zoom_; }

    // ---- for assistive tools (text_view_accessible.cpp) -------------------------
    // The box of the character at pos in the viewport, empty when it is not
    // in view; the caret stop at a viewport point, false outside the view.
    QRect characterRect(size_t pos);
    bool positionAt(const QPoint& point, size_t* pos);
    // Replaces [from, to) as the user would: undoable and reported.
    void replaceBytes(size_t from, size_t to, std::string_view gb);

    // ---- line breaks -----------------------------------------------------------------
    // The form of the text's first line break (LF, CR LF or CR); CR LF when
    // it has none.
    static std::string_view FirstLineBreak(const TextBuffer& text);
    // Enter inserts the line break `source`'s text uses; null: this text's.
    void setLineBreakSource(TextView* source) { lineBreakSource_ = source; }
    // What Enter inserts now.
    std::string_view typedLineBreak() const;

    // ---- behaviour and looks ------------------------------------------------------
    // Copy with nothing selected copies the whole text (a box too small to
    // select in comfortably).
    void setCopiesWholeText(bool whole) { copiesWholeText_ = whole; }
    bool copiesWholeText() const { return copiesWholeText_; }
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return readOnly_; }
    void setFilter(CharFilter filter) { filter_ = filter; }
    void setCaseConversion(int conversion) { caseConversion_ = conversion; }
    void setBorder(int border);
    void setWordWrap(bool wrap);
    void setAlignment(Qt::Alignment alignment);

    // ---- user actions (the context menu's) -----------------------------------------
    void undo();
    void redo();
    void cut();
    void copy() const;
    void paste();
    void deleteSelection();
    void selectAll();

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct MenuKey {
        QString label;
        int32_t key = 0;
    };
    std::vector<MenuKey> menuKeys_;
    struct MenuShortcut {
        QString label;
        int32_t letter = 0, keyState = 0;
    };
    std::vector<MenuShortcut> menuShortcuts_;
    void stepHistory(bool forward);
    using Segment = TextBuffer::Segment;
    using Laid = SegmentLayoutCache::Laid;
    using Row = SegmentLayoutCache::Row;

    enum class EditKind { kTyping,
                          kUser,
                          kProgram };
    // Replaces [from, to) and puts the caret after the new bytes.
    void edit(size_t from, size_t to, std::string_view gb, EditKind kind, bool notify = true);
    void insertFromUser(const QString& text, bool typed);
    void commitComposition();
    // Tell assistive tools of an edit (pos, the bytes that went, how many
    // came) and of the caret and selection.
    void announceEdit(size_t pos, std::string_view removed, size_t inserted);
    void announceCaret();
    // Pasted or dropped bytes, kept as they are (case converted if the box
    // converts case).
    void insertBytesFromUser(std::string gb);
    void insertShaped(std::string gb, bool typed);
    // Middle click: the PRIMARY selection goes in at the point.
    void pastePrimary(const QPoint& point);
    void afterTextChange(size_t pos, size_t removed, size_t inserted);

    // SegmentLayoutCache::Host
    int layoutWidth() const override { return textWidth(); }
    const QFont& layoutFont() const override { return font(); }
    size_t layoutTop() const override { return top_; }
    size_t layoutCaret() const override { return caret_; }
    int textWidth() const;
    int margin() const { return 2; }

    // Caret, selection and scrolling.
    // afterRow: a caret at the start of a wrapped row stands at the end of
    // the row above instead (End, a click past a row's end).
    void setCaret(size_t pos, bool keepAnchor, bool afterRow = false);
    // A key's action (text_view_keys.h); extend: Shift held on a movement.
    void perform(EditAction action, bool extend);
    // The row the caret is drawn on.
    Row caretRow();
    void moveVertically(int rows, bool keepAnchor);
    size_t hit(const QPoint& viewportPoint);
    QRect caretRect();
    void ensureCaretVisible();
    void scrollRows(int rows);
    void setTop(size_t pos);
    Row firstRowEndingAt(Row last);
    size_t maxTop();
    int visibleRows();
    void updateScrollBars();
    void onScrollBarValue(int value);
    // After the caret or selection changed; reveal: scroll the caret into view.
    void caretMoved(bool reveal = true);
    void restartBlink();
    void publishSelection() const;
    void startDrag();
    // Moves the selection to pos as one edit; the moved text stays selected.
    void moveSelectionTo(size_t pos);

    // The byte where the rows in view end.
    size_t viewEnd();
    void revealBytes(size_t pos);
    // The marks' parts inside laid segment l, as ranges of its layout.
    void addMarkRanges(const Laid& l, const Segment& seg, const std::vector<std::pair<size_t, size_t>>& found,
                       QList<QTextLayout::FormatRange>* ranges) const;
    void paintNotice(QPainter* p) const;

    // Ctrl with plus, minus or 0: true when it zoomed.
    bool zoomKey(const QKeyEvent* event);
    void applyZoom();

    EditorHost* host_ = nullptr;
    TextBuffer text_;
    TextMarks marks_;
    QString notice_;
    struct MenuSwitch {
        QString label;
        bool (*isOn)();
        void (*turn)(bool);
    };
    std::vector<MenuSwitch> menuSwitches_;
    QFont baseFont_;
    int zoom_ = 0;
    bool zoomable_ = false;
    bool zooming_ = false; // the font change is the zoom's own
    EditHistory history_;
    bool placeholder_ = false; // the text is a placeholder: the record holds it as empty
    // The record's own idea of the text from here on: the placeholder goes
    // (out of the text, or into the record as typed before an edit).
    void settlePlaceholder(bool keep);
    size_t caret_ = 0;
    size_t anchor_ = 0;
    size_t caretAfterRow_ = SIZE_MAX; // a caret here is drawn at the end of the row above
    bool hitAfterRow_ = false;
    bool announcedSelection_ = false; // a selection was last told to assistive tools        // the last hit() was past the end of a wrapped row
    qreal goalX_ = -1;
    size_t top_ = 0; // the byte where the first row in view starts
    uint64_t generation_ = 0;

    bool readOnly_ = false;
    CharFilter filter_ = CharFilter::kAll;
    int caseConversion_ = 0;
    int border_ = 0;
    bool wrap_ = true;
    Qt::Alignment alignment_ = Qt::AlignLeft;

    SegmentLayoutCache layouts_{text_, *this};
    int vShift_ = 0; // bytes per scroll bar step: 1 << vShift_
    bool settingBars_ = false;
    int barAction_ = 0;

    int preeditCursor_ = 0; // where the caret stands in the composition

    QBasicTimer blink_;
    bool caretShown_ = false;
    // What the mouse started: selecting by dragging, dragging the selection
    // out, a drop on the way in, a triple click on the way.
    struct MouseState {
        bool selecting = false;        // a press is extending the selection
        QPoint point;                  // where that drag is, for scrolling
        QBasicTimer autoScroll;        // scrolls while it is outside the view
        bool pressInSelection = false; // a press that may start dragging the selection
        QPoint pressPoint;
        bool draggingOut = false;  // our own drag is under way
        bool movedInside = false;  // ... and was dropped back into this view
        size_t dropPos = SIZE_MAX; // where a drop would go, shown as a caret
        QBasicTimer tripleClick;   // a third click now selects the line
        QPoint tripleClickPoint;
    };
    MouseState mouse_;
    QPointer<TextView> lineBreakSource_;
    bool copiesWholeText_ = false;
};

} // namespace mt::platform
