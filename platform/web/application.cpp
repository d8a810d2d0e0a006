// The program's life in a browser. The browser owns the notification loop: the page starts
// the program, whose start-up returns once the first window is shown, and then hands each
// notification to the functions exported here, one at a time, until the program ends.

#include "platform/web/native.h"
#include "platform/web/page.h"

#include <algorithm>

namespace {

// Runs one notification's procedure, on the window that `holds` the page's id. A procedure
// may end the program; the windows go only once it has returned, since it belongs to one
// of them.
template <class Holds, class Procedure> void Notify(Holds holds, Procedure run) {
    // Found before it runs: a procedure may open a window, which joins the list.
    const auto windows = ui::system::Windows();
    const auto window = std::ranges::find_if(windows, holds);
    if (window != windows.end())
        run(**window);
    if (ui::system::Ended())
        ui::system::TearDown();
}

// A control's notification, by the control's place in the design.
template <class Procedure> void NotifyControl(int id, Procedure run) {
    Notify([id](const ui::Native* w) { return std::ranges::count(w->controls, id) != 0; },
           [&](ui::Native& window) {
               run(window, int(std::ranges::find(window.controls, id) - window.controls.begin()));
           });
}

} // namespace

extern "C" {

// A button's click: the mouse, the access key, Space or Enter.
__attribute__((export_name("ui_click"))) void UiClick(int control) {
    NotifyControl(control, ui::system::RunClick);
}

// The release of a mouse button, or the end of a touch, that began on a button.
__attribute__((export_name("ui_mouse_up"))) void UiMouseUp(int control, int button, int shift,
                                                           int x, int y) {
    NotifyControl(control, [&](ui::Native& window, int index) {
        ui::system::RunMouseUp(window, index, {ui::MouseButton(button), shift, x, y});
    });
}

// The window's close control: the browser's Back, on a window shown over the first.
__attribute__((export_name("ui_close"))) void UiClose(int id) {
    Notify([id](const ui::Native* w) { return w->id == id; }, ui::system::RunClose);
}

} // extern "C"

namespace ui {

void Open(int&, char**) {}

// The browser runs the loop once start-up has returned to it.
int Run() {
    return 0;
}

void system::Stop(int) {
    page::End();
}

} // namespace ui
