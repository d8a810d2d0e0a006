#pragma once

// The windows as designed (designed.txt, which says its form), for the C++ tests of each
// window system. The standard library only, so that the Windows probe reads it too.

#include <algorithm>
#include <charconv>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace designed {

struct Rgb {
    int red = -1, green = -1, blue = -1; // -1: the theme's
    bool themed() const { return red < 0; }
};

struct Control {
    std::string window, name;
    int x = 0, y = 0, width = 0, height = 0;
    std::string caption;
    double points = 0; // 0: the window's font
    Rgb text, background;
};

struct Window {
    std::string name, title;
    int width = 0, height = 0;
    double points = 0; // the font of its controls that name none
};

struct StartUp {
    std::string window, name, label, text;
    std::vector<std::string> items; // empty for a field
};

struct Design {
    std::vector<Window> windows;
    std::vector<Control> controls;
    std::vector<StartUp> startUp;
    std::map<std::string, std::vector<std::string>, std::less<>> tabOrder; // by window

    const Window& window(std::string_view name) const {
        for (const Window& w : windows)
            if (w.name == name)
                return w;
        throw Malformed("no window " + std::string(name));
    }
    const Control& control(std::string_view window, std::string_view name) const {
        for (const Control& c : controls)
            if (c.window == window && c.name == name)
                return c;
        throw Malformed("no control " + std::string(window) + " " + std::string(name));
    }

    // A fault of the file, not of the program under test.
    struct Malformed : std::runtime_error {
        explicit Malformed(const std::string& what)
            : std::runtime_error("designed.txt: " + what) {}
    };
};

inline std::vector<std::string> Split(std::string_view text, char separator = '|') {
    std::vector<std::string> parts;
    for (std::size_t at; (at = text.find(separator)) != text.npos; text.remove_prefix(at + 1))
        parts.emplace_back(text.substr(0, at));
    parts.emplace_back(text);
    return parts;
}

template <class Number> Number Read(const std::string& text, const std::string& line) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        throw Design::Malformed("\"" + text + "\" is no number in: " + line);
    return value;
}

inline Rgb ReadRgb(const std::string& text, const std::string& line) {
    if (text.empty())
        return {};
    const std::vector<std::string> channels = Split(text, ',');
    if (channels.size() != 3)
        throw Design::Malformed("a colour is R,G,B in: " + line);
    return {Read<int>(channels[0], line), Read<int>(channels[1], line),
            Read<int>(channels[2], line)};
}

inline Design Load(const char* path) {
    std::ifstream file(path);
    if (!file)
        throw Design::Malformed(std::string("cannot read ") + path);
    Design design;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::vector<std::string> f = Split(line);
        const std::string& kind = f[0];
        const std::size_t fields = kind == "control"  ? 9
                                   : kind == "window" ? 6
                                   : kind == "tab"    ? 3
                                                      : 5;
        if (f.size() < fields)
            throw Design::Malformed("too few fields in: " + line);
        const auto number = [&](std::size_t i) { return Read<int>(f[i], line); };
        if (kind == "window") {
            design.windows.push_back({f[1], f[2], number(3), number(4), Read<double>(f[5], line)});
        } else if (kind == "control") {
            design.controls.push_back({f[1],
                                       f[2],
                                       number(3),
                                       number(4),
                                       number(5),
                                       number(6),
                                       f[7],
                                       Read<double>(f[8], line),
                                       {},
                                       {}});
        } else if (kind == "colour") {
            auto control = std::ranges::find_if(design.controls, [&](const Control& c) {
                return c.window == f[1] && c.name == f[2];
            });
            if (control == design.controls.end())
                throw Design::Malformed("a colour of no control in: " + line);
            control->text = ReadRgb(f[3], line);
            control->background = ReadRgb(f[4], line);
        } else if (kind == "startup") {
            design.startUp.push_back({f[1], f[2], f[3], f[4], {f.begin() + 5, f.end()}});
        } else if (kind == "tab") {
            if (std::ranges::none_of(design.windows,
                                     [&](const Window& w) { return w.name == f[1]; }))
                throw Design::Malformed("a tab order of no window in: " + line);
            design.tabOrder[f[1]].assign(f.begin() + 2, f.end());
        } else {
            throw Design::Malformed("unknown line: " + line);
        }
    }
    return design;
}

// Read once, on first use, from the path the build gives.
inline const Design& Get() {
    static const Design design = Load(QUINBRAY_DESIGNED_FILE);
    return design;
}

} // namespace designed
