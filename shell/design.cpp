#include "shell/design.h"

#include <QColor>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <vector>

namespace design {
namespace {

QWidget* Make(const Control& control, QWidget& window) {
    const QString caption = QString::fromUtf8(control.caption);
    switch (control.kind) {
    case Kind::label: {
        auto* label = new QLabel(caption, &window);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case Kind::button:
        return new QPushButton(caption, &window);
    case Kind::list: {
        // Typed text never becomes an item and is never completed from the items.
        auto* list = new QComboBox(&window);
        list->setEditable(true);
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setCompleter(nullptr);
        return list;
    }
    case Kind::field:
        return new QLineEdit(caption, &window);
    }
    return nullptr;
}

void Colour(QWidget& widget, const Control& control) {
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

} // namespace

QColor ToQColor(Bgr colour) {
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

QFont ToQFont(const Font& font) {
    QFont qfont(QString::fromUtf8(font.face));
    qfont.setStyleHint(QFont::SansSerif);
    qfont.setPointSizeF(font.points);
    qfont.setWeight(QFont::Weight(font.weight)); // Qt uses the same 100 to 900 scale
    return qfont;
}

void Build(QWidget& window, const Form& form) {
    window.setObjectName(QString::fromUtf8(form.name));
    window.setWindowTitle(QString::fromUtf8(form.title));
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint);
    window.setFixedSize(Pixels(form.clientWidth), Pixels(form.clientHeight));
    window.setFont(ToQFont(form.font));

    std::vector<std::pair<int, QWidget*>> tabStops;
    for (const Control& control : form.controls) {
        QWidget* widget = Make(control, window);
        widget->setObjectName(QString::fromUtf8(control.name));
        widget->setGeometry(Pixels(control.left), Pixels(control.top), Pixels(control.width),
                            Pixels(control.height));
        if (control.font)
            widget->setFont(ToQFont(*control.font));
        Colour(*widget, control);
        if (!control.tabStop)
            widget->setFocusPolicy(Qt::ClickFocus);
        else if (widget->focusPolicy() & Qt::TabFocus)
            tabStops.emplace_back(control.tabIndex, widget);
    }

    std::ranges::sort(tabStops, {}, &std::pair<int, QWidget*>::first);
    for (std::size_t i = 1; i < tabStops.size(); ++i)
        QWidget::setTabOrder(tabStops[i - 1].second, tabStops[i].second);
    if (!tabStops.empty())
        tabStops.front().second->setFocus(); // taken when the window first appears
}

} // namespace design
