// A window built from its design with Qt Widgets.

#include "platform/qt/native.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QColor>
#include <QComboBox>
#include <QCoreApplication>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QWindow>

#include <algorithm>
#include <utility>

namespace ui {
namespace {

QColor ToQColor(design::Bgr colour) {
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

// A face the system lacks falls back to its sans-serif face at the same size. Sizes are in
// points, so Qt scales them with the screen like the geometry below.
QFont ToQFont(const design::Font& font) {
    QFont qfont(QString::fromUtf8(font.face));
    qfont.setStyleHint(QFont::SansSerif);
    qfont.setPointSizeF(font.points);
    qfont.setWeight(QFont::Weight(font.weight)); // Qt uses the same 100 to 900 scale
    return qfont;
}

// While a list is dropped, Qt gives the keys to the list, where digits and letters move the
// highlight and Return takes it, so a typed "12" became "12.5". As on the other desktops,
// typing goes to the edit text, and Return takes an item only once the arrow keys (or
// Home, End and the page keys) have moved to one; otherwise it closes the list on the text.
class TypingIntoOpenList : public QObject {
public:
    explicit TypingIntoOpenList(QComboBox& owner)
        : QObject(&owner)
        , list(owner) {
        list.view()->installEventFilter(this); // before the list's own, so asked first
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            moved = false;
            dropped = true;
            list.lineEdit()->selectAll();
            return false;
        }
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
            return false;
        auto& key = *static_cast<QKeyEvent*>(event);
        const bool press = event->type() == QEvent::KeyPress;
        if (Moves(key)) {
            moved |= press;
            return false;
        }
        // The list takes Return as early as the shortcut stage.
        if ((key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) && !moved) {
            list.hidePopup();
            return true;
        }
        if (!press || !Edits(key))
            return false;
        // Typing replaces the text, as in a dropped list. Qt may take the selection away
        // as the list takes the keyboard, so it is made again at the first key.
        if (std::exchange(dropped, false) && key.key() != Qt::Key_Left &&
            key.key() != Qt::Key_Right)
            list.lineEdit()->selectAll();
        QCoreApplication::sendEvent(list.lineEdit(), &key);
        moved = false; // the highlight no longer stands for what Return keeps
        list.view()->clearSelection();
        list.view()->setCurrentIndex({});
        return true;
    }

private:
    static bool Moves(const QKeyEvent& key) {
        switch (key.key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            return !(key.modifiers() & Qt::AltModifier); // Alt+Up and Alt+Down close it
        default:
            return false;
        }
    }
    static bool Edits(const QKeyEvent& key) {
        switch (key.key()) {
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
        case Qt::Key_Left:
        case Qt::Key_Right:
            return true;
        default:
            break;
        }
        for (auto editing : {QKeySequence::SelectAll, QKeySequence::Paste, QKeySequence::Cut,
                             QKeySequence::Copy, QKeySequence::Undo, QKeySequence::Redo})
            if (key.matches(editing))
                return true;
        const QString text = key.text();
        return !text.isEmpty() && text.front().isPrint() &&
               !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    }

    QComboBox& list;
    bool moved = false;   // since the list dropped or the text was typed, by the keys
    bool dropped = false; // and nothing typed since
};

// Enter and the keypad's Enter press the focused button, as Space does and as on Windows;
// Qt's own buttons take them only in dialogs.
class PushButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && !(event->modifiers() & ~Qt::KeypadModifier))
            click();
        else
            QPushButton::keyPressEvent(event);
    }
};

QRect Placed(const design::Control& control) {
    return {design::Pixels(control.left), design::Pixels(control.top),
            design::Pixels(control.width), design::Pixels(control.height)};
}

QWidget* Make(const design::Control& control, QWidget& window) {
    const QString caption = QString::fromUtf8(control.caption);
    switch (control.kind) {
    case design::Kind::label: {
        auto* label = new QLabel(caption, &window);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case design::Kind::button:
        return new PushButton(caption, &window);
    case design::Kind::list: {
        // Typed text never becomes an item and is never completed from the items. Placed
        // first, so that becoming editable does not size it to its contents for nothing.
        auto* list = new QComboBox(&window);
        list->setGeometry(Placed(control));
        list->setEditable(true);
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setCompleter(nullptr);
        new TypingIntoOpenList(*list);
        return list;
    }
    case design::Kind::field: {
        auto* field = new QLineEdit(caption, &window);
        field->setReadOnly(control.readOnly);
        return field;
    }
    }
    return nullptr;
}

design::Bgr ToBgr(const QColor& colour) {
    return design::Bgr(colour.red()) | design::Bgr(colour.green()) << 8 |
           design::Bgr(colour.blue()) << 16;
}

// The designed colours; a text colour on the window's own background only where it reads
// on the theme's, else the theme's link colour.
void Colour(QWidget& widget, const design::Control& control, const QPalette& theme) {
    if (!control.textColour && !control.backColour)
        return;
    QPalette palette = widget.palette();
    if (control.textColour) {
        const design::Bgr text =
            control.backColour
                ? *control.textColour
                : design::Readable(*control.textColour, ToBgr(theme.color(QPalette::Window)),
                                   ToBgr(theme.color(QPalette::Link)));
        const QColor colour = ToQColor(text);
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            palette.setColor(role, colour);
    }
    if (control.backColour) {
        const QColor colour = ToQColor(*control.backColour);
        for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
            palette.setColor(role, colour);
        widget.setAutoFillBackground(true);
    }
    widget.setPalette(palette);
}

// A screen reader names an input by its caption. On Linux it follows the label's "labelled
// by" relation, which a buddy gives, and reads an editable list's value as the list's name,
// so the line edit inside the list, which holds the keyboard, is named too.
void Labelled(QWidget& input, QLabel& label) {
    label.setBuddy(&input);
    input.setAccessibleName(label.text());
    if (auto* list = qobject_cast<QComboBox*>(&input))
        list->lineEdit()->setAccessibleName(label.text());
}

// A field's new text reaches a screen reader only where the focus is, and Qt 6.4 has neither
// live regions nor announcements on Linux. What it has is the notification role: a screen
// reader (Orca) says a notification as it appears. So each announcement is an invisible
// notification of one pixel, shown anew with the text as its name; it takes no focus and
// no mouse.
constexpr char kAnnouncer[] = "announcement";

QAccessibleInterface* AnnouncerAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("QWidget") && object->objectName() == QLatin1String(kAnnouncer))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
    return nullptr;
}

} // namespace

