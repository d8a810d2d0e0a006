#pragma once

// What the program needs from a window system, in the design's own terms: a window built
// from its design table, the operations its controls offer under the names the design gives
// them, their notifications, the warning message, and the notification loop. Texts cross
// this line as UTF-8.
//
// Each window system defines what is its own in a folder of its own, platform/qt (Qt
// Widgets), platform/win32 (the Win32 API) and platform/web (a browser); a build compiles
// and links exactly one, with what all three do alike (platform/windows.cpp).

#include "platform/design.h"

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace ui {

// A built window as its window system keeps it; each window system defines it.
struct Native;

// The parameters of a button's mouse-up notification.
enum class MouseButton { left = 1, right = 2, middle = 4 };
enum Shift { shiftKey = 1, ctrlKey = 2, altKey = 4 }; // held while the button went up
struct MouseUp {
    MouseButton button;
    int shift;
    int x, y; // pixels, relative to the button
};

// A control of a built window, known by its place in the window's design table.
class Control {
public:
    Control(Native& in, int at)
        : window(&in)
        , index(at) {}

protected:
    Native* window;
    int index;
};

// Editable drop-down list.
class List : public Control {
public:
    using Control::Control;
    void Clear();                                   // empties the list
    void AddItem(std::string_view item, int place); // inserts at a 0-based place
    void ListIndex(int place);                      // selects, and sets the edit text to it
    std::string Text() const;                       // the edit text
};

// Text field.
class Field : public Control {
public:
    using Control::Control;
    std::string Text() const;
    void Text(std::string_view text);
};

// Push button. Each notification runs the procedure last given for it, as a window's close.
class Button : public Control {
public:
    using Control::Control;
    // Raised by a mouse click, the access key and Space.
    void OnClick(std::function<void()> procedure);
    // Raised on the release of any mouse button that was pressed on this button, wherever
    // the pointer is by then; never by the keyboard.
    void OnMouseUp(std::function<void(const MouseUp&)> procedure);
};

// A top-level window built from its design, hidden until made visible.
class Window {
public:
    explicit Window(const design::Form& form);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // The control the design names; the names are the design's own, so a miss is a bug.
    template <class C> C Find(std::string_view name) {
        const int index = design::IndexOf(form, name);
        if (index < 0)
            std::abort();
        return C(*built, index);
    }

    // Showing also brings the window to the front with the keyboard, as a window shown in
    // answer to the user should.
    void Visible(bool visible);

    // The title bar's close control, and whatever else the window system closes windows by.
    void OnClose(std::function<void()> procedure);

    // A warning over this window, titled like it, that the user closes with OK.
    void Warn(std::string_view text);

    Native& native() { return *built; }

private:
    // Native is complete only in its window system's own files, which destroy it.
    struct Destroy {
        void operator()(Native* window) const;
    };

    const design::Form& form;
    std::unique_ptr<Native, Destroy> built;
};

// The program's life on the window system: Open before the first window, then Run hands
// control to the notification loop. Where the program owns the loop (Qt, Win32), Run
// returns once End has been called, with the status End was given. A browser owns its
// loop: there Run returns 0 at once, and the notifications come after start-up has returned.
void Open(int& argc, char** argv);
int Run();
void End(int status); // hides every window and stops the loop; nothing more is handled

// The program's one procedure to call once the loop is over, while the window system still
// stands, so that windows can be destroyed before it goes; a second replaces the first.
void AtTeardown(void (*release)());

} // namespace ui
