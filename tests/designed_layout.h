#pragma once

// Every control's place and size in pixels at 96 DPI (the designed twips ÷ 15) and its
// caption, written out by hand so that a test compares the built windows against the
// design, not against the table the program builds them from.

namespace designed {

struct Placed {
    const char* window;
    const char* control;
    int x, y, width, height;
    const char* caption;
    double points; // 0: the window's font
};

// clang-format off
inline constexpr Placed kLayout[] = {
    {"mainfrm", "lbl1",    16,   8,  65, 25, "Excitation Voltage", 0},
    {"mainfrm", "lbl5",   128,   8,  65, 25, "Division Size in Lb or KG", 0},
    {"mainfrm", "lbl7",   240,   8,  65, 25, "Cell Rating in mV / Volt", 0},
    {"mainfrm", "Combo1",  16,  40,  81, 21, "", 0},
    {"mainfrm", "Text3",  128,  40,  81, 19, "", 0},
    {"mainfrm", "Combo5", 240,  40,  81, 21, "", 0},
    {"mainfrm", "lbl3",    16,  72,  81, 33, "Number of Load Cells", 0},
    {"mainfrm", "lbl6",   128,  72,  81, 33, "Load Cell Capacity", 0},
    {"mainfrm", "lbl8",   240,  72,  81, 33, "Quinbray per Increment", 0},
    {"mainfrm", "Combo2",  16, 104,  81, 21, "", 0},
    {"mainfrm", "Combo4", 128, 104,  81, 21, "", 0},
    {"mainfrm", "Text1",  240, 104,  81, 28, "", 13.5},
    {"mainfrm", "cmd1",    16, 144,  81, 25, "&Calculate", 9.75},
    {"mainfrm", "cmd2",   144, 144,  49, 25, "&Help", 9.75},
    {"mainfrm", "cmd3",   256, 144,  49, 25, "E&xit", 9.75},
    {"helpfrm", "Label1",   8,  16, 321, 33,
     "Select the desired values for each parameter and then click on the Calculate button.", 0},
    {"helpfrm", "Label6",   8,  48, 321, 33,
     "NOTE: Division size and load cell capacity must both be in the same units, either lb or kg.", 0},
    {"helpfrm", "Label4",   8,  80, 313, 33,
     "Pressing the Tab key causes the focus to move from one field to the next.", 0},
    {"helpfrm", "Label3",   8, 112, 321, 33,
     "Holding down the ALT key and pressing the underlined letter on the buttons also works.", 0},
    {"helpfrm", "Label5",  24, 152, 105, 33, "Quinbray Ver 1.01   May 2002", 0},
    {"helpfrm", "cmd1",   208, 152,  57, 25, "&Close", 9.75},
};
// clang-format on

} // namespace designed
