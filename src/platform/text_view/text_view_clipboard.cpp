// The multi-line box and the clipboard: copy, cut and paste, the PRIMARY
// selection, and drag and drop. Every text leaves in both forms (the exact
// GB18030 bytes beside Unicode, text_mime.h) and comes in as the bytes when
// they are there.
#include <QClipboard>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <QUrl>

#include <algorithm>

#include "platform/system/text_mime.h"
#include "platform/text_codec.h"
#include "platform/text_view/text_view.h"

namespace mt::platform {
namespace {

// The PRIMARY selection: what the view has selected at the moment another
// program asks, converted only then; nothing while nothing is selected.
class SelectionData : public QMimeData {
public:
    explicit SelectionData(const TextView* view) : view_(view) {}
    QStringList formats() const override
    {
        if (!selected())
            return {};
        return {QStringLiteral("text/plain"), QString::fromLatin1(kGbMimeType)};
    }
    bool hasFormat(const QString& mimeType) const override { return formats().contains(mimeType); }

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType) const override
    {
        if (!selected())
            return {};
        const std::string gb = view_->buffer().copy(view_->selectionStart(), view_->selectionEnd());
        if (mimeType == QLatin1String(kGbMimeType))
            return QByteArray(gb.data(), static_cast<qsizetype>(gb.size()));
        if (mimeType == QLatin1String("text/plain"))
            return FromGb(gb);
        return {};
    }

private:
    bool selected() const { return view_ && view_->selectionEnd() > view_->selectionStart(); }

    QPointer<const TextView> view_;
};

} // namespace

QMimeData* NewSelectionMime(const TextView* view) { return new SelectionData(view); }

void TextView::publishSelection() const
{
    QClipboard* clip = QGuiApplication::clipboard();
    if (caret_ != anchor_ && clip->supportsSelection())
        clip->setMimeData(NewSelectionMime(this), QClipboard::Selection);
}

void TextView::copy() const
{
    if (caret_ != anchor_)
        QGuiApplication::clipboard()->setMimeData(NewTextMime(text_.copy(selectionStart(), selectionEnd())));
    else if (copiesWholeText_ && text_.size() > 0)
        QGuiApplication::clipboard()->setMimeData(NewTextMime(text_.copy(0, text_.size())));
}

void TextView::cut()
{
    if (readOnly_ || caret_ == anchor_)
        return;
    copy();
    deleteSelection();
}

void TextView::paste()
{
    commitComposition();
    std::string gb;
    if (!readOnly_ && TextFromMime(QGuiApplication::clipboard()->mimeData(), &gb))
        insertBytesFromUser(std::move(gb));
}

void TextView::pastePrimary(const QPoint& point)
{
    QClipboard* clip = QGuiApplication::clipboard();
    if (readOnly_ || !clip->supportsSelection())
        return;
    // Read before the caret moves: the selection may be this view's own.
    std::string gb;
    const bool has = TextFromMime(clip->mimeData(QClipboard::Selection), &gb);
    setCaret(hit(point), false);
    if (has && !gb.empty())
        insertBytesFromUser(std::move(gb));
}

// ---- drag and drop ----------------------------------------------------------------------

void TextView::startDrag()
{
    QPointer<TextView> self(this);
    auto* drag = new QDrag(this);
    drag->setMimeData(NewTextMime(text_.copy(selectionStart(), selectionEnd())));
    mouse_.draggingOut = true;
    mouse_.movedInside = false;
    const Qt::DropAction action = drag->exec(readOnly_ ? Qt::CopyAction : Qt::CopyAction | Qt::MoveAction,
                                             readOnly_ ? Qt::CopyAction : Qt::MoveAction);
    if (!self)
        return;
    mouse_.draggingOut = false;
    // Moved elsewhere: the text leaves here (a move within was one edit already).
    if (action == Qt::MoveAction && !mouse_.movedInside && !readOnly_)
        deleteSelection();
}

