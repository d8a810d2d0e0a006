// What every window system does alike: it keeps the windows that stand. What each does its
// own way is behind platform/system.h.

#include "platform/system.h"

#include <vector>

namespace ui {
namespace {

std::vector<Native*> windows;

} // namespace

Window::Window(const design::Form& designed)
    : form(designed)
    , built(system::Make(designed)) {
    windows.push_back(built.get());
}

// Forgotten before the window system destroys it, so that nothing reaches it on the way.
Window::~Window() {
    std::erase(windows, built.get());
}

namespace system {

std::span<Native* const> Windows() {
    return windows;
}

} // namespace system
} // namespace ui