// The form's title, font and fixed client size (minimisable, not resizable), its controls
// as children named as designed, and the focus chained by tab index.
Native::Native(const design::Form& designed)
    : form(designed) {
    ExplainToScreenReaders();
    setObjectName(QString::fromUtf8(form.name));
    setWindowTitle(QString::fromUtf8(form.title));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(design::Pixels(form.clientWidth), design::Pixels(form.clientHeight));
    setFont(ToQFont(form.font));

    std::vector<std::pair<int, QWidget*>> tabStops;
    for (const design::Control& control : form.controls) {
        QWidget* widget = Make(control, *this);
        controls.push_back(widget);
        widget->setObjectName(QString::fromUtf8(control.name));
        widget->setGeometry(Placed(control));
        if (control.font)
            widget->setFont(ToQFont(*control.font));
        if (!control.tabStop)
            widget->setFocusPolicy(Qt::ClickFocus);
        else if (widget->focusPolicy() & Qt::TabFocus)
            tabStops.emplace_back(control.tabIndex, widget);
    }

    Recolour();
    for (std::size_t i = 0; i < form.controls.size(); ++i)
        if (const char* label = form.controls[i].label)
            Labelled(*controls[i], Get<QLabel>(design::IndexOf(form, label)));

    std::ranges::sort(tabStops, {}, &std::pair<int, QWidget*>::first);
    for (std::size_t i = 1; i < tabStops.size(); ++i)
        QWidget::setTabOrder(tabStops[i - 1].second, tabStops[i].second);
    if (!tabStops.empty())
        tabStops.front().second->setFocus(); // taken when the window first appears
}

void Native::Announce(int index, const QString& text) {
    if (!announcer) {
        static const bool installed = (QAccessible::installFactory(AnnouncerAccessible), true);
        (void)installed;
        announcer = new QWidget(this);
        announcer->setObjectName(QLatin1String(kAnnouncer));
        announcer->setGeometry(0, 0, 1, 1);
        announcer->setFocusPolicy(Qt::NoFocus);
        announcer->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    const QString caption = controls[std::size_t(index)]->accessibleName();
    announcer->hide();
    announcer->setAccessibleName(caption.isEmpty() ? text : caption + QLatin1Char(' ') + text);
    announcer->show();
}

void Native::closeEvent(QCloseEvent* event) {
    // The window's own procedure decides; the window system closes nothing by itself.
    event->ignore();
    system::RunClose(*this);
}

// A key that no control took: Escape presses the button the design names for it.
void Native::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !event->modifiers() && form.cancel) {
        Get<QPushButton>(design::IndexOf(form, form.cancel)).click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Native::Recolour() {
    for (std::size_t i = 0; i < controls.size(); ++i)
        Colour(*controls[i], form.controls[i], palette());
}

// The window has one size. Where the window system maximises or fullscreens it all the
// same (a window menu's Fullscreen, Qt's own title bar on Wayland, which draws a maximise
// button whatever the window's flags), the window goes back to normal.
void Native::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) // the user chose another theme
        Recolour();
    const Qt::WindowStates larger = Qt::WindowMaximized | Qt::WindowFullScreen;
    if (event->type() == QEvent::WindowStateChange && windowState() & larger)
        QMetaObject::invokeMethod(
            this, [this, larger] { setWindowState(windowState() & ~larger); },
            Qt::QueuedConnection);
}

// The windows go among Qt's post routines, as the application object goes: the one Run
// destroys, or the one a test makes for itself without Open. Arranged as the first window is
// made, while no other stands.
Native* system::Make(const design::Form& form) {
    if (Windows().empty())
        qAddPostRoutine(TearDown);
    return new Native(form);
}

void system::Destroy(Native* window) {
    delete window;
}

void Window::Visible(bool visible) {
    // A window shown again comes back where the user left it. On X11 Qt asks for no place
    // unless one was set, and the window manager puts it anew each time it is mapped.
    if (!visible && built->isVisible())
        built->shownAt = built->geometry().topLeft();
    else if (visible && !built->isVisible() && built->shownAt && built->windowHandle())
        built->windowHandle()->setPosition(*built->shownAt);
    built->setVisible(visible);
    if (visible) { // takes the keyboard, so access keys work at once
        built->raise();
        built->activateWindow();
    }
}

void Window::Warn(std::string_view text) {
    // Window-modal but not blocking: the notification returns and the button comes back up.
    auto* box = new QMessageBox(QMessageBox::Warning, built->windowTitle(), FromUtf8(text),
                                QMessageBox::Ok, built.get());
    // A screen reader says the text with the button that takes the focus (accessible.cpp).
    box->button(QMessageBox::Ok)->setAccessibleDescription(box->text());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace ui
