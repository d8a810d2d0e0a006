#include "shell/controls.h"

#include <QComboBox>
#include <QLineEdit>

namespace controls {

void Clear(QComboBox& list) {
    list.clear();
}

void AddItem(QComboBox& list, const QString& item, int index) {
    list.insertItem(index, item);
}

void ListIndex(QComboBox& list, int index) {
    list.setCurrentIndex(index);
    // Selecting the same index again would not refresh an edit text the user has changed.
    list.setEditText(list.itemText(index));
}

QString Text(const QComboBox& list) {
    return list.currentText();
}

QString Text(const QLineEdit& field) {
    return field.text();
}

void Text(QLineEdit& field, const QString& text) {
    field.setText(text);
}

void Visible(QWidget& window, bool visible) {
    window.setVisible(visible);
}

} // namespace controls
