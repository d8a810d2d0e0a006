#include "calc/increment_signal.h"

#include "calc/read_decimal.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace calc {
namespace {

// Not <cctype>: its answers follow the locale, and only ASCII digits count here.
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The characters of a text as the number rule reads them. Numbers come pasted from pages and
// documents with no-break and other Unicode spaces before them, and typed by input methods in
// full-width forms; each of those is read as its ASCII form, so that a number the user sees
// never reads as 0. Any other character that is not ASCII reads as '\0', which no rule takes.
class Characters {
public:
    explicit Characters(std::string_view text)
        : rest_(text)
        , next_(Decode()) {}

    // The next character's ASCII form; '\0' at the end.
    char Peek() const { return next_.ascii; }
    void Skip() {
        rest_.remove_prefix(next_.size);
        next_ = Decode();
    }
    void Take(std::string& out) {
        out += Peek();
        Skip();
    }
    bool TakeDigits(std::string& out) {
        const auto before = out.size();
        while (IsDigit(Peek()))
            Take(out);
        return out.size() != before;
    }

private:
    struct Decoded {
        char ascii;
        std::size_t size;
    };

    // Every UTF-8 sequence read here is two or three bytes long; a byte that starts none of
    // them stands alone.
    Decoded Decode() const {
        if (rest_.empty())
            return {'\0', 0};
        const auto byte = [this](std::size_t i) {
            return i < rest_.size() ? static_cast<unsigned char>(rest_[i]) : 0u;
        };
        const unsigned b0 = byte(0), b1 = byte(1), b2 = byte(2);
        if (b0 < 0x80)
            return {rest_[0], 1};
        if (b0 == 0xC2 && b1 == 0xA0) // no-break space
            return {' ', 2};
        if ((b0 & 0xF0) != 0xE0 || (b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80)
            return {'\0', 1};
        const unsigned point = (b0 & 0x0F) << 12 | (b1 & 0x3F) << 6 | (b2 & 0x3F);
        if (point == 0x1680 || (point >= 0x2000 && point <= 0x200A) || point == 0x202F ||
            point == 0x205F || point == 0x3000) // the other space separators
            return {' ', 3};
        if (point == 0x2212) // minus sign, as typesetting writes one
            return {'-', 3};
        if (point == 0xFF0B || point == 0xFF0D || point == 0xFF0E ||
            (point >= 0xFF10 && point <= 0xFF19)) // full-width + - . and digits
            return {static_cast<char>(point - 0xFF00 + 0x20), 3};
        return {'\0', 1};
    }

    std::string_view rest_;
    Decoded next_; // the first character of rest_, read once
};

// from_chars leaves the value alone when the number does not fit a double. Whether it was
// too large or too small follows from the power of ten of its first significant digit,
// which is all this works out. The exponent saturates so that no digit count overflows it.
double OutOfRangeValue(std::string_view mantissa, std::string_view exponent) {
    // The number is below 10^power and at least 10^(power-1).
    const auto first = std::min(mantissa.find_first_not_of("0."), mantissa.size());
    const auto point = std::min(mantissa.find('.'), mantissa.size());
    std::int64_t power = first < point ? static_cast<std::int64_t>(point - first)
                                       : -static_cast<std::int64_t>(first - point - 1);

    const bool negative = exponent.starts_with('-');
    if (exponent.starts_with('+') || exponent.starts_with('-'))
        exponent.remove_prefix(1);
    std::int64_t value = 0;
    constexpr std::int64_t saturated = std::int64_t{1} << 40;
    for (std::size_t i = 0; i < exponent.size() && value < saturated; ++i)
        value = value * 10 + (exponent[i] - '0');
    power += negative ? -value : value;
    return power > 0 ? std::numeric_limits<double>::infinity() : 0.0;
}

// from_chars where the library has it for double, the portable reader where not: decided
// by the compiler from the library at hand, the same way on every platform.
template <class Double>
std::from_chars_result ReadDecimal(const char* first, const char* last, Double& value) {
    if constexpr (requires { std::from_chars(first, last, value, std::chars_format::general); })
        return std::from_chars(first, last, value, std::chars_format::general);
    else
        return ReadDecimalPortably(first, last, value);
}

// A product has left the range when it overflowed, or underflowed to zero from factors
// that are not zero: either way the quotient would be plainly wrong.
bool LeftRange(double product, double a, double b) {
    return !std::isfinite(product) || (product == 0 && a != 0 && b != 0);
}

} // namespace

double LeadingNumber(std::string_view text) {
    Characters in(text);
    while (in.Peek() == ' ' || in.Peek() == '\t')
        in.Skip();

    bool negative = false;
    if (in.Peek() == '+' || in.Peek() == '-') {
        negative = in.Peek() == '-';
        in.Skip();
    }

    std::string number; // in ASCII, as the readers take it
    bool hasDigits = in.TakeDigits(number);
    if (in.Peek() == '.') {
        in.Take(number);
        hasDigits = in.TakeDigits(number) || hasDigits;
    }
    if (!hasDigits)
        return 0.0;
    const auto mantissaSize = number.size();

    // An exponent counts only with at least one digit: "2e" and "2e+" read as 2.
    if (in.Peek() == 'e' || in.Peek() == 'E') {
        Characters exponent = in;
        std::string digits;
        exponent.Take(digits);
        if (exponent.Peek() == '+' || exponent.Peek() == '-')
            exponent.Take(digits);
        if (exponent.TakeDigits(digits))
            number += digits;
    }

    const char* const first = number.data();
    const char* const last = first + number.size();
    double value = 0.0;
    const auto [end, error] = ReadDecimal(first, last, value);
    if (error == std::errc::result_out_of_range) {
        const std::string_view all(number);
        value = OutOfRangeValue(all.substr(0, mantissaSize),
                                all.substr(std::min(mantissaSize + 1, all.size())));
    } else if (error != std::errc{} || end != last) {
        value = 0.0; // cannot happen for what was scanned above; never guess a value
    }
    return negative ? -value : value;
}

std::string FormatHundredths(double value) {
    if (!std::isfinite(value))
        return {};
    // The largest double has 309 integer digits; add sign, point and two decimals.
    std::array<char, 320> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed, 2);
    std::string_view text(buffer.data(), error == std::errc{} ? end - buffer.data() : 0);
    if (text == "-0.00")
        text.remove_prefix(1); // a sign on a zero would read as a sign error
    return std::string(text);
}

