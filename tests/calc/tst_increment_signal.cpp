// The calculation's tests, with GoogleTest. The calculation's and the number rule's cases are
// the rows of the shared table (cases.txt), which the browser build's comparison reads too;
// the number reader that build uses and the result's format have tables of their own here.
#include "calc/increment_signal.h"
#include "calc/read_decimal.h"
#include "tests/calc/cases.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <gtest/gtest.h>
#include <initializer_list>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cases {
// A case is shown by its name: a text can be 100,000 characters long.
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}
} // namespace cases

namespace calc {
void PrintTo(Failure failure, std::ostream* os) {
    *os << (failure == Failure::none          ? "none"
            : failure == Failure::zeroDivisor ? "zero divisor"
                                              : "out of range");
}
} // namespace calc

namespace {

using calc::Failure;

constexpr double inf = std::numeric_limits<double>::infinity();

// The shared table, read once: its cases, and the number of each line that is no case.
struct Table {
    bool read = false;
    std::vector<cases::Case> cases;
    std::vector<int> malformed;
};

const Table& SharedTable() {
    static const Table table = [] {
        Table t;
        std::ifstream file(QUINBRAY_CASES_FILE, std::ios::binary);
        t.read = bool(file);
        int number = 0;
        for (std::string line; std::getline(file, line);) {
            ++number;
            cases::Case c;
            const auto parsed = cases::Parse(line, c);
            if (parsed == cases::Line::malformed)
                t.malformed.push_back(number);
            else if (parsed == cases::Line::parsed)
                t.cases.push_back(std::move(c));
        }
        return t;
    }();
    return table;
}

std::vector<cases::Case> SharedCases(std::string_view kind) {
    std::vector<cases::Case> found;
    for (const auto& c : SharedTable().cases)
        if (c.kind == kind)
            found.push_back(c);
    return found;
}

// Each row's test is named for the row, in what GoogleTest takes for a name: letters,
// digits, and an underscore for each run of anything else.
struct ByName {
    template <class Row> std::string operator()(const testing::TestParamInfo<Row>& info) const {
        std::string name;
        bool gap = false;
        for (const char c : std::string_view(info.param.name)) {
            const bool kept =
                (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
            if (kept && gap && !name.empty())
                name += '_';
            if (kept)
                name += c;
            gap = !kept;
        }
        return name;
    }
};

std::string Repeat(std::string_view piece, int times) {
    std::string s;
    for (int i = 0; i < times; ++i)
        s += piece;
    return s;
}

TEST(SharedTable, HoldsOnlyCases) {
    const Table& table = SharedTable();
    ASSERT_TRUE(table.read) << "cannot read " << QUINBRAY_CASES_FILE;
    EXPECT_TRUE(table.malformed.empty())
        << QUINBRAY_CASES_FILE << ":" << table.malformed.front() << ": not a case";
    EXPECT_FALSE(SharedCases("calculate").empty());
    EXPECT_FALSE(SharedCases("number").empty());
}

// The number a text begins with.
struct NumberRow {
    std::string name, text;
    std::optional<double> expected; // nothing when the table's value is none
};
// A row is shown by its text where that is short, else by its name.
void PrintTo(const NumberRow& row, std::ostream* os) {
    *os << (row.text.size() <= 40 ? testing::PrintToString(row.text) : row.name);
}

std::vector<NumberRow> SharedNumbers() {
    std::vector<NumberRow> rows;
    for (const auto& c : SharedCases("number")) {
        double expected = 0;
        const char* last = c.expected.data() + c.expected.size();
        const auto [end, error] = std::from_chars(c.expected.data(), last, expected);
        rows.push_back(
            {c.name, c.texts[0],
             error == std::errc{} && end == last ? std::optional(expected) : std::nullopt});
    }
    return rows;
}

class LeadingNumber : public testing::TestWithParam<NumberRow> {};

TEST_P(LeadingNumber, ReadsAsItsValue) {
    const NumberRow& row = GetParam();
    ASSERT_TRUE(row.expected) << "the table gives no value";
    EXPECT_EQ(calc::LeadingNumber(row.text), *row.expected);
}

INSTANTIATE_TEST_SUITE_P(Shared, LeadingNumber, testing::ValuesIn(SharedNumbers()), ByName());
// Too long for a line of the table: the reader must keep up with any length pasted.
INSTANTIATE_TEST_SUITE_P(
    Long, LeadingNumber,
    testing::Values(NumberRow{"100000 digits", "0." + Repeat("0", 99999) + "25e100000", 2.5},
                    NumberRow{"100000 ones", Repeat("1", 100000) + "e-99999", 10.0 / 9.0},
                    NumberRow{"100000-digit exponent", "4e" + Repeat("0", 99999) + "2", 400.0}),
    ByName());

// A text for the portable reader, named for itself unless it is too long to be.
struct ReaderRow {
    std::string name, text;
};
void PrintTo(const ReaderRow& row, std::ostream* os) {
    *os << (row.text.size() <= 40 ? testing::PrintToString(row.text) : row.name);
}

// Texts named for themselves, their signs, points and blanks spelt out: "1e-5" is
// 1e minus 5, and stays apart from "1e5".
std::vector<ReaderRow> Named(std::initializer_list<std::string_view> texts) {
    std::vector<ReaderRow> rows;
    for (const std::string_view text : texts) {
        std::string name = text.empty() ? "nothing" : "";
        for (const char c : text) {
            name += c == '.'   ? " point "
                    : c == '+' ? " plus "
                    : c == '-' ? " minus "
                    : c == ' ' ? " blank "
                               : std::string(1, c);
        }
        rows.push_back({name, std::string(text)});
    }
    return rows;
}

// The reader the browser build uses must agree with from_chars bit for bit, both on the fast
// path (15 digits, powers of ten to 22) and on either side of its edges.
class PortableReader : public testing::TestWithParam<ReaderRow> {};

TEST_P(PortableReader, AgreesWithFromChars) {
    const std::string& number = GetParam().text;
    const char* first = number.data();
    const char* last = first + number.size();
    double expected = -1, actual = -1;
    const auto a = std::from_chars(first, last, expected, std::chars_format::general);
    const auto b = calc::ReadDecimalPortably(first, last, actual);
    EXPECT_EQ(int(b.ec), int(a.ec)) << "the error";
    EXPECT_EQ(b.ptr - first, a.ptr - first) << "the characters read";
    EXPECT_EQ(std::bit_cast<std::uint64_t>(actual), std::bit_cast<std::uint64_t>(expected))
        << testing::PrintToString(actual) << ", expected " << testing::PrintToString(expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, PortableReader,
                         testing::ValuesIn(Named({"12.5",
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
                                                  "7e-99999999999999999999999"})),
                         ByName());
INSTANTIATE_TEST_SUITE_P(Long, PortableReader,
                         testing::Values(ReaderRow{"400 nines", std::string(400, '9')},
                                         ReaderRow{"long exponent",
                                                   "1e" + std::string(500, '0') + "1"}),
                         ByName());

// Whatever it is given, the reader reads nothing beyond the text (each row is copied to a
// buffer of exactly its length, which the address sanitizer guards), and refuses what is not
// a number of its form, leaving the value alone.
class PortableReaderRefuses : public testing::TestWithParam<ReaderRow> {};

TEST_P(PortableReaderRefuses, WhatIsNoNumberOfItsForm) {
    const std::string& text = GetParam().text;
    const std::vector<char> exact(text.begin(), text.end());
    const char* first = exact.data();
    double value = -1;
    const auto [end, error] = calc::ReadDecimalPortably(first, first + exact.size(), value);
    EXPECT_EQ(int(error), int(std::errc::invalid_argument)) << "the error";
    EXPECT_EQ(end - first, 0) << "the characters read";
    EXPECT_EQ(value, -1) << "the value";
}

INSTANTIATE_TEST_SUITE_P(Rows, PortableReaderRefuses,
                         testing::ValuesIn(Named({"",    ".",    "1e",    "1E",   "1e+",
                                                  "1e-", ".e5",  "e5",    "-1",   "+1",
                                                  " 1",  "1 ",   "1.2.3", "1e5.", "1e5e5",
                                                  "1x",  "0x10", "inf",   "nan",  "1e+-5"})),
                         ByName());
INSTANTIATE_TEST_SUITE_P(Bytes, PortableReaderRefuses,
                         testing::Values(ReaderRow{"a zero byte inside",
                                                   std::string{'1', '\0', '5'}},
                                         ReaderRow{"bytes above ASCII", "1\xEF\xBC\x95"}),
                         ByName());

struct HundredthsRow {
    std::string name;
    double value;
    std::string expected;
};
void PrintTo(const HundredthsRow& row, std::ostream* os) {
    *os << row.name;
}

class Hundredths : public testing::TestWithParam<HundredthsRow> {};

TEST_P(Hundredths, AreWritten) {
    EXPECT_EQ(calc::FormatHundredths(GetParam().value), GetParam().expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, Hundredths, testing::Values(
    HundredthsRow{"one",                       1.0,               "1.00"},
    HundredthsRow{"leading zero",              0.8,               "0.80"},
    HundredthsRow{"no grouping",               45000.0,           "45000.00"},
    HundredthsRow{"every integer digit",       1e21,              "1000000000000000000000.00"},
    HundredthsRow{"exact tie to even",         0.625,             "0.62"},
    HundredthsRow{"exact tie up to even",      1.375,             "1.38"},
    HundredthsRow{"tie with many digits",      4398046511103.125, "4398046511103.12"},
    HundredthsRow{"below 2^43",                0x1p43 - 0.5,      "8796093022207.50"},
    HundredthsRow{"2^43",                      0x1p43,            "8796093022208.00"},
    HundredthsRow{"smallest subnormal",        4.9e-324,          "0.00"},
    HundredthsRow{"just below a half",         0.075,             "0.07"},
    HundredthsRow{"just above a half",         0.005,             "0.01"},
    HundredthsRow{"negative",                  -1.0,              "-1.00"},
    HundredthsRow{"negative zero",             -0.0,              "0.00"},
    HundredthsRow{"negative rounding to zero", -0.004,            "0.00"},
    HundredthsRow{"negative rounding away",    -0.005,            "-0.01"},
    HundredthsRow{"not finite",                inf,               ""}),
    ByName());
// clang-format on

// The calculation: its result text, or why there is none, and a quotient that the text shows.
class IncrementSignal : public testing::TestWithParam<cases::Case> {};

TEST_P(IncrementSignal, GivesTheCasesResult) {
    const cases::Case& c = GetParam();
    const auto& t = c.texts; // excitation, cells, division, capacity, rating
    const Failure failure = c.expected == "zero divisor"   ? Failure::zeroDivisor
                            : c.expected == "out of range" ? Failure::outOfRange
                                                           : Failure::none;
    const std::string expected = failure == Failure::none ? c.expected : "";
    ASSERT_FALSE(failure == Failure::none && expected.empty()) << "the table gives no result";

    const auto r = calc::ComputeIncrementSignal(t[0], t[1], t[2], t[3], t[4]);
    EXPECT_EQ(r.text, expected);
    EXPECT_EQ(r.failure, failure);
    if (r.finite()) {
        EXPECT_LE(std::abs(r.uvPerIncrement - std::stod(r.text)), 0.005 + 1e-12)
            << r.uvPerIncrement << " is not what \"" << r.text << "\" shows";
    }
}

INSTANTIATE_TEST_SUITE_P(Shared, IncrementSignal, testing::ValuesIn(SharedCases("calculate")),
                         ByName());

TEST(IncrementSignalValues, KeepTheirPlaces) {
    const auto r = calc::ComputeIncrementSignal("1", "2", "3", "4", "5");
    EXPECT_EQ(r.excitation, 1.0);
    EXPECT_EQ(r.cellCount, 2.0);
    EXPECT_EQ(r.divisionSize, 3.0);
    EXPECT_EQ(r.cellCapacity, 4.0);
    EXPECT_EQ(r.cellRating, 5.0);
    EXPECT_EQ(r.uvPerIncrement, 1875.0); // 1 × 3 × 5 × 1000 ÷ (4 × 2)
}

} // namespace
