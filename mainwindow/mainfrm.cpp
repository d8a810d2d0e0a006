#include "mainwindow/mainfrm.h"

#include "calc/increment_signal.h"
#include "mainwindow/mainfrm_design.h"
#include "shell/controls.h"
#include "shell/forms.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>

#include <initializer_list>
#include <string_view>

using namespace controls;

namespace {

template <class Control> Control* Find(QWidget& window, const char* name) {
    auto* control = window.findChild<Control*>(QString::fromLatin1(name));
    Q_ASSERT(control);
    return control;
}

void Fill(QComboBox& list, std::initializer_list<const char*> items, int selected) {
    Clear(list);
    int position = 0;
    for (const char* item : items)
        AddItem(list, QString::fromLatin1(item), position++);
    ListIndex(list, selected);
}

QString Explain(calc::Failure failure) {
    if (failure == calc::Failure::zeroDivisor)
        return mainfrm::tr("The number of load cells and the load cell capacity must not be zero.");
    return mainfrm::tr("The values are too large or too small to calculate.");
}

} // namespace

mainfrm::mainfrm() {
    design::Build(*this, mainfrm_design::kForm);
    Combo1 = Find<QComboBox>(*this, "Combo1");
    Combo2 = Find<QComboBox>(*this, "Combo2");
    Text3 = Find<QLineEdit>(*this, "Text3");
    Combo4 = Find<QComboBox>(*this, "Combo4");
    Combo5 = Find<QComboBox>(*this, "Combo5");
    Text1 = Find<QLineEdit>(*this, "Text1");
    cmd1 = Find<QPushButton>(*this, "cmd1");
    cmd2 = Find<QPushButton>(*this, "cmd2");
    cmd3 = Find<QPushButton>(*this, "cmd3");

    // A screen reader names each input by the caption above it.
    const std::pair<QWidget*, const char*> labelled[] = {
        {Combo1, "lbl1"}, {Combo2, "lbl3"}, {Text3, "lbl5"},
        {Combo4, "lbl6"}, {Combo5, "lbl7"}, {Text1, "lbl8"},
    };
    for (const auto& [input, label] : labelled)
        input->setAccessibleName(Find<QLabel>(*this, label)->text());

    // The result can be selected and copied, not typed over.
    Text1->setReadOnly(true);

    // Calculate answers the mouse alone: its clicked signal also fires from the keyboard.
    cmd1->installEventFilter(this);
    connect(cmd2, &QPushButton::clicked, this, &mainfrm::cmd2_Click);
    connect(cmd3, &QPushButton::clicked, this, &mainfrm::cmd3_Click);

    Form_Load();
}

void mainfrm::Form_Load() {
    Fill(*Combo1, {"15", "12.5", "12", "10", "6", "5", "4", "1.6"}, 5);
    Fill(*Combo2, {"1", "2", "3", "4", "6", "8", "10", "12", "14", "16", "18", "20", "22", "24"},
         3);
    Text(*Text3, "1");
    Fill(*Combo4,
         {"1",   "2",   "2.5",  "5",    "10",   "20",   "25",    "50",    "100",   "200",
          "250", "500", "1000", "2000", "2500", "5000", "10000", "20000", "25000", "50000"},
         14);
    Fill(*Combo5, {"2", "3"}, 0);
}

bool mainfrm::eventFilter(QObject* watched, QEvent* event) {
    if (watched != cmd1)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: // the second press of a double click
        cmd1Pressed |= static_cast<QMouseEvent*>(event)->button();
        break;
    case QEvent::MouseButtonRelease: {
        // Qt sends a release to the widget that took the press, wherever the pointer is now.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (cmd1Pressed & mouse->button()) {
            cmd1Pressed &= ~mouse->button();
            const QPoint at = mouse->position().toPoint();
            cmd1_MouseUp(mouse->button(), mouse->modifiers(), at.x(), at.y());
        }
        break;
    }
    default:
        break;
    }
    return false; // the button still draws itself pressed and released
}

void mainfrm::cmd1_MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    const QByteArray texts[] = {Text(*Combo1).toUtf8(), Text(*Combo2).toUtf8(),
                                Text(*Text3).toUtf8(), Text(*Combo4).toUtf8(),
                                Text(*Combo5).toUtf8()};
    const auto view = [](const QByteArray& text) {
        return std::string_view(text.constData(), std::size_t(text.size()));
    };
    const auto result = calc::ComputeIncrementSignal(view(texts[0]), view(texts[1]), view(texts[2]),
                                                     view(texts[3]), view(texts[4]));
    if (result.finite) {
        excitation = result.excitation;
        cellCount = result.cellCount;
        divisionSize = result.divisionSize;
        cellCapacity = result.cellCapacity;
        cellRating = result.cellRating;
        uvPerIncrement = result.uvPerIncrement;
        Text(*Text1, QString::fromStdString(result.text));
        return;
    }
    // No earlier result may stand beside inputs it does not belong to.
    Text(*Text1, QString());
    // Window-modal but not blocking: the notification returns and the button comes back up.
    auto* box = new QMessageBox(QMessageBox::Warning, windowTitle(), Explain(result.failure),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void mainfrm::cmd2_Click() {
    shell::Hide(shell::Form::mainfrm);
    shell::Show(shell::Form::helpfrm);
}

void mainfrm::cmd3_Click() {
    shell::End();
}

void mainfrm::closeEvent(QCloseEvent* event) {
    // The title bar's close control ends the program, as Exit does.
    event->accept();
    shell::End();
}
