#pragma once

// The help window as designed. Lengths in twips: divide by 15 for pixels at 96 DPI.
// Colours in the 0x00BBGGRR form.

#include "look/fonts.h"
#include "platform/design.h"

namespace helpfrm_design {

using design::Kind;
using look::kButtonFont;

inline constexpr design::Bgr kBlue = 0x00FF0000;

// clang-format off
inline constexpr design::Control kControls[] = {
    // name     kind         caption                                               left   top  width height tab
    {"Label1", Kind::label,  "Select the desired values for each parameter and "
                             "then click on the Calculate button.",                 120,  240,  4815,  495,  0},
    {"Label6", Kind::label,  "NOTE: Division size and load cell capacity must "
                             "both be in the same units, either lb or kg.",         120,  720,  4815,  495,  2},
    {"Label4", Kind::label,  "Pressing the Tab key causes the focus to move from "
                             "one field to the next.",                              120, 1200,  4695,  495,  1},
    {"Label3", Kind::label,  "Holding down the ALT key and pressing the "
                             "underlined letter on the buttons also works.",        120, 1680,  4815,  495,  5},
    {"Label5", Kind::label,  "Quinbray Ver 1.01   May 2002",                        360, 2280,  1575,  495,  4,
               nullptr, nullptr, kBlue},
    {"cmd1",   Kind::button, "&Close",                                             3120, 2280,   855,  375,  3, nullptr, &kButtonFont},
};
// clang-format on

// Escape closes the window, as Close does.
inline constexpr design::Form kForm{"helpfrm",         "Operation", 5175,  2790,
                                    look::kWindowFont, kControls,   "cmd1"};

} // namespace helpfrm_design
