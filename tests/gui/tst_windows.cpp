// The two windows as a person uses them, through real mouse and key events on the real
// widgets, and their look against the designed pixel values (1 pixel = 15 twips).

// Mouse events go through the platform layer, as the window system's do, so Qt itself picks
// the widget that receives them (a release goes to the widget that took the press).
#define QTEST_QPA_MOUSE_HANDLING

#include "mainwindow/mainfrm.h"
#include "platform/qt/native.h"
#include "shell/forms.h"
#include "tests/designed.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QtTest/qtestspontaneevent.h>

namespace {

template <class W = QWidget> W* Get(QWidget& window, const QString& name) {
    auto* w = window.findChild<W*>(name);
    if (!w)
        qFatal("no control %s", qPrintable(name));
    return w;
}

QWidget& Window(shell::Form form) {
    return shell::GetInstance(form).window.native();
}
QWidget& Main() {
    return Window(shell::Form::mainfrm);
}
QWidget& Help() {
    return Window(shell::Form::helpfrm);
}
mainfrm& Calculator() {
    return static_cast<mainfrm&>(shell::GetInstance(shell::Form::mainfrm));
}
QLineEdit* Result() {
    return Get<QLineEdit>(Main(), "Text1");
}
QPushButton* Calculate() {
    return Get<QPushButton>(Main(), "cmd1");
}

const QStringList kInputs{"Combo1", "Combo2", "Text3", "Combo4", "Combo5"};

QColor Colour(const designed::Rgb& rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// The inputs' texts at start-up, in kInputs' order.
QStringList StartUpTexts() {
    QStringList texts;
    for (const QString& input : kInputs)
        for (const designed::StartUp& s : designed::Get().startUp)
            if (input == s.name.c_str())
                texts << QString::fromStdString(s.text);
    return texts;
}
const QStringList kStartUp = StartUpTexts();

// Types into an input as a person would: click it, select everything, type.
void Type(const QString& input, const QString& text) {
    QWidget* control = Get(Main(), input);
    if (auto* list = qobject_cast<QComboBox*>(control))
        control = list->lineEdit();
    QTest::mouseClick(control, Qt::LeftButton);
    QTest::keyClick(control, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(control, Qt::Key_Delete);
    QTest::keyClicks(control, text);
}

void TypeAll(const QStringList& texts) {
    for (int i = 0; i < kInputs.size(); ++i)
        Type(kInputs[i], texts[i]);
}

QStringList Typed() {
    QStringList texts;
    for (const QString& input : kInputs) {
        QWidget* control = Get(Main(), input);
        auto* list = qobject_cast<QComboBox*>(control);
        texts << (list ? list->currentText() : qobject_cast<QLineEdit*>(control)->text());
    }
    return texts;
}

qsizetype HelpWindows() {
    return std::ranges::count_if(QApplication::topLevelWidgets(),
                                 [](QWidget* w) { return w->objectName() == "helpfrm"; });
}

void ShowAndActivate(QWidget& window) {
    QVERIFY(window.isVisible());
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

// Where the keyboard's keys go: to an open popup's focus, else to the focus widget.
QWidget* KeyTarget() {
    if (QWidget* popup = QApplication::activePopupWidget())
        return popup->focusWidget() ? popup->focusWidget() : popup;
    return QApplication::focusWidget();
}

// A key as the keyboard delivers it.
void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(KeyTarget(), key, modifiers);
}

QMessageBox* OpenMessage() {
    return Main().findChild<QMessageBox*>();
}

} // namespace

class TestWindows : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void startUp_data();
    void startUp();
    void namedForScreenReaders_data();
    void namedForScreenReaders();
    void typedTextStaysText();
    void typingIntoOpenList_data();
    void typingIntoOpenList();
    void calculate_data();
    void calculate();
    void keyboardDoesNotCalculate_data();
    void keyboardDoesNotCalculate();
    void pressElsewhereReleasedOnCalculate_data();
    void pressElsewhereReleasedOnCalculate();
    void resultAnnounced();
    void doubleClickCalculatesTwice();
    void notFinite_data();
    void notFinite();
    void helpAndBack_data();
    void helpAndBack();
    void tabOrder_data();
    void tabOrder();
    void oneSize_data();
    void oneSize();
    void layout_data();
    void layout();
    void captionsFit();
    void themes_data();
    void themes();
    void exitEnds_data();
    void exitEnds();
};

void TestWindows::initTestCase() {
    QWidget& main = Main();
    // The load step has run before the window is first visible.
    QVERIFY(!main.isVisible());
    QCOMPARE(Get<QComboBox>(main, "Combo1")->currentText(), "5");
    QCOMPARE(HelpWindows(), 0); // made only when first asked for
    QApplication::setQuitOnLastWindowClosed(false);
    shell::Show(shell::Form::mainfrm);
}

void TestWindows::init() {
    shell::Show(shell::Form::mainfrm);
    ShowAndActivate(Main());
}

void TestWindows::cleanup() {
    if (QMessageBox* box = OpenMessage())
        box->close();
}

void TestWindows::startUp_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("text");

