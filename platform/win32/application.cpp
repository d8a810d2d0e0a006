// The program's life on Win32: the common controls, the notification loop with the dialog
// manager's keys, and its end.

#include "platform/win32/native.h"

#include <algorithm>
#include <commctrl.h>

namespace {

bool IsEdit(HWND window) {
    wchar_t name[8];
    return GetClassNameW(window, name, 8) && lstrcmpiW(name, L"Edit") == 0;
}

// Ctrl+A selects the whole text of a field or of a list's edit text, as on every current
// desktop; the edit control does not do so by itself on every version of Windows.
bool SelectAll(const MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != 'A' || GetKeyState(VK_CONTROL) >= 0 ||
        GetKeyState(VK_MENU) < 0 || !IsEdit(message.hwnd))
        return false;
    SendMessageW(message.hwnd, EM_SETSEL, 0, -1);
    return true;
}

// Tab, Shift+Tab and the access keys, as in a dialog.
bool DialogKey(MSG& message) {
    const HWND top = GetAncestor(message.hwnd, GA_ROOT);
    const bool ours = std::ranges::any_of(
        ui::system::Windows(), [top](const ui::Native* window) { return window->hwnd == top; });
    return ours && IsDialogMessageW(top, &message);
}

} // namespace

namespace ui {

void Open(int&, char**) {
    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
    win32::RegisterWindowClass();
}

int Run() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (system::Ended() || SelectAll(message) || DialogKey(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    system::TearDown();
    return int(message.wParam);
}

void system::Stop(int status) {
    for (Native* window : Windows())
        ShowWindow(window->hwnd, SW_HIDE);
    PostQuitMessage(status);
}

// Run's end runs the teardown.
void system::ArrangeTeardown() {}

} // namespace ui
