#pragma once

// The browser's window behind a ui::Window: its panel in the page, and its controls' ids there
// in the order of the design table.

#include "platform/system.h"

#include <vector>

struct ui::Native {
    explicit Native(const design::Form& form);
    Native(const Native&) = delete;
    Native& operator=(const Native&) = delete;

    int id = 0;                // the panel's id in the page
    std::vector<int> controls; // page ids, by design place
};
