#pragma once

// Between what every window system does alike (platform/windows.cpp: the windows that stand,
// the procedures their notifications run, what a live field tells screen readers, the end and
// the teardown) and what each does its own way in its folder: small primitives over its own
// windows and controls. Only the window systems' files include it; the rest of the program
// knows ui.h alone.

#include "platform/ui.h"

#include <span>
#include <string_view>

namespace ui::system {

// What each window system defines.
Native* Make(const design::Form& form); // a window built from its design, hidden
void Destroy(Native* window);
void Stop(int status); // hides every window and stops the loop
// A field's text, as the window system sets it, and its new text told to screen readers
// wherever the focus is.
void SetText(Native& window, int index, std::string_view text);
void Announce(Native& window, int index, std::string_view text);
// Called the first time a procedure is given for a button's click or mouse-up, or for the
// window's close control: where the window system must be asked for the notification, or
// told that the control now does something.
void ConnectClick(Native& window, int index);
void ConnectMouseUp(Native& window, int index);
void ConnectClose(Native& window);

// What they share.
std::span<Native* const> Windows(); // those that stand, in the order they were made
bool Ended();                       // End has been called: nothing more is handled
// Runs what AtTeardown was given, and forgets it. Each window system calls it where
// windows can go: after its loop (Win32), after the notification that ended the program
// (the page), as its application object goes, which outlives the loop (Qt).
void TearDown();
// A notification: each runs the procedure the window was given for it, if any, unless the
// program has ended. A control is known by its place in the design, as everywhere.
void RunClick(Native& window, int index);
void RunMouseUp(Native& window, int index, const MouseUp& up);
void RunClose(Native& window);

} // namespace ui::system