    for (const designed::StartUp& s : designed::Get().startUp) {
        QStringList items;
        for (const std::string& item : s.items)
            items << QString::fromStdString(item);
        QTest::addRow("%s", s.name.c_str())
            << QString::fromStdString(s.name)
            << QString::fromStdString(designed::Get().control(s.window, s.label).caption) << items
            << QString::fromStdString(s.text);
    }
}

void TestWindows::startUp() {
    QFETCH(QString, input);
    QFETCH(QString, label);
    QFETCH(QStringList, items);
    QFETCH(QString, text);
    QWidget* control = Get(Main(), input);
    // What a screen reader reads: the input is labelled by its caption; a list's name is its
    // value, and the line edit inside it, which holds the keyboard, is named by the caption.
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    const auto labels = accessible->relations(QAccessible::Label);
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.front().first->text(QAccessible::Name), label);
    if (auto* list = qobject_cast<QComboBox*>(control)) {
        QCOMPARE(accessible->text(QAccessible::Value), text);
        QCOMPARE(QAccessible::queryAccessibleInterface(list->lineEdit())->text(QAccessible::Name),
                 label);
        QStringList shown;
        for (int i = 0; i < list->count(); ++i)
            shown << list->itemText(i);
        QCOMPARE(shown, items);
        QCOMPARE(list->currentText(), text);
    } else {
        QCOMPARE(accessible->text(QAccessible::Name), label);
        QCOMPARE(qobject_cast<QLineEdit*>(control)->text(), text);
    }
}

void TestWindows::namedForScreenReaders_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control"); // empty: the window itself
    QTest::addColumn<QString>("name");
    // A window by its title, a button by its caption without the access key's "&".
    const char* const rows[][2] = {{"mainfrm", ""},     {"mainfrm", "cmd1"}, {"mainfrm", "cmd2"},
                                   {"mainfrm", "cmd3"}, {"helpfrm", ""},     {"helpfrm", "cmd1"}};
    for (const auto& [window, control] : rows) {
        const designed::Design& design = designed::Get();
        const QString name = QString::fromStdString(
            *control ? design.control(window, control).caption : design.window(window).title);
        QTest::addRow("%s %s", window, *control ? control : "window")
            << QString(window) << QString(control) << QString(name).remove('&');
    }
}

void TestWindows::namedForScreenReaders() {
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QString, name);
    QWidget& form = window == "mainfrm" ? Main() : Help();
    QWidget* named = control.isEmpty() ? &form : Get(form, control);
    QCOMPARE(QAccessible::queryAccessibleInterface(named)->text(QAccessible::Name), name);
}

void TestWindows::typedTextStaysText() {
    auto* cells = Get<QComboBox>(Main(), "Combo2");
    Type("Combo2", "1");
    QCOMPARE(cells->currentText(), "1"); // not completed to "10"
    Type("Combo2", "7");
    QTest::keyClick(cells->lineEdit(), Qt::Key_Return);
    QCOMPARE(cells->currentText(), "7");
    QCOMPARE(cells->count(), 14);   // and not added to the list
    QCOMPARE(Result()->text(), ""); // typing computes nothing

    // Picking an item replaces the text.
    auto* excitation = Get<QComboBox>(Main(), "Combo1");
    excitation->showPopup();
    QTest::keyClick(excitation->view(), Qt::Key_Home);
    QTest::keyClick(excitation->view(), Qt::Key_Down);
    QTest::keyClick(excitation->view(), Qt::Key_Return);
    QCOMPARE(excitation->currentText(), "12.5");
}

