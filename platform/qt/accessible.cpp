// What screen readers are told of the windows, the fields and the warning box, where Qt's own
// answers fail them: Qt 6.4 loops for ever when asked for the word at a field's end, gives
// every character an empty attribute run (so a reader drops the last digit), exposes a
// window as a filler that a reader neither names nor reads, and makes a message box the
// child of its window, so that a reader takes it for no new window and skips its text.

#include "platform/qt/native.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <optional>
#include <vector>

namespace ui {
namespace {

// Where the text's items start, 0 first, and the text's end last. A word runs from its start
// to the next word's start, blanks after it included, as a screen reader asks for by word
// start; a line or paragraph is the whole one-line text.
std::vector<int> Starts(const QString& text, QAccessible::TextBoundaryType type) {
    const int length = int(text.size());
    std::vector<int> starts{0};
    const auto finder = [&]() -> std::optional<QTextBoundaryFinder::BoundaryType> {
        switch (type) {
        case QAccessible::CharBoundary:
            return QTextBoundaryFinder::Grapheme;
        case QAccessible::WordBoundary:
            return QTextBoundaryFinder::Word;
        case QAccessible::SentenceBoundary:
            return QTextBoundaryFinder::Sentence;
        default:
            return std::nullopt;
        }
    }();
    if (finder && length > 0) {
        QTextBoundaryFinder boundaries(*finder, text);
        // Each step must go forward and stay inside the text: at the end the finder answers
        // -1, which is where Qt's own loop never stops.
        for (int at = int(boundaries.toNextBoundary()); at > starts.back() && at < length;
             at = int(boundaries.toNextBoundary()))
            if (*finder != QTextBoundaryFinder::Word ||
                boundaries.boundaryReasons() & QTextBoundaryFinder::StartOfItem)
                starts.push_back(at);
    }
    if (length > 0)
        starts.push_back(length);
    return starts;
}

enum class Side { before, at, after };

// The item before, at or after the offset, as its text and bounds. At the end of the text
// there is no character, and the word, sentence or line there is the last one.
QString Item(const QString& text, int offset, QAccessible::TextBoundaryType type, Side side,
             int* start, int* end) {
    const int length = int(text.size());
    offset = std::clamp(offset, 0, length);
    *start = *end = offset;
    if (type == QAccessible::NoBoundary) {
        *start = side == Side::after ? length : 0;
        *end = side == Side::before ? 0 : length;
        return side == Side::at ? text : QString();
    }
    const std::vector<int> starts = Starts(text, type);
    if (starts.size() < 2) // no text
        return {};
    // The item holding the offset; at the end, one past the last for a character.
    auto item = std::ranges::upper_bound(starts, offset) - starts.begin() - 1;
    const auto items = std::ptrdiff_t(starts.size()) - 1;
    if (offset == length && type != QAccessible::CharBoundary)
        item = items - 1;
    item += side == Side::before ? -1 : side == Side::after ? 1 : 0;
    if (item < 0 || item >= items) {
        *start = *end = side == Side::before ? 0 : length;
        return {};
    }
    *start = starts[std::size_t(item)];
    *end = starts[std::size_t(item) + 1];
    return text.mid(*start, *end - *start);
}

// The keyboard focus of a list is the list's, and Qt tells only of the list's focus, though
// its edit text holds the caret: a screen reader that does not know the text focused
// ignores its caret moves, and reads no word. So the text's focus is told after the list's.
// Made with the first interface asked for, the list's or its text's.
class ListFocus : public QObject {
public:
    static void Follow(QComboBox& list) {
        QLineEdit* edit = list.lineEdit();
        if (edit && !edit->findChild<QObject*>(kName, Qt::FindDirectChildrenOnly))
            new ListFocus(*edit, list);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) // once Qt has told of the list's focus
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (text.hasFocus()) {
                        QAccessibleEvent focus(&text, QAccessible::Focus);
                        QAccessible::updateAccessibility(&focus);
                    }
                },
                Qt::QueuedConnection);
        return false;
    }

