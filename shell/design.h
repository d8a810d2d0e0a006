#pragma once

// A window's designed look as data: title, client size, and each control's kind, caption,
// place, size, tab index, font and colours, in the units the design uses. Build() makes the
// controls from it; the windows' procedures never touch geometry, fonts or colours.

#include <cstdint>
#include <optional>
#include <span>

class QColor;
class QFont;
class QWidget;

namespace design {

// 1/1440 inch. 15 twips make one device-independent pixel; Qt scales those on high-DPI screens.
constexpr int kTwipsPerPixel = 15;
constexpr int Pixels(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

// A colour in the 0x00BBGGRR form.
using Bgr = std::uint32_t;
QColor ToQColor(Bgr colour);

struct Font {
    const char* face;
    double points;
    int weight; // 400 is regular, 700 bold
};

enum class Kind {
    label,  // static text, wrapped at spaces inside its box; takes no focus
    button, // push button; "&" marks its access key
    list,   // editable drop-down list
    field,  // one-line text field
};

struct Control {
    const char* name;
    Kind kind;
    const char* caption;
    int left, top, width, height; // twips, relative to the client area
    int tabIndex;
    const Font* font = nullptr; // nullptr: the window's font
    std::optional<Bgr> textColour = std::nullopt;
    std::optional<Bgr> backColour = std::nullopt;
    bool tabStop = true; // false: takes the focus by mouse only, not by Tab
};

struct Form {
    const char* name;
    const char* title;
    int clientWidth, clientHeight; // twips
    Font font;                     // for every control that names none
    std::span<const Control> controls;
};

// The font a design names. A face the system lacks falls back to its sans-serif face at
// the same size.
QFont ToQFont(const Font& font);

// Gives `window` the form's title, font and fixed client size (minimisable, not resizable),
// makes its controls as children named as designed, and chains the focus by tab index.
void Build(QWidget& window, const Form& form);

} // namespace design