void TestWindows::typingIntoOpenList_data() {
    QTest::addColumn<QString>("open"); // "Alt+Down", "F4" or "arrow"
    QTest::addColumn<QString>("keys"); // typed; "<" is Backspace, "v" Down, "^" Up
    QTest::addColumn<QString>("expected");

    QTest::newRow("Alt+Down, 12") << "Alt+Down"
                                  << "12"
                                  << "12";
    QTest::newRow("F4, 1") << "F4"
                           << "1"
                           << "1";
    QTest::newRow("arrow, 7") << "arrow"
                              << "7"
                              << "7";
    QTest::newRow("Alt+Down, 2 kg") << "Alt+Down"
                                    << "2 kg"
                                    << "2 kg";
    QTest::newRow("typed, then Backspace") << "F4"
                                           << "12<"
                                           << "1";
    QTest::newRow("nothing typed keeps the text") << "arrow"
                                                  << ""
                                                  << "5";
    QTest::newRow("Down from the text's item takes the next") << "F4"
                                                              << "v"
                                                              << "4";
    QTest::newRow("Up after typing takes an item again") << "Alt+Down"
                                                         << "12v^"
                                                         << "15";
}

void TestWindows::typingIntoOpenList() {
    QFETCH(QString, open);
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    auto* list = Get<QComboBox>(Main(), "Combo1");
    Type("Combo1", "5");
    if (open == "arrow") {
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.editable = true;
        const QRect arrow = list->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                          QStyle::SC_ComboBoxArrow, list);
        QTest::mouseClick(list, Qt::LeftButton, {}, arrow.center());
    } else {
        Press(open == "F4" ? Qt::Key_F4 : Qt::Key_Down,
              open == "F4" ? Qt::NoModifier : Qt::AltModifier);
    }
    QTRY_VERIFY(list->view()->isVisible());
    QCOMPARE(KeyTarget(), list->view()); // the open list has the keys, as on a real display

    for (const QChar key : keys) {
        if (key == '<')
            Press(Qt::Key_Backspace);
        else if (key == 'v' || key == '^')
            Press(key == 'v' ? Qt::Key_Down : Qt::Key_Up);
        else
            QTest::keyClicks(KeyTarget(), key);
    }
    Press(Qt::Key_Return);
    QTRY_VERIFY(!list->view()->isVisible());
    QCOMPARE(list->currentText(), expected);
    QCOMPARE(list->count(), 8);
    QCOMPARE(Result()->text(), "");
}

void TestWindows::calculate_data() {
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QPoint>("releaseAt"); // relative to the button
    QTest::addColumn<QString>("expected");

    const QPoint inside(20, 10), outside(-100, -60);
    const Qt::KeyboardModifiers none;
    QTest::newRow("left") << kStartUp << Qt::LeftButton << none << inside << "1.00";
    QTest::newRow("right") << QStringList{"10", "4", "0.5", "1000", "3"} << Qt::RightButton << none
                           << inside << "3.75";
    QTest::newRow("middle, shift and control")
        << QStringList{"15", "1", "1", "1", "3"} << Qt::MiddleButton
        << (Qt::ShiftModifier | Qt::ControlModifier) << inside << "45000.00";
    QTest::newRow("released off the button") << QStringList{"-5", "4", "1", "2500 lb", "2"}
                                             << Qt::LeftButton << none << outside << "-1.00";
    QTest::newRow("right, released off the button")
        << QStringList{"5", "8", "1", "2000", "2"} << Qt::RightButton << none << outside << "0.62";
}

void TestWindows::calculate() {
    QFETCH(QStringList, texts);
    QFETCH(Qt::MouseButton, button);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QPoint, releaseAt);
    QFETCH(QString, expected);
    TypeAll(texts);
    Result()->setText("stale");

    QTest::mousePress(Calculate(), button, modifiers, QPoint(20, 10));
    QCOMPARE(Result()->text(), "stale");                       // the press alone does nothing
    QCOMPARE(Calculate()->isDown(), button == Qt::LeftButton); // drawn pressed, as a button is
    QTest::mouseRelease(Calculate(), button, modifiers, releaseAt);
    QCOMPARE(Result()->text(), expected);
    QVERIFY(std::abs(Calculator().uvPerIncrement - expected.toDouble()) <= 0.005 + 1e-12);
}

