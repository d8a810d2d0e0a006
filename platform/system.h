#pragma once

// Between what every window system does alike (platform/windows.cpp: the windows that stand,
// the end and the teardown) and what each does its own way in its folder. Only the window
// systems' files include it; the rest of the program knows ui.h alone.

#include "platform/ui.h"

#include <span>

namespace ui::system {

// What each window system defines.
Native* Make(const design::Form& form); // a window built from its design, hidden
void Stop(int status);                  // hides every window and stops the loop
// Called as AtTeardown is given its first procedure: a window system whose own teardown
// outlives its loop (Qt's application object) makes TearDown part of it; the others call
// TearDown themselves.
void ArrangeTeardown();

// What they share.
std::span<Native* const> Windows(); // those that stand, in the order they were made
bool Ended();                       // End has been called: nothing more is handled
void TearDown();                    // runs what AtTeardown was given, once

} // namespace ui::system
