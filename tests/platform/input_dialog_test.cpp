// The input dialog: scripted answers and what they record, and the real
// dialog driven from inside its modal loop.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCompleter>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include "edit_test_support.h"
#include "platform/dialog_hook.h"
#include "platform/input_dialog.h"
#include "platform/message_box.h"
#include "platform/testing/dialog_script.h"
#include "platform/text_codec.h"

namespace mt::platform {
namespace {

using test::Press;
using test::Type;

// GB18030 of 请输入： (the default caption) and of 姓名 (a prompt).
const std::string kDefaultCaption = "\xC7\xEB\xCA\xE4\xC8\xEB\xA3\xBA";
const std::string kName = "\xD0\xD5\xC3\xFB";

struct ScriptGuard {
    ~ScriptGuard() { EndDialogScript(); }
};

TEST(InputDialogScript, AnswersInOrderAndRecordsWhatWasShown)
{
    ScriptGuard guard;
    ScriptInputDialogs({{true, "abc"}, {false, ""}});
    EXPECT_TRUE(DialogScriptActive());
    const InputDialogAnswer first = ShowInputDialog({kName, "T", "init", 7});
    EXPECT_TRUE(first.ok);
    EXPECT_EQ(first.text, "abc");
    EXPECT_FALSE(ShowInputDialog({"", "", "x", 0}).ok);
    const InputDialogAnswer third = ShowInputDialog({"", "", "dflt", -3}); // script ran out: as Enter
    EXPECT_TRUE(third.ok);
    EXPECT_EQ(third.text, "dflt");
    const auto& shown = ShownInputDialogs();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].prompt, kName);
    EXPECT_EQ(shown[0].title, "T");
    EXPECT_EQ(shown[0].initial, "init");
    EXPECT_EQ(shown[0].mode, 4);
    EXPECT_EQ(shown[0].templateId, kInputTemplateWithPrompt);
    EXPECT_EQ(shown[1].mode, 1);
    EXPECT_EQ(shown[1].templateId, kInputTemplateShort);
    EXPECT_EQ(shown[2].mode, 1);
    EndDialogScript();
    EXPECT_FALSE(InputDialogScriptActive());
    EXPECT_TRUE(ShownInputDialogs().empty());
}

TEST(InputDialogScript, AMessageBoxScriptKeepsTheDialogAway)
{
    ScriptGuard guard;
    ScriptMessageBoxes({});
    EXPECT_TRUE(ShowInputDialog({"", "", "kept", 1}).ok);
    ScriptInputDialogs({});
    EXPECT_EQ(ShowMessageBox("m", "c", 1), kIdOk); // and the other way round
}

// The product's side of the scripts: one hook sees both kinds of dialog, and
// what it answers is the answer.
TEST(DialogHook, AnswersBothKindsOfDialogInsteadOfShowingThem)
{
    struct Recording final : DialogHook {
        std::optional<int> answerMessageBox(const ShownMessageBox& box) override
        {
            seen.push_back("box " + box.text + " " + box.caption + " " + std::to_string(box.style));
            return kIdRetry;
        }
        std::optional<InputDialogAnswer> answerInputDialog(const ShownInputDialog& dialog) override
        {
            seen.push_back("input " + dialog.prompt + " " + dialog.initial + " " + std::to_string(dialog.templateId));
            return InputDialogAnswer{true, "typed"};
        }
        std::vector<std::string> seen;
    } hook;
    DialogHook* const before = CurrentDialogHook();
    SetDialogHook(&hook);
    EXPECT_EQ(ShowMessageBox("m", "c", 0x25), kIdRetry);
    const InputDialogAnswer answer = ShowInputDialog({"p", "", "i", 1});
    SetDialogHook(before);
    EXPECT_TRUE(answer.ok);
    EXPECT_EQ(answer.text, "typed");
    EXPECT_EQ(hook.seen, (std::vector<std::string>{"box m c 37", "input p i 1037"}));
}

// Runs the real dialog; `interact` gets it from inside the modal loop and
// must close it. A fallback closes it should the test not.
InputDialogAnswer RunDialog(const InputDialogRequest& request, const std::function<void(QDialog*)>& interact)
{
    EnsureApplication();
    EndDialogScript();
    QTimer::singleShot(0, [interact] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        EXPECT_NE(dialog, nullptr);
        if (dialog)
            interact(dialog);
    });
    QTimer fallback;
    fallback.setSingleShot(true);
    QObject::connect(&fallback, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    fallback.start(5000);
    return ShowInputDialog(request);
}

