#pragma once

// The calculation's shared cases (cases.txt), read by the calculation's test, which checks
// the expected results, and by calc_table, which the browser build runs natively and as
// WebAssembly to compare the two. The standard library only, so that it builds for both.
//
// One case a line, its fields separated by "|":
//   calculate|NAME|EXCITATION|CELLS|DIVISION|CAPACITY|RATING|RESULT
//     RESULT is the result text, or "zero divisor" or "out of range" when there is none.
//   number|NAME|TEXT|VALUE
//     VALUE is the double the text reads as, shortest round trip, or inf or -inf.
// Lines that are empty or start with "#" are comments. In a field, \t, \n, \\ and \| stand
// for a tab, a newline, a backslash and a bar, \u{HEX} for that code point in UTF-8, so that
// blanks the eye cannot tell apart are written out, and \x{HEX} for one byte, for text that
// is not UTF-8.

#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cases {

struct Case {
    std::string kind; // "calculate" or "number"
    std::string name;
    std::vector<std::string> texts; // five for calculate, one for number
    std::string expected;
};

inline void PutUtf8(std::string& out, unsigned long point) {
    if (point < 0x80) {
        out += char(point);
    } else if (point < 0x800) {
        out += char(0xC0 | point >> 6);
        out += char(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        out += char(0xE0 | point >> 12);
        out += char(0x80 | (point >> 6 & 0x3F));
        out += char(0x80 | (point & 0x3F));
    } else {
        out += char(0xF0 | point >> 18);
        out += char(0x80 | (point >> 12 & 0x3F));
        out += char(0x80 | (point >> 6 & 0x3F));
        out += char(0x80 | (point & 0x3F));
    }
}

// The fields of a line with their escapes undone; nothing when an escape is malformed.
inline std::optional<std::vector<std::string>> Fields(std::string_view line) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '|') {
            fields.emplace_back();
            continue;
        }
        if (c != '\\') {
            fields.back() += c;
            continue;
        }
        if (++i == line.size())
            return std::nullopt;
        const char e = line[i];
        if (e == 't' || e == 'n' || e == '\\' || e == '|') {
            fields.back() += e == 't' ? '\t' : e == 'n' ? '\n' : e;
        } else if ((e == 'u' || e == 'x') && i + 1 < line.size() && line[i + 1] == '{') {
            const auto close = line.find('}', i);
            if (close == std::string_view::npos)
                return std::nullopt;
            const char* const first = line.data() + i + 2;
            const char* const last = line.data() + close;
            unsigned long point = 0;
            const auto [end, error] = std::from_chars(first, last, point, 16);
            if (first == last || end != last || error != std::errc{} ||
                point > (e == 'u' ? 0x10FFFF : 0xFF))
                return std::nullopt;
            if (e == 'u')
                PutUtf8(fields.back(), point);
            else
                fields.back() += char(point);
            i = close;
        } else {
            return std::nullopt;
        }
    }
    return fields;
}

enum class Line { comment, malformed, parsed };

inline Line Parse(std::string_view line, Case& out) {
    if (line.empty() || line.starts_with('#'))
        return Line::comment;
    auto fields = Fields(line);
    if (!fields)
        return Line::malformed;
    auto& f = *fields;
    const std::size_t texts = f[0] == "calculate" ? 5 : f[0] == "number" ? 1 : 0;
    if (texts == 0 || f.size() != texts + 3)
        return Line::malformed;
    out.kind = f[0];
    out.name = f[1];
    out.texts.assign(f.begin() + 2, f.end() - 1);
    out.expected = f.back();
    return Line::parsed;
}

} // namespace cases
