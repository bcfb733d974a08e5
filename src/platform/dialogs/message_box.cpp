#include "platform/message_box.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

#include "platform/application.h"
#include "platform/application/standard_texts.h"
#include "platform/dialog_hook.h"
#include "platform/text_codec.h"

namespace mt::platform {
namespace {

QMessageBox::ButtonRole ButtonRole(int id)
{
    switch (id) {
    case kIdOk:
    case kIdYes:
    case kIdRetry: return QMessageBox::AcceptRole;
    case kIdNo: return QMessageBox::NoRole;
    case kIdCancel: return QMessageBox::RejectRole;
    }
    return QMessageBox::ActionRole;
}

QMessageBox::Icon Icon(uint32_t style)
{
    switch (style & kMbIconMask) {
    case 0x10: return QMessageBox::Critical;
    case 0x20: return QMessageBox::Question;
    case 0x30: return QMessageBox::Warning;
    case 0x40: return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// The answer when the box is closed without a button (Esc, close box):
// Cancel where there is one, OK for a lone OK, else no answer at all.
int EscapeAnswer(const std::vector<int>& buttons)
{
    for (int b : buttons) {
        if (b == kIdCancel)
            return kIdCancel;
    }
    return buttons.size() == 1 ? buttons[0] : 0;
}

// A message box sizes itself to its text; a short text would cut its caption
// off, so leave room for the caption as well.
void KeepCaptionReadable(QMessageBox& mb)
{
    auto* grid = qobject_cast<QGridLayout*>(mb.layout());
    if (!grid)
        return;
    const int width = mb.fontMetrics().horizontalAdvance(mb.windowTitle()) + 120;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

// A box of several buttons without Cancel is answered by a button only:
// Esc and the close box leave it open.
class ButtonOnly : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        return event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    }
};

int ShowReal(const ShownMessageBox& box)
{
    EnsureApplication();
    QMessageBox mb;
    // A title and a close button only: no system menu, nothing to resize.
    mb.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    mb.setWindowTitle(FromGb(box.caption));
    mb.setTextFormat(Qt::PlainText); // the content is shown as it is, never as markup
    mb.setText(FromGb(box.text));
    mb.setIcon(Icon(box.style));
    mb.setWindowModality(Qt::ApplicationModal);
    const std::vector<int> buttons = MessageBoxButtons(box.style);
    std::vector<std::pair<QAbstractButton*, int>> map;
    map.reserve(buttons.size());
    for (int id : buttons)
        map.emplace_back(mb.addButton(StandardButtonText(id), ButtonRole(id)), id);
    size_t def = (box.style & kMbDefaultMask) >> 8;
    if (def < map.size())
        mb.setDefaultButton(static_cast<QPushButton*>(map[def].first));
    const int escape = EscapeAnswer(buttons);
    for (auto& [button, id] : map) {
        if (id == escape)
            mb.setEscapeButton(button);
    }
    ButtonOnly buttonOnly;
    if (escape == 0)
        mb.installEventFilter(&buttonOnly);
    KeepCaptionReadable(mb);
    mb.exec();
    for (auto& [button, id] : map) {
        if (mb.clickedButton() == button)
            return id;
    }
    return escape;
}

} // namespace

std::vector<int> MessageBoxButtons(uint32_t style)
{
    switch (style & kMbButtonMask) {
    case 1: return {kIdOk, kIdCancel};
    case 2: return {kIdAbort, kIdRetry, kIdIgnore};
    case 3: return {kIdYes, kIdNo, kIdCancel};
    case 4: return {kIdYes, kIdNo};
    case 5: return {kIdRetry, kIdCancel};
    }
    return {kIdOk};
}

int DefaultMessageBoxAnswer(uint32_t style)
{
    const std::vector<int> buttons = MessageBoxButtons(style);
    size_t def = (style & kMbDefaultMask) >> 8;
    return def < buttons.size() ? buttons[def] : buttons[0];
}

int ShowMessageBox(std::string_view text, std::string_view caption, uint32_t style)
{
    ShownMessageBox box{std::string(text), std::string(caption), style};
    if (DialogHook* hook = CurrentDialogHook()) {
        if (std::optional<int> answer = hook->answerMessageBox(box))
            return *answer;
    }
    return ShowReal(box);
}

} // namespace mt::platform
