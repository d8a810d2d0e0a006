#pragma once

// The application shell: the one shared instance of each window, made on first use and kept
// until the program ends, and the operations that show, hide and end.

#include "platform/ui.h"

#include <memory>

namespace shell {

// The window kinds. Every procedure that names one means its one shared instance.
enum class Form { mainfrm, helpfrm };

// A window's instance: its built window, and in the window's own class its controls, fields
// and procedures.
class Instance {
public:
    explicit Instance(const design::Form& form)
        : window(form) {}
    virtual ~Instance() = default;

    ui::Window window;
};

// How each kind is made; each window's own folder defines its maker, and making the
// calculator window runs its Form_Load.
std::unique_ptr<Instance> MakeMainfrm();
std::unique_ptr<Instance> MakeHelpfrm();

Instance& GetInstance(Form form); // made first if there is none yet

void Show(Form form); // modeless: returns at once
void Hide(Form form); // the window keeps every text, list and selection

// Ends the program at once: every window disappears and the notification loop stops, so
// the process exits with status 0. Nothing is saved and nothing is asked.
void End();

// Start-up: makes the calculator window, shows it and runs the notification loop.
int Start(int& argc, char** argv);

} // namespace shell