// The size of so many dialog units in the dialog's font.
QSize DialogSize(const QDialog* d, int widthUnits, int heightUnits)
{
    const QFontMetrics fm(d->font());
    const int average = (fm.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2;
    return {(widthUnits * average + 2) / 4, (heightUnits * fm.height() + 4) / 8};
}

TEST(InputDialogReal, ShowsThePromptAndTheInitialTextSelected)
{
    const InputDialogAnswer answer = RunDialog({kName, "", "old", 1}, [](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), FromGb(kDefaultCaption));
        EXPECT_EQ(d->size(), DialogSize(d, 252, 92));
        auto* label = d->findChild<QLabel*>("label1128");
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), FromGb(kName));
        auto* edit = d->findChild<QLineEdit*>("edit1001");
        EXPECT_FALSE(edit->isHidden());
        EXPECT_TRUE(d->findChild<QLineEdit*>("edit1002")->isHidden());
        EXPECT_EQ(d->focusWidget(), edit);
        EXPECT_EQ(edit->selectedText(), "old");
        EXPECT_TRUE(d->findChild<QPushButton*>("button1")->isDefault());
        Type(edit, "new"); // typing replaces the selected initial text
        d->findChild<QPushButton*>("button1")->click();
    });
    EXPECT_TRUE(answer.ok);
    EXPECT_EQ(answer.text, "new");
}

// With the list of recent addresses open, the first Enter reads: the
// highlighted address, or the typed one when none is highlighted.
TEST(InputDialogReal, EnterInTheOpenCompletionListConfirmsTheDialog)
{
    struct Case {
        int downs; // rows highlighted with the down arrow
        QString expected;
    };
    const Case cases[] = {{1, "http://b.example/one"}, {2, "http://b.example/two"}, {0, "http://b.ex"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.downs);
        OfferCompletionsOnce({"http://a.example/", "http://b.example/one", "http://b.example/two"});
        const InputDialogAnswer answer = RunDialog({kName, "", "http://", 1}, [&](QDialog* d) {
            auto* edit = d->findChild<QLineEdit*>("edit1001");
            ASSERT_NE(edit->completer(), nullptr);
            edit->setText("http://b.e");
            QTest::keyClick(edit, Qt::Key_X);
            QAbstractItemView* list = edit->completer()->popup();
            ASSERT_TRUE(list->isVisible());
            for (int i = 0; i < c.downs; ++i)
                QTest::keyClick(list, Qt::Key_Down);
            QTest::keyClick(list, Qt::Key_Return);
            EXPECT_FALSE(d->isVisible()); // one Enter: the dialog is done
        });
        EXPECT_TRUE(answer.ok);
        EXPECT_EQ(FromGb(answer.text), c.expected);
    }
}

TEST(InputDialogReal, ShortTemplateHasNoPromptAndTakesTheTitle)
{
    const InputDialogAnswer answer = RunDialog({"", "Title", "", 1}, [](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Title");
        EXPECT_EQ(d->size(), DialogSize(d, 214, 56));
        EXPECT_EQ(d->findChild<QLabel*>("label1128"), nullptr);
        Press(d->findChild<QLineEdit*>("edit1001"), Qt::Key_Return, "\r"); // Enter presses OK
    });
    EXPECT_TRUE(answer.ok);
    EXPECT_EQ(answer.text, "");
}

TEST(InputDialogReal, PasswordModeMasksAndEscapeCancels)
{
    const InputDialogAnswer answer = RunDialog({"p", "", "abc", 9}, [](QDialog* d) {
        auto* edit = d->findChild<QLineEdit*>("edit1002");
        EXPECT_FALSE(edit->isHidden());
        EXPECT_TRUE(d->findChild<QLineEdit*>("edit1001")->isHidden());
        EXPECT_EQ(edit->displayText(), "***");
        EXPECT_EQ(d->focusWidget(), edit);
        Press(edit, Qt::Key_Escape);
    });
    EXPECT_FALSE(answer.ok);
}

TEST(InputDialogReal, NumberModesFilterTypedCharacters)
{
    struct Row {
        int mode;
        QString typed;
        std::string kept;
    };
    for (const Row& row : {Row{2, "a-1.5x", "-15"}, Row{3, "a-1.5x", "-1.5"}, Row{1, "a-1", "a-1"}}) {
        const InputDialogAnswer answer = RunDialog({"", "", "", row.mode}, [&](QDialog* d) {
            Type(d->findChild<QLineEdit*>("edit1001"), row.typed);
            d->accept();
        });
        EXPECT_EQ(answer.text, row.kept) << row.mode;
    }
}

} // namespace
} // namespace mt::platform
