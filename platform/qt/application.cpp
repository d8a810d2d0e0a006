// The program's life on Qt: the application object, the notification loop and its end.

#include "desktop/version.h"
#include "platform/system.h"

#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace ui {
namespace {
std::unique_ptr<QApplication> application;
bool looping = false; // exec() is on the stack

// Qt's window system plugin ends the process with exit() from inside the loop once its
// display has gone (the X server or the Wayland compositor ended, or the connection broke).
// The exit handlers would then destroy the windows and the application object under the
// loop that is still running them, and the program would crash on its way out. Registered
// after Qt's own, so run before them: the program leaves at once, saying why, with the
// status Qt ends with there.
void LeaveWithoutDisplay() {
    if (!looping)
        return;
    std::fputs("Quinbray: the connection to the display is lost, so the program ends.\n", stderr);
    std::_Exit(1);
}
} // namespace

void Open(int& argc, char** argv) {
    application = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quinbray"));
    QApplication::setApplicationVersion(QString::fromLatin1(version::kShown));
    QApplication::setDesktopFileName(QString::fromLatin1(version::kAppId));
    // Read as PNG outright: left to guess, the reader would first load every image format
    // plugin to ask each whether it knows the file.
    QIcon icon;
    for (int size : {16, 32, 48}) {
        QImageReader png(QStringLiteral(":/icons/%1-%2.png").arg(version::kAppId).arg(size), "png");
        png.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(png.read()));
    }
    QApplication::setWindowIcon(icon);
    // Only End ends the program; hiding the last visible window for the other must not.
    QApplication::setQuitOnLastWindowClosed(false);
    std::atexit(LeaveWithoutDisplay);
}

int Run() {
    looping = true;
    const int status = QApplication::exec();
    looping = false;
    application.reset(); // runs the teardown while Qt still stands (see system::Make)
    return status;
}

void system::Stop(int status) {
    for (QWidget* window : QApplication::topLevelWidgets())
        window->hide();
    QCoreApplication::exit(status);
}

} // namespace ui
