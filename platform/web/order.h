#pragma once

// The order of a window's controls in the page, which is the order a screen reader reads them
// in and, among those that take it, the order Tab moves the focus in: the screen's, row by
// row and left to right, each input's label right before it. For every control that takes
// the focus by Tab it must be the design's tab order, which TabFollowsDesign checks as the
// web build compiles (tests/web/order.cpp); the result, which takes it by mouse only, is read
// where it is shown, after the inputs, not first for its tab index.

#include "platform/design.h"

#include <string_view>
#include <tuple>
#include <vector>

namespace ui {

// The design's places of a window's controls, in the order the page holds them.
constexpr std::vector<int> ReadingOrder(const design::Form& form) {
    const auto& controls = form.controls;
    // Where a control is read: a label with its input, just before it.
    auto place = [&](int index) {
        const design::Control* at = &controls[std::size_t(index)];
        bool label = false;
        for (const design::Control& input : controls)
            if (input.label && std::string_view(input.label) == at->name) {
                at = &input;
                label = true;
            }
        return std::tuple(at->top, at->left, !label);
    };
    // Each after those before it and its equals: a stable sort that a constant expression
    // may run, as std::stable_sort may not before C++26.
    std::vector<int> order;
    for (int i = 0; i < int(controls.size()); ++i) {
        auto at = order.end();
        while (at != order.begin() && place(i) < place(*(at - 1)))
            --at;
        order.insert(at, i);
    }
    return order;
}

// Whether the controls that take the focus by Tab come in the page in the order of their tab
// indexes, as they do in the design.
constexpr bool TabFollowsDesign(const design::Form& form) {
    const design::Control* last = nullptr;
    for (const int index : ReadingOrder(form)) {
        const design::Control& control = form.controls[std::size_t(index)];
        if (control.kind == design::Kind::label || !control.tabStop)
            continue;
        if (last && control.tabIndex <= last->tabIndex)
            return false;
        last = &control;
    }
    return true;
}

} // namespace ui
