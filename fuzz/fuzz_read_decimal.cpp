// Differential: the portable reader of a decimal number, which the browser build uses, must
// be safe on any bytes and give exactly what from_chars gives, value and error alike, for
// every text it takes. It reads the bytes twice: as they are, and made into such a number
// (digits with at most one full stop, then perhaps an exponent), which random bytes seldom
// are by themselves. Any difference traps, so libFuzzer keeps the input.

#include "calc/read_decimal.h"
#include "fuzz/require.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// The reader takes what from_chars reads whole, starting at a digit or a full stop (no
// sign, no blank, no "inf"); everything else it refuses, leaving the value alone.
void Compare(const char* first, const char* last) {
    double expected = -1, actual = -1;
    const auto a = std::from_chars(first, last, expected, std::chars_format::general);
    const auto b = calc::ReadDecimalPortably(first, last, actual);
    const bool takes = first != last && ((*first >= '0' && *first <= '9') || *first == '.') &&
                       a.ec != std::errc::invalid_argument && a.ptr == last;
    if (takes)
        Require(a.ec == b.ec && a.ptr == b.ptr && SameBits(expected, actual));
    else
        Require(b.ec == std::errc::invalid_argument && b.ptr == first && SameBits(actual, -1));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // libFuzzer's own buffer, exactly as long as the input: a read past it is a fault.
    const auto* bytes = reinterpret_cast<const char*>(data);
    Compare(bytes, bytes + size);

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
    Compare(number.data(), number.data() + number.size());
    return 0;
}
