// The controls' operations and notifications over Qt's widgets.

#include "platform/qt/native.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include <optional>

namespace ui {
namespace {

std::string ToUtf8(const QString& text) {
    return text.toStdString();
}

// Runs a procedure on the release of a mouse button that was pressed on the button. Qt sends
// a release to the widget that took the press, wherever the pointer is by then; keys and
// clicks made by the access key send no mouse event at all.
class MouseUpFilter : public QObject {
public:
    MouseUpFilter(QPushButton& button, std::function<void(const MouseUp&)> run)
        : QObject(&button)
        , procedure(std::move(run)) {
        button.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: // the second press of a double click
            pressed |= static_cast<QMouseEvent*>(event)->button();
            break;
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (pressed & mouse->button()) {
                pressed &= ~mouse->button();
                if (const auto button = Button(mouse->button())) {
                    const QPoint at = mouse->position().toPoint();
                    procedure({*button, Shift(mouse->modifiers()), at.x(), at.y()});
                }
            }
            break;
        }
        default:
            break;
        }
        return false; // the button still draws itself pressed and released
    }

private:
    static std::optional<MouseButton> Button(Qt::MouseButton button) {
        switch (button) {
        case Qt::LeftButton:
            return MouseButton::left;
        case Qt::RightButton:
            return MouseButton::right;
        case Qt::MiddleButton:
            return MouseButton::middle;
        default:
            return std::nullopt;
        }
    }
    static int Shift(Qt::KeyboardModifiers modifiers) {
        return (modifiers & Qt::ShiftModifier ? shiftKey : 0) |
               (modifiers & Qt::ControlModifier ? ctrlKey : 0) |
               (modifiers & Qt::AltModifier ? altKey : 0);
    }

    std::function<void(const MouseUp&)> procedure;
    Qt::MouseButtons pressed; // pressed on the button and not yet released
};

} // namespace

void List::Clear() {
    window->Get<QComboBox>(index).clear();
}

void List::AddItem(std::string_view item, int place) {
    window->Get<QComboBox>(index).insertItem(place, FromUtf8(item));
}

void List::ListIndex(int place) {
    auto& list = window->Get<QComboBox>(index);
    list.setCurrentIndex(place);
    // Selecting the same place again would not refresh an edit text the user has changed.
    list.setEditText(list.itemText(place));
}

std::string List::Text() const {
    return ToUtf8(window->Get<QComboBox>(index).currentText());
}

std::string Field::Text() const {
    return ToUtf8(window->Get<QLineEdit>(index).text());
}

void system::SetText(Native& window, int index, std::string_view text) {
    window.Get<QLineEdit>(index).setText(FromUtf8(text));
}

void system::Announce(Native& window, int index, std::string_view text) {
    window.Announce(index, FromUtf8(text));
}

void system::ConnectClick(Native& window, int index) {
    QObject::connect(&window.Get<QPushButton>(index), &QPushButton::clicked, &window,
                     [&window, index] { RunClick(window, index); });
}

void system::ConnectMouseUp(Native& window, int index) {
    new MouseUpFilter(window.Get<QPushButton>(index),
                      [&window, index](const MouseUp& up) { RunMouseUp(window, index, up); });
}

// Native::closeEvent asks for the close procedure whenever the window system closes the window.
void system::ConnectClose(Native&) {}

} // namespace ui
