#include "calc/increment_signal.h"

#include "calc/read_decimal.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>

namespace calc {
namespace {

// The characters of a text as the number rule reads them. Numbers come pasted from pages and
// documents with no-break and other Unicode spaces before them, and typed by input methods in
// full-width forms; each of those is read as its ASCII form, so that a number the user sees
// never reads as 0. Any other character that is not ASCII reads as '\0', which no rule takes.
// The number's characters are gathered in ASCII, as the readers take them.
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
    void Take() {
        number_ += Peek();
        Skip();
    }
    void StartNumber() {}
    std::string_view Number() const { return number_; }

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
    std::string number_;
};

// The same characters where the text is plain ASCII, as nearly everything typed and every
// list value is: bytes as they are, and the number read in place, with nothing decoded or
// copied. A byte beyond ASCII where the rule looks reads as '\0' and sets the flag (which a
// copy made to look ahead shares): then the text is one for Characters.
class AsciiCharacters {
public:
    AsciiCharacters(std::string_view text, bool& foreign)
        : at_(text.data())
        , end_(text.data() + text.size())
        , number_(at_)
        , foreign_(&foreign) {}

    char Peek() const {
        if (at_ == end_)
            return '\0';
        if (static_cast<unsigned char>(*at_) >= 0x80) {
            *foreign_ = true;
            return '\0';
        }
        return *at_;
    }
    void Skip() { ++at_; }
    void Take() { ++at_; }
    void StartNumber() { number_ = at_; }
    std::string_view Number() const { return {number_, static_cast<std::size_t>(at_ - number_)}; }

private:
    const char* at_;
    const char* end_;
    const char* number_;
    bool* foreign_;
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
// by the compiler from the library at hand, the same way on every platform. Either way the
// numbers people type take the portable reader's fast path first, which gives the same
// value sooner than the general reader.
template <class Double>
std::from_chars_result ReadDecimal(const char* first, const char* last, Double& value) {
    if constexpr (requires { std::from_chars(first, last, value, std::chars_format::general); }) {
        if (ReadDecimalExactly(first, last, value))
            return {last, std::errc{}};
        return std::from_chars(first, last, value, std::chars_format::general);
    } else {
        return ReadDecimalPortably(first, last, value);
    }
}

// A product has left the range when it overflowed, or underflowed to zero from factors
// that are not zero: either way the quotient would be plainly wrong.
bool LeftRange(double product, double a, double b) {
    return !std::isfinite(product) || (product == 0 && a != 0 && b != 0);
}

} // namespace

namespace {

template <class Text> bool TakeDigits(Text& in) {
    bool any = false;
    for (; IsDigit(in.Peek()); any = true)
        in.Take();
    return any;
}

// The number rule, over either kind of characters: the number's text in ASCII, with the
// length of its mantissa and its sign, or nothing when the text does not begin with one.
struct Scanned {
    std::string_view number;
    std::size_t mantissaSize = 0;
    bool negative = false;
};

template <class Text> std::optional<Scanned> Scan(Text& in) {
    while (in.Peek() == ' ' || in.Peek() == '\t')
        in.Skip();

    Scanned scanned;
    if (in.Peek() == '+' || in.Peek() == '-') {
        scanned.negative = in.Peek() == '-';
        in.Skip();
    }

    in.StartNumber();
    bool hasDigits = TakeDigits(in);
    if (in.Peek() == '.') {
        in.Take();
        hasDigits = TakeDigits(in) || hasDigits;
    }
    if (!hasDigits)
        return std::nullopt;
    scanned.mantissaSize = in.Number().size();

    // An exponent counts only with at least one digit: "2e" and "2e+" read as 2.
    if (in.Peek() == 'e' || in.Peek() == 'E') {
        Text exponent = in;
        exponent.Take();
        if (exponent.Peek() == '+' || exponent.Peek() == '-')
            exponent.Take();
        if (TakeDigits(exponent))
            in = std::move(exponent);
    }
    scanned.number = in.Number();
    return scanned;
}

double ReadScanned(const Scanned& scanned) {
    const std::string_view number = scanned.number;
    const char* const first = number.data();
    const char* const last = first + number.size();
    double value = 0.0;
    const auto [end, error] = ReadDecimal(first, last, value);
    if (error == std::errc::result_out_of_range) {
        value = OutOfRangeValue(number.substr(0, scanned.mantissaSize),
                                number.substr(std::min(scanned.mantissaSize + 1, number.size())));
    } else if (error != std::errc{} || end != last) {
        value = 0.0; // cannot happen for what was scanned; never guess a value
    }
    return scanned.negative ? -value : value;
}

} // namespace

double LeadingNumber(std::string_view text) {
    bool foreign = false;
    AsciiCharacters ascii(text, foreign);
    if (const auto scanned = Scan(ascii); !foreign)
        return scanned ? ReadScanned(*scanned) : 0.0;
    Characters decoded(text);
    const auto scanned = Scan(decoded);
    return scanned ? ReadScanned(*scanned) : 0.0;
}

namespace {

// A value's hundredths, rounded from its exact binary value with ties to even, where they
// fit in an integer: a double is m × 2^q exactly, so 100 × m, shifted right by -q, is the
// count of hundredths and the bits shifted out the rest, with no rounding along the way.
// Below 2^43 the 53 bits of m times 100 stay within 64. Nothing for larger values.
std::optional<std::uint64_t> Hundredths(double magnitude) {
    if (!(magnitude < 0x1p43))
        return std::nullopt;
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const auto biased = int(bits >> 52);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    const std::uint64_t m = biased == 0 ? fraction : fraction | std::uint64_t{1} << 52;
    const int shift = biased == 0 ? 1074 : 1075 - biased; // -q, at least 10 below 2^43
    const std::uint64_t scaled = m * 100;
    if (shift >= 64)
        return 0; // below 2^60 / 2^64 of a hundredth
    const std::uint64_t count = scaled >> shift;
    const std::uint64_t rest = scaled & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    return count + (rest > half || (rest == half && (count & 1)));
}

} // namespace

std::string FormatHundredths(double value) {
    if (!std::isfinite(value))
        return {};
    // The largest double has 309 integer digits; add sign, point and two decimals.
    std::array<char, 320> buffer{};
    char* const first = buffer.data();
    char* const last = first + buffer.size();
    std::string_view text;
    if (const auto count = Hundredths(std::abs(value))) {
        // Every value a scale gives, written without the general decimal conversion.
        char* end = first;
        if (value < 0 && *count != 0)
            *end++ = '-';
        end = std::to_chars(end, last, *count / 100).ptr;
        *end++ = '.';
        *end++ = char('0' + *count % 100 / 10);
        *end++ = char('0' + *count % 10);
        text = std::string_view(first, std::size_t(end - first));
    } else {
        const auto [end, error] = std::to_chars(first, last, value, std::chars_format::fixed, 2);
        text = std::string_view(first, error == std::errc{} ? std::size_t(end - first) : 0);
    }
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

    if (r.finite())
        r.text = FormatHundredths(r.uvPerIncrement);
    return r;
}

} // namespace calc
