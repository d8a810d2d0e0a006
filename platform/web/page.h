#pragma once

// What the C++ side of the browser's window system asks of the page (page.js): make windows
// and controls from what the design says, read and write their texts, show, hide, warn and
// end. The page knows control kinds, not the calculator's controls. Texts cross as UTF-8,
// as a pointer into the program's memory and a length in bytes.

#include <cstddef>

#define QUINBRAY_PAGE(name) __attribute__((import_module("page"), import_name(#name)))

namespace page {

// A hidden panel of the client size in CSS pixels, headed by its title; returns its id.
QUINBRAY_PAGE(window)
int Window(const char* id, std::size_t idSize, const char* title, std::size_t titleSize,
           const char* css, std::size_t cssSize);

// A control in a window, after those made before it, with its element id, caption and style;
// each returns its id, the same kind of number as a window's. One import a kind of control,
// so that the page is told the kind by what it is asked, in words: a kind the page lacks
// stops the program's instantiation, where a number would make another kind.
// A caption; `forId` is the element of the input it names, if any.
QUINBRAY_PAGE(label)
int Label(int window, const char* id, std::size_t idSize, const char* caption,
          std::size_t captionSize, const char* css, std::size_t cssSize, const char* forId,
          std::size_t forIdSize);
// A push button; "&" marks its access key. `tabStop` false: the focus by mouse only.
QUINBRAY_PAGE(button)
int Button(int window, const char* id, std::size_t idSize, const char* caption,
           std::size_t captionSize, const char* css, std::size_t cssSize, bool tabStop);
// An editable drop-down list, with its text.
QUINBRAY_PAGE(list)
int List(int window, const char* id, std::size_t idSize, const char* text, std::size_t textSize,
         const char* css, std::size_t cssSize, bool readOnly, bool tabStop);
// A one-line text field, with its text.
QUINBRAY_PAGE(field)
int Field(int window, const char* id, std::size_t idSize, const char* text, std::size_t textSize,
          const char* css, std::size_t cssSize, bool readOnly, bool tabStop);

QUINBRAY_PAGE(list_clear) void ListClear(int list);
QUINBRAY_PAGE(list_add) void ListAdd(int list, const char* item, std::size_t size, int place);
QUINBRAY_PAGE(list_select) void ListSelect(int list, int place);

// A control's text, in two steps: its size in bytes, then the bytes themselves.
QUINBRAY_PAGE(text_size) std::size_t TextSize(int control);
QUINBRAY_PAGE(text_read) void TextRead(char* into);
QUINBRAY_PAGE(text_write) void TextWrite(int control, const char* text, std::size_t size);
// Tells screen readers the text just written to a field, wherever the focus is.
QUINBRAY_PAGE(announce) void Announce(int field);

// A button whose click runs a procedure: its access key is worth announcing.
QUINBRAY_PAGE(button_acts) void ButtonActs(int button);

// A window whose close control runs a procedure: the browser's Back is that control, for
// a window shown over the first.
QUINBRAY_PAGE(window_closes) void WindowCloses(int window);
QUINBRAY_PAGE(visible) void Visible(int window, bool visible);
QUINBRAY_PAGE(warn) void Warn(int window, const char* text, std::size_t size);
QUINBRAY_PAGE(end) void End();

} // namespace page

#undef QUINBRAY_PAGE
