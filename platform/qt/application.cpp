// The program's life on Qt: the application object, the notification loop and its end.

#include "desktop/version.h"
#include "platform/ui.h"

#include <QApplication>
#include <QIcon>
#include <QWidget>

#include <memory>

namespace ui {
namespace {
std::unique_ptr<QApplication> application;
}

void Open(int& argc, char** argv) {
    application = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quinbray"));
    QApplication::setApplicationVersion(QString::fromLatin1(version::kShown));
    QApplication::setDesktopFileName(QString::fromLatin1(version::kAppId));
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/icons/%1-%2.png").arg(version::kAppId).arg(size));
    QApplication::setWindowIcon(icon);
    // Only End ends the program; hiding the last visible window for the other must not.
    QApplication::setQuitOnLastWindowClosed(false);
}

int Run() {
    const int status = QApplication::exec();
    application.reset(); // runs the teardown while Qt still stands
    return status;
}

void End(int status) {
    for (QWidget* window : QApplication::topLevelWidgets())
        window->hide();
    QCoreApplication::exit(status);
}

void AtTeardown(void (*release)()) {
    qAddPostRoutine(release);
}

} // namespace ui