private:
    static constexpr char kName[] = "listFocus";

    ListFocus(QLineEdit& edit, QComboBox& list)
        : QObject(&edit)
        , text(edit) {
        setObjectName(QLatin1String(kName));
        list.installEventFilter(this);
    }

    QLineEdit& text;
};

// A one-line field, a list's edit text included, told as Qt tells it but for the above.
class FieldAccessible : public QAccessibleWidget,
                        public QAccessibleTextInterface,
                        public QAccessibleEditableTextInterface {
public:
    explicit FieldAccessible(QLineEdit* edit)
        : QAccessibleWidget(edit, QAccessible::EditableText) {
        if (auto* list = qobject_cast<QComboBox*>(edit->parentWidget()))
            ListFocus::Follow(*list);
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text type) const override {
        if (type == QAccessible::Value)
            return Edit().text();
        return QAccessibleWidget::text(type);
    }
    void setText(QAccessible::Text type, const QString& text) override {
        if (type != QAccessible::Value)
            QAccessibleWidget::setText(type, text);
        else if (!Edit().isReadOnly())
            Edit().setText(text);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = !Edit().isReadOnly();
        state.readOnly = Edit().isReadOnly();
        state.selectableText = true;
        return state;
    }

    // The text.
    QString text(int start, int end) const override {
        return Edit().text().mid(start, std::max(end - start, 0));
    }
    int characterCount() const override { return int(Edit().text().size()); }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* start,
                             int* end) const override {
        return Item(Edit().text(), Offset(offset), type, Side::before, start, end);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int* start,
                         int* end) const override {
        return Item(Edit().text(), Offset(offset), type, Side::at, start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* start,
                            int* end) const override {
        return Item(Edit().text(), Offset(offset), type, Side::after, start, end);
    }
    // One run of one look over the whole text, so that a reader splitting the text by its
    // runs keeps every character.
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        const QFontInfo font(Edit().font());
        const QPalette palette = Edit().palette();
        const auto rgb = [](const QColor& colour) {
            return QStringLiteral("rgb(%1,%2,%3)")
                .arg(colour.red())
                .arg(colour.green())
                .arg(colour.blue());
        };
        return QStringLiteral("font-family:\"%1\";font-size:%2pt;font-weight:%3;color:%4;"
                              "background-color:%5;")
            .arg(font.family())
            .arg(font.pointSizeF())
            .arg(int(font.weight()))
            .arg(rgb(palette.color(QPalette::Text)), rgb(palette.color(QPalette::Base)));
    }

    // The caret and the selection.
    int cursorPosition() const override { return Edit().cursorPosition(); }
    void setCursorPosition(int position) override { Edit().setCursorPosition(position); }
    int selectionCount() const override { return Edit().hasSelectedText() ? 1 : 0; }
    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index == 0 && Edit().hasSelectedText()) {
            *start = Edit().selectionStart();
            *end = Edit().selectionEnd();
        }
    }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void setSelection(int, int start, int end) override { Edit().setSelection(start, end - start); }
    void removeSelection(int) override { Edit().deselect(); }
    void scrollToSubstring(int start, int end) override {
        Edit().setCursorPosition(end);
        Edit().setCursorPosition(start);
    }

    // Where characters are on the screen: measured from the caret, whose place Qt gives to
    // input methods.
    QRect characterRect(int offset) const override {
        const QString text = Edit().text();
        if (offset < 0 || offset >= text.size())
            return {};
        const QFontMetrics metrics(Edit().font());
        const QRect caret = Edit().inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int x = caret.center().x() + metrics.horizontalAdvance(text.left(offset)) -
                      metrics.horizontalAdvance(text.left(Edit().cursorPosition()));
        const QRect character(x, caret.top(), metrics.horizontalAdvance(text.mid(offset, 1)),
                              caret.height());
        return character.translated(Edit().mapToGlobal(QPoint(0, 0)));
    }
    int offsetAtPoint(const QPoint& point) const override {
        for (int offset = 0; offset < characterCount(); ++offset)
            if (characterRect(offset).contains(point))
                return offset;
        return -1;
    }

    // Editing, refused where the user may not type.
    void deleteText(int start, int end) override { replaceText(start, end, {}); }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString& text) override {
        if (Edit().isReadOnly())
            return;
        Edit().setSelection(start, end - start);
        Edit().insert(text);
    }

