// What every window system does alike: it keeps the windows that stand, knows whether the
// program has ended, and runs the teardown it was given. What each does its own way is behind
// platform/system.h.

#include "platform/system.h"

#include <utility>
#include <vector>

namespace ui {
namespace {

std::vector<Native*> windows;
std::vector<void (*)()> teardown;
bool ended = false;

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

void End(int status) {
    ended = true; // not even what was queued before the end is handled
    system::Stop(status);
}

void AtTeardown(void (*release)()) {
    if (teardown.empty())
        system::ArrangeTeardown();
    teardown.push_back(release);
}

namespace system {

std::span<Native* const> Windows() {
    return windows;
}

bool Ended() {
    return ended;
}

void TearDown() {
    for (auto release : std::exchange(teardown, {}))
        release();
}

} // namespace system
} // namespace ui
