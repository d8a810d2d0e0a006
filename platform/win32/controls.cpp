// The controls' operations and notifications over the standard Win32 controls.

#include "platform/win32/native.h"

#include <commctrl.h>

namespace ui {
namespace {

constexpr UINT_PTR kMouseUpSubclass = 1;

MouseButton Of(UINT message) {
    switch (message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_RBUTTONUP:
        return MouseButton::right;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_MBUTTONUP:
        return MouseButton::middle;
    default:
        return MouseButton::left;
    }
}

unsigned Bit(MouseButton button) {
    return unsigned(button);
}

int Shift(WPARAM keys) {
    return (keys & MK_SHIFT ? shiftKey : 0) | (keys & MK_CONTROL ? ctrlKey : 0) |
           (GetKeyState(VK_MENU) < 0 ? altKey : 0);
}

// A push button captures the left mouse button only; the others are captured here, so that
// each release comes back to the button that took the press, wherever the pointer is.
LRESULT CALLBACK MouseUpProcedure(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR data) {
    auto& state = *reinterpret_cast<win32::MouseUpState*>(data);
    switch (message) {
    case BM_CLICK: { // the access key: the button presses and releases itself, for no mouse
        state.synthetic = true;
        const LRESULT result = DefSubclassProc(button, message, wParam, lParam);
        state.synthetic = false;
        return result;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: // the second press of a double click
        if (!state.synthetic)
            state.pressed |= Bit(MouseButton::left);
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        state.pressed |= Bit(Of(message));
        SetCapture(button);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        const MouseButton which = Of(message);
        const bool pressedHere = state.pressed & Bit(which);
        state.pressed &= ~Bit(which);
        state.releasing = true;
        // The left button comes back up and lets the mouse go, as the button itself does it.
        const LRESULT result = DefSubclassProc(button, message, wParam, lParam);
        if (state.pressed && GetCapture() != button)
            SetCapture(button); // another button is still held down
        else if (!state.pressed && GetCapture() == button)
            ReleaseCapture();
        state.releasing = false;
        if (pressedHere) {
            UpdateWindow(button); // drawn released before the procedure shows anything
            system::RunMouseUp(
                *state.window, state.index,
                {which, Shift(wParam), short(LOWORD(lParam)), short(HIWORD(lParam))});
        }
        return result;
    }
    case WM_CAPTURECHANGED: // the mouse was taken away: the presses will not come back here
        if (!state.releasing && reinterpret_cast<HWND>(lParam) != button)
            state.pressed = 0;
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(button, MouseUpProcedure, kMouseUpSubclass);
        break;
    default:
        break;
    }
    return DefSubclassProc(button, message, wParam, lParam);
}

} // namespace

void List::Clear() {
    SendMessageW(window->Control(index), CB_RESETCONTENT, 0, 0);
}

void List::AddItem(std::string_view item, int place) {
    SendMessageW(window->Control(index), CB_INSERTSTRING, WPARAM(place),
                 reinterpret_cast<LPARAM>(win32::Widen(item).c_str()));
}

void List::ListIndex(int place) {
    SendMessageW(window->Control(index), CB_SETCURSEL, WPARAM(place), 0);
}

std::string List::Text() const {
    return win32::WindowText(window->Control(index));
}

std::string Field::Text() const {
    return win32::WindowText(window->Control(index));
}

void system::SetText(Native& window, int index, std::string_view text) {
    SetWindowTextW(window.Control(index), win32::Widen(text).c_str());
}

void system::Announce(Native& window, int index, std::string_view) {
    window.MarkLive();
    win32::Announce(window.Control(index));
}

// The window procedure hands every button's click on (WM_COMMAND).
void system::ConnectClick(Native&, int) {}

void system::ConnectMouseUp(Native& window, int index) {
    auto& state = *window.mouseUps.emplace_back(std::make_unique<win32::MouseUpState>());
    state.window = &window;
    state.index = index;
    SetWindowSubclass(window.Control(index), MouseUpProcedure, kMouseUpSubclass,
                      reinterpret_cast<DWORD_PTR>(&state));
}

// The window procedure hands the close control on (WM_CLOSE).
void system::ConnectClose(Native&) {}

} // namespace ui