namespace {

// The one local file a drop brings, if that is what it brings.
bool DroppedFilePath(const QMimeData* mime, QString* path)
{
    if (!mime || !mime->hasUrls())
        return false;
    const QList<QUrl> urls = mime->urls();
    if (urls.size() != 1 || !urls[0].isLocalFile())
        return false;
    *path = urls[0].toLocalFile();
    return true;
}

DroppedFile ReadDroppedFile(const QString& path)
{
    DroppedFile file;
    file.name = ToGb(path);
    const QFileInfo info(path);
    if (info.isDir()) {
        file.problem = DroppedFile::kDirectory;
        return file;
    }
    if (info.size() > kDroppedFileCap) {
        file.problem = DroppedFile::kTooBig;
        return file;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        file.problem = DroppedFile::kUnreadable;
        file.reason = ToGb(f.errorString());
        return file;
    }
    // Read with a bound: the file may have grown since it was measured.
    const QByteArray bytes = f.read(kDroppedFileCap + 1);
    if (f.error() != QFileDevice::NoError) {
        file.problem = DroppedFile::kUnreadable;
        file.reason = ToGb(f.errorString());
    } else if (bytes.size() > kDroppedFileCap) {
        file.problem = DroppedFile::kTooBig;
    } else {
        file.bytes.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
    }
    return file;
}

} // namespace

bool TextView::takesFile(const QMimeData* mime) const
{
    QString path;
    return !readOnly_ && host_ && DroppedFilePath(mime, &path);
}

void TextView::replaceAllFromUser(std::string_view gb)
{
    if (readOnly_)
        return;
    commitComposition();
    // A zero byte would end the text wherever a program reads it.
    std::string bytes(gb);
    bytes.erase(std::remove(bytes.begin(), bytes.end(), '\0'), bytes.end());
    edit(0, text_.size(), bytes, EditKind::kUser);
}

void TextView::dragEnterEvent(QDragEnterEvent* event)
{
    if (takesFile(event->mimeData())) {
        event->acceptProposedAction();
        return;
    }
    if (readOnly_ || !MimeHasText(event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void TextView::dragMoveEvent(QDragMoveEvent* event)
{
    if (!takesFile(event->mimeData()) && (readOnly_ || !MimeHasText(event->mimeData()))) {
        event->ignore();
        return;
    }
    mouse_.dropPos = hit(event->position().toPoint());
    if (mouse_.draggingOut && mouse_.dropPos > selectionStart() && mouse_.dropPos < selectionEnd())
        event->ignore(); // not into itself
    else
        event->acceptProposedAction();
    viewport()->update();
}

void TextView::dragLeaveEvent(QDragLeaveEvent*)
{
    mouse_.dropPos = SIZE_MAX;
    viewport()->update();
}

void TextView::dropEvent(QDropEvent* event)
{
    const size_t pos = hit(event->position().toPoint());
    mouse_.dropPos = SIZE_MAX;
    QString path;
    if (takesFile(event->mimeData()) && DroppedFilePath(event->mimeData(), &path)) {
        // The host decodes the bytes and puts them in place of the text.
        event->acceptProposedAction();
        viewport()->update();
        host_->editorFileDropped(ReadDroppedFile(path));
        return;
    }
    std::string gb;
    if (readOnly_ || !TextFromMime(event->mimeData(), &gb)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    if (mouse_.draggingOut && event->dropAction() == Qt::MoveAction) {
        mouse_.movedInside = true;
        moveSelectionTo(pos);
        return;
    }
    anchor_ = caret_ = pos;
    insertBytesFromUser(std::move(gb));
}

void TextView::moveSelectionTo(size_t pos)
{
    const size_t s = selectionStart();
    const size_t e = selectionEnd();
    if (pos >= s && pos <= e)
        return;
    const std::string moved = text_.copy(s, e);
    size_t from, to, movedAt;
    std::string replacement;
    if (pos < s) {
        from = pos;
        to = e;
        replacement = moved + text_.copy(pos, s);
        movedAt = pos;
    } else {
        from = s;
        to = pos;
        replacement = text_.copy(e, pos) + moved;
        movedAt = pos - moved.size();
    }
    edit(from, to, replacement, EditKind::kUser, false);
    anchor_ = movedAt;
    caret_ = movedAt + moved.size();
    caretMoved();
    if (host_)
        host_->editorTextEdited();
}

} // namespace mt::platform