private:
    QLineEdit& Edit() const { return *static_cast<QLineEdit*>(widget()); }
    // Qt's own offsets: -1 the end, -2 the caret.
    int Offset(int offset) const {
        return offset == -1 ? characterCount() : offset == -2 ? cursorPosition() : offset;
    }
};

// A window as a frame named by its title; one with nothing to type into, such as the help
// window, as a dialog whose text is its description, which a screen reader says as the
// dialog appears.
class WindowAccessible : public QAccessibleWidget {
public:
    explicit WindowAccessible(Native* window)
        : QAccessibleWidget(window, Inputs(*window) ? QAccessible::Window : QAccessible::Dialog) {}

    QString text(QAccessible::Text type) const override {
        if (type == QAccessible::Name)
            return widget()->windowTitle();
        if (type != QAccessible::Description || role() != QAccessible::Dialog)
            return QAccessibleWidget::text(type);
        QStringList lines;
        for (const QLabel* label : widget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            if (!label->buddy() && !label->text().isEmpty())
                lines << label->text();
        return lines.join(QLatin1Char('\n'));
    }

private:
    static bool Inputs(const Native& window) {
        return std::ranges::any_of(window.form.controls, [](const design::Control& control) {
            return control.kind == design::Kind::list || control.kind == design::Kind::field;
        });
    }
};

// A warning box as an alert of its own, beside the window it warns over rather than inside
// it. Its text is the OK button's description (Window::Warn), not the alert's: a screen
// reader that takes a press late makes the box its own before it appears, and then says
// only the button that takes the focus, so the button carries the text, said once.
class WarningAccessible : public QAccessibleWidget {
public:
    explicit WarningAccessible(QMessageBox* box)
        : QAccessibleWidget(box, QAccessible::AlertMessage) {}

    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(qApp);
    }
    QString text(QAccessible::Text type) const override {
        if (type == QAccessible::Name)
            return widget()->windowTitle();
        return QAccessibleWidget::text(type);
    }
};

// The warning's text, shown in the box as designed and told as what describes its button;
// related to the button, so that a reader does not read it again as the alert's own text.
class WarningTextAccessible : public QAccessibleWidget {
public:
    explicit WarningTextAccessible(QLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text type) const override {
        if (type == QAccessible::Name)
            return static_cast<QLabel*>(widget())->text();
        return QAccessibleWidget::text(type);
    }
    QList<std::pair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override {
        QList<std::pair<QAccessibleInterface*, QAccessible::Relation>> related;
        if (match & QAccessible::Labelled)
            if (QAbstractButton* ok = Box().button(QMessageBox::Ok))
                related.append({QAccessible::queryAccessibleInterface(ok), QAccessible::Labelled});
        return related;
    }

    static bool Is(const QLabel& label) {
        const auto* box = qobject_cast<const QMessageBox*>(label.parentWidget());
        return box && !label.text().isEmpty() && label.text() == box->text();
    }

private:
    QMessageBox& Box() const { return *static_cast<QMessageBox*>(widget()->parentWidget()); }
};

QAccessibleInterface* Accessible(const QString& className, QObject* object) {
    if (className == QLatin1String("QLineEdit"))
        return new FieldAccessible(static_cast<QLineEdit*>(object));
    if (className == QLatin1String("QComboBox")) { // Qt's own interface, but for its focus
        ListFocus::Follow(*static_cast<QComboBox*>(object));
        return nullptr;
    }
    if (className == QLatin1String("QMessageBox"))
        return new WarningAccessible(static_cast<QMessageBox*>(object));
    if (className == QLatin1String("QLabel"))
        if (auto* label = static_cast<QLabel*>(object); WarningTextAccessible::Is(*label))
            return new WarningTextAccessible(label);
    if (className == QLatin1String("QWidget"))
        if (auto* window = dynamic_cast<Native*>(object))
            return new WindowAccessible(window);
    return nullptr;
}

} // namespace

void ExplainToScreenReaders() {
    static const bool installed = (QAccessible::installFactory(Accessible), true);
    (void)installed;
}

} // namespace ui