void TestWindows::keyboardDoesNotCalculate_data() {
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("access key") << Qt::Key_C << Qt::KeyboardModifiers(Qt::AltModifier);
    QTest::newRow("space") << Qt::Key_Space << Qt::KeyboardModifiers();
    QTest::newRow("Enter") << Qt::Key_Return << Qt::KeyboardModifiers();
    QTest::newRow("keypad Enter") << Qt::Key_Enter << Qt::KeyboardModifiers(Qt::KeypadModifier);
}

void TestWindows::keyboardDoesNotCalculate() {
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    TypeAll(kStartUp);
    Result()->setText("unchanged");
    QSignalSpy clicks(Calculate(), &QPushButton::clicked);
    Calculate()->setFocus();

    Press(key, modifiers);
    QTRY_COMPARE(clicks.count(), 1); // the key did reach the button
    QCOMPARE(Result()->text(), "unchanged");
}

void TestWindows::pressElsewhereReleasedOnCalculate_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("left") << Qt::LeftButton;
    QTest::newRow("right") << Qt::RightButton;
}

void TestWindows::pressElsewhereReleasedOnCalculate() {
    QFETCH(Qt::MouseButton, button);
    TypeAll(kStartUp);
    const QPoint at = Calculate()->rect().center();
    const auto release = [&] { // as a window system hands it over, without the press
        QMouseEvent up(QEvent::MouseButtonRelease, at, Calculate()->mapToGlobal(at), button,
                       Qt::NoButton, {});
        QSpontaneKeyEvent::setSpontaneous(&up);
        QApplication::sendEvent(Calculate(), &up);
    };
    // A press of its own first, so that a release is not taken for the one after it.
    QTest::mousePress(Calculate(), button, {}, at);
    QTest::mouseRelease(Calculate(), button, {}, at);
    QCOMPARE(Result()->text(), "1.00");
    Result()->setText("unchanged");

    QTest::mousePress(&Main(), button, {}, QPoint(335, 175)); // empty window corner
    QTest::mouseRelease(&Main(), button, {}, Calculate()->geometry().center());
    QCOMPARE(Result()->text(), "unchanged");

    // Qt hands that release to the widget that took the press; a window system may also hand
    // it to the control under the pointer, as Windows does when the window that took the
    // press did not capture the mouse. The button then sees a release it never saw pressed.
    release();
    QCOMPARE(Result()->text(), "unchanged");
}

// Each press of a double click is a press on the button, and each release runs Calculate.
void TestWindows::doubleClickCalculatesTwice() {
    TypeAll(kStartUp);
    int runs = 0;
    const auto counter = connect(Result(), &QLineEdit::textChanged, this, [&](const QString& t) {
        if (t == "1.00") {
            ++runs;
            Result()->setText("stale"); // so that the next run changes the text again
        }
    });
    Result()->setText("stale");
    QTest::mouseDClick(Calculate(), Qt::LeftButton);
    disconnect(counter);
    QCOMPARE(runs, 2);
}

namespace {
// What a screen reader is told: Qt tells the accessibility bus each time a widget is shown.
class Shown : public QObject {
public:
    explicit Shown(QWidget& watched) { watched.installEventFilter(this); }
    QStringList names; // the accessible name and role of each showing

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
            names << (accessible->role() == QAccessible::Notification ? "notification: " : "") +
                         accessible->text(QAccessible::Name);
        }
        return false;
    }
};
} // namespace

// Each Calculate's result reaches a screen reader as a notification, the same result again
// too, while the keyboard stays where it was; the result cleared before a warning does not,
// since the warning is said.
void TestWindows::resultAnnounced() {
    TypeAll(kStartUp);
    Calculate()->setFocus();
    QTest::mouseClick(Calculate(), Qt::LeftButton);
    auto* notification = Main().findChild<QWidget*>("announcement");
    QVERIFY(notification && notification->isVisible());
    QCOMPARE(notification->focusPolicy(), Qt::NoFocus);
    Shown shown(*notification);
    QTest::mouseClick(Calculate(), Qt::RightButton);
    TypeAll({"10", "4", "0.5", "1000", "3"});
    Calculate()->setFocus();
    QTest::mouseClick(Calculate(), Qt::LeftButton);
    QCOMPARE(shown.names, QStringList({"notification: Quinbray per Increment 1.00",
                                       "notification: Quinbray per Increment 3.75"}));
    QCOMPARE(QApplication::focusWidget(), Calculate());
    TypeAll({"5", "0", "1", "2500", "2"});
    QTest::mouseClick(Calculate(), Qt::LeftButton);
    QTRY_VERIFY(OpenMessage());
    QCOMPARE(Result()->text(), "");
    QCOMPARE(shown.names.size(), 2);
}

