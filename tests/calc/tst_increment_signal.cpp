#include "calc/increment_signal.h"
#include "calc/read_decimal.h"

#include <QTest>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

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
    void hundredths_data();
    void hundredths();
    void compute_data();
    void compute();
    void valuesKeepTheirPlaces();
};

void TestIncrementSignal::leadingNumber_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("empty") << QByteArray() << 0.0;
    QTest::newRow("blanks only") << QByteArray(" \t ") << 0.0;
    QTest::newRow("leading blanks and tab") << QByteArray(" \t 12.5") << 12.5;
    QTest::newRow("newline is no blank") << QByteArray("\n5") << 0.0;
    QTest::newRow("unit after number") << QByteArray("12.5 V") << 12.5;
    QTest::newRow("unit after capacity") << QByteArray("2500 lb") << 2500.0;
    QTest::newRow("comma ends number") << QByteArray("2,500") << 2.0;
    QTest::newRow("blank ends number") << QByteArray("2 500") << 2.0;
    QTest::newRow("point first") << QByteArray(".5") << 0.5;
    QTest::newRow("point last") << QByteArray("5.") << 5.0;
    QTest::newRow("second point ends number") << QByteArray("1.2.3") << 1.2;
    QTest::newRow("plus sign") << QByteArray("+3") << 3.0;
    QTest::newRow("minus and point") << QByteArray("-.25") << -0.25;
    QTest::newRow("sign after blanks") << QByteArray("  -7") << -7.0;
    QTest::newRow("blank after sign") << QByteArray("- 7") << 0.0;
    QTest::newRow("two signs") << QByteArray("--7") << 0.0;
    QTest::newRow("lone sign") << QByteArray("-") << 0.0;
    QTest::newRow("lone point") << QByteArray(".") << 0.0;
    QTest::newRow("sign and point") << QByteArray("+.e5") << 0.0;
    QTest::newRow("letters") << QByteArray("abc") << 0.0;
    QTest::newRow("exponent") << QByteArray("1e3") << 1000.0;
    QTest::newRow("exponent with sign") << QByteArray("2.5E-1") << 0.25;
    QTest::newRow("e without digits") << QByteArray("2e") << 2.0;
    QTest::newRow("e and sign without digits") << QByteArray("2e+") << 2.0;
    QTest::newRow("e and letter") << QByteArray("2e-x") << 2.0;
    QTest::newRow("exponent alone") << QByteArray("e5") << 0.0;
    QTest::newRow("hex prefix") << QByteArray("0x10") << 0.0;
    QTest::newRow("ampersand prefix") << QByteArray("&H10") << 0.0;
    QTest::newRow("hex float") << QByteArray("0x1p3") << 0.0;
    QTest::newRow("inf") << QByteArray("inf") << 0.0;
    QTest::newRow("minus infinity") << QByteArray("-infinity") << 0.0;
    QTest::newRow("nan") << QByteArray("nan") << 0.0;
    QTest::newRow("full-width digit") << QByteArray("\xef\xbc\x95") << 0.0;
    QTest::newRow("too large") << QByteArray("1e400") << inf;
    QTest::newRow("too large, negative") << QByteArray("-1e400") << -inf;
    QTest::newRow("400 nines") << QByteArray(400, '9') << inf;
    QTest::newRow("too small") << QByteArray("1e-400") << 0.0;
    QTest::newRow("too small by zeros")
        << QByteArray(("0." + Repeat("0", 400) + "1").c_str()) << 0.0;
    QTest::newRow("huge exponent") << QByteArray("1e99999999999999999999999") << inf;
    QTest::newRow("huge negative exponent") << QByteArray("7e-99999999999999999999999") << 0.0;
    QTest::newRow("large mantissa, small exponent")
        << QByteArray(("1" + Repeat("0", 500) + "e-500").c_str()) << 1.0;
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
                               "5E-0003"})
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

void TestIncrementSignal::hundredths_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("one") << 1.0 << "1.00";
    QTest::newRow("leading zero") << 0.8 << "0.80";
    QTest::newRow("no grouping") << 45000.0 << "45000.00";
    QTest::newRow("every integer digit") << 1e21 << "1000000000000000000000.00";
    QTest::newRow("exact tie to even") << 0.625 << "0.62";
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

    const auto row = [](const char* name, QStringList texts, QString text, Failure f) {
        QTest::newRow(name) << texts << text << f;
    };
    const Failure ok = Failure::none;
    row("start-up values", {"5", "4", "1", "2500", "2"}, "1.00", ok);
    row("half division", {"10", "4", "0.5", "1000", "3"}, "3.75", ok);
    row("four cells, 15 V", {"15", "4", "1", "1000", "2"}, "7.50", ok);
    row("one small cell", {"10", "1", "1", "50", "2"}, "400.00", ok);
    row("three cells, 3.001 mV/V", {"5", "3", "1", "1000", "3.001"}, "5.00", ok);
    row("all integer digits", {"15", "1", "1", "1", "3"}, "45000.00", ok);
    row("rounds to zero", {"1.6", "24", "0.01", "50000", "2"}, "0.00", ok);
    row("negative rounds to zero", {"-1.6", "24", "0.01", "50000", "2"}, "0.00", ok);
    row("negative excitation", {"-5", "4", "1", "2500", "2"}, "-1.00", ok);
    row("letters read as zero", {"5", "4", "abc", "2500", "2"}, "0.00", ok);
    row("unit after capacity", {"5", "4", "1", "2500 lb", "2"}, "1.00", ok);
    row("exact tie", {"5", "8", "1", "2000", "2"}, "0.62", ok);
    row("just below a tie", {"15", "8", "1", "50000", "2"}, "0.07", ok);
    row("exponents", {"5e0", "4", "1E0", "2.5e3", "2"}, "1.00", ok);
    row("tiny quotient", {"1", "1e300", "1", "1e7", "1"}, "0.00", ok);
    row("no cells", {"5", "0", "1", "2500", "2"}, "", Failure::zeroDivisor);
    row("capacity not a number", {"5", "4", "1", "lots", "2"}, "", Failure::zeroDivisor);
    row("everything empty", {"", "", "", "", ""}, "", Failure::zeroDivisor);
    row("input too large", {"1e400", "4", "1", "2500", "2"}, "", Failure::outOfRange);
    row("infinite times zero", {"1e400", "4", "0", "2500", "2"}, "", Failure::outOfRange);
    row("denominator overflows", {"5", "1e300", "1", "1e300", "2"}, "", Failure::outOfRange);
    row("numerator overflows", {"1e200", "4", "1e200", "2500", "2"}, "", Failure::outOfRange);
    row("quotient overflows", {"1e300", "1", "1", "1e-300", "1"}, "", Failure::outOfRange);
    row("denominator underflows", {"5", "1e-200", "1", "1e-200", "2"}, "", Failure::outOfRange);
    row("product underflows", {"1e-200", "1", "1e-200", "1e-300", "1"}, "", Failure::outOfRange);
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
    QCOMPARE(r.text, std::string("1875.00"));
}

QTEST_APPLESS_MAIN(TestIncrementSignal)
#include "tst_increment_signal.moc"
