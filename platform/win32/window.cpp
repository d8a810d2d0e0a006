// A window built from its design with the Win32 API: one window procedure that hands each
// message to a small handler, controls made from the design table, fonts and places scaled to
// the window's DPI.

#include "platform/win32/native.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace ui {
namespace {

using win32::kFirstControlId;

using win32::kWindowClass;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
#ifndef WM_DPICHANGED
constexpr UINT WM_DPICHANGED = 0x02E0;
#endif

// Functions newer than Windows 7, looked up where the system has them.
template <class Function> Function Later(const char* name) {
    const FARPROC address = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

int DpiOf(HWND window) {
    static const auto getDpiForWindow = Later<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (getDpiForWindow)
        return int(getDpiForWindow(window));
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

SIZE OuterSize(int clientWidth, int clientHeight, int dpi) {
    static const auto adjustForDpi =
        Later<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT rect{0, 0, clientWidth, clientHeight};
    if (adjustForDpi)
        adjustForDpi(&rect, kStyle, FALSE, 0, UINT(dpi));
    else
        AdjustWindowRectEx(&rect, kStyle, FALSE, 0);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

win32::Gdi<HFONT> MakeFont(const design::Font& font, const wchar_t* face, int pixels,
                           BYTE precision) {
    return win32::Gdi<HFONT>(CreateFontW(-pixels, 0, 0, 0, font.weight, FALSE, FALSE, FALSE,
                                         font.ansiCharset ? ANSI_CHARSET : DEFAULT_CHARSET,
                                         precision, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                         DEFAULT_PITCH | FF_SWISS, face));
}

// What the system made of a font that was asked for: whether it scales, and its em in pixels.
struct Made {
    bool scalable;
    int em;
};

Made Measure(HFONT font) {
    const HDC screen = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(screen, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    // The bit means a vector or TrueType font, where it is set: its name says the opposite.
    return {(metrics.tmPitchAndFamily & TMPF_VECTOR) != 0,
            int(metrics.tmHeight - metrics.tmInternalLeading)};
}

// The designed face at the designed size for this DPI. A bitmap face such as "MS Sans
// Serif" has only a few sizes: where it has not this one, it is drawn at a smaller one, and
// at 192 DPI doubled, with gaps between the letters. Then its scalable counterpart, which
// Windows itself puts in its place, "Microsoft Sans Serif", takes over, or whatever
// scalable face the system gives for that name (Wine, which lacks it, gives its sans-serif).
win32::Gdi<HFONT> MakeFont(const design::Font& font, int dpi) {
    const int pixels = int(std::lround(font.points * dpi / 72));
    auto designed = MakeFont(font, win32::Widen(font.face).c_str(), pixels, OUT_DEFAULT_PRECIS);
    if (const Made made = Measure(designed.get()); made.scalable || made.em == pixels)
        return designed;
    auto substitute = MakeFont(font, L"Microsoft Sans Serif", pixels, OUT_TT_PRECIS);
    return Measure(substitute.get()).scalable ? std::move(substitute) : std::move(designed);
}

struct Class {
    const wchar_t* windowClass;
    DWORD style, exStyle;
};

Class Kind(const design::Control& control) {
    const DWORD tab = control.tabStop ? WS_TABSTOP : 0;
    switch (control.kind) {
    case design::Kind::label: // "&" in a caption is for buttons only
        return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case design::Kind::button:
        return {L"BUTTON", BS_PUSHBUTTON | tab, 0};
    case design::Kind::list:
        return {L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | tab, 0};
    case design::Kind::field:
        return {L"EDIT", ES_AUTOHSCROLL | (control.readOnly ? ES_READONLY : 0) | tab,
                WS_EX_CLIENTEDGE};
    }
    return {};
}

// Sent to itself once the window system has tried to make the window fullscreen: see
// OnWindowPosChanging.
constexpr UINT kSettle = WM_APP + 1;
// Fires once the shown window has painted (timers come after painting), for Native::MarkLive.
constexpr UINT_PTR kMarkLiveTimer = 1;

SIZE Outer(const Native& window) {
    return OuterSize(design::Pixels(window.form.clientWidth, window.dpi),
                     design::Pixels(window.form.clientHeight, window.dpi), window.dpi);
}

Native* Of(HWND window) {
    return reinterpret_cast<Native*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// In high contrast the user's scheme is the one to read by: the designed colours yield to
// it, as Windows' own controls' colours do.
bool HighContrast() {
    HIGHCONTRASTW scheme{sizeof scheme, 0, nullptr};
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof scheme, &scheme, 0) &&
           (scheme.dwFlags & HCF_HIGHCONTRASTON);
}

// The place in the design of the button that has the keyboard, or -1.
int FocusedButton(const Native& window) {
    const auto focused = std::ranges::find(window.controls, GetFocus());
    if (focused == window.controls.end())
        return -1;
    const auto index = std::size_t(focused - window.controls.begin());
    return window.form.controls[index].kind == design::Kind::button ? int(index) : -1;
}

// Creation hands the window the Native it belongs to: kept with it for the messages that
// follow, which find its handle already there.
void OnNcCreate(HWND hwnd, const CREATESTRUCTW& create) {
    auto* window = static_cast<Native*>(create.lpCreateParams);
    window->hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
}

// A button's click: the mouse, the access key, Space, and the dialog manager's Enter where the
// focused button is not the default one (the focus came by a click or as the window was
// activated, not by Tab), and its Escape.
void OnCommand(Native& window, WORD id, WORD code) {
    int index = int(id) - kFirstControlId;
    if (id == IDOK)
        index = FocusedButton(window);
    else if (id == IDCANCEL && window.form.cancel)
        index = design::IndexOf(window.form, window.form.cancel);
    if (code == BN_CLICKED)
        system::RunClick(window, index);
}

// The colours a control's design gives it; nullptr leaves it to the window system. A text
// colour on the window's own background is drawn as designed only where it reads on the
// scheme's, else in the scheme's hyperlink colour.
HBRUSH OnCtlColor(Native& window, HDC dc, HWND control) {
    const int index = GetDlgCtrlID(control) - kFirstControlId;
    if (index < 0 || index >= int(window.controls.size()))
        return nullptr;
    const design::Control& designed = window.form.controls[std::size_t(index)];
    if ((!designed.textColour && !designed.backColour) || window.highContrast)
        return nullptr;
    if (designed.backColour) {
        if (designed.textColour)
            SetTextColor(dc, *designed.textColour); // COLORREF is 0x00BBGGRR too
        SetBkColor(dc, *designed.backColour);
        return window.backBrushes[std::size_t(index)].get();
    }
    SetTextColor(dc, design::Readable(*designed.textColour, GetSysColor(COLOR_BTNFACE),
                                      GetSysColor(COLOR_HOTLIGHT)));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

// The user chose another scheme, or turned high contrast on or off.
void OnSettingChange(Native& window) {
    window.highContrast = HighContrast();
    RedrawWindow(window.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The title bar's close and Alt+F4.
void OnClose(Native& window) {
    system::RunClose(window);
}

// The keyboard goes back where it was, as in a dialog.
void OnActivate(Native& window, WORD state) {
    if (state == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(window.hwnd, focus))
            window.focus = focus;
    } else {
        SetFocus(window.focus ? window.focus : GetNextDlgTabItem(window.hwnd, nullptr, FALSE));
    }
}

// The one size the window has (see OnWindowPosChanging).
void OnGetMinMaxInfo(const Native& window, MINMAXINFO& limits) {
    const SIZE outer = Outer(window);
    limits.ptMaxSize = limits.ptMinTrackSize = limits.ptMaxTrackSize = {outer.cx, outer.cy};
}

// Whether the move puts the client area at a corner of its screen with the title bar
// above it, off the screen: where fullscreen puts it, and no person drags a window to.
bool Cornered(HWND hwnd, const WINDOWPOS& place) {
    RECT outer;
    POINT client{0, 0};
    GetWindowRect(hwnd, &outer);
    ClientToScreen(hwnd, &client);
    client.x += place.x - outer.left;
    client.y += place.y - outer.top;
    MONITORINFO screen{sizeof screen, {}, {}, 0};
    GetMonitorInfoW(MonitorFromPoint(client, MONITOR_DEFAULTTONEAREST), &screen);
    return client.y > place.y && client.x == screen.rcMonitor.left &&
           client.y == screen.rcMonitor.top;
}

// The window has one size. Windows keeps it, having no maximise box and no sizing border to
// offer; a window manager that runs the program (Wine's X11 desktops) may still make it
// fullscreen from its window menu, and then stretches the window or leaves it in a corner of
// the screen. The size and the place are kept here, and once the window system is done, a
// change of our own (OnSettle) tells Wine the window's state again, which takes fullscreen
// back and the window where it was; on Windows that change does nothing. Only then: Wine
// hands on every place the window manager reports, passing ones too, and telling one of
// those back to it would move the window there.
void OnWindowPosChanging(Native& window, WINDOWPOS& place) {
    const SIZE outer = Outer(window);
    const bool stretched =
        !(place.flags & SWP_NOSIZE) && (place.cx != outer.cx || place.cy != outer.cy);
    const bool cornered = !(place.flags & SWP_NOMOVE) && Cornered(window.hwnd, place);
    if ((stretched || cornered) && !IsIconic(window.hwnd)) {
        place.cx = outer.cx;
        place.cy = outer.cy;
        place.flags |= SWP_NOMOVE;
        if (!window.settling && IsWindowVisible(window.hwnd)) {
            window.settling = true;
            PostMessageW(window.hwnd, kSettle, 0, 0);
        }
    }
}

// The change of its own that OnWindowPosChanging sent.
void OnSettle(Native& window) {
    SetWindowPos(window.hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    window.settling = false;
}

// Whether the timer was this window's own.
bool OnTimer(Native& window, UINT_PTR id) {
    if (id != kMarkLiveTimer)
        return false;
    window.MarkLive();
    return true;
}

// A screen reader asks for the window: its fields are marked first, then the window system
// answers.
void OnGetObject(Native& window) {
    window.MarkLive();
}

// The window moved to a screen of another DPI, or the screen's DPI changed: everything is
// laid out anew, and the window takes the place and size the system suggests.
void OnDpiChanged(Native& window, int dpi, const RECT& suggested) {
    window.Layout(dpi);
    SetWindowPos(window.hwnd, nullptr, suggested.left, suggested.top,
                 suggested.right - suggested.left, suggested.bottom - suggested.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// Only hands each message on: to its handler, with its parameters unpacked, and to the window
// system where the handler leaves the message to it.
LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        OnNcCreate(hwnd, *reinterpret_cast<const CREATESTRUCTW*>(lParam));
    Native* const found = Of(hwnd);
    if (!found)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    Native& window = *found;

    switch (message) {
    case WM_COMMAND:
        OnCommand(window, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
        if (const HBRUSH brush =
                OnCtlColor(window, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
            return reinterpret_cast<LRESULT>(brush);
        break;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        OnSettingChange(window);
        return 0;
    case WM_CLOSE:
        OnClose(window);
        return 0;
    case WM_ACTIVATE:
        OnActivate(window, LOWORD(wParam));
        return 0;
    case WM_GETMINMAXINFO:
        OnGetMinMaxInfo(window, *reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_WINDOWPOSCHANGING:
        OnWindowPosChanging(window, *reinterpret_cast<WINDOWPOS*>(lParam));
        return 0;
    case kSettle:
        OnSettle(window);
        return 0;
    case WM_TIMER:
        if (OnTimer(window, wParam))
            return 0;
        break;
    case WM_GETOBJECT:
        OnGetObject(window);
        break;
    case WM_DPICHANGED:
        OnDpiChanged(window, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
} // namespace

Native::Native(const design::Form& designed)
    : form(designed)
    , highContrast(HighContrast()) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    hwnd = CreateWindowExW(0, kWindowClass, win32::Widen(form.title).c_str(), kStyle, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                           this);
    const std::size_t count = form.controls.size();
    controls.resize(count);
    backBrushes.resize(count);
    for (int index : design::CreationOrder(form)) {
        const design::Control& control = form.controls[std::size_t(index)];
        const Class made = Kind(control);
        const HWND child = CreateWindowExW(
            made.exStyle, made.windowClass, win32::Widen(control.caption).c_str(),
            WS_CHILD | WS_VISIBLE | made.style, 0, 0, 0, 0, hwnd,
            reinterpret_cast<HMENU>(INT_PTR(kFirstControlId + index)), instance, nullptr);
        controls[std::size_t(index)] = child;
        // As much as a line edit holds on the other desktops.
        if (control.kind == design::Kind::list)
            SendMessageW(child, CB_LIMITTEXT, 32767, 0);
        else if (control.kind == design::Kind::field)
            SendMessageW(child, EM_SETLIMITTEXT, 32767, 0);
        if (control.backColour)
            backBrushes[std::size_t(index)].reset(CreateSolidBrush(*control.backColour));
        if (control.live)
            unmarkedLive.push_back(child);
    }
    Layout(DpiOf(hwnd));
}

void Native::MarkLive() {
    if (unmarkedLive.empty())
        return;
    KillTimer(hwnd, kMarkLiveTimer);
    for (const HWND control : std::exchange(unmarkedLive, {}))
        win32::MarkLive(control);
}

Native::~Native() {
    DestroyWindow(hwnd);
}

void Native::Layout(int newDpi) {
    dpi = newDpi;
    // The fonts of the old DPI go once every control has its new one.
    const auto previousFonts = std::move(fonts);
    fonts.clear();
    const auto fontOf = [&](const design::Font& font) {
        for (const auto& [designed, made] : fonts)
            if (designed == &font)
                return made.get();
        return fonts.emplace_back(&font, MakeFont(font, dpi)).second.get();
    };
    const auto px = [&](int twips) { return design::Pixels(twips, dpi); };
    // The item height each list of a font and height ended with, which the next such list
    // takes at once: every change of it resizes the list's drop-down, a window of its own.
    struct ItemHeight {
        HFONT font;
        int height;
        LRESULT item;
    };
    std::vector<ItemHeight> itemHeights;

    for (std::size_t i = 0; i < controls.size(); ++i) {
        const design::Control& control = form.controls[i];
        const HWND child = controls[i];
        const HFONT font = fontOf(control.font ? *control.font : form.font);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        const int height = px(control.height);
        if (control.kind != design::Kind::list) {
            MoveWindow(child, px(control.left), px(control.top), px(control.width), height, TRUE);
            continue;
        }
        // A drop-down list's height is that of its list dropped; the closed box takes its
        // height from its item height, which is set so that the box has the designed one.
        // The box adds borders of its own to the item height, and not always the same before
        // the first change as after it: correct until the box has the designed height.
        MoveWindow(child, px(control.left), px(control.top), px(control.width), height * 8, TRUE);
        LRESULT item = SendMessageW(child, CB_GETITEMHEIGHT, WPARAM(-1), 0);
        const auto alike = std::ranges::find_if(itemHeights, [&](const ItemHeight& earlier) {
            return earlier.font == font && earlier.height == height;
        });
        if (alike != itemHeights.end() && alike->item != item) {
            item = alike->item;
            SendMessageW(child, CB_SETITEMHEIGHT, WPARAM(-1), item);
        }
        for (int attempt = 0; attempt < 3; ++attempt) {
            RECT box;
            GetWindowRect(child, &box);
            if (box.bottom - box.top == height)
                break;
            item += height - (box.bottom - box.top);
            SendMessageW(child, CB_SETITEMHEIGHT, WPARAM(-1), item);
        }
        if (alike == itemHeights.end())
            itemHeights.push_back({font, height, item});
    }

    const SIZE outer = OuterSize(px(form.clientWidth), px(form.clientHeight), dpi);
    SetWindowPos(hwnd, nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Native* system::Make(const design::Form& form) {
    return new Native(form);
}

void system::Destroy(Native* window) {
    delete window;
}

void Window::Visible(bool visible) {
    ShowWindow(built->hwnd, visible ? SW_SHOW : SW_HIDE);
    if (visible && !built->unmarkedLive.empty())
        SetTimer(built->hwnd, kMarkLiveTimer, USER_TIMER_MINIMUM, nullptr);
    if (visible) // takes the keyboard, so access keys work at once
        SetForegroundWindow(built->hwnd);
}

void Window::Warn(std::string_view text) {
    MessageBoxW(built->hwnd, win32::Widen(text).c_str(), win32::Widen(built->form.title).c_str(),
                MB_OK | MB_ICONWARNING);
}

} // namespace ui

namespace win32 {

void RegisterWindowClass() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ui::Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = ui::kWindowClass;
    // The icon of the resource script, in the sizes the system draws it at.
    const auto icon = [&](int metricX, int metricY) {
        return static_cast<HICON>(LoadImageW(instance, L"IDI_ICON1", IMAGE_ICON,
                                             GetSystemMetrics(metricX), GetSystemMetrics(metricY),
                                             LR_DEFAULTCOLOR));
    };
    windowClass.hIcon = icon(SM_CXICON, SM_CYICON);
    windowClass.hIconSm = icon(SM_CXSMICON, SM_CYSMICON);
    RegisterClassExW(&windowClass);
}

} // namespace win32
