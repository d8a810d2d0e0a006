#pragma once

// What both windows' designs share: the buttons' face and the window's font for labels,
// lists and fields. Design data, as each window's own table is, kept apart from the shell
// and from either window. Sizes in points, weight 400 regular.

#include "platform/design.h"

namespace look {

// Tahoma, on every Windows since 2000: at 7.5 points (10 pixels) every caption shows whole
// inside its small box, where the bitmap "MS Sans Serif" needs 26 pixels for two lines in
// boxes of 25. Other desktops fall back to their sans-serif face, as for the buttons.
inline constexpr design::Font kWindowFont{"Tahoma", 7.5, 400};
inline constexpr design::Font kButtonFont{"MS Sans Serif", 9.75, 400, /*ansiCharset=*/true};

} // namespace look
