// The controls' operations over the page's controls; the notifications the page sends them
// come through application.cpp.

#include "platform/web/native.h"
#include "platform/web/page.h"

namespace ui {
namespace {

std::string Read(int control) {
    std::string text(page::TextSize(control), '\0');
    page::TextRead(text.data());
    return text;
}

} // namespace

void List::Clear() {
    page::ListClear(window->controls[std::size_t(index)]);
}

void List::AddItem(std::string_view item, int place) {
    page::ListAdd(window->controls[std::size_t(index)], item.data(), item.size(), place);
}

void List::ListIndex(int place) {
    page::ListSelect(window->controls[std::size_t(index)], place);
}

std::string List::Text() const {
    return Read(window->controls[std::size_t(index)]);
}

std::string Field::Text() const {
    return Read(window->controls[std::size_t(index)]);
}

void system::SetText(Native& window, int index, std::string_view text) {
    page::TextWrite(window.controls[std::size_t(index)], text.data(), text.size());
}

void system::Announce(Native& window, int index, std::string_view) {
    page::Announce(window.controls[std::size_t(index)]);
}

void system::ConnectClick(Native& window, int index) {
    page::ButtonActs(window.controls[std::size_t(index)]);
}

// The page sends every button's mouse-up (ui_mouse_up).
void system::ConnectMouseUp(Native&, int) {}

// A panel in a page has no close control of its own: the browser's Back stands in for it.
void system::ConnectClose(Native& window) {
    page::WindowCloses(window.id);
}

} // namespace ui
