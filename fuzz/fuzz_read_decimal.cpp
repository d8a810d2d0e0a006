// Differential: the portable reader of a decimal number, which the browser build uses, must
// give exactly what from_chars gives, value and error alike, for any number the scanner
// passes on. The bytes become such a number: digits with at most one full stop, then
// perhaps an exponent. Any difference traps, so libFuzzer keeps the input.

#include "calc/read_decimal.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string number;
    bool point = false, exponent = false;
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t byte = data[i];
        if (byte == '.' && !point && !exponent) {
            point = true;
            number += '.';
        } else if ((byte == 'e' || byte == 'E') && !exponent &&
                   number.find_first_of("0123456789") != std::string::npos) {
            exponent = true;
            number += 'e';
            if (i + 1 < size && (data[i + 1] == '+' || data[i + 1] == '-'))
                number += char(data[++i]);
            number += '0' + char(i + 1 < size ? data[++i] % 10 : 0); // at least one digit
        } else {
            number += char('0' + byte % 10);
        }
    }
    if (number.find_first_of("0123456789") == std::string::npos)
        return 0;

    const char* first = number.data();
    const char* last = first + number.size();
    double expected = -1, actual = -1;
    const auto a = std::from_chars(first, last, expected, std::chars_format::general);
    const auto b = calc::ReadDecimalPortably(first, last, actual);
    if (a.ec != b.ec || a.ptr != b.ptr ||
        std::bit_cast<std::uint64_t>(expected) != std::bit_cast<std::uint64_t>(actual))
        __builtin_trap();
    return 0;
}
