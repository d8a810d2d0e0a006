#pragma once

// The control operations the windows' procedures use, under the names their design gives
// them, over the Qt widgets that stand in for the window system's controls.

class QComboBox;
class QLineEdit;
class QString;
class QWidget;

namespace controls {

// Editable drop-down list.
void Clear(QComboBox& list);                                   // empties the list
void AddItem(QComboBox& list, const QString& item, int index); // inserts at a 0-based place
void ListIndex(QComboBox& list, int index);                    // selects, sets the edit text
QString Text(const QComboBox& list);                           // the edit text

// Text field.
QString Text(const QLineEdit& field);
void Text(QLineEdit& field, const QString& text);

// Window.
void Visible(QWidget& window, bool visible);

} // namespace controls
