// What the windows tell a screen reader through Qt's accessibility interfaces, which the
// accessibility bus forwards as they answer: every text question at every offset of every
// field answered (Qt 6.4's own answer for the word at a field's end never returns), the
// text as one attribute run, each window's role, name and text, and the warning box.

#include "platform/qt/native.h"
#include "shell/forms.h"
#include "tests/designed.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace {

QWidget& Window(shell::Form form) {
    shell::Show(form);
    return shell::GetInstance(form).window.native();
}

// Each text field of the calculator, a list's edit text included.
QList<QLineEdit*> Fields() {
    return Window(shell::Form::mainfrm).findChildren<QLineEdit*>();
}

QAccessibleTextInterface& TextOf(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    if (!accessible || !accessible->textInterface())
        qFatal("no text interface on %s", qPrintable(widget->objectName()));
    return *accessible->textInterface();
}

using Ask = QString (QAccessibleTextInterface::*)(int, QAccessible::TextBoundaryType, int*,
                                                  int*) const;

} // namespace

class TestAccessible : public QObject {
    Q_OBJECT

private slots:
    void textAtEveryOffset_data();
    void textAtEveryOffset();
    void oneAttributeRun();
    void windows_data();
    void windows();
    void warning();
};

void TestAccessible::textAtEveryOffset_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("words"); // the text split at the start of each word
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("one digit") << "5" << QStringList{"5"};
    QTest::newRow("number") << "12.5" << QStringList{"12.5"};
    QTest::newRow("number and unit") << "2500 lb" << QStringList{"2500 ", "lb"};
    QTest::newRow("blanks around") << "  2  mV/V " << QStringList{"  ", "2  ", "mV/", "V "};
    QTest::newRow("full-width") << "１５ kg" << QStringList{"１５ ", "kg"};
}

// Each kind of item at each offset, the end included, is answered by a piece of the text
// that holds the offset; at the end, the last word, sentence and line.
void TestAccessible::textAtEveryOffset() {
    QFETCH(QString, text);
    QFETCH(QStringList, words);
    const int length = int(text.size());
    const QList<QAccessible::TextBoundaryType> kinds{
        QAccessible::CharBoundary, QAccessible::WordBoundary,      QAccessible::SentenceBoundary,
        QAccessible::LineBoundary, QAccessible::ParagraphBoundary, QAccessible::NoBoundary};
    for (QLineEdit* field : Fields()) {
        field->setText(text);
        QAccessibleTextInterface& reader = TextOf(field);
        QCOMPARE(reader.characterCount(), length);
        for (QAccessible::TextBoundaryType kind : kinds) {
            QMap<int, QString> pieces; // the answers at each offset, by where they start
            for (int offset = 0; offset <= length; ++offset) {
                for (Ask ask : {&QAccessibleTextInterface::textBeforeOffset,
                                &QAccessibleTextInterface::textAtOffset,
                                &QAccessibleTextInterface::textAfterOffset}) {
                    int start = -1, end = -1;
                    const QString piece = (reader.*ask)(offset, kind, &start, &end);
                    const auto where = QStringLiteral("%1 at %2 of \"%3\", kind %4")
                                           .arg(field->objectName())
                                           .arg(offset)
                                           .arg(text)
                                           .arg(int(kind));
                    QVERIFY2(0 <= start && start <= end && end <= length, qPrintable(where));
                    QVERIFY2(piece == text.mid(start, end - start), qPrintable(where));
                    if (ask == &QAccessibleTextInterface::textAtOffset) {
                        QVERIFY2(start <= offset && offset <= end, qPrintable(where));
                        QVERIFY2(!piece.isEmpty() || length == 0 ||
                                     (kind == QAccessible::CharBoundary && offset == length),
                                 qPrintable(where));
                        if (!piece.isEmpty())
                            pieces[start] = piece;
                    }
                }
            }
            const QStringList items = pieces.values();
            if (kind == QAccessible::WordBoundary)
                QCOMPARE(items, words);
            else if (kind == QAccessible::CharBoundary)
                QCOMPARE(items.join(""), text);
            else
                QCOMPARE(items, length ? QStringList{text} : QStringList{});
        }
    }
}

