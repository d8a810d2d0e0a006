#pragma once

// Between what every window system does alike (platform/windows.cpp: the windows that stand)
// and what each does its own way in its folder. Only the window systems' files include it;
// the rest of the program knows ui.h alone.

#include "platform/ui.h"

#include <span>

namespace ui::system {

// What each window system defines.
Native* Make(const design::Form& form); // a window built from its design, hidden

// What they share.
std::span<Native* const> Windows(); // those that stand, in the order they were made

} // namespace ui::system
