#pragma once

// Reading a decimal number without std::from_chars, for C++ libraries that lack it for
// double (libc++ up to 19, which the browser build uses). Correctly rounded and independent
// of the locale, like from_chars.

#include <charconv>

namespace calc {

// The only digits a number is read with, here and in the number rule: ASCII's. Not
// <cctype>'s isdigit, whose answers follow the locale.
constexpr bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads [first, last), which holds digits with at most one full stop and, after them, an
// optional exponent (e or E, an optional sign, digits), as from_chars with
// chars_format::general does: result_out_of_range, with the value untouched, when the number
// overflows or underflows to zero; a subnormal result is a value, not an error. Any other
// text, such as an exponent without digits ("1e"), a sign before the number or nothing at
// all, gives invalid_argument at first, with the value untouched.
std::from_chars_result ReadDecimalPortably(const char* first, const char* last, double& value);

// Its fast path alone, which takes every number a person types: true, with the value, for
// such text with at most 15 significant digits and a power of ten within 22, where one
// correctly rounded operation gives the value; false, with the value untouched, otherwise.
bool ReadDecimalExactly(const char* first, const char* last, double& value);

} // namespace calc
