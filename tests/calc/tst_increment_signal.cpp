// The calculation's tests, with the standard library only, as the calculation itself: each
// table's rows are checked one by one, a failed row named on standard error, and the exit
// status says whether any failed.
#include "calc/increment_signal.h"
#include "calc/read_decimal.h"
#include "tests/calc/cases.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using calc::Failure;

namespace {
constexpr double inf = std::numeric_limits<double>::infinity();

int checks = 0;
int failures = 0;

void Check(bool ok, std::string_view test, std::string_view row, const std::string& detail) {
    ++checks;
    if (ok)
        return;
    ++failures;
    std::fprintf(stderr, "FAIL %.*s(%.*s): %s\n", int(test.size()), test.data(), int(row.size()),
                 row.data(), detail.c_str());
}

[[noreturn]] void Fatal(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    std::exit(2);
}

std::string Show(double value) {
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    return error == std::errc{} ? std::string(text, end) : "?";
}

std::string Repeat(std::string_view piece, int times) {
    std::string s;
    for (int i = 0; i < times; ++i)
        s += piece;
    return s;
}

// The rows live in the shared table, which the browser build's comparison reads too.
std::vector<cases::Case> SharedCases(std::string_view kind) {
    std::ifstream file(QUINBRAY_CASES_FILE, std::ios::binary);
    if (!file)
        Fatal(std::string("cannot read ") + QUINBRAY_CASES_FILE);
    std::vector<cases::Case> found;
    int number = 0;
    for (std::string line; std::getline(file, line);) {
        ++number;
        cases::Case c;
        const auto parsed = cases::Parse(line, c);
        if (parsed == cases::Line::malformed)
            Fatal(std::string(QUINBRAY_CASES_FILE) + ":" + std::to_string(number) + ": not a case");
        if (parsed == cases::Line::parsed && c.kind == kind)
            found.push_back(std::move(c));
    }
    return found;
}

void LeadingNumber() {
    struct Row {
        std::string name, text;
        double expected;
    };
    std::vector<Row> rows;
    for (const auto& c : SharedCases("number")) {
        double expected = 0;
        const char* last = c.expected.data() + c.expected.size();
        const auto [end, error] = std::from_chars(c.expected.data(), last, expected);
        if (error != std::errc{} || end != last)
            Fatal(c.name + ": no value");
        rows.push_back({c.name, c.texts[0], expected});
    }
    // Too long for a line of the table: the reader must keep up with any length pasted.
    rows.push_back({"100000 digits", "0." + Repeat("0", 99999) + "25e100000", 2.5});
    rows.push_back({"100000 ones", Repeat("1", 100000) + "e-99999", 10.0 / 9.0});
    rows.push_back({"100000-digit exponent", "4e" + Repeat("0", 99999) + "2", 400.0});

    for (const auto& row : rows) {
        const double value = calc::LeadingNumber(row.text);
        Check(value == row.expected, "leadingNumber", row.name,
              Show(value) + ", expected " + Show(row.expected));
    }
}

// The reader the browser build uses must agree with from_chars bit for bit, both on the fast
// path (15 digits, powers of ten to 22) and on either side of its edges.
void PortableReader() {
    struct Row {
        std::string name, number;
    };
    std::vector<Row> rows;
    for (const char* number : {"12.5",
                               "2500",
                               ".5",
                               "5.",
                               "0",
                               "0.000",
                               "0e99999",
                               "0.075",
                               "0.625",
                               "1.6",
                               "2.675",
                               "123456789012345",
                               "1234567890123456",
                               "9007199254740993",
                               "1e22",
                               "1e23",
                               "1e-22",
                               "1e-23",
                               "3.14159265358979323846",
                               "0.1e1",
                               "00012.50",
                               "1.7976931348623157e308",
                               "1.7976931348623159e308",
                               "2.2250738585072014e-308",
                               "4.9e-324",
                               "2.4703282292062327e-324",
                               "2.4703282292062328e-324",
                               "1e-310",
                               "1e400",
                               "1e-400",
                               "123456789012345678901234567890",
                               "1e+5",
                               "5E-0003",
                               "9223327695899131e-19",
                               "1e99999999999999999999999",
                               "7e-99999999999999999999999"})
        rows.push_back({number, number});
    rows.push_back({"400 nines", std::string(400, '9')});
    rows.push_back({"long exponent", "1e" + std::string(500, '0') + "1"});

    for (const auto& row : rows) {
        const char* first = row.number.data();
        const char* last = first + row.number.size();
        double expected = -1, actual = -1;
        const auto a = std::from_chars(first, last, expected, std::chars_format::general);
        const auto b = calc::ReadDecimalPortably(first, last, actual);
        Check(b.ec == a.ec, "portableReader", row.name,
              "error " + std::to_string(int(b.ec)) + ", expected " + std::to_string(int(a.ec)));
        Check(b.ptr == a.ptr, "portableReader", row.name,
              "read " + std::to_string(b.ptr - first) + " characters, expected " +
                  std::to_string(a.ptr - first));
        Check(std::bit_cast<std::uint64_t>(actual) == std::bit_cast<std::uint64_t>(expected),
              "portableReader", row.name, Show(actual) + ", expected " + Show(expected));
    }
}

// Whatever it is given, the reader reads nothing beyond the text (each row is copied to a
// buffer of exactly its length, which the address sanitizer guards), and refuses what is not
// a number of its form, leaving the value alone.
void PortableReaderRefuses() {
    std::vector<std::pair<std::string, std::string>> rows; // name, text
    for (const char* text :
         {"",   ".",  "1e",    "1E",   "1e+",   "1e-", ".e5",  "e5",  "-1",  "+1",
          " 1", "1 ", "1.2.3", "1e5.", "1e5e5", "1x",  "0x10", "inf", "nan", "1e+-5"})
        rows.emplace_back(text, text);
    rows.emplace_back("a zero byte inside", std::string{'1', '\0', '5'});
    rows.emplace_back("bytes above ASCII", "1\xEF\xBC\x95");
    for (const auto& [name, text] : rows) {
        const std::vector<char> exact(text.begin(), text.end());
        const char* first = exact.data();
        double value = -1;
        const auto [end, error] = calc::ReadDecimalPortably(first, first + exact.size(), value);
        Check(error == std::errc::invalid_argument, "portableReaderRefuses", name,
              "error " + std::to_string(int(error)) + ", expected invalid_argument");
        Check(end == first, "portableReaderRefuses", name,
              "read " + std::to_string(end - first) + " characters, expected none");
        Check(value == -1, "portableReaderRefuses", name, "the value became " + Show(value));
    }
}

void Hundredths() {
    struct Row {
        const char* name;
        double value;
        const char* expected;
    };
    for (const Row& row : std::initializer_list<Row>{
             {"one", 1.0, "1.00"},
             {"leading zero", 0.8, "0.80"},
             {"no grouping", 45000.0, "45000.00"},
             {"every integer digit", 1e21, "1000000000000000000000.00"},
             {"exact tie to even", 0.625, "0.62"},
             {"exact tie up to even", 1.375, "1.38"},
             {"tie with many digits", 4398046511103.125, "4398046511103.12"},
             {"below 2^43", 0x1p43 - 0.5, "8796093022207.50"},
             {"2^43", 0x1p43, "8796093022208.00"},
             {"smallest subnormal", 4.9e-324, "0.00"},
             {"just below a half", 0.075, "0.07"},
             {"just above a half", 0.005, "0.01"},
             {"negative", -1.0, "-1.00"},
             {"negative zero", -0.0, "0.00"},
             {"negative rounding to zero", -0.004, "0.00"},
             {"negative rounding away", -0.005, "-0.01"},
             {"not finite", inf, ""},
         }) {
        const std::string text = calc::FormatHundredths(row.value);
        Check(text == row.expected, "hundredths", row.name,
              "\"" + text + "\", expected \"" + row.expected + "\"");
    }
}

void Compute() {
    for (const auto& c : SharedCases("calculate")) {
        const auto& t = c.texts; // excitation, cells, division, capacity, rating
        const Failure failure = c.expected == "zero divisor"   ? Failure::zeroDivisor
                                : c.expected == "out of range" ? Failure::outOfRange
                                                               : Failure::none;
        const std::string expected = failure == Failure::none ? c.expected : "";
        if (failure == Failure::none && expected.empty())
            Fatal(c.name + ": no expected result");

        const auto r = calc::ComputeIncrementSignal(t[0], t[1], t[2], t[3], t[4]);
        Check(r.text == expected, "compute", c.name,
              "\"" + r.text + "\", expected \"" + expected + "\"");
        Check(r.failure == failure, "compute", c.name,
              "failure " + std::to_string(int(r.failure)) + ", expected " +
                  std::to_string(int(failure)));
        if (r.finite())
            Check(std::abs(r.uvPerIncrement - std::stod(r.text)) <= 0.005 + 1e-12, "compute",
                  c.name, Show(r.uvPerIncrement) + " is not what \"" + r.text + "\" shows");
    }
}

void ValuesKeepTheirPlaces() {
    const auto r = calc::ComputeIncrementSignal("1", "2", "3", "4", "5");
    struct Row {
        const char* name;
        double value, expected;
    };
    for (const Row& row : std::initializer_list<Row>{
             {"excitation", r.excitation, 1.0},
             {"cell count", r.cellCount, 2.0},
             {"division size", r.divisionSize, 3.0},
             {"cell capacity", r.cellCapacity, 4.0},
             {"cell rating", r.cellRating, 5.0},
             {"signal", r.uvPerIncrement, 1875.0}, // 1 × 3 × 5 × 1000 ÷ (4 × 2)
         })
        Check(row.value == row.expected, "valuesKeepTheirPlaces", row.name,
              Show(row.value) + ", expected " + Show(row.expected));
}

} // namespace

int main() {
    LeadingNumber();
    PortableReader();
    PortableReaderRefuses();
    Hundredths();
    Compute();
    ValuesKeepTheirPlaces();
    std::printf("%d checks, %d failed\n", checks, failures);
    return failures == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
