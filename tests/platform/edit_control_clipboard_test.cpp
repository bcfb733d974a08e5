// An edit box's clipboard, drops and redo key, and the characters the system
// converter leaves out, on real widgets.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>

#include <string>

#include "abi/gb18030.h"
#include "edit_test_support.h"
#include "platform/edit/edit_widgets.h"
#include "platform/system/text_mime.h"

namespace mt::platform {
namespace {

using test::Press;
using test::Type;
using test::Widget;

const std::string kZhong = "\xD6\xD0"; // 中

struct EditClipboard : ::testing::Test {
    test::Recorder recorder;
    std::unique_ptr<QWidget> window = test::MakeWindow();

    EditControl* make(bool multiLine, std::string_view text = {}, int top = 10)
    {
        EditOptions o;
        o.multiLine = multiLine;
        return test::MakeEdit(window.get(), &recorder, o, text, {10, top, 200, multiLine ? 60 : 24});
    }
    static void key(EditControl* edit, int k, Qt::KeyboardModifiers mods = Qt::ControlModifier)
    {
        Press(Widget(edit->handle()), k, {}, mods);
    }
    static std::string clipboardBytes()
    {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        const QByteArray b = data ? data->data(QLatin1String(kGbMimeType)) : QByteArray();
        return std::string(b.constData(), static_cast<size_t>(b.size()));
    }
};

// Bytes that do not decode (FF) stay themselves through copy, cut and
// paste; other programs get the Unicode text.
TEST_F(EditClipboard, SingleLineCopyCutAndPasteKeepTheBytes)
{
    const std::string odd = "\xFF" + kZhong;
    EditControl* from = make(false, odd + "a");
    EditControl* to = make(false, "", 40);
    from->select(0, 3);
    key(from, Qt::Key_C);
    EXPECT_EQ(clipboardBytes(), odd);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("\xEF\xBF\xBD中"));
    key(to, Qt::Key_V);
    EXPECT_EQ(to->text(), odd);
    key(to, Qt::Key_V);
    EXPECT_EQ(to->text(), odd + odd);
    from->select(0, 3);
    key(from, Qt::Key_X);
    EXPECT_EQ(from->text(), "a");
    EXPECT_EQ(clipboardBytes(), odd);
    // A password box hands out nothing.
    to->setInputMode(2);
    to->select(0, 3);
    QGuiApplication::clipboard()->clear();
    key(to, Qt::Key_C);
    const QMimeData* after = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(!after || !after->hasFormat(QLatin1String(kGbMimeType)));
}

// A drop holding both forms is taken as its bytes, where it lands.
TEST_F(EditClipboard, SingleLineDropPrefersTheBytes)
{
    EditControl* edit = make(false, "ab");
    auto* line = static_cast<QLineEdit*>(Widget(edit->handle()));
    QMimeData data;
    data.setText(QStringLiteral("text"));
    data.setData(QLatin1String(kGbMimeType), QByteArray("\xFF\xD6\xD0"));
    const QPoint end(line->width() - 4, line->height() / 2);
    QDragEnterEvent enter(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(line, &enter);
    QDropEvent drop(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(line, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(edit->text(), "ab\xFF" + kZhong);
}

// Ctrl+Y redoes what Ctrl+Z undid, in both kinds of box. The offscreen
// platform has Windows keys, where Ctrl+Y redoes anyway; the X11 desktops'
// keys do not have it, so the key itself is checked too.
TEST_F(EditClipboard, CtrlYRedoes)
{
    const QKeyEvent ctrlY(QEvent::KeyPress, Qt::Key_Y, Qt::ControlModifier);
    const QKeyEvent ctrlShiftY(QEvent::KeyPress, Qt::Key_Y, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(IsRedoKey(&ctrlY));
    EXPECT_FALSE(IsRedoKey(&ctrlShiftY));
    for (bool multiLine : {false, true}) {
        EditControl* edit = make(multiLine, "x");
        edit->select(1, 0);
        Type(edit, "ab");
        key(edit, Qt::Key_Z);
        const std::string undone = edit->text();
        EXPECT_NE(undone, "xab") << multiLine;
        key(edit, Qt::Key_Y);
        EXPECT_EQ(edit->text(), "xab") << multiLine;
        key(edit, Qt::Key_Z);
        key(edit, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(edit->text(), "xab") << multiLine;
    }
}

// The 24 private-use characters take their GB18030 codes when pasted,
// typed or set, in both kinds of box.
TEST_F(EditClipboard, PrivateUseCharactersKeepTheirCodes)
{
    QString all;
    std::string bytes, fourByte;
    for (const gb18030::PrivateUse& u : gb18030::kPrivateUse) {
        all += QChar(static_cast<char16_t>(u.codePoint));
        bytes.append(reinterpret_cast<const char*>(u.bytes), u.length);
        if (u.length == 4)
            fourByte.append(reinterpret_cast<const char*>(u.bytes), u.length);
    }
    for (bool multiLine : {false, true}) {
        EditControl* edit = make(multiLine);
        QGuiApplication::clipboard()->setText(all);
        key(edit, Qt::Key_V);
        EXPECT_EQ(edit->text(), bytes) << multiLine;
        edit->setText("");
        Type(edit, all);
        EXPECT_EQ(edit->text(), bytes) << multiLine;
        edit->setText(fourByte);
        edit->select(0, static_cast<int64_t>(fourByte.size()));
        key(edit, Qt::Key_C);
        std::string copied;
        ASSERT_TRUE(TextFromMime(QGuiApplication::clipboard()->mimeData(), &copied));
        EXPECT_EQ(copied, fourByte) << multiLine;
    }
}

} // namespace
} // namespace mt::platform
