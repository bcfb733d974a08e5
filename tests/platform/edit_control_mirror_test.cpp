// The single-line edit control's byte mirror against a fresh conversion of
// what the line edit holds, after random user edits of mixed text: typing,
// Enter, deleting selections, pasting, undo and redo, input-method commits
// and the control's own replaceSelection.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>

#include <random>

#include "edit_test_support.h"
#include "platform/edit_control.h"
#include "platform/text_codec.h"

namespace mt::platform {
namespace {

using test::Press;
using test::Widget;

const QString kPieces[] = {
    "a",
    "xyz",
    QString::fromUtf8("中文"),
    QString(QChar(0xA0)),
    QString(QChar(0x2028)),
    QString::fromUtf8("\xF0\x9F\x98\x80"),
    "\r\n",
    "\n",
    "\r",
    QString::fromUtf8("网页<b>源码</b>"),
    "9",
};

QString RandomText(std::mt19937& rng, int pieces)
{
    QString s;
    for (int i = 0; i < pieces; ++i)
        s += kPieces[rng() % std::size(kPieces)];
    return s;
}

std::string Fresh(QLineEdit* w) { return ToGb(w->text()); }

int TextLength(QLineEdit* w) { return static_cast<int>(w->text().size()); }

// Selects units [a, b) the way a user would, never inside a pair.
void SelectUnits(QLineEdit* w, int a, int b)
{
    const QString text = w->text();
    auto fix = [&](int p) { return p > 0 && p < text.size() && text[p].isLowSurrogate() ? p - 1 : p; };
    a = fix(a);
    b = fix(b);
    w->setSelection(a, b - a);
}

void RandomEdit(std::mt19937& rng, EditControl* edit)
{
    auto* w = static_cast<QLineEdit*>(Widget(edit->handle()));
    const int n = TextLength(w);
    const int a = static_cast<int>(rng() % (n + 1));
    const int b = std::min(n, a + static_cast<int>(rng() % 6));
    SelectUnits(w, a, rng() % 3 == 0 ? b : a);
    switch (rng() % 8) {
    case 0: test::Type(w, RandomText(rng, 1).remove('\r').remove('\n')); break;
    case 1: Press(w, Qt::Key_Return, "\r"); break;
    case 2: Press(w, rng() % 2 ? Qt::Key_Backspace : Qt::Key_Delete); break;
    case 3:
        QGuiApplication::clipboard()->setText(RandomText(rng, 1 + static_cast<int>(rng() % 40)));
        w->paste();
        break;
    case 4: Press(w, Qt::Key_Z, {}, Qt::ControlModifier); break;
    case 5: Press(w, Qt::Key_Z, {}, Qt::ControlModifier | Qt::ShiftModifier); break;
    case 6: {
        QInputMethodEvent commit;
        commit.setCommitString(RandomText(rng, 2).remove('\r').remove('\n'));
        QApplication::sendEvent(w, &commit);
        break;
    }
    case 7: edit->replaceSelection(ToGb(RandomText(rng, 3))); break;
    }
}

TEST(EditControlMirror, StaysEqualToAFreshConversionUnderRandomEdits)
{
    test::Recorder recorder;
    auto window = test::MakeWindow();
    std::mt19937 rng(5);
    EditControl& edit = *test::MakeEdit(window.get(), &recorder, {}, ToGb(RandomText(rng, 200)), {0, 0, 300, 200});
    auto* w = static_cast<QLineEdit*>(Widget(edit.handle()));
    SetFocusWindow(edit.handle());
    for (int step = 0; step < 1500; ++step) {
        RandomEdit(rng, &edit);
        ASSERT_EQ(edit.text(), Fresh(w)) << "step " << step;
    }
    // Positions agree too: the start of a selection in bytes is the length
    // of the text before it.
    for (int step = 0; step < 50; ++step) {
        const int a = static_cast<int>(rng() % (TextLength(w) + 1));
        SelectUnits(w, a, a);
        const std::string before = edit.text().substr(0, static_cast<size_t>(edit.selectionStart()));
        ASSERT_EQ(before, ToGb(w->text().left(w->cursorPosition())));
    }
}

} // namespace
} // namespace mt::platform
