#pragma once

// What both windows' designs share: the buttons' face and the window's font for labels,
// lists and fields. Sizes in points, weight 400 regular.

#include "platform/design.h"

namespace look {

// The same face as the buttons, so start-up loads one face only; at 7.5 points (10 pixels)
// every caption shows whole inside its small box.
inline constexpr design::Font kWindowFont{"MS Sans Serif", 7.5, 400};
inline constexpr design::Font kButtonFont{"MS Sans Serif", 9.75, 400, /*ansiCharset=*/true};

} // namespace look
