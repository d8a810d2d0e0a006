#include "shell/forms.h"

#include <array>

namespace shell {
namespace {

std::array<std::unique_ptr<Instance>, 2> instances; // by Form

// Windows must go while the window system still stands.
void DestroyInstances() {
    for (auto& instance : instances)
        instance.reset();
}

} // namespace

Instance& GetInstance(Form form) {
    auto& instance = instances[std::size_t(form)];
    if (!instance) {
        static const bool registered = (ui::AtTeardown(DestroyInstances), true);
        (void)registered;
        instance = form == Form::mainfrm ? MakeMainfrm() : MakeHelpfrm();
    }
    return *instance;
}

void Show(Form form) {
    GetInstance(form).window.Visible(true);
}

void Hide(Form form) {
    GetInstance(form).window.Visible(false);
}

void End() {
    ui::End(0);
}

int Start(int& argc, char** argv) {
    ui::Open(argc, argv);
    Show(Form::mainfrm);
    return ui::Run();
}

} // namespace shell
