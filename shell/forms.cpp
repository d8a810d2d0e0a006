#include "shell/forms.h"

#include "desktop/version.h"
#include "helpwindow/helpfrm.h"
#include "mainwindow/mainfrm.h"
#include "shell/controls.h"

#include <QApplication>
#include <QIcon>

#include <memory>

namespace shell {
namespace {

std::unique_ptr<mainfrm> mainInstance;
std::unique_ptr<helpfrm> helpInstance;

// Windows must go before the application object does; Qt calls this from its destructor.
void DestroyForms() {
    helpInstance.reset();
    mainInstance.reset();
}

void DestroyFormsAtQuit() {
    static const bool registered = (qAddPostRoutine(DestroyForms), true);
    Q_UNUSED(registered);
}

template <class Form> Form& Shared(std::unique_ptr<Form>& instance) {
    if (!instance) {
        DestroyFormsAtQuit();
        instance = std::make_unique<Form>();
    }
    return *instance;
}

} // namespace

mainfrm& Mainfrm() {
    return Shared(mainInstance);
}
helpfrm& Helpfrm() {
    return Shared(helpInstance);
}

QWidget& Instance(Form form) {
    if (form == Form::mainfrm)
        return Mainfrm();
    return Helpfrm();
}

void Show(Form form) {
    QWidget& window = Instance(form);
    controls::Visible(window, true);
    // A window shown in answer to the user takes the keyboard, so access keys work at once.
    window.raise();
    window.activateWindow();
}
void Hide(Form form) {
    controls::Visible(Instance(form), false);
}

void End() {
    for (QWidget* window : QApplication::topLevelWidgets())
        window->hide();
    QCoreApplication::exit(0);
}

int Start() {
    QApplication::setApplicationName(QStringLiteral("Quinbray"));
    QApplication::setApplicationVersion(QString::fromLatin1(version::kShown));
    QApplication::setDesktopFileName(QString::fromLatin1(version::kAppId));
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/icons/%1-%2.png").arg(version::kAppId).arg(size));
    QApplication::setWindowIcon(icon);
    // Only End ends the program; hiding the last visible window for the other must not.
    QApplication::setQuitOnLastWindowClosed(false);
    Show(Form::mainfrm);
    return QApplication::exec();
}

} // namespace shell
