// The reference for the window benchmarks: a bare QPlainTextEdit in a
// window of the tool's size, at the place of the tool's big text box, with
// nothing behind it (no count, no handlers).
#include <QApplication>
#include <QPlainTextEdit>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare QPlainTextEdit"));
    window.setFixedSize(522, 341);
    QPlainTextEdit edit(&window);
    edit.setGeometry(4, 4, 513, 251);
    window.show();
    return app.exec();
}
