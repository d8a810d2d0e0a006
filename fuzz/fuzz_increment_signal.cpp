// Feeds arbitrary bytes to the calculation as five texts, one per line, and checks what
// must hold for any input. Any violation traps, so libFuzzer keeps the input.

#include "calc/increment_signal.h"
#include "fuzz/require.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace {

// -?[0-9]+\.[0-9]{2}, and never a signed zero
bool IsResultText(std::string_view s) {
    if (s.starts_with('-'))
        s.remove_prefix(1);
    const auto point = s.find('.');
    if (point == 0 || point == std::string_view::npos || s.size() - point != 3)
        return false;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (i != point && (s[i] < '0' || s[i] > '9'))
            return false;
    return true;
}

// The text with its ASCII spaces, digits, signs and points in the other forms people paste
// and type them in; each must read as its ASCII form.
std::string Widened(std::string_view text) {
    static constexpr std::array<std::string_view, 17> kSpaces{
        "\u00A0", "\u1680", "\u2000", "\u2001", "\u2002", "\u2003", "\u2004", "\u2005", "\u2006",
        "\u2007", "\u2008", "\u2009", "\u200A", "\u202F", "\u205F", "\u3000", " "};
    std::string wide;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ')
            wide += kSpaces[i % kSpaces.size()];
        else if (c == '-' && i % 2)
            wide += "\u2212";
        else if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')
            wide += {'\xEF', '\xBC', char(0x80 + c - 0x20)}; // U+FF0B to U+FF19
        else
            wide += c;
    }
    return wide;
}

// The standard library's own rounding to two decimals, from the exact binary value with
// ties to even, which the result text must match character for character.
std::string StandardHundredths(double value) {
    std::array<char, 320> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                   std::chars_format::fixed, 2)
                         .ptr;
    const std::string text(buffer.data(), end);
    return text == "-0.00" ? "0.00" : text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::array<std::string_view, 5> texts;
    for (auto& text : texts) {
        const auto end = rest.find('\n');
        text = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }

    const auto r = calc::ComputeIncrementSignal(texts[0], texts[1], texts[2], texts[3], texts[4]);
    const auto again =
        calc::ComputeIncrementSignal(texts[0], texts[1], texts[2], texts[3], texts[4]);
    Require(again.text == r.text && again.failure == r.failure &&
            SameBits(again.uvPerIncrement, r.uvPerIncrement));

    const std::array converted{r.excitation, r.cellCount, r.divisionSize, r.cellCapacity,
                               r.cellRating};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        Require(SameBits(converted[i], calc::LeadingNumber(texts[i])));
        Require(SameBits(converted[i], calc::LeadingNumber(Widened(texts[i]))));
        if (std::isfinite(converted[i]))
            Require(calc::FormatHundredths(converted[i]) == StandardHundredths(converted[i]));
    }

    if (!r.finite()) {
        Require(r.text.empty());
        return 0;
    }
    Require(std::isfinite(r.uvPerIncrement));
    Require(IsResultText(r.text) && r.text != "-0.00");
    Require(r.text == StandardHundredths(r.uvPerIncrement));
    double shown = 0;
    const auto [end, error] = std::from_chars(r.text.data(), r.text.data() + r.text.size(), shown);
    Require(error == std::errc{} && end == r.text.data() + r.text.size());
    // Reading the text back rounds it to a double again, by up to half a unit in the last place.
    const double readBack = std::abs(r.uvPerIncrement) * std::numeric_limits<double>::epsilon();
    Require(std::abs(shown - r.uvPerIncrement) <= 0.005 + readBack);
    return 0;
}
