// The floor for start-up time and memory: a Qt Widgets program that shows one empty window
// of the calculator's size and nothing else. Built WITH_CAPTION, the window also shows one
// label, to tell what laying out any text at all costs. A label lays out its text only when
// it is first painted, after the window is mapped; built also with LAID_OUT, the label
// measures its text before the window is shown, as a window whose layout sizes it would, so
// that the fonts are loaded before the window is mapped.

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
#ifdef LAID_OUT
    (void)caption->sizeHint();
#endif
#endif
    window.show();
    return QApplication::exec();
}
