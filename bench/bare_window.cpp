// The floor for start-up time and memory: a Qt Widgets program that shows one empty window
// of the calculator's size and nothing else. Built WITH_CAPTION, the window also shows one
// label, to tell what laying out any text at all costs.

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.setFixedSize(345, 186);
#ifdef WITH_CAPTION
    auto* caption = new QLabel(QStringLiteral("Excitation Voltage"), &window);
    caption->setGeometry(16, 8, 65, 25);
#endif
    window.show();
    return QApplication::exec();
}
