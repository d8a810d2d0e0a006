#include "calc/increment_signal.h"
#include "calc/read_decimal.h"
#include "tests/calc/cases.h"

#include <QFile>
#include <QTest>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

using calc::Failure;

Q_DECLARE_METATYPE(Failure)

namespace {
constexpr double inf = std::numeric_limits<double>::infinity();

std::string Repeat(std::string_view piece, int times) {
    std::string s;
    for (int i = 0; i < times; ++i)
        s += piece;
    return s;
}
} // namespace

class TestIncrementSignal : public QObject {
    Q_OBJECT

private slots:
    void leadingNumber_data();
    void leadingNumber();
    void portableReader_data();
    void portableReader();
    void portableReaderRefuses_data();
    void portableReaderRefuses();
    void hundredths_data();
    void hundredths();
    void compute_data();
    void compute();
    void valuesKeepTheirPlaces();
};

namespace {

// The rows live in the shared table, which the browser build's comparison reads too.
std::vector<cases::Case> SharedCases(std::string_view kind) {
    QFile file(QStringLiteral(QUINBRAY_CASES_FILE));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", QUINBRAY_CASES_FILE);
    std::vector<cases::Case> found;
    int number = 0;
    for (const QByteArray& line : file.readAll().split('\n')) {
        ++number;
        cases::Case c;
        const auto parsed = cases::Parse(std::string_view(line.constData(), line.size()), c);
        if (parsed == cases::Line::malformed)
            qFatal("%s:%d: not a case", QUINBRAY_CASES_FILE, number);
        if (parsed == cases::Line::parsed && c.kind == kind)
            found.push_back(std::move(c));
    }
    return found;
}

} // namespace

void TestIncrementSignal::leadingNumber_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("expected");

    for (const auto& c : SharedCases("number")) {
        double expected = 0;
        const char* last = c.expected.data() + c.expected.size();
        const auto [end, error] = std::from_chars(c.expected.data(), last, expected);
        if (error != std::errc{} || end != last)
            qFatal("%s: no value", c.name.c_str());
        QTest::newRow(c.name.c_str()) << QByteArray::fromStdString(c.texts[0]) << expected;
    }
    // Too long for a line of the table: the reader must keep up with any length pasted.
    QTest::newRow("100000 digits")
        << QByteArray(("0." + Repeat("0", 99999) + "25e100000").c_str()) << 2.5;
    QTest::newRow("100000 ones") << QByteArray((Repeat("1", 100000) + "e-99999").c_str())
                                 << 10.0 / 9.0;
    QTest::newRow("100000-digit exponent")
        << QByteArray(("4e" + Repeat("0", 99999) + "2").c_str()) << 400.0;
}

void TestIncrementSignal::leadingNumber() {
    QFETCH(QByteArray, text);
    QFETCH(double, expected);
    const double value = calc::LeadingNumber(std::string_view(text.constData(), text.size()));
    QVERIFY2(value == expected, qPrintable(QString::number(value, 'g', 17)));
}

// The reader the browser build uses must agree with from_chars bit for bit, both on the fast
// path (15 digits, powers of ten to 22) and on either side of its edges.
void TestIncrementSignal::portableReader_data() {
    QTest::addColumn<QByteArray>("number");
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
        QTest::newRow(number) << QByteArray(number);
    QTest::newRow("400 nines") << QByteArray(400, '9');
    QTest::newRow("long exponent") << QByteArray("1e" + QByteArray(500, '0') + "1");
}

void TestIncrementSignal::portableReader() {
    QFETCH(QByteArray, number);
    const char* first = number.constData();
    const char* last = first + number.size();
    double expected = -1, actual = -1;
    const auto a = std::from_chars(first, last, expected, std::chars_format::general);
    const auto b = calc::ReadDecimalPortably(first, last, actual);
    QCOMPARE(b.ec, a.ec);
    QCOMPARE(b.ptr, a.ptr);
    QVERIFY2(std::bit_cast<std::uint64_t>(actual) == std::bit_cast<std::uint64_t>(expected),
             qPrintable(QString::number(actual, 'g', 17)));
}

