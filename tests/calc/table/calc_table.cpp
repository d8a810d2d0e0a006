// calc_table: reads cases from standard input in the form of the shared table (cases.txt,
// see cases.h) and writes for each what the calculation gives, whatever the case expects:
// for a calculation the failure, the result text and every number, for a number the value
// it reads as, shortest round trip. Built natively and for the browser, so that the two
// outputs can be compared exactly.
//
// calc_table --time RUNS: goes over the cases RUNS times and writes, instead of the results,
// the time each run took in milliseconds, one a line. Only the calculation and the writing
// of its results to memory are timed, after the input is read and before anything is
// written, so that the native program and the browser's are timed alike: neither the
// program's start nor its input and output count.

#include "calc/increment_signal.h"
#include "tests/calc/cases.h"

#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Put(std::string& out, double value) {
    if (std::isnan(value)) { // its sign and spelling are the library's
        out += "nan ";
        return;
    }
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    out.append(buffer.data(), end);
    out += ' ';
}

std::string Row(std::string_view line) {
    cases::Case c;
    const auto parsed = cases::Parse(line, c);
    if (parsed == cases::Line::comment)
        return {};
    if (parsed == cases::Line::malformed)
        return "malformed\n";
    std::string out;
    if (c.kind == "number") {
        Put(out, calc::LeadingNumber(c.texts[0]));
        return out + '\n';
    }
    const auto& t = c.texts;
    const auto r = calc::ComputeIncrementSignal(t[0], t[1], t[2], t[3], t[4]);
    out = std::to_string(int(r.failure)) + ' ' + (r.finite() ? "finite " : "none ");
    for (double value : {r.excitation, r.cellCount, r.divisionSize, r.cellCapacity, r.cellRating,
                         r.uvPerIncrement})
        Put(out, value);
    return out + '"' + r.text + "\"\n";
}

std::string Rows(std::string_view input) {
    std::string output;
    for (std::string_view rest = input; !rest.empty();) {
        const auto newline = rest.find('\n');
        output += Row(rest.substr(0, newline));
        rest = newline == std::string_view::npos ? std::string_view() : rest.substr(newline + 1);
    }
    return output;
}

} // namespace

int main(int argc, char* argv[]) {
    const bool timed = argc == 3 && std::string_view(argv[1]) == "--time";
    const int runs = timed ? std::atoi(argv[2]) : 1;
    if ((argc != 1 && !timed) || runs < 1) {
        std::fputs("usage: calc_table [--time RUNS] < cases\n", stderr);
        return 2;
    }
    std::string input;
    std::array<char, 65536> chunk{};
    for (std::size_t n; (n = std::fread(chunk.data(), 1, chunk.size(), stdin)) > 0;)
        input.append(chunk.data(), n);
    std::string output;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const std::string rows = Rows(input);
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        output += timed ? std::to_string(took.count()) + '\n' : rows;
    }
    std::fwrite(output.data(), 1, output.size(), stdout);
    return 0;
}
