#pragma once

// The calculator window as designed. Lengths in twips: divide by 15 for pixels at 96 DPI.
// Colours in the 0x00BBGGRR form.

#include "look/fonts.h"
#include "platform/design.h"

namespace mainfrm_design {

using design::Kind;

using look::kButtonFont;
inline constexpr design::Font kResultFont{"MS Sans Serif", 13.5, 400, /*ansiCharset=*/true};

inline constexpr design::Bgr kPaleYellow = 0x00C0FFFF;
// Black text on the pale yellow, so that the result stays readable under a dark theme.
inline constexpr design::Bgr kBlack = 0x00000000;

// clang-format off
inline constexpr design::Control kControls[] = {
    // name     kind         caption                        left   top  width height tab  label
    {"lbl1",   Kind::label,  "Excitation Voltage",           240,  120,   975,  375,  9},
    {"lbl5",   Kind::label,  "Division Size in Lb or KG",   1920,  120,   975,  375, 11},
    {"lbl7",   Kind::label,  "Cell Rating in mV / Volt",    3600,  120,   975,  375, 13},
    {"Combo1", Kind::list,   "",                             240,  600,  1215,  315,  1, "lbl1"},
    {"Text3",  Kind::field,  "",                            1920,  600,  1215,  285,  2, "lbl5"},
    {"Combo5", Kind::list,   "",                            3600,  600,  1215,  315,  3, "lbl7"},
    {"lbl3",   Kind::label,  "Number of Load Cells",         240, 1080,  1215,  495, 10},
    {"lbl6",   Kind::label,  "Load Cell Capacity",          1920, 1080,  1215,  495, 12},
    {"lbl8",   Kind::label,  "Quinbray per Increment",      3600, 1080,  1215,  495, 14},
    {"Combo2", Kind::list,   "",                             240, 1560,  1215,  315,  4, "lbl3"},
    {"Combo4", Kind::list,   "",                            1920, 1560,  1215,  315,  5, "lbl6"},
    // The result can be selected and copied, not typed over, and takes the focus by mouse;
    // a screen reader says each new one while the focus stays on Calculate.
    {"Text1",  Kind::field,  "",                            3600, 1560,  1215,  420,  0, "lbl8",
               &kResultFont, kBlack, kPaleYellow, /*tabStop=*/false, /*readOnly=*/true, /*live=*/true},
    {"cmd1",   Kind::button, "&Calculate",                   240, 2160,  1215,  375,  6, nullptr, &kButtonFont},
    {"cmd2",   Kind::button, "&Help",                       2160, 2160,   735,  375,  7, nullptr, &kButtonFont},
    {"cmd3",   Kind::button, "E&xit",                       3840, 2160,   735,  375,  8, nullptr, &kButtonFont},
};
// clang-format on

inline constexpr design::Form kForm{"mainfrm", "Quinbray Build Calculator", 5175,
                                    2790,      look::kWindowFont,           kControls};

} // namespace mainfrm_design