// Whatever it is given, the reader reads nothing beyond the text (each row is copied to a
// buffer of exactly its length, which the address sanitizer guards), and refuses what is not
// a number of its form, leaving the value alone.
void TestIncrementSignal::portableReaderRefuses_data() {
    QTest::addColumn<QByteArray>("text");
    for (const char* text :
         {"",   ".",  "1e",    "1E",   "1e+",   "1e-", ".e5",  "e5",  "-1",  "+1",
          " 1", "1 ", "1.2.3", "1e5.", "1e5e5", "1x",  "0x10", "inf", "nan", "1e+-5"})
        QTest::newRow(text) << QByteArray(text);
    QTest::newRow("a zero byte inside") << QByteArray("1\0"
                                                      "5",
                                                      3);
    QTest::newRow("bytes above ASCII") << QByteArray("1\xEF\xBC\x95");
}

void TestIncrementSignal::portableReaderRefuses() {
    QFETCH(QByteArray, text);
    const std::vector<char> exact(text.begin(), text.end());
    const char* first = exact.data();
    double value = -1;
    const auto [end, error] = calc::ReadDecimalPortably(first, first + exact.size(), value);
    QCOMPARE(error, std::errc::invalid_argument);
    QVERIFY(end == first);
    QCOMPARE(value, -1.0);
}

void TestIncrementSignal::hundredths_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("one") << 1.0 << "1.00";
    QTest::newRow("leading zero") << 0.8 << "0.80";
    QTest::newRow("no grouping") << 45000.0 << "45000.00";
    QTest::newRow("every integer digit") << 1e21 << "1000000000000000000000.00";
    QTest::newRow("exact tie to even") << 0.625 << "0.62";
    QTest::newRow("exact tie up to even") << 1.375 << "1.38";
    QTest::newRow("tie with many digits") << 4398046511103.125 << "4398046511103.12";
    QTest::newRow("below 2^43") << 0x1p43 - 0.5 << "8796093022207.50";
    QTest::newRow("2^43") << 0x1p43 << "8796093022208.00";
    QTest::newRow("smallest subnormal") << 4.9e-324 << "0.00";
    QTest::newRow("just below a half") << 0.075 << "0.07";
    QTest::newRow("just above a half") << 0.005 << "0.01";
    QTest::newRow("negative") << -1.0 << "-1.00";
    QTest::newRow("negative zero") << -0.0 << "0.00";
    QTest::newRow("negative rounding to zero") << -0.004 << "0.00";
    QTest::newRow("negative rounding away") << -0.005 << "-0.01";
    QTest::newRow("not finite") << inf << "";
}

void TestIncrementSignal::hundredths() {
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(calc::FormatHundredths(value)), expected);
}

void TestIncrementSignal::compute_data() {
    QTest::addColumn<QStringList>("texts"); // excitation, cells, division, capacity, rating
    QTest::addColumn<QString>("expected");
    QTest::addColumn<Failure>("failure");

    for (const auto& c : SharedCases("calculate")) {
        QStringList texts;
        for (const auto& t : c.texts)
            texts << QString::fromStdString(t);
        const Failure failure = c.expected == "zero divisor"   ? Failure::zeroDivisor
                                : c.expected == "out of range" ? Failure::outOfRange
                                                               : Failure::none;
        const QString text = failure == Failure::none ? QString::fromStdString(c.expected) : "";
        if (failure == Failure::none && text.isEmpty())
            qFatal("%s: no expected result", c.name.c_str());
        QTest::newRow(c.name.c_str()) << texts << text << failure;
    }
}

void TestIncrementSignal::compute() {
    QFETCH(QStringList, texts);
    QFETCH(QString, expected);
    QFETCH(Failure, failure);
    std::vector<std::string> t;
    for (const QString& s : texts)
        t.push_back(s.toStdString());

    const auto r = calc::ComputeIncrementSignal(t[0], t[1], t[2], t[3], t[4]);
    QCOMPARE(QString::fromStdString(r.text), expected);
    QCOMPARE(r.failure, failure);
    QCOMPARE(r.finite, failure == Failure::none);
    if (r.finite)
        QVERIFY(std::abs(r.uvPerIncrement - std::stod(r.text)) <= 0.005 + 1e-12);
}

void TestIncrementSignal::valuesKeepTheirPlaces() {
    const auto r = calc::ComputeIncrementSignal("1", "2", "3", "4", "5");
    QCOMPARE(r.excitation, 1.0);
    QCOMPARE(r.cellCount, 2.0);
    QCOMPARE(r.divisionSize, 3.0);
    QCOMPARE(r.cellCapacity, 4.0);
    QCOMPARE(r.cellRating, 5.0);
    QCOMPARE(r.uvPerIncrement, 1875.0); // 1 × 3 × 5 × 1000 ÷ (4 × 2)
}

QTEST_APPLESS_MAIN(TestIncrementSignal)
#include "tst_increment_signal.moc"
