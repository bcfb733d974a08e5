// The multi-line box's widget: its text and edits, the menu's actions and
// its settings. Layout, painting and scrolling, keys, mouse and input
// methods, and the clipboard live in the text_view_*.cpp files beside it.
#include "platform/text_view/text_view.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTimerEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "platform/edit/edit_widgets.h"
#include "platform/platform_texts.h"
#include "platform/system/text_mime.h"
#include "platform/text_codec.h"
#include "platform/text_view/text_decoder.h"
#include "platform/text_view/text_view_keys.h"
#include "platform/text_view/text_words.h"
#include "platform/window_listener.h"

namespace mt::platform {

namespace {

QString Gb(const char* text, unsigned size) { return FromGb(std::string_view(text, size)); }

} // namespace

TextView::TextView(QWidget* parent) : QAbstractScrollArea(parent)
{
    InstallTextViewAccessibility();
    setAttribute(Qt::WA_InputMethodEnabled, true);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(1);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this](int action) { barAction_ = action; });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &TextView::onScrollBarValue);
    text_.assign({});
}

TextView::~TextView() = default;

void TextView::setBytes(std::string_view gb)
{
    commitComposition();
    text_.assign(gb);
    ++generation_;
    marks_ = {};
    notice_.clear();
    history_.clear();
    placeholder_ = false;
    caret_ = anchor_ = 0;
    top_ = 0;
    goalX_ = -1;
    layouts_.forgetWidest();
    layouts_.clear();
    updateScrollBars();
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

void TextView::writeBytes(std::string_view gb, bool placeholder)
{
    commitComposition();
    // What the record takes the text to be: nothing under a placeholder.
    std::string before = placeholder_ ? std::string() : text_.take();
    const std::string_view after = placeholder ? std::string_view() : gb;
    if (before != after)
        history_.record(0, std::move(before), after.size(), false, caret_, anchor_, gb.size());
    std::string().swap(before);
    text_.assign(gb);
    placeholder_ = placeholder && !gb.empty();
    ++generation_;
    marks_ = {};
    notice_.clear();
    caret_ = anchor_ = 0;
    top_ = 0;
    goalX_ = -1;
    layouts_.forgetWidest();
    layouts_.clear();
    updateScrollBars();
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

void TextView::settlePlaceholder(bool keep)
{
    if (!placeholder_)
        return;
    placeholder_ = false;
    if (!keep) {
        text_.assign({});
        return;
    }
    // Kept: the text it is from now on. With steps before it, as if it had
    // been put into the empty box, a step of its own; with none, the text
    // the record starts from.
    if (history_.canUndo() || history_.canRedo())
        history_.record(0, std::string(), text_.size(), false, 0, 0, text_.size());
}

void TextView::selectBytes(size_t start, size_t end)
{
    commitComposition();
    const bool caretOnly = end <= start;
    start = text_.stopAtOrBefore(std::min(start, text_.size()));
    end = caretOnly ? start : text_.stopAtOrAfter(end);
    anchor_ = start;
    caret_ = end;
    goalX_ = -1;
    caretMoved();
}

void TextView::replaceSelectionBytes(std::string_view gb)
{
    commitComposition();
    edit(selectionStart(), selectionEnd(), gb, EditKind::kProgram);
}

void TextView::replaceBytes(size_t from, size_t to, std::string_view gb)
{
    commitComposition();
    if (readOnly_)
        return;
    from = text_.stopAtOrBefore(std::min(from, text_.size()));
    anchor_ = from;
    caret_ = std::max(from, text_.stopAtOrAfter(std::min(to, text_.size())));
    insertBytesFromUser(std::string(gb));
}

std::string TextView::shapeInsertion(const QString& text, bool typed) const
{
    QString kept = typed ? FilterTyped(filter_, text) : text;
    // A zero byte would end the text wherever a program reads it.
    kept.remove(QChar(u'\0'));
    return fitToRoom(ToGb(ConvertCase(caseConversion_, kept)));
}

std::string TextView::fitToRoom(std::string gb) const
{
    const size_t room = host_ ? host_->editorInsertRoom() : SIZE_MAX;
    if (gb.size() <= room)
        return gb;
    // Whole characters, CR LF whole, as many as fit.
    size_t n = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(gb.data());
    while (n < gb.size()) {
        size_t len = GbCharLength(p + n, gb.size() - n);
        if (p[n] == '\r' && n + 1 < gb.size() && p[n + 1] == '\n')
            len = 2;
        if (n + len > room)
            break;
        n += len;
    }
    gb.resize(n);
    return gb;
}

void TextView::edit(size_t from, size_t to, std::string_view gb, EditKind kind, bool notify)
{
    if (placeholder_ && kind == EditKind::kProgram) {
        placeholder_ = false; // the record is cleared below
    } else if (placeholder_) {
        // A placeholder replaced whole goes as if the box had been empty.
        const bool whole = from == 0 && to >= text_.size();
        settlePlaceholder(!whole);
        if (whole)
            from = to = 0;
    }
    const size_t caretBefore = caret_;
    const size_t anchorBefore = anchor_;
    std::string removed = text_.copy(from, to);
    const size_t removedLength = removed.size();
    const bool tell = TextViewsAnnounce();
    const std::string told = tell ? removed : std::string();
    text_.replace(from, removedLength, gb);
    if (kind == EditKind::kProgram)
        history_.clear();
    else
        history_.record(from, std::move(removed), gb.size(), kind == EditKind::kTyping, caretBefore, anchorBefore,
                        text_.size());
    caret_ = anchor_ = from + gb.size();
    if (tell)
        announceEdit(from, told, gb.size());
    afterTextChange(from, removedLength, gb.size());
    if (notify && host_)
        host_->editorTextEdited();
}

void TextView::insertFromUser(const QString& text, bool typed)
{
    if (!readOnly_)
        insertShaped(shapeInsertion(text, typed), typed);
}

void TextView::insertBytesFromUser(std::string gb)
{
    if (readOnly_)
        return;
    if (caseConversion_ != 0) {
        insertFromUser(FromGb(gb), false);
        return;
    }
    // A zero byte would end the text wherever a program reads it.
    if (gb.find('\0') != std::string::npos)
        gb.erase(std::remove(gb.begin(), gb.end(), '\0'), gb.end());
    insertShaped(fitToRoom(std::move(gb)), false);
}

void TextView::insertShaped(std::string gb, bool typed)
{
    if (gb.empty() && caret_ == anchor_)
        return;
    edit(selectionStart(), selectionEnd(), gb, typed && anchor_ == caret_ ? EditKind::kTyping : EditKind::kUser,
         false);
    // Reported once the inserted text is gone: the listener's reads of a
    // long paste then do not meet it.
    std::string().swap(gb);
    if (host_)
        host_->editorTextEdited();
}

// After [pos, pos + removed) became `inserted` bytes: the layouts follow
// (SegmentLayoutCache::shift) and the first row in view keeps its place in the text.
void TextView::afterTextChange(size_t pos, size_t removed, size_t inserted)
{
    ++generation_;
    marks_ = {};
    if (!notice_.isEmpty()) {
        viewport()->update(noticeRect());
        notice_.clear();
    }
    layouts_.shift(pos, removed, inserted);
    const auto delta = static_cast<std::ptrdiff_t>(inserted) - static_cast<std::ptrdiff_t>(removed);
    if (top_ > pos)
        top_ = top_ >= pos + removed ? static_cast<size_t>(static_cast<std::ptrdiff_t>(top_) + delta) : pos;
    // Never below the top that shows the text's last row at the bottom:
    // after a long text went (an undone paste) the view would show nothing.
    // Only a text that shrank (or was swapped whole) can leave it there.
    const bool shrank = removed > inserted || (removed == 0 && inserted == 0);
    top_ = layouts_.rowStart(layouts_.rowOf(shrank ? std::min(top_, maxTop()) : std::min(top_, text_.size())));
    goalX_ = -1;
    updateScrollBars();
    caretMoved();
}

void TextView::undo() { stepHistory(false); }

void TextView::redo() { stepHistory(true); }

// Takes back the last edit, or does again the last one taken back.
void TextView::stepHistory(bool forward)
{
    if (readOnly_)
        return;
    commitComposition();
    if (placeholder_) {
        // The record holds the box as empty: it steps from there.
        if (!(forward ? history_.canRedo() : history_.canUndo()))
            return;
        settlePlaceholder(false);
    }
    size_t caret, anchor;
    const bool stepped = forward ? history_.redo(&text_, &caret, &anchor) : history_.undo(&text_, &caret, &anchor);
    if (!stepped)
        return;
    layouts_.clear();
    caret_ = std::min(caret, text_.size());
    anchor_ = std::min(anchor, text_.size());
    if (TextViewsAnnounce())
        announceEdit(history_.lastStepped().pos, history_.lastStepped().outside, history_.lastStepped().inText);
    afterTextChange(0, 0, 0);
    if (host_)
        host_->editorTextEdited();
}

void TextView::deleteSelection()
{
    commitComposition();
    if (!readOnly_ && caret_ != anchor_)
        edit(selectionStart(), selectionEnd(), {}, EditKind::kUser);
}

void TextView::selectAll()
{
    commitComposition();
    anchor_ = 0;
    caret_ = text_.size();
    caretMoved();
    publishSelection();
}

void TextView::addMenuKey(std::string_view gbLabel, int32_t virtualKey)
{
    if (virtualKey < kVkF1 || virtualKey > kVkF1 + 11)
        return;
    const QString label = FromGb(gbLabel) + QLatin1Char('\t') + QStringLiteral("F%1").arg(virtualKey - kVkF1 + 1);
    for (MenuKey& k : menuKeys_) {
        if (k.key == virtualKey) {
            k.label = label;
            return;
        }
    }
    menuKeys_.push_back({label, virtualKey});
}

void TextView::pressMenuKey(int32_t virtualKey)
{
    const auto key = static_cast<Qt::Key>(Qt::Key_F1 + (virtualKey - kVkF1));
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(this, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(this, &release);
}

void TextView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    const bool selected = caret_ != anchor_;
    for (const MenuKey& k : menuKeys_) {
        QAction* a = menu.addAction(k.label);
        a->setEnabled(selected);
        const int32_t key = k.key;
        connect(a, &QAction::triggered, this, [this, key] { pressMenuKey(key); });
    }
    addMenuShortcuts(&menu);
    if (!menuKeys_.empty() || !menuShortcuts_.empty())
        menu.addSeparator();
    const bool canPaste = MimeHasText(QGuiApplication::clipboard()->mimeData());
    struct Item {
        const char* text;
        unsigned size;
        void (TextView::*action)();
        bool enabled;
    };
    const Item items[] = {
        {gb::kMenuUndo, gb::kMenuUndoSize, &TextView::undo, !readOnly_ && history_.canUndo()},
        {gb::kMenuRedo, gb::kMenuRedoSize, &TextView::redo, !readOnly_ && history_.canRedo()},
        {nullptr, 0, nullptr, false},
        {gb::kMenuCut, gb::kMenuCutSize, &TextView::cut, !readOnly_ && selected},
        {gb::kMenuCopy, gb::kMenuCopySize, nullptr, selected || (copiesWholeText_ && text_.size() > 0)},
        {gb::kMenuPaste, gb::kMenuPasteSize, &TextView::paste, !readOnly_ && canPaste},
        {gb::kMenuDelete, gb::kMenuDeleteSize, &TextView::deleteSelection, !readOnly_ && selected},
        {nullptr, 0, nullptr, false},
        {gb::kMenuSelectAll, gb::kMenuSelectAllSize, &TextView::selectAll, text_.size() > 0},
    };
    for (const Item& item : items) {
        if (!item.text) {
            menu.addSeparator();
            continue;
        }
        QAction* a = menu.addAction(Gb(item.text, item.size));
        a->setEnabled(item.enabled);
        if (item.action)
            connect(a, &QAction::triggered, this, item.action);
        else
            connect(a, &QAction::triggered, this, [this] { copy(); });
    }
    addMenuSwitches(&menu);
    menu.exec(event->globalPos());
}

void TextView::setBorder(int border)
{
    border_ = border;
    const int w = EditBorderWidth(border);
    // The frame only reserves the width; event() paints it.
    setFrameStyle(w > 0 ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    setLineWidth(w);
    update();
}

void TextView::setWordWrap(bool wrap)
{
    wrap_ = wrap;
    layouts_.setWrap(wrap);
    layouts_.forgetWidest();
    updateScrollBars();
    viewport()->update();
}

void TextView::setAlignment(Qt::Alignment alignment)
{
    alignment_ = alignment;
    layouts_.setAlignment(alignment);
    viewport()->update();
}

void TextView::setReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    setAttribute(Qt::WA_InputMethodEnabled, !readOnly);
}

} // namespace mt::platform
