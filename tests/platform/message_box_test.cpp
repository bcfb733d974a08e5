// The real message box (no script): for each style, the buttons and what
// each answers, the icon, the default button, what Esc does, the modality
// and the content shown as plain text.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <functional>

#include "platform/application.h"
#include "platform/message_box.h"
#include "platform/testing/dialog_script.h"
#include "platform/text_codec.h"

namespace mt::platform {
namespace {

// Shows a real box; `interact` gets it from inside the modal loop and must
// close it. A fallback closes it should the test not.
int RunBox(uint32_t style, const std::function<void(QMessageBox*)>& interact)
{
    EnsureApplication();
    EndDialogScript();
    QTimer::singleShot(0, [interact] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        EXPECT_NE(box, nullptr);
        if (box)
            interact(box);
    });
    QTimer fallback;
    fallback.setSingleShot(true);
    QObject::connect(&fallback, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->buttons().front()->click();
    });
    fallback.start(5000);
    return ShowMessageBox("<b>a</b>&amp;", "c", style);
}

void PressEscape(QMessageBox* box)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(box, &press);
}

TEST(MessageBoxReal, EveryStyleShowsItsButtonsIconDefaultAndEscapeAnswer)
{
    struct Case {
        uint32_t style;
        std::vector<int> buttons; // ascending
        QMessageBox::Icon icon;
        int defaultAnswer;
        int escapeAnswer; // 0: Esc leaves the box open
    };
    const Case cases[] = {
        {0x2000, {kIdOk}, QMessageBox::NoIcon, kIdOk, kIdOk},
        {0x2011, {kIdOk, kIdCancel}, QMessageBox::Critical, kIdOk, kIdCancel},
        {0x2122, {kIdAbort, kIdRetry, kIdIgnore}, QMessageBox::Question, kIdRetry, 0},
        {0x2233, {kIdCancel, kIdYes, kIdNo}, QMessageBox::Warning, kIdCancel, kIdCancel},
        {0x2144, {kIdYes, kIdNo}, QMessageBox::Information, kIdNo, 0},
        {0x1005, {kIdCancel, kIdRetry}, QMessageBox::NoIcon, kIdRetry, kIdCancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        size_t buttonCount = 0;
        const int escaped = RunBox(c.style, [&](QMessageBox* box) {
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            EXPECT_EQ(box->text(), "<b>a</b>&amp;");
            EXPECT_EQ(box->icon(), c.icon);
            // Task- and system-modal boxes both keep the program's windows
            // from input while they are shown.
            EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
            buttonCount = box->buttons().size();
            PressEscape(box);
            if (box->isVisible()) // still open: answer it with the default
                box->defaultButton()->click();
        });
        EXPECT_EQ(escaped, c.escapeAnswer ? c.escapeAnswer : c.defaultAnswer);
        EXPECT_EQ(RunBox(c.style, [](QMessageBox* box) { box->defaultButton()->click(); }), c.defaultAnswer);
        std::vector<int> answers;
        for (size_t i = 0; i < buttonCount; ++i)
            answers.push_back(RunBox(c.style, [i](QMessageBox* box) { box->buttons().at(i)->click(); }));
        std::sort(answers.begin(), answers.end());
        EXPECT_EQ(answers, c.buttons);
    }
}

TEST(MessageBoxReal, ABoxWithoutCancelStaysOpenWhenClosedWithoutAButton)
{
    const int answer = RunBox(0x2004, [](QMessageBox* box) {
        box->close();
        EXPECT_TRUE(box->isVisible());
        box->buttons().front()->click();
    });
    EXPECT_TRUE(answer == kIdYes || answer == kIdNo);
}

} // namespace
} // namespace mt::platform
