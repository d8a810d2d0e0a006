#include "calc/read_decimal.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace calc {
namespace {

// What the reader takes: digits with at most one full stop, at least one of them a digit,
// then perhaps e or E, an optional sign and at least one digit. Checked before reading, so
// that no text, whatever its bytes, is read beyond its end or given a guessed value.
bool WellFormed(const char* p, const char* last) {
    bool digits = false, point = false;
    for (; p != last && (IsDigit(*p) || (*p == '.' && !point)); ++p) {
        point = point || *p == '.';
        digits = digits || *p != '.';
    }
    if (!digits)
        return false;
    if (p == last)
        return true;
    if (*p != 'e' && *p != 'E')
        return false;
    ++p;
    if (p != last && (*p == '+' || *p == '-'))
        ++p;
    return p != last && std::all_of(p, last, IsDigit);
}

// Clinger's fast path: with at most 15 significant digits and a power of ten of at most 22,
// both the digits and the power are exact doubles, so one multiplication or division
// rounds correctly. Covers every number a person types here; the rest goes to strtod.
// Takes only well-formed text.
bool ReadExactly(const char* first, const char* last, double& value) {
    static constexpr std::array<double, 23> kPowers{1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    std::uint64_t digits = 0;
    int significant = 0, power = 0;
    bool point = false;
    const char* p = first;
    for (; p != last && (IsDigit(*p) || *p == '.'); ++p) {
        if (*p == '.') {
            point = true;
        } else if (digits == 0 && *p == '0') {
            power -= point; // a leading zero only moves the point
        } else {
            if (++significant > 15)
                return false;
            digits = digits * 10 + std::uint64_t(*p - '0');
            power -= point;
        }
    }
    if (p != last) { // e, an optional sign, digits
        ++p;
        const bool negative = p != last && *p == '-';
        p += p != last && (*p == '+' || *p == '-');
        int exponent = 0;
        for (; p != last; ++p) {
            if (exponent > 1000)
                return false;
            exponent = exponent * 10 + (*p - '0');
        }
        power += negative ? -exponent : exponent;
    }
    if (digits != 0 && (power < -22 || power > 22))
        return false;
    value = digits == 0 ? 0.0
            : power < 0 ? double(digits) / kPowers[std::size_t(-power)]
                        : double(digits) * kPowers[std::size_t(power)];
    return true;
}

} // namespace

bool ReadDecimalExactly(const char* first, const char* last, double& value) {
    return WellFormed(first, last) && ReadExactly(first, last, value);
}

// The fast path above, else strtod, which rounds correctly too, with the full stop swapped
// for the decimal point of the C library's locale.
std::from_chars_result ReadDecimalPortably(const char* first, const char* last, double& value) {
    if (!WellFormed(first, last))
        return {first, std::errc::invalid_argument};
    if (ReadExactly(first, last, value))
        return {last, std::errc{}};
    std::string number(first, last);
    const char point = *std::localeconv()->decimal_point;
    std::ranges::replace(number, '.', point);
    errno = 0;
    char* end = nullptr;
    const double read = std::strtod(number.c_str(), &end);
    const auto used = static_cast<std::size_t>(end - number.c_str());
    if (errno == ERANGE && (read == 0 || std::isinf(read)))
        return {first + used, std::errc::result_out_of_range};
    value = read;
    return {first + used, std::errc{}};
}

} // namespace calc