IncrementSignal ComputeIncrementSignal(std::string_view excitation, std::string_view cellCount,
                                       std::string_view divisionSize, std::string_view cellCapacity,
                                       std::string_view cellRating) {
    IncrementSignal r;
    r.excitation = LeadingNumber(excitation);
    r.cellCount = LeadingNumber(cellCount);
    r.divisionSize = LeadingNumber(divisionSize);
    r.cellCapacity = LeadingNumber(cellCapacity);
    r.cellRating = LeadingNumber(cellRating);

    // Multiplied in exactly this order; the factor 1000 turns mV into µV.
    const double voltsTimesDivision = r.excitation * r.divisionSize;
    const double millivolts = voltsTimesDivision * r.cellRating;
    const double numerator = millivolts * 1000;
    const double denominator = r.cellCapacity * r.cellCount;
    r.uvPerIncrement = numerator / denominator;

    if (r.cellCount == 0 || r.cellCapacity == 0) {
        r.failure = Failure::zeroDivisor;
    } else if (LeftRange(voltsTimesDivision, r.excitation, r.divisionSize) ||
               LeftRange(millivolts, voltsTimesDivision, r.cellRating) ||
               LeftRange(numerator, millivolts, 1000) ||
               LeftRange(denominator, r.cellCapacity, r.cellCount) ||
               !std::isfinite(r.uvPerIncrement)) {
        r.failure = Failure::outOfRange;
    }

    r.finite = r.failure == Failure::none;
    if (r.finite)
        r.text = FormatHundredths(r.uvPerIncrement);
    return r;
}

} // namespace calc