// A reader splits the text by its attribute runs: one run over the whole of it, wherever
// asked, keeps every digit of the result.
void TestAccessible::oneAttributeRun() {
    QLineEdit* result = Window(shell::Form::mainfrm).findChild<QLineEdit*>("Text1");
    result->setText("3.75");
    for (int offset = 0; offset <= 4; ++offset) {
        int start = -1, end = -1;
        const QString attributes = TextOf(result).attributes(offset, &start, &end);
        QCOMPARE(start, 0);
        QCOMPARE(end, 4);
        QVERIFY2(attributes.contains("background-color:rgb(255,255,192);"), qPrintable(attributes));
    }
}

void TestAccessible::windows_data() {
    QTest::addColumn<shell::Form>("form");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description"); // its start
    const designed::Design& design = designed::Get();
    const auto text = [](const std::string& s) { return QString::fromStdString(s); };
    QTest::newRow("calculator") << shell::Form::mainfrm << QAccessible::Window
                                << text(design.window("mainfrm").title) << "";
    QTest::newRow("help") << shell::Form::helpfrm << QAccessible::Dialog
                          << text(design.window("helpfrm").title)
                          << text(design.control("helpfrm", "Label1").caption + '\n' +
                                  design.control("helpfrm", "Label6").caption);
}

// Each window is a frame or dialog named by its title, a child of the application; a
// dialog's text is its description, which a reader says as it appears.
void TestAccessible::windows() {
    QFETCH(shell::Form, form);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, name);
    QFETCH(QString, description);
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&Window(form));
    QCOMPARE(window->role(), role);
    QCOMPARE(window->text(QAccessible::Name), name);
    const QString text = window->text(QAccessible::Description);
    QVERIFY2(description.isEmpty() ? text.isEmpty() : text.startsWith(description),
             qPrintable(text));
    QCOMPARE(window->parent()->role(), QAccessible::Application);
}

// The warning is an alert beside its window, not inside it, so that a reader takes it for
// a window that appeared. Its text describes the OK button, which a reader says as the focus
// lands on it whenever the box appeared; the text shown is related to the button, so that a
// reader does not say it a second time as the alert's.
void TestAccessible::warning() {
    QWidget& main = Window(shell::Form::mainfrm);
    QComboBox* cells = main.findChild<QComboBox*>("Combo2");
    cells->setEditText("0");
    QTest::mouseClick(main.findChild<QPushButton*>("cmd1"), Qt::LeftButton);
    QMessageBox* box = main.findChild<QMessageBox*>();
    QVERIFY(box && box->isVisible());
    const QString text = "The number of load cells and the load cell capacity must not be zero.";
    QAccessibleInterface* alert = QAccessible::queryAccessibleInterface(box);
    QCOMPARE(alert->role(), QAccessible::AlertMessage);
    QCOMPARE(alert->parent()->role(), QAccessible::Application);
    QCOMPARE(alert->text(QAccessible::Name), // titled like its window
             QString::fromStdString(designed::Get().window("mainfrm").title));
    QCOMPARE(alert->text(QAccessible::Description), "");
    QAbstractButton* ok = box->button(QMessageBox::Ok);
    QVERIFY(ok);
    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(ok);
    QCOMPARE(button->text(QAccessible::Name), "OK");
    QCOMPARE(button->text(QAccessible::Description), text);
    QLabel* shown = nullptr;
    for (QLabel* label : box->findChildren<QLabel*>())
        if (label->text() == text)
            shown = label;
    QVERIFY(shown && shown->isVisible());
    QAccessibleInterface* said = QAccessible::queryAccessibleInterface(shown);
    QCOMPARE(said->text(QAccessible::Name), text);
    const auto related = said->relations(QAccessible::Labelled);
    QCOMPARE(related.size(), 1);
    QCOMPARE(related.front().first, button);
    box->close();
    cells->setEditText("4");
}

QTEST_MAIN(TestAccessible)
#include "tst_accessible.moc"
