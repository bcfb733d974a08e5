// The multi-line box's widget tests share a fixture: a shown view in a
// window, keys, clicks, and the caret's box.
#pragma once

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "edit_test_support.h"
#include "platform/system/text_mime.h"
#include "platform/text_codec.h"
#include "platform/text_view/text_view.h"
#include "platform/text_view/text_view_keys.h"

namespace mt::platform::test {

inline std::string Repeat(const std::string& s, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

inline const std::string kZhong = "\xD6\xD0"; // 中

struct TextViewTest : ::testing::Test {
    std::unique_ptr<QWidget> window = test::MakeWindow(400, 300);
    TextView* view = nullptr;

    void SetUp() override
    {
        view = new TextView(window.get());
        view->setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 10));
        view->setGeometry(10, 10, 200, 120);
        view->show();
        view->setFocus();
        QApplication::processEvents();
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {})
    {
        Press(view, k, text, mods);
    }
    void at(size_t pos) { view->selectBytes(pos, pos); }
    QRectF caretRect() const { return view->inputMethodQuery(Qt::ImCursorRectangle).toRectF(); }
    void mouse(QEvent::Type type, QPoint p, Qt::MouseButton button = Qt::LeftButton)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent e(type, p, view->viewport()->mapToGlobal(p), button, held, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &e);
    }
    void click(QPoint p)
    {
        mouse(QEvent::MouseButtonPress, p);
        mouse(QEvent::MouseButtonRelease, p);
    }
    // Where the row after the caret's starts.
    size_t nextRowStart(size_t pos)
    {
        at(pos);
        key(Qt::Key_Down);
        key(Qt::Key_Home);
        return view->caret();
    }
};

// Pixels of the view dark enough to be text or caret.
inline int DarkPixels(QWidget* viewport)
{
    const QImage image = viewport->grab().toImage();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qGray(image.pixel(x, y)) < 128;
    return n;
}

} // namespace mt::platform::test
