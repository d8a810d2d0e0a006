#pragma once

// The Qt widget behind a ui::Window: a top-level QWidget whose controls are kept in the
// order of the design table, so that a control's place there finds its widget.

#include "platform/system.h"

#include <QWidget>

#include <optional>
#include <string_view>
#include <vector>

namespace ui {
inline QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// Puts the program's own answers to screen readers in place of Qt's, before any is asked.
void ExplainToScreenReaders();
} // namespace ui

struct ui::Native : public QWidget {
    explicit Native(const design::Form& form);

    template <class W> W& Get(int index) const { return *static_cast<W*>(controls[index]); }

    // Tells screen readers the text of a field the design marks live, after its caption.
    void Announce(int index, const QString& text);

    const design::Form& form;
    std::vector<QWidget*> controls;
    std::optional<QPoint> shownAt; // the client area's place when last hidden

private:
    void Recolour();

    QWidget* announcer = nullptr; // made for the first announcement

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
