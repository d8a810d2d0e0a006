#pragma once

// The browser's window behind a ui::Window: its panel in the page, its controls' ids there
// in the order of the design table, and the procedures its notifications run.

#include "platform/system.h"

#include <functional>
#include <vector>

struct ui::Native {
    explicit Native(const design::Form& form);
    Native(const Native&) = delete;
    Native& operator=(const Native&) = delete;

    int id = 0;                                                // the panel's id in the page
    std::vector<int> controls;                                 // page ids, by design place
    std::vector<std::function<void()>> clicks;                 // by design place
    std::vector<std::function<void(const MouseUp&)>> mouseUps; // by design place
    std::function<void()> close;                               // the close control's
};
