// A field whose new text screen readers say wherever the focus is: a polite live region.
// UI Automation reads a standard control's LiveSetting from the annotations that oleacc
// keeps for its window, and says the region's text when told that it changed. oleacc and
// COM are loaded at run time, so the program imports no more than it did; where they are
// missing (or annotations are not supported), the field is an ordinary one.

#include "platform/win32/native.h"

#include <oleacc.h>

namespace win32 {
namespace {

constexpr GUID kAccPropServices = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kIAccPropServices = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kLiveSetting = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kPolite = 1;

template <class Function> Function From(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(module ? GetProcAddress(module, name) : nullptr));
}

} // namespace

void MarkLive(HWND control) {
    static const HMODULE com = LoadLibraryExW(L"ole32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    static const auto initialize = From<HRESULT(WINAPI*)(void*, DWORD)>(com, "CoInitializeEx");
    static const auto create =
        From<HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**)>(com, "CoCreateInstance");
    if (!initialize || !create || FAILED(initialize(nullptr, COINIT_APARTMENTTHREADED)))
        return;
    IAccPropServices* annotations = nullptr;
    if (FAILED(create(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                      reinterpret_cast<void**>(&annotations))))
        return;
    VARIANT polite{};
    polite.vt = VT_I4;
    polite.lVal = kPolite;
    annotations->SetHwndProp(control, DWORD(OBJID_CLIENT), CHILDID_SELF, kLiveSetting, polite);
    annotations->Release();
}

void Announce(HWND control) {
    NotifyWinEvent(kLiveRegionChanged, control, OBJID_CLIENT, CHILDID_SELF);
}

} // namespace win32
