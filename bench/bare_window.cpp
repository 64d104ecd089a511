// The floor the window program is measured against: a Qt Widgets program with a frameless window
// of the program's size, a plain text box and a button, and nothing else. Whatever start-up time
// and memory this costs, Qt itself sets; bench/startup.sh measures both programs side by side.

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setFixedSize(356, 236);
    QPlainTextEdit box(&window);
    box.setGeometry(32, 28, 305, 162);
    QPushButton button(QStringLiteral("OK"), &window);
    button.setGeometry(256, 200, 81, 25);
    window.show();
    return QApplication::exec();
}
