#pragma once

// The application shell: the one shared instance of each window, made on first use and kept
// until the program ends, and the operations that show, hide and end.

class QWidget;
class mainfrm;
class helpfrm;

namespace shell {

// The window kinds. Every procedure that names one means its one shared instance.
enum class Form { mainfrm, helpfrm };

mainfrm& Mainfrm(); // the calculator window; making it runs its Form_Load
helpfrm& Helpfrm(); // the help window
QWidget& Instance(Form form);

void Show(Form form); // modeless: returns at once
void Hide(Form form); // the window keeps every text, list and selection

// Ends the program at once: every window disappears and the notification loop stops, so
// the process exits with status 0. Nothing is saved and nothing is asked.
void End();

// Start-up: makes the calculator window, shows it and runs the notification loop.
int Start();

} // namespace shell
