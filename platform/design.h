#pragma once

// A window's designed look as data, in the units the design uses: title, client size, and
// each control's kind, caption, place, size, tab index, font and colours. Each window system
// builds its windows from these tables; the windows' procedures never touch geometry, fonts
// or colours.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace design {

// 1/1440 inch. 15 twips make one pixel at 96 dots per inch.
constexpr int kTwipsPerInch = 1440;
constexpr int Pixels(int twips, int dpi = 96) {
    return (twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch;
}

// A colour in the 0x00BBGGRR form.
using Bgr = std::uint32_t;

// How well one colour reads on another: the ratio of their relative luminances, 1 to 21.
inline double Contrast(Bgr a, Bgr b) {
    const auto luminance = [](Bgr colour) {
        const auto channel = [&](int shift) {
            const double c = double((colour >> shift) & 0xFF) / 255;
            return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(0) + 0.7152 * channel(8) + 0.0722 * channel(16);
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A text colour designed for the window system's own background is drawn as designed where
// it reads there (the 4.5:1 that is asked of normal text), else in the theme's colour for
// such text (for the credit line, the links' colour).
inline Bgr Readable(Bgr designed, Bgr background, Bgr themes) {
    constexpr double kReadable = 4.5;
    return Contrast(designed, background) >= kReadable ? designed : themes;
}

struct Font {
    const char* face;
    double points;
    int weight;               // 400 is regular, 700 bold
    bool ansiCharset = false; // where the window system chooses fonts by character set
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
    const char* label = nullptr; // an input's caption, the label that names it
    const Font* font = nullptr;  // nullptr: the window's font
    std::optional<Bgr> textColour = std::nullopt;
    std::optional<Bgr> backColour = std::nullopt;
    bool tabStop = true;   // false: takes the focus by mouse only, not by Tab
    bool readOnly = false; // a field that can be selected and copied, not typed over
    // Each new text but an empty one is told to screen readers, wherever the focus is.
    bool live = false;
};

struct Form {
    const char* name;
    const char* title;
    int clientWidth, clientHeight; // twips
    Font font;                     // for every control that names none
    std::span<const Control> controls;
    const char* cancel = nullptr; // the button Escape presses, as a dialog's Cancel button
};

// The place of a named control in its form's table, or -1.
constexpr int IndexOf(const Form& form, std::string_view name) {
    for (std::size_t i = 0; i < form.controls.size(); ++i)
        if (form.controls[i].name == name)
            return int(i);
    return -1;
}

// The order in which a window system makes the controls: by tab index, which is the order
// the focus moves in, and with each input's label right before it, which is where screen
// readers look for the input's name.
inline std::vector<int> CreationOrder(const Form& form) {
    std::vector<int> order, labels;
    for (const Control& control : form.controls)
        if (control.label)
            labels.push_back(IndexOf(form, control.label));
    for (int i = 0; i < int(form.controls.size()); ++i)
        if (std::ranges::find(labels, i) == labels.end())
            order.push_back(i);
    std::ranges::stable_sort(order, {},
                             [&](int i) { return form.controls[std::size_t(i)].tabIndex; });
    std::vector<int> withLabels;
    for (int i : order) {
        if (const char* label = form.controls[std::size_t(i)].label)
            withLabels.push_back(IndexOf(form, label));
        withLabels.push_back(i);
    }
    return withLabels;
}

} // namespace design
