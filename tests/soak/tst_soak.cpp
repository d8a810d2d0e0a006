// Thousands of Calculate runs on the real windows with texts drawn at random, interleaved
// with trips to the help window and back: every result must be what the calculation gives
// for the same texts, no message may stay open, and memory must not creep.

#define QTEST_QPA_MOUSE_HANDLING

#include "calc/increment_signal.h"
#include "platform/qt/native.h"
#include "shell/forms.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <random>

namespace {

// Resident memory of this process in KiB, from the kernel's own account.
long ResidentKiB() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    return -1;
}

// A text a person might type or paste: most of them numbers with blanks, signs, decimals,
// exponents or units; the rest any mix of those and of letters and non-ASCII characters,
// now and then as long as a line edit holds.
class Texts {
public:
    QString Next() {
        static const QString pieces[] = {
            "",  " ", "\t",  "-",   "+",     ".",    "e",     "E",      "e-",     "e+",
            "0", "1", "7",   "9",   "12.5",  "2500", "1e308", "1e-320", "lb",     "kg",
            ",", "x", "inf", "nan", "0x1p3", "µV",   "５",    "€",      "\u00a0", "日本"};
        QString text;
        const int kind = Pick(100);
        if (kind < 2) { // the longest a line edit holds
            const QString piece = pieces[Pick(std::size(pieces))];
            text = piece.isEmpty() ? QString(32767, '9') : piece.repeated(32767 / piece.size());
            return text.left(32767);
        }
        if (kind < 80) { // a number with the trimmings people add
            text = pieces[Pick(5)] + QString::number(Pick(10000));
            if (Pick(2))
                text += "." + QString::number(Pick(1000));
            if (Pick(4) == 0)
                text += pieces[6 + Pick(4)] + QString::number(Pick(400));
            if (Pick(4) == 0)
                text += pieces[Pick(std::size(pieces))];
            return text;
        }
        for (int i = Pick(12); i > 0; --i)
            text += pieces[Pick(std::size(pieces))];
        return text;
    }

private:
    int Pick(std::size_t n) {
        return int(std::uniform_int_distribution<std::size_t>(0, n - 1)(random));
    }
    std::mt19937 random{20261208};
};

// The headless platform says, for every message box, that it cannot do what only a window
// system does; thousands of those would bury the test's own output.
QtMessageHandler testlibHandler = nullptr;
void QuietHeadlessPlatform(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (!text.startsWith(QLatin1String("This plugin does not support")))
        testlibHandler(type, context, text);
}

} // namespace

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testlibHandler = qInstallMessageHandler(QuietHeadlessPlatform); }
    void calculateThousandsOfTimes();
};

void TestSoak::calculateThousandsOfTimes() {
    constexpr int kRuns = 10000, kRoundTripEvery = kRuns / 500;
    QWidget& main = shell::GetInstance(shell::Form::mainfrm).window.native();
    shell::Show(shell::Form::mainfrm);
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QComboBox* lists[] = {
        main.findChild<QComboBox*>("Combo1"), main.findChild<QComboBox*>("Combo2"),
        main.findChild<QComboBox*>("Combo4"), main.findChild<QComboBox*>("Combo5")};
    auto* division = main.findChild<QLineEdit*>("Text3");
    auto* result = main.findChild<QLineEdit*>("Text1");
    auto* calculate = main.findChild<QPushButton*>("cmd1");
    auto* help = main.findChild<QPushButton*>("cmd2");

    // Memory is compared in the same state: short texts in every field, nothing pending.
    const auto settledResident = [&] {
        for (QComboBox* list : lists)
            list->setEditText("1");
        division->setText("1");
        QTest::mouseClick(calculate, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return ResidentKiB();
    };

    Texts texts;
    long residentAfterWarmUp = 0;
    int messages = 0;
    for (int run = 1; run <= kRuns; ++run) {
        QString t[5];
        for (QString& text : t)
            text = texts.Next();
        lists[0]->setEditText(t[0]);
        lists[1]->setEditText(t[1]);
        division->setText(t[2]);
        lists[2]->setEditText(t[3]);
        lists[3]->setEditText(t[4]);
        // A line edit keeps at most 32,767 characters; compute from what it holds.
        const QByteArray held[] = {lists[0]->currentText().toUtf8(),
                                   lists[1]->currentText().toUtf8(), division->text().toUtf8(),
                                   lists[2]->currentText().toUtf8(),
                                   lists[3]->currentText().toUtf8()};
        const auto expected = calc::ComputeIncrementSignal(
            held[0].toStdString(), held[1].toStdString(), held[2].toStdString(),
            held[3].toStdString(), held[4].toStdString());

        QTest::mouseClick(calculate, Qt::MouseButton(Qt::LeftButton << (run % 3)));
        QCOMPARE(result->text(), QString::fromStdString(expected.text));
        if (auto* box = main.findChild<QMessageBox*>()) {
            QVERIFY(!expected.finite());
            box->close();
            ++messages;
        } else {
            QVERIFY(expected.finite());
        }

        if (run % kRoundTripEvery == 0) {
            QTest::mouseClick(help, Qt::LeftButton);
            QWidget& helpWindow = shell::GetInstance(shell::Form::helpfrm).window.native();
            QVERIFY(helpWindow.isVisible() && !main.isVisible());
            QTest::mouseClick(helpWindow.findChild<QPushButton*>("cmd1"), Qt::LeftButton);
            QVERIFY(main.isVisible() && !helpWindow.isVisible());
            QCOMPARE(result->text(), QString::fromStdString(expected.text));
        }
        if (run % 100 == 0)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (run == 1000)
            residentAfterWarmUp = settledResident();
    }
    const long growth = settledResident() - residentAfterWarmUp;
    QVERIFY(!main.findChild<QMessageBox*>());
    QVERIFY(messages > 0 && messages < kRuns); // both outcomes were exercised

    qInfo("%d runs, %d with a message; resident memory grew by %ld KiB after the first 1000", kRuns,
          messages, growth);
#ifndef QUINBRAY_SANITIZED // the sanitizers hold freed memory back on purpose
    QVERIFY2(growth <= 2048, qPrintable(QString::number(growth) + " KiB"));
#endif
}

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
