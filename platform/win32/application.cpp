// The program's life on Win32: where DLLs come from, the common controls, the notification
// loop with the dialog manager's keys, and its end.

#include "platform/win32/native.h"

#include <algorithm>
#include <commctrl.h>

namespace {

// DLLs loaded from here on come from System32 alone, never from the program's own folder (a
// Downloads folder, for the portable zip) or the current one, where anyone may have put a DLL
// of a system name. Set in a TLS callback, which Windows runs before the program's entry
// point, so before any DLL is loaded on demand. Windows 7 without update KB2533623 has no
// SetDefaultDllDirectories: there the current folder at least is taken out of the search.
void NTAPI SearchSystem32Only(void*, DWORD reason, void*) {
    if (reason != DLL_PROCESS_ATTACH)
        return;
    const FARPROC address =
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    const auto setDefault =
        reinterpret_cast<BOOL(WINAPI*)(DWORD)>(reinterpret_cast<void (*)()>(address));
    if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        SetDllDirectoryW(L"");
}

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

// The C runtime's TLS directory runs the callbacks in the .CRT$XL* sections in their names'
// order; its own come from .CRT$XLC on. Visual C++ links the directory, and this entry, only
// when told to.
#ifdef _MSC_VER
#ifdef _M_IX86
#pragma comment(linker, "/INCLUDE:__tls_used")
#pragma comment(linker, "/INCLUDE:_quinbray_search_system32_only")
#else
#pragma comment(linker, "/INCLUDE:_tls_used")
#pragma comment(linker, "/INCLUDE:quinbray_search_system32_only")
#endif
#pragma const_seg(".CRT$XLB")
extern "C" const PIMAGE_TLS_CALLBACK quinbray_search_system32_only = SearchSystem32Only;
#pragma const_seg()
#else
[[gnu::section(".CRT$XLB"), gnu::used]] const PIMAGE_TLS_CALLBACK kSearchSystem32Only =
    SearchSystem32Only;
#endif

namespace ui {

void Open(int&, char**) {
    // COM from System32 before anything asks for it by name: Wine's theming library loads it
    // on first use along the search path the process started with, the program's folder
    // first. The themed controls load it anyway, so this costs the start-up nothing.
    LoadLibraryExW(L"ole32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
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

} // namespace ui
