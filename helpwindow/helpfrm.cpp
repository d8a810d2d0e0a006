#include "helpwindow/helpfrm.h"

#include "helpwindow/helpfrm_design.h"
#include "shell/forms.h"

#include <QCloseEvent>
#include <QPushButton>

helpfrm::helpfrm() {
    design::Build(*this, helpfrm_design::kForm);
    connect(findChild<QPushButton*>(QStringLiteral("cmd1")), &QPushButton::clicked, this,
            &helpfrm::cmd1_Click);
}

void helpfrm::cmd1_Click() {
    shell::Hide(shell::Form::helpfrm);
    shell::Show(shell::Form::mainfrm);
}

void helpfrm::closeEvent(QCloseEvent* event) {
    // The title bar's close control does what Close does.
    event->ignore();
    cmd1_Click();
}
