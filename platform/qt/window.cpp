// A window built from its design with Qt Widgets.

#include "platform/qt/native.h"

#include <QCloseEvent>
#include <QColor>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

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
        return new QPushButton(caption, &window);
    case design::Kind::list: {
        // Typed text never becomes an item and is never completed from the items. Placed
        // first, so that becoming editable does not size it to its contents for nothing.
        auto* list = new QComboBox(&window);
        list->setGeometry(Placed(control));
        list->setEditable(true);
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setCompleter(nullptr);
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

void Colour(QWidget& widget, const design::Control& control) {
    if (!control.textColour && !control.backColour)
        return;
    QPalette palette = widget.palette();
    if (control.textColour) {
        const QColor colour = ToQColor(*control.textColour);
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

} // namespace

// The form's title, font and fixed client size (minimisable, not resizable), its controls
// as children named as designed, and the focus chained by tab index.
Native::Native(const design::Form& form) {
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
        Colour(*widget, control);
        if (!control.tabStop)
            widget->setFocusPolicy(Qt::ClickFocus);
        else if (widget->focusPolicy() & Qt::TabFocus)
            tabStops.emplace_back(control.tabIndex, widget);
    }

    for (std::size_t i = 0; i < form.controls.size(); ++i)
        if (const char* label = form.controls[i].label)
            Labelled(*controls[i], Get<QLabel>(design::IndexOf(form, label)));

    std::ranges::sort(tabStops, {}, &std::pair<int, QWidget*>::first);
    for (std::size_t i = 1; i < tabStops.size(); ++i)
        QWidget::setTabOrder(tabStops[i - 1].second, tabStops[i].second);
    if (!tabStops.empty())
        tabStops.front().second->setFocus(); // taken when the window first appears
}

void Native::closeEvent(QCloseEvent* event) {
    // The window's own procedure decides; the window system closes nothing by itself.
    event->ignore();
    if (onClose)
        onClose();
}

Window::Window(const design::Form& designed)
    : form(designed)
    , built(std::make_unique<Native>(designed)) {}
Window::~Window() = default;

void Window::Visible(bool visible) {
    built->setVisible(visible);
    if (visible) { // takes the keyboard, so access keys work at once
        built->raise();
        built->activateWindow();
    }
}

void Window::OnClose(std::function<void()> procedure) {
    built->onClose = std::move(procedure);
}

void Window::Warn(std::string_view text) {
    // Window-modal but not blocking: the notification returns and the button comes back up.
    auto* box = new QMessageBox(QMessageBox::Warning, built->windowTitle(), FromUtf8(text),
                                QMessageBox::Ok, built.get());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace ui