void TestWindows::notFinite_data() {
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("message");
    QTest::newRow("no cells") << QStringList{"5", "0", "1", "2500", "2"}
                              << "The number of load cells and the load cell capacity must not "
                                 "be zero.";
    QTest::newRow("capacity not a number") << QStringList{"5", "4", "1", "abc", "2"}
                                           << "The number of load cells and the load cell "
                                              "capacity must not be zero.";
    QTest::newRow("too large") << QStringList{"5", "1e300", "1", "1e300", "2"}
                               << "The values are too large or too small to calculate.";
}

void TestWindows::notFinite() {
    QFETCH(QStringList, texts);
    QFETCH(QString, message);
    TypeAll(kStartUp);
    QTest::mouseClick(Calculate(), Qt::LeftButton);
    QCOMPARE(Result()->text(), "1.00");
    const mainfrm& main = Calculator();
    const double before[] = {main.excitation, main.cellCount, main.uvPerIncrement};

    TypeAll(texts);
    QTest::mouseClick(Calculate(), Qt::LeftButton);
    QCOMPARE(Result()->text(), ""); // no earlier result beside the new inputs
    QMessageBox* box = OpenMessage();
    QVERIFY(box && box->isVisible());
    QCOMPARE(box->windowTitle(), // titled like its window
             QString::fromStdString(designed::Get().window("mainfrm").title));
    QCOMPARE(box->text(), message);
    QTest::keyClick(box, Qt::Key_Return);
    QTRY_VERIFY(!OpenMessage());

    QCOMPARE(Typed(), texts); // what the user typed stays
    const double after[] = {main.excitation, main.cellCount, main.uvPerIncrement};
    QVERIFY(std::equal(std::begin(before), std::end(before), std::begin(after)));
}

namespace {

// How a button is used: "click", its access key, "Enter" or "keypad Enter" on it where the
// keyboard is, and for Close also the title bar's close and Escape.
void Use(const QString& how, QWidget& window, const QString& button, Qt::Key accessKey) {
    if (how == "click")
        QTest::mouseClick(Get(window, button), Qt::LeftButton);
    else if (how == "access key")
        Press(accessKey, Qt::AltModifier);
    else if (how == "title bar close")
        window.close();
    else if (how == "Escape")
        Press(Qt::Key_Escape);
    else if (how == "Enter")
        Press(Qt::Key_Return);
    else if (how == "keypad Enter")
        Press(Qt::Key_Enter, Qt::KeypadModifier);
    else
        QFAIL(qPrintable("no way to use a button: " + how));
}

} // namespace

void TestWindows::helpAndBack_data() {
    QTest::addColumn<QString>("help");  // how Help is used
    QTest::addColumn<QString>("close"); // how the help window's Close is
    const auto row = [](const char* name, const char* help, const char* close) {
        QTest::newRow(name) << QString(help) << QString(close);
    };
    row("buttons", "click", "click");
    row("access keys", "access key", "access key");
    row("title bar close", "click", "title bar close");
    row("Enter", "Enter", "Enter");
    row("keypad Enter", "keypad Enter", "keypad Enter");
    row("Escape", "access key", "Escape");
}

void TestWindows::helpAndBack() {
    QFETCH(QString, help);
    QFETCH(QString, close);
    const QStringList typed{"12.5", "7", "0.5", "2500 kg", "3"};
    TypeAll(typed);
    QTest::mouseClick(Calculate(), Qt::LeftButton);
    const QString result = Result()->text();
    // Enter presses the focused button; an access key leaves the keyboard where it was.
    QWidget* focused = Get(Main(), help.endsWith("Enter") ? "cmd2" : "Combo4");
    focused->setFocus();
    Press(Qt::Key_Escape); // the calculator has nothing to close
    QVERIFY(Main().isVisible());

    Use(help, Main(), "cmd2", Qt::Key_H);
    QTRY_VERIFY(!Main().isVisible()); // an access key clicks after a short animation
    QWidget& helpWindow = Help();
    ShowAndActivate(helpWindow);
    QCOMPARE(HelpWindows(), 1);                                     // the same one every time
    QCOMPARE(QApplication::focusWidget(), Get(helpWindow, "cmd1")); // at once, with no Tab

    Use(close, helpWindow, "cmd1", Qt::Key_C);
    QTRY_VERIFY(!helpWindow.isVisible());
    ShowAndActivate(Main());
    QCOMPARE(QApplication::focusWidget(), help == "click" ? Get(Main(), "cmd2") : focused);
    QCOMPARE(Typed(), typed);
    QCOMPARE(Get<QComboBox>(Main(), "Combo2")->count(), 14);
    QCOMPARE(Result()->text(), result);
}

