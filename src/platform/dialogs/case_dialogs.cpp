#include "platform/case_dialogs.h"
#include "platform/start_directory.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/application.h"
#include "platform/dialog_hook.h"
#include "platform/platform_texts.h"
#include "platform/text_codec.h"

namespace mt::platform {
namespace {

QString Local(std::string_view path) { return QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size())); }

// The list and its two buttons; Enter and a double click accept the row
// chosen, Esc and the close box cancel.
class PickListDialog final : public QDialog {
public:
    PickListDialog(const PickListRequest& request, QWidget* parent) : QDialog(parent)
    {
        setWindowTitle(FromGb(request.title));
        auto* layout = new QVBoxLayout(this);
        if (!request.prompt.empty())
            layout->addWidget(new QLabel(FromGb(request.prompt), this));
        list_ = new QListWidget(this);
        for (const std::string& item : request.items)
            list_->addItem(FromGb(item));
        list_->setCurrentRow(0);
        list_->setMinimumWidth(420);
        layout->addWidget(list_);
        auto* buttons = new QDialogButtonBox(this);
        buttons->addButton(FromGb(gb::kButtonOk), QDialogButtonBox::AcceptRole)->setDefault(true);
        buttons->addButton(FromGb(gb::kButtonCancel), QDialogButtonBox::RejectRole);
        layout->addWidget(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    }
    int row() const { return list_->currentRow(); }

private:
    QListWidget* list_ = nullptr;
};

} // namespace

FileDialogAnswer AskForFile(const FileDialogRequest& request)
{
    if (DialogHook* hook = CurrentDialogHook()) {
        if (std::optional<FileDialogAnswer> answer = hook->answerFileDialog(request))
            return *answer;
    }
    EnsureApplication();
    const QString title = FromGb(request.title), filter = FromGb(request.filter);
    // With no folder of its own, the dialog opens where the program was
    // started, not in the program's folder that start-up made current.
    const QString directory = Local(request.directory.empty() ? FromStartDirectory(".") : request.directory);
    QWidget* parent = QApplication::activeWindow();
    const QString chosen = request.save ? QFileDialog::getSaveFileName(parent, title, directory, filter)
                                        : QFileDialog::getOpenFileName(parent, title, directory, filter);
    if (chosen.isEmpty())
        return {};
    return {true, chosen.toLocal8Bit().toStdString()};
}

int PickFromList(const PickListRequest& request)
{
    if (request.items.empty())
        return -1;
    if (DialogHook* hook = CurrentDialogHook()) {
        if (std::optional<int> answer = hook->answerPickList(request))
            return *answer >= 0 && static_cast<size_t>(*answer) < request.items.size() ? *answer : -1;
    }
    EnsureApplication();
    PickListDialog dialog(request, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return -1;
    return dialog.row();
}

} // namespace mt::platform
