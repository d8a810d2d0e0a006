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
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

const char* SkipDigits(const char* p, const char* end) {
    while (p != end && IsDigit(*p))
        ++p;
    return p;
}

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
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p != end && IsBlank(*p))
        ++p;

    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }

    const char* const mantissa = p;
    p = SkipDigits(p, end);
    bool hasDigits = p != mantissa;
    if (p != end && *p == '.') {
        const char* const fraction = p + 1;
        p = SkipDigits(fraction, end);
        hasDigits = hasDigits || p != fraction;
    }
    if (!hasDigits)
        return 0.0;
    const char* const mantissaEnd = p;

    // An exponent counts only with at least one digit: "2e" and "2e+" read as 2.
    std::string_view exponent;
    if (p != end && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        if (q != end && (*q == '+' || *q == '-'))
            ++q;
        if (q != end && IsDigit(*q)) {
            const char* const exponentEnd = SkipDigits(q, end);
            exponent = std::string_view(p + 1, exponentEnd);
            p = exponentEnd;
        }
    }
    const char* const numberEnd = p;

    double value = 0.0;
    const auto [last, error] = ReadDecimal(mantissa, numberEnd, value);
    if (error == std::errc::result_out_of_range)
        value = OutOfRangeValue(std::string_view(mantissa, mantissaEnd), exponent);
    else if (error != std::errc{} || last != numberEnd)
        value = 0.0; // cannot happen for what was scanned above; never guess a value
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
