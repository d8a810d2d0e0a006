#include "helpwindow/helpfrm.h"

#include "helpwindow/helpfrm_design.h"

std::unique_ptr<shell::Instance> shell::MakeHelpfrm() {
    return std::make_unique<helpfrm>();
}

helpfrm::helpfrm()
    : Instance(helpfrm_design::kForm) {
    window.Find<ui::Button>("cmd1").OnClick([this] { cmd1_Click(); });
    // The title bar's close control does what Close does.
    window.OnClose([this] { cmd1_Click(); });
}

void helpfrm::cmd1_Click() {
    shell::Hide(shell::Form::helpfrm);
    shell::Show(shell::Form::mainfrm);
}
