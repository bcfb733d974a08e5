// A single-line box's clipboard and drops. The line edit on its own would
// hand out and take in Unicode text only, which loses the bytes that do not
// decode; the box offers the exact bytes beside the text (text_mime.h) and
// takes them back when they are there.
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

#include "platform/edit/edit_core.h"
#include "platform/system/text_mime.h"
#include "platform/text_codec.h"

namespace mt::platform {

bool LineEditCore::lineClipboardEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key == QKeySequence::Copy)
            copyBytes();
        else if (key == QKeySequence::Cut)
            cutBytes();
        else if (key == QKeySequence::Paste)
            pasteBytes();
        else
            return false;
        key->accept();
        return true;
    }
    case QEvent::ContextMenu: {
        // The line edit's own menu, its cut, copy and paste ours.
        auto* request = static_cast<QContextMenuEvent*>(event);
        QMenu* menu = line_->createStandardContextMenu();
        for (QAction* action : menu->actions()) {
            const QString name = action->objectName();
            if (name != QLatin1String("edit-cut") && name != QLatin1String("edit-copy") &&
                name != QLatin1String("edit-paste"))
                continue;
            action->disconnect();
            connect(action, &QAction::triggered, this, [this, name] {
                if (name == QLatin1String("edit-cut"))
                    cutBytes();
                else if (name == QLatin1String("edit-copy"))
                    copyBytes();
                else
                    pasteBytes();
            });
        }
        QPointer<QMenu> alive(menu);
        menu->exec(request->globalPos());
        delete alive.data();
        request->accept();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        std::string gb;
        if (line_->isReadOnly() || drop->source() == line_ || !drop->mimeData()->hasFormat(QLatin1String(kGbMimeType)) ||
            !TextFromMime(drop->mimeData(), &gb))
            return false;
        line_->setCursorPosition(line_->cursorPositionAt(drop->position().toPoint()));
        insertBytes(gb);
        drop->acceptProposedAction();
        line_->setFocus(Qt::OtherFocusReason);
        return true;
    }
    default:
        return false;
    }
}

void LineEditCore::copyBytes() const
{
    // A password box gives nothing away, as the line edit's own copy.
    if (line_->echoMode() != QLineEdit::Normal || !line_->hasSelectedText())
        return;
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setMimeData(NewTextMime(selectedText()));
}

void LineEditCore::cutBytes()
{
    if (line_->isReadOnly() || !line_->hasSelectedText())
        return;
    copyBytes();
    line_->del(); // one undoable edit
}

void LineEditCore::pasteBytes()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    std::string gb;
    if (line_->isReadOnly() || !clipboard || !TextFromMime(clipboard->mimeData(), &gb))
        return;
    insertBytes(gb);
}

void LineEditCore::insertBytes(std::string_view gb)
{
    const QString text = FromGb(gb);
    // Bytes that read back from their decoding go in as the line edit's own
    // undoable insertion, through its filter, case and limit. Others (bytes
    // that do not decode) go in as they are, as replaceSelection puts them.
    if (ToGb(text) == gb || options_.caseConversion != 0 || line_->filter() != CharFilter::kAll)
        line_->insert(text);
    else
        replaceSelection(gb);
}

// ---- the multi-line box's keys ----------------------------------------------------------

void PlainEditBox::keyPressEvent(QKeyEvent* event)
{
    if (IsRedoKey(event)) {
        redo();
        event->accept();
        return;
    }
    TextView::keyPressEvent(event);
    if (OneRowText::Applies(*this))
        viewport()->update();
}

} // namespace mt::platform
