#include "platform/input_dialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDialog>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <utility>

#include "platform/application.h"
#include "platform/dialog_hook.h"
#include "platform/edit/edit_widgets.h"
#include "platform/platform_texts.h"
#include "platform/text_codec.h"

namespace mt::platform {
namespace {

// A control of a dialog template, in dialog units.
struct TemplateItem {
    int x, y, width, height;
};

struct DialogTemplate {
    int id;
    int width, height;
    bool hasPrompt;
    TemplateItem frame, prompt, edit, ok, cancel;
};

constexpr DialogTemplate kWithPrompt{kInputTemplateWithPrompt, 252, 92, true, {7, 7, 238, 35}, {12, 11, 229, 27}, {7, 45, 238, 12}, {63, 66, 55, 19}, {134, 66, 55, 19}};
constexpr DialogTemplate kShort{kInputTemplateShort, 214, 56, false, {}, {}, {7, 7, 200, 12}, {82, 30, 55, 19}, {151, 30, 55, 19}};

// Dialog units of a font: a horizontal unit is a quarter of its average
// character width, a vertical unit an eighth of its height.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font)
    {
        const QFontMetrics fm(font);
        const int letters = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
        averageWidth_ = std::max(1, (letters / 26 + 1) / 2);
        height_ = std::max(1, fm.height());
    }
    int x(int units) const { return MulDiv(units, averageWidth_, 4); }
    int y(int units) const { return MulDiv(units, height_, 8); }
    QRect rect(const TemplateItem& item) const { return {x(item.x), y(item.y), x(item.width), y(item.height)}; }

private:
    static int MulDiv(int a, int b, int c) { return (a * b + c / 2) / c; }
    int averageWidth_;
    int height_;
};

QString Gb(const char* text, unsigned size) { return FromGb(std::string_view(text, size)); }

// The templates' font, 9-point "宋体"; where it is not installed, a face
// that has the double-byte characters takes its place.
QFont DialogFont()
{
    QFont font;
    font.setFamilies({Gb(gb::kSongTiFace, gb::kSongTiFaceSize), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC")});
    font.setPointSize(9);
    return font;
}

class InputDialogWidget : public QDialog {
public:
    InputDialogWidget(const ShownInputDialog& shown, QWidget* parent);
    std::string resultText() const { return ToGb(inUse_->text()); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EditLineWidget* makeEdit(const char* name, const QRect& rect);
    QPushButton* makeButton(const char* name, const QString& text, const QRect& rect);

    EditLineWidget* inUse_ = nullptr;
};

InputDialogWidget::InputDialogWidget(const ShownInputDialog& shown, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    const DialogTemplate& t = shown.templateId == kInputTemplateWithPrompt ? kWithPrompt : kShort;
    setFont(DialogFont());
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(shown.title.empty() ? Gb(gb::kInputDialogCaption, gb::kInputDialogCaptionSize)
                                       : FromGb(shown.title));
    const DialogUnits du(font());
    setFixedSize(du.x(t.width), du.y(t.height));
    if (t.hasPrompt) {
        auto* frame = new QFrame(this);
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        frame->setGeometry(du.rect(t.frame));
        auto* prompt = new QLabel(FromGb(shown.prompt), this);
        prompt->setObjectName(QStringLiteral("label1128"));
        prompt->setTextFormat(Qt::PlainText);
        prompt->setWordWrap(true);
        prompt->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        prompt->setGeometry(du.rect(t.prompt));
    }
    EditLineWidget* plain = makeEdit("edit1001", du.rect(t.edit));
    EditLineWidget* masked = makeEdit("edit1002", du.rect(t.edit));
    masked->setPasswordChar(u'*');
    inUse_ = shown.mode == 4 ? masked : plain;
    (inUse_ == plain ? masked : plain)->hide();
    inUse_->setFilter(shown.mode == 2   ? CharFilter::kSignedDigits
                      : shown.mode == 3 ? CharFilter::kDecimal
                                        : CharFilter::kAll);
    inUse_->setText(FromGb(shown.initial));
    inUse_->selectAll();
    if (!shown.completions.empty() && shown.mode != 4) {
        QStringList texts;
        for (const std::string& c : shown.completions)
            texts.append(FromGb(c));
        auto* completer = new QCompleter(texts, this);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        completer->setFilterMode(Qt::MatchContains);
        inUse_->setCompleter(completer);
        // Enter with the list open reads at once: the highlighted address, or
        // the typed one when none is highlighted. The list on its own would
        // only close, and a second Enter would be needed.
        completer->popup()->installEventFilter(this);
    }
    QPushButton* ok = makeButton("button1", Gb(gb::kInputDialogOk, gb::kInputDialogOkSize), du.rect(t.ok));
    QPushButton* cancel = makeButton("button2", Gb(gb::kInputDialogCancel, gb::kInputDialogCancelSize), du.rect(t.cancel));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(inUse_, ok);
    setTabOrder(ok, cancel);
    inUse_->setFocus();
}

bool InputDialogWidget::eventFilter(QObject* watched, QEvent* event)
{
    QCompleter* completer = inUse_->completer();
    if (event->type() != QEvent::KeyPress || !completer || watched != completer->popup())
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    const QModelIndex current = completer->popup()->currentIndex();
    if (current.isValid())
        inUse_->setText(current.data(completer->completionRole()).toString());
    completer->popup()->hide();
    accept();
    return true;
}

EditLineWidget* InputDialogWidget::makeEdit(const char* name, const QRect& rect)
{
    auto* edit = new EditLineWidget(this);
    edit->setObjectName(QLatin1String(name));
    edit->setBorder(1);
    edit->setGeometry(rect);
    return edit;
}

QPushButton* InputDialogWidget::makeButton(const char* name, const QString& text, const QRect& rect)
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(rect);
    return button;
}

} // namespace

std::vector<std::string>& OfferedCompletions()
{
    static std::vector<std::string> offered;
    return offered;
}

void OfferCompletionsOnce(std::vector<std::string> completions) { OfferedCompletions() = std::move(completions); }

InputDialogAnswer ShowInputDialog(const InputDialogRequest& request)
{
    const ShownInputDialog shown{request.prompt, request.title, request.initial, std::clamp(request.mode, 1, 4),
                                 request.prompt.empty() ? kInputTemplateShort : kInputTemplateWithPrompt,
                                 std::exchange(OfferedCompletions(), {})};
    if (DialogHook* hook = CurrentDialogHook()) {
        if (std::optional<InputDialogAnswer> answer = hook->answerInputDialog(shown))
            return *answer;
    }
    EnsureApplication();
    InputDialogWidget dialog(shown, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return {true, dialog.resultText()};
}

} // namespace mt::platform
