#pragma once

// The Win32 window behind a ui::Window: its handle, its controls in the order of the design
// table (a control's window id is 100 plus its place there), the GDI objects it draws with
// at its current DPI, and what its buttons' mouse-ups need.

#include "platform/system.h"

#include <memory>
#include <type_traits>
#include <vector>
#include <windows.h>

namespace win32 {

struct DeleteGdiObject {
    void operator()(void* object) const { DeleteObject(static_cast<HGDIOBJ>(object)); }
};
template <class Handle> using Gdi = std::unique_ptr<std::remove_pointer_t<Handle>, DeleteGdiObject>;

constexpr int kFirstControlId = 100; // clear of IDOK and IDCANCEL, which the dialog manager sends
constexpr wchar_t kWindowClass[] = L"QuinbrayForm"; // both windows', registered once

void RegisterWindowClass();

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
std::string WindowText(HWND window);

// A field the design marks live: screen readers say its text each time Announce is called.
constexpr DWORD kLiveRegionChanged = 0x8019; // EVENT_OBJECT_LIVEREGIONCHANGED, Windows 8 on
void MarkLive(HWND control);
void Announce(HWND control);

// What a button's mouse-up needs between the press and the release.
struct MouseUpState {
    ui::Native* window = nullptr; // and the button's place in its design
    int index = 0;
    unsigned pressed = 0;   // MouseButton bits pressed on the button and not yet released
    bool synthetic = false; // inside BM_CLICK, whose press and release are the keyboard's
    bool releasing = false; // inside the button's own handling of a release
};

} // namespace win32

struct ui::Native {
    explicit Native(const design::Form& form);
    ~Native();
    Native(const Native&) = delete;
    Native& operator=(const Native&) = delete;

    // Places and sizes everything, and makes the fonts, for this many dots per inch.
    void Layout(int newDpi);
    HWND Control(int index) const { return controls[std::size_t(index)]; }
    // Tells screen readers which fields are live, once. Loading COM and the annotation
    // service would hold the window's first showing, so this waits until the window has
    // painted, a screen reader asks for the window, or a live field's text is first told.
    void MarkLive();

    const design::Form& form;
    HWND hwnd = nullptr;
    std::vector<HWND> controls;
    int dpi = 96;
    std::vector<std::pair<const design::Font*, win32::Gdi<HFONT>>> fonts;
    std::vector<win32::Gdi<HBRUSH>> backBrushes; // by control; empty where none is designed
    std::vector<std::unique_ptr<win32::MouseUpState>> mouseUps;
    HWND focus = nullptr;      // where the keyboard was when the window last lost it
    bool settling = false;     // a change of its own is on its way after the window system's
    bool highContrast = false; // as the system last said: asked once, not at every paint

    std::vector<HWND> unmarkedLive; // the live fields MarkLive has still to mark
};
