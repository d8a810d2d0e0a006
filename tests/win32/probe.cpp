// probe COMMAND: looks at the running calculator from outside, with the messages any Windows
// program may send to another's windows, and prints what it finds or what is wrong.
//   layout mainfrm|helpfrm  every control's place, size and caption at 96 DPI, each caption
//                           whole in its box, and each input's label right before it
//   startup                 the start-up texts and the four lists, in order
//   texts                   NAME=TEXT for each input and the result, a line each
//   lengths                 NAME=LENGTH, in UTF-16 units
//   message                 the text of the open warning, if any
//   client                  the client area of the visible window of ours, WIDTHxHEIGHT
//   place NAME              the control's box in its window's client area, X Y WIDTH HEIGHT
//   live [N]                prints "listening", then waits up to 20 seconds for a live
//                           region of ours to change N times (once if not given), as a
//                           screen reader listens, and prints where the focus is, and the
//                           control and its text
//   closemenu               waits for the calculator's window menu to be open, then closes
//                           it as the system does when it takes the screen away, and waits
//                           for it to be gone

#include "helpwindow/helpfrm_design.h"
#include "mainwindow/mainfrm_design.h"
#include "platform/win32/native.h"
#include "tests/designed.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

namespace {

int failures = 0;

[[gnu::format(printf, 1, 2)]] void Fail(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::printf("FAIL: ");
    std::vprintf(format, args);
    std::printf("\n");
    va_end(args);
    ++failures;
}

std::wstring Text(HWND window) {
    std::wstring text(std::size_t(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(std::size_t(
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

const design::Form& FormOf(const std::string& name) {
    return name == "helpfrm" ? helpfrm_design::kForm : mainfrm_design::kForm;
}

// A window of ours by its title as designed.
HWND Find(const design::Form& form) {
    const std::string& title = designed::Get().window(form.name).title;
    return FindWindowW(win32::kWindowClass, win32::Widen(title).c_str());
}

// A control by its designed name, by its window id from its place in the design table.
HWND Control(HWND window, const design::Form& form, const char* name) {
    return GetDlgItem(window, win32::kFirstControlId + design::IndexOf(form, name));
}

bool Layout(const std::string& kind) {
    const design::Form& form = FormOf(kind);
    const HWND window = Find(form);
    if (!window) {
        Fail("no %s window", kind.c_str());
        return false;
    }
    RECT client;
    GetClientRect(window, &client);
    const designed::Window& size = designed::Get().window(kind);
    if (client.right != size.width || client.bottom != size.height)
        Fail("%s: client area %ldx%ld, not %dx%d", kind.c_str(), client.right, client.bottom,
             size.width, size.height);

    for (const designed::Control& placed : designed::Get().controls) {
        if (kind != placed.window)
            continue;
        const HWND control = Control(window, form, placed.name.c_str());
        RECT box;
        GetWindowRect(control, &box);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
        if (box.left != placed.x || box.top != placed.y || box.right - box.left != placed.width ||
            box.bottom - box.top != placed.height)
            Fail("%s %s at %ld,%ld %ldx%ld, designed %d,%d %dx%d", kind.c_str(),
                 placed.name.c_str(), box.left, box.top, box.right - box.left, box.bottom - box.top,
                 placed.x, placed.y, placed.width, placed.height);
        const std::string caption = win32::Narrow(Text(control));
        if (!placed.caption.empty() && caption != placed.caption)
            Fail("%s %s reads \"%s\"", kind.c_str(), placed.name.c_str(), caption.c_str());

        wchar_t className[16] = {};
        GetClassNameW(control, className, 16);
        // The caption whole inside its box, in the window's font at 96 DPI. (A font handle
        // means nothing outside its process, so the probe makes the designed font itself.)
        if (lstrcmpiW(className, L"Static") == 0) {
            const HDC dc = GetDC(control);
            const std::wstring face = win32::Widen(form.font.face);
            const HFONT measured =
                CreateFontW(-int(form.font.points * 96 / 72 + 0.5), 0, 0, 0, form.font.weight,
                            FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, face.c_str());
            const HGDIOBJ old = SelectObject(dc, measured);
            RECT needed{0, 0, placed.width, 0};
            const std::wstring text = Text(control);
            DrawTextW(dc, text.c_str(), int(text.size()), &needed,
                      DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
            SelectObject(dc, old);
            DeleteObject(measured);
            ReleaseDC(control, dc);
            if (needed.right > placed.width || needed.bottom > placed.height)
                Fail("%s %s needs %ldx%ld in %dx%d", kind.c_str(), placed.name.c_str(),
                     needed.right, needed.bottom, placed.width, placed.height);
        }
    }
    // An input's label comes right before it in the window order.
    for (const design::Control& input : form.controls) {
        if (!input.label)
            continue;
        const HWND before = GetWindow(Control(window, form, input.name), GW_HWNDPREV);
        if (before != Control(window, form, input.label))
            Fail("%s: the window before %s is not %s", kind.c_str(), input.name, input.label);
    }
    return failures == 0;
}

bool StartUp() {
    const design::Form& form = mainfrm_design::kForm;
    const HWND window = Find(form);
    for (const designed::StartUp& e : designed::Get().startUp) {
        const HWND control = Control(window, form, e.name.c_str());
        if (win32::Narrow(Text(control)) != e.text)
            Fail("%s reads \"%s\", not \"%s\"", e.name.c_str(),
                 win32::Narrow(Text(control)).c_str(), e.text.c_str());
        if (e.items.empty())
            continue;
        std::string items, wanted;
        const auto count = SendMessageW(control, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            std::wstring item(std::size_t(SendMessageW(control, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
            item.resize(std::size_t(
                SendMessageW(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
            items += win32::Narrow(item) + " ";
        }
        for (const std::string& item : e.items)
            wanted += item + " ";
        if (items != wanted)
            Fail("%s holds %s, not %s", e.name.c_str(), items.c_str(), wanted.c_str());
    }
    return failures == 0;
}

void Texts(bool lengths) {
    const design::Form& form = mainfrm_design::kForm;
    const HWND window = Find(form);
    for (const char* name : {"Combo1", "Combo2", "Text3", "Combo4", "Combo5", "Text1"}) {
        const std::wstring text = Text(Control(window, form, name));
        if (lengths)
            std::printf("%s=%zu\n", name, text.size());
        else
            std::printf("%s=%s\n", name, win32::Narrow(text).c_str());
    }
}

// The warning is a dialog owned by the calculator window.
bool Message() {
    const HWND owner = Find(mainfrm_design::kForm);
    for (HWND box = FindWindowW(L"#32770", nullptr); box;
         box = FindWindowExW(nullptr, box, L"#32770", nullptr)) {
        if (GetWindow(box, GW_OWNER) != owner || !IsWindowVisible(box))
            continue;
        std::printf("%s\n%s\n", win32::Narrow(Text(box)).c_str(),
                    win32::Narrow(Text(GetDlgItem(box, 0xFFFF))).c_str());
        return true;
    }
    return false;
}

bool Client() {
    for (const design::Form* form : {&mainfrm_design::kForm, &helpfrm_design::kForm}) {
        const HWND window = Find(*form);
        if (window && IsWindowVisible(window)) {
            RECT client;
            GetClientRect(window, &client);
            std::printf("%ldx%ld\n", client.right, client.bottom);
            return true;
        }
    }
    return false;
}

bool Place(const char* name) {
    for (const design::Form* form : {&mainfrm_design::kForm, &helpfrm_design::kForm}) {
        const HWND window = Find(*form);
        if (!window || design::IndexOf(*form, name) < 0)
            continue;
        RECT box;
        GetWindowRect(Control(window, *form, name), &box);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
        std::printf("%ld %ld %ld %ld\n", box.left, box.top, box.right - box.left,
                    box.bottom - box.top);
        return true;
    }
    return false;
}

HWND changed = nullptr; // the live region that changed last
int heard = 0;          // how many times one did
int wanted = 1;

// Called from within GetMessage, which goes on waiting for a message after it: the message
// that ends the wait is posted here.
void CALLBACK Changed(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
    if (object == OBJID_CLIENT) {
        changed = window;
        if (++heard == wanted)
            PostQuitMessage(0);
    }
}

// Counted, not read: two results alike read the same, but each is a change of its own.
bool Live(int times) {
    wanted = times;
    const HWINEVENTHOOK hook = SetWinEventHook(win32::kLiveRegionChanged, win32::kLiveRegionChanged,
                                               nullptr, Changed, 0, 0, WINEVENT_OUTOFCONTEXT);
    if (!hook)
        return false;
    std::printf("listening\n");
    std::fflush(stdout);
    const UINT_PTR timer = SetTimer(nullptr, 0, 20000, nullptr);
    MSG message;
    while (heard < times && GetMessageW(&message, nullptr, 0, 0) > 0 && message.message != WM_TIMER)
        DispatchMessageW(&message);
    KillTimer(nullptr, timer);
    UnhookWinEvent(hook);
    if (heard < times) {
        Fail("heard %d of %d changes", heard, times);
        return false;
    }
    const design::Form& form = mainfrm_design::kForm;
    const auto name = [&](HWND control) {
        const int id = GetDlgCtrlID(control) - 100;
        return control && id >= 0 && id < int(form.controls.size())
                   ? form.controls[std::size_t(id)].name
                   : "?";
    };
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(changed, nullptr), &thread);
    std::printf("focus=%s\n", name(thread.hwndFocus));
    std::printf("%s=%s\n", name(changed), win32::Narrow(Text(changed)).c_str());
    return true;
}

// A menu the calculator has open: a popup menu window of its thread.
HWND OpenMenu(HWND owner) {
    const DWORD thread = GetWindowThreadProcessId(owner, nullptr);
    for (HWND menu = FindWindowW(L"#32768", nullptr); menu;
         menu = FindWindowExW(nullptr, menu, L"#32768", nullptr))
        if (IsWindowVisible(menu) && GetWindowThreadProcessId(menu, nullptr) == thread)
            return menu;
    return nullptr;
}

// The menu's tracking holds the mouse. WM_CANCELMODE ends it from outside its thread, where
// EndMenu cannot: the menu closes once its loop sees that, and lets the mouse go before.
bool CloseMenu() {
    const HWND owner = Find(mainfrm_design::kForm);
    for (int i = 0; owner && i < 100 && !OpenMenu(owner); ++i)
        Sleep(100);
    if (!owner || !OpenMenu(owner)) {
        Fail("no window menu opened");
        return false;
    }
    SendMessageW(owner, WM_CANCELMODE, 0, 0);
    for (int i = 0; i < 100 && OpenMenu(owner); ++i)
        Sleep(100);
    if (OpenMenu(owner)) {
        Fail("the window menu stayed open");
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::string command = argc > 1 ? argv[1] : "";
    bool ok = false;
    if (command == "layout" && argc == 3)
        ok = Layout(argv[2]);
    else if (command == "startup")
        ok = StartUp();
    else if (command == "texts" || command == "lengths")
        Texts(command == "lengths"), ok = true;
    else if (command == "message")
        ok = Message();
    else if (command == "client")
        ok = Client();
    else if (command == "place" && argc == 3)
        ok = Place(argv[2]);
    else if (command == "live" && argc <= 3)
        ok = Live(argc == 3 ? std::stoi(argv[2]) : 1);
    else if (command == "closemenu")
        ok = CloseMenu();
    else
        std::fprintf(stderr, "usage: probe layout mainfrm|helpfrm | startup | texts | lengths | "
                             "message | client | place NAME | live [N] | closemenu\n");
    return ok ? 0 : 1;
}
