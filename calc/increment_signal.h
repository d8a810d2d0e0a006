#pragma once

// The arithmetic of the calculator: five texts in, the signal of one displayed increment out.
// Nothing here knows about windows; the main window reads its fields, calls
// ComputeIncrementSignal and decides how to show the outcome.

#include <string>
#include <string_view>

namespace calc {

// Why a quotient could not be given.
enum class Failure {
    none,
    zeroDivisor, // the cell count or the cell capacity reads as 0
    outOfRange,  // a value, product or the quotient left the range of a double
};

// The five values the texts read as, and the quotient: what the main window keeps of a
// calculation.
struct Numbers {
    double excitation = 0, cellCount = 0, divisionSize = 0, cellCapacity = 0, cellRating = 0;
    double uvPerIncrement = 0; // µV per displayed increment
};

struct IncrementSignal : Numbers {
    std::string text; // uvPerIncrement as "##0.00"; empty when not finite
    Failure failure = Failure::none;

    // uvPerIncrement is usable.
    bool finite() const { return failure == Failure::none; }
};

// Reads the number a text begins with: blanks, an optional sign, digits with at most one
// full stop, an optional exponent. The text is UTF-8: any Unicode space separator counts as
// a blank, and full-width digits, point and signs and the minus sign U+2212 as their ASCII
// forms. The rest of the text is ignored; a text that does not
// begin with a number reads as 0. Never depends on the locale. Too large a number reads as
// infinity of its sign, too small a one as 0.
double LeadingNumber(std::string_view text);

// Writes a value with exactly two decimals, rounded from its exact binary value with ties
// to even, with a full stop and no grouping; a value that rounds to zero is "0.00".
std::string FormatHundredths(double value);

// excitation × division × rating × 1000 ÷ (capacity × count), in that order.
IncrementSignal ComputeIncrementSignal(std::string_view excitation, std::string_view cellCount,
                                       std::string_view divisionSize, std::string_view cellCapacity,
                                       std::string_view cellRating);

} // namespace calc