void TestWindows::tabOrder_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("designed");
    for (const auto& [window, names] : designed::Get().tabOrder) {
        QStringList order;
        for (const std::string& name : names)
            order << QString::fromStdString(name);
        QTest::addRow("%s", window.c_str()) << QString::fromStdString(window) << order;
    }
}

void TestWindows::tabOrder() {
    QFETCH(QString, window);
    QFETCH(QStringList, designed);
    const bool help = window == "helpfrm";
    QWidget& form = help ? Help() : Main();
    if (help) {
        shell::Show(shell::Form::helpfrm);
        ShowAndActivate(form);
    }
    Get(form, designed.front())->setFocus();
    designed.move(0, designed.size() - 1); // from the first stop round to it again
    QStringList visited;
    for (qsizetype i = 0; i < designed.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        while (focus && focus->parentWidget() != &form) // a list's own line edit
            focus = focus->parentWidget();
        visited << (focus ? focus->objectName() : QString());
    }
    QCOMPARE(visited, designed);
    if (help) {
        shell::Hide(shell::Form::helpfrm);
        shell::Show(shell::Form::mainfrm);
    }
}

void TestWindows::oneSize_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<Qt::WindowState>("state");
    QTest::newRow("calculator fullscreen") << "mainfrm" << Qt::WindowFullScreen;
    QTest::newRow("calculator maximised") << "mainfrm" << Qt::WindowMaximized;
    QTest::newRow("help fullscreen") << "helpfrm" << Qt::WindowFullScreen;
    QTest::newRow("help maximised") << "helpfrm" << Qt::WindowMaximized;
}

// A window system may make any window larger (a window menu's Fullscreen, a title bar's
// maximise button that Qt draws itself); the windows go back to their one size.
void TestWindows::oneSize() {
    QFETCH(QString, window);
    QFETCH(Qt::WindowState, state);
    QWidget& form = window == "mainfrm" ? Main() : Help();
    shell::Show(window == "mainfrm" ? shell::Form::mainfrm : shell::Form::helpfrm);
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    form.setWindowState(state);
    QTRY_COMPARE(form.windowState(), Qt::WindowNoState);
    const designed::Window& designed = designed::Get().window(window.toStdString());
    QCOMPARE(form.size(), QSize(designed.width, designed.height));
    shell::Hide(shell::Form::helpfrm);
    shell::Show(shell::Form::mainfrm);
}

void TestWindows::layout_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("pixels");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<double>("points"); // 0: the window's font
    QTest::addColumn<QColor>("text");   // invalid: the theme's
    QTest::addColumn<QColor>("background");

    for (const designed::Control& c : designed::Get().controls)
        QTest::addRow("%s %s", c.window.c_str(), c.name.c_str())
            << QString::fromStdString(c.window) << QString::fromStdString(c.name)
            << QRect(c.x, c.y, c.width, c.height) << QString::fromStdString(c.caption) << c.points
            << (c.text.themed() ? QColor() : Colour(c.text))
            << (c.background.themed() ? QColor() : Colour(c.background));
}

void TestWindows::layout() {
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QRect, pixels);
    QFETCH(QString, caption);
    QFETCH(double, points);
    QFETCH(QColor, text);
    QFETCH(QColor, background);
    QWidget& form = window == "mainfrm" ? Main() : Help();
    const designed::Window& designed = designed::Get().window(window.toStdString());
    QCOMPARE(form.size(), QSize(designed.width, designed.height));
    QCOMPARE(form.minimumSize(), form.maximumSize()); // not resizable
    QCOMPARE(form.windowTitle(), QString::fromStdString(designed.title));

    QWidget* c = Get(form, control);
    QCOMPARE(c->geometry(), pixels);
    if (!qobject_cast<QLineEdit*>(c))
        QCOMPARE(c->property("text").toString(), caption);
    QCOMPARE(c->font().pointSizeF(), points ? points : designed.points);
    QCOMPARE(c->font().weight(), QFont::Normal);
    QVERIFY(!c->font().bold() && !c->font().italic() && !c->font().underline());

    const QPalette palette = c->palette();
    if (text.isValid())
        QCOMPARE(palette.color(qobject_cast<QLineEdit*>(c) ? QPalette::Text : QPalette::WindowText),
                 text);
    if (background.isValid())
        QCOMPARE(palette.color(QPalette::Base), background);
    if (!text.isValid() && !background.isValid())
        QCOMPARE(palette, form.palette());
}

