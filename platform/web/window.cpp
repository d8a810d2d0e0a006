// A window built from its design in the page: places and sizes in the window's pixels, 1/96
// inch as the design's are, for the stylesheet to scale; fonts by face with fallbacks;
// colours as CSS.

#include "platform/web/native.h"
#include "platform/web/order.h"
#include "platform/web/page.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace ui {
namespace {

// A number for CSS with at most two decimals, as fine as a design gives sizes: 13, 9.75.
std::string Number(double value) {
    const long hundredths = std::lround(value * 100);
    std::string css = std::to_string(hundredths / 100);
    if (const long fraction = hundredths % 100) {
        css += '.';
        css += char('0' + fraction / 10);
        if (fraction % 10)
            css += char('0' + fraction % 10);
    }
    return css;
}

// A length as a number of the window's own pixels, which the stylesheet multiplies by the
// page's scale (--px): one CSS pixel on a desktop, more where a phone's screen is filled.
std::string Length(const char* property, int twips) {
    return std::string("--") + property + ':' + std::to_string(design::Pixels(twips)) + ';';
}

// #rrggbb from 0x00BBGGRR.
std::string Colour(design::Bgr bgr) {
    constexpr std::string_view kDigits = "0123456789abcdef";
    std::string css = "#";
    for (int shift : {0, 8, 16}) {
        const unsigned byte = (bgr >> shift) & 0xFF;
        css += kDigits[byte >> 4];
        css += kDigits[byte & 0xF];
    }
    return css;
}

// The face as designed, then what stands in for it where it is missing: the bitmap face
// of old Windows has an outline successor, and every desktop has a sans-serif face. The
// size in the window's pixels, as its lengths are: points at 96 DPI.
std::string Font(const design::Font& font) {
    std::string faces = '"' + std::string(font.face) + '"';
    if (std::string_view(font.face) == "MS Sans Serif")
        faces += ", \"Microsoft Sans Serif\"";
    return "--size:" + Number(font.points * 96 / 72) +
           ";font-weight:" + std::to_string(font.weight) + ";font-family:" + faces +
           ", Tahoma, Verdana, \"DejaVu Sans\", sans-serif;";
}

std::string Css(const design::Control& control) {
    std::string css = Length("left", control.left) + Length("top", control.top) +
                      Length("width", control.width) + Length("height", control.height);
    if (control.font)
        css += Font(*control.font);
    if (control.textColour)
        css += "color:" + Colour(*control.textColour) + ';';
    if (control.backColour)
        css += "background-color:" + Colour(*control.backColour) + ';';
    return css;
}

// The width a small screen is filled with: the controls, with the margin they keep on the
// left kept on their right too. Beyond it the client area holds nothing.
int FillWidth(const design::Form& form) {
    int left = form.clientWidth, right = 0;
    for (const design::Control& control : form.controls) {
        left = std::min(left, control.left);
        right = std::max(right, control.left + control.width);
    }
    return std::min(form.clientWidth, right + left);
}

// An element id the page can hold once: the window's name and the control's.
std::string ElementId(const design::Form& form, const design::Control& control) {
    return std::string(form.name) + '-' + control.name;
}

} // namespace

Native::Native(const design::Form& form) {
    const std::string css = Length("width", form.clientWidth) +
                            Length("height", form.clientHeight) + Length("fill", FillWidth(form)) +
                            Font(form.font);
    const std::string_view name = form.name, title = form.title;
    id = page::Window(name.data(), name.size(), title.data(), title.size(), css.data(), css.size());

    const auto size = form.controls.size();
    controls.resize(size);
    for (const int index : ReadingOrder(form)) {
        const design::Control& control = form.controls[std::size_t(index)];
        const std::string element = ElementId(form, control), style = Css(control);
        std::string names;
        for (const design::Control& input : form.controls)
            if (input.label && std::string_view(input.label) == control.name)
                names = ElementId(form, input);
        const std::string_view caption = control.caption;
        // The kind by the import that makes it, with what the design says of such a control.
        int made = 0;
        switch (control.kind) {
        case design::Kind::label:
            made = page::Label(id, element.data(), element.size(), caption.data(), caption.size(),
                               style.data(), style.size(), names.data(), names.size());
            break;
        case design::Kind::button:
            made = page::Button(id, element.data(), element.size(), caption.data(), caption.size(),
                                style.data(), style.size(), control.tabStop);
            break;
        case design::Kind::list:
            made = page::List(id, element.data(), element.size(), caption.data(), caption.size(),
                              style.data(), style.size(), control.readOnly, control.tabStop);
            break;
        case design::Kind::field:
            made = page::Field(id, element.data(), element.size(), caption.data(), caption.size(),
                               style.data(), style.size(), control.readOnly, control.tabStop);
            break;
        }
        controls[std::size_t(index)] = made;
    }
}

Native* system::Make(const design::Form& form) {
    return new Native(form);
}

void system::Destroy(Native* window) {
    delete window;
}

void Window::Visible(bool visible) {
    page::Visible(built->id, visible);
}

void Window::Warn(std::string_view text) {
    page::Warn(built->id, text.data(), text.size());
}

} // namespace ui