void TestWindows::captionsFit() {
    for (QWidget* form : {&Main(), &Help()}) {
        for (auto* label : form->findChildren<QLabel*>()) {
            const QRect box = label->contentsRect();
            const QRect needed = label->fontMetrics().boundingRect(
                QRect(0, 0, box.width(), 1000), Qt::TextWordWrap | Qt::AlignLeft, label->text());
            QVERIFY2(needed.width() <= box.width() && needed.height() <= box.height(),
                     qPrintable(label->objectName() + " needs " + QString::number(needed.width()) +
                                "x" + QString::number(needed.height())));
        }
    }
}

void TestWindows::themes_data() {
    QTest::addColumn<QColor>("window");
    QTest::addColumn<QColor>("link");
    QTest::addColumn<QColor>("credit"); // the credit line's colour on that theme
    const QColor blue = Colour(designed::Get().control("helpfrm", "Label5").text);
    // Pure blue reads at 7.5:1 on a light grey, at 1.5:1 on a dark grey, 2.4:1 on black.
    QTest::newRow("light: designed blue") << QColor(239, 239, 239) << QColor(41, 128, 185) << blue;
    QTest::newRow("white: designed blue") << QColor(Qt::white) << QColor(0, 0, 238) << blue;
    QTest::newRow("dark: the theme's link")
        << QColor(53, 53, 53) << QColor(53, 132, 228) << QColor(53, 132, 228);
    QTest::newRow("black: the theme's link")
        << QColor(Qt::black) << QColor(255, 255, 0) << QColor(255, 255, 0);
}

// A theme chosen while the program runs recolours the credit line; the result keeps its
// designed black on yellow, which reads on every theme.
void TestWindows::themes() {
    QFETCH(QColor, window);
    QFETCH(QColor, link);
    QFETCH(QColor, credit);
    const QPalette before = QApplication::palette();
    QPalette theme = before;
    theme.setColor(QPalette::Window, window);
    theme.setColor(QPalette::Link, link);
    theme.setColor(QPalette::WindowText, window.lightness() < 128 ? Qt::white : Qt::black);
    QApplication::setPalette(theme);
    const auto* label = Get<QLabel>(Help(), "Label5");
    QTRY_COMPARE(label->palette().color(QPalette::WindowText), credit);
    const designed::Control& result = designed::Get().control("mainfrm", "Text1");
    QCOMPARE(Result()->palette().color(QPalette::Base), Colour(result.background));
    QCOMPARE(Result()->palette().color(QPalette::Text), Colour(result.text));
    QCOMPARE(Get<QLabel>(Help(), "Label1")->palette().color(QPalette::WindowText),
             theme.color(QPalette::WindowText));
    QApplication::setPalette(before);
    QTRY_COMPARE(label->palette().color(QPalette::WindowText),
                 Colour(designed::Get().control("helpfrm", "Label5").text));
}

void TestWindows::exitEnds_data() {
    QTest::addColumn<QString>("how"); // as Use takes it
    QTest::newRow("title bar close") << "title bar close";
    QTest::newRow("Alt+X") << "access key";
    QTest::newRow("Enter") << "Enter";
}

// The program ends for good, so this runs only when named, one row in a process of its own,
// and every other test runs in any order.
void TestWindows::exitEnds() {
    QFETCH(QString, how);
    if (!QCoreApplication::arguments().filter(QRegularExpression("^exitEnds:")).size())
        QSKIP("runs when named: tst_windows exitEnds:ROW");
    shell::Show(shell::Form::helpfrm);
    shell::Show(shell::Form::mainfrm);
    ShowAndActivate(Main());
    Get(Main(), "cmd3")->setFocus();
    Use(how, Main(), "cmd3", Qt::Key_X);
    for (QWidget* window : QApplication::topLevelWidgets())
        QTRY_VERIFY2(!window->isVisible(), qPrintable(window->objectName()));
}

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
