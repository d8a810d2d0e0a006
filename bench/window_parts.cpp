// window_parts PART: the calculator window built by the program's own window system code,
// but only up to PART, shown and left running, so that the start-up benchmark can tell what
// each kind of control adds to start-up in the same rounds as the program itself:
//   frame    the application (with its icon) and the empty window
//   labels   and the captions
//   buttons  and the three buttons
//   fields   and the two text fields
//   lists    and the four editable lists: the whole window, before its load step fills it
// Each part includes the ones before it. A second word changes the window built:
//   one-face  every font in the window's own face, which scales as asked: no font is made
//             twice to look for a scalable substitute of a face that does not
//   no-live   no field live for screen readers: the window without their set-up

#include "mainwindow/mainfrm_design.h"
#include "platform/ui.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

namespace {

std::unique_ptr<ui::Window> window;

void Release() {
    window.reset();
}

} // namespace

int main(int argc, char* argv[]) {
    using design::Kind;
    constexpr std::array<std::pair<std::string_view, Kind>, 4> kParts{{{"labels", Kind::label},
                                                                       {"buttons", Kind::button},
                                                                       {"fields", Kind::field},
                                                                       {"lists", Kind::list}}};
    const std::string_view part = argc >= 2 ? argv[1] : "";
    const std::string_view variant = argc == 3 ? argv[2] : "";
    const auto upTo = std::ranges::find(kParts, part, &std::pair<std::string_view, Kind>::first);
    if ((part != "frame" && upTo == kParts.end()) || argc > 3 ||
        (argc == 3 && variant != "one-face" && variant != "no-live")) {
        std::fprintf(stderr,
                     "usage: window_parts frame|labels|buttons|fields|lists [one-face|no-live]\n");
        return 2;
    }
    std::vector<Kind> kinds;
    for (auto at = kParts.begin(); part != "frame" && at <= upTo; ++at)
        kinds.push_back(at->second);

    design::Form form = mainfrm_design::kForm;
    std::vector<design::Control> controls;
    for (design::Control control : form.controls) {
        if (std::ranges::find(kinds, control.kind) == kinds.end())
            continue;
        if (variant == "one-face")
            control.font = nullptr;
        if (variant == "no-live")
            control.live = false;
        controls.push_back(control);
    }
    form.controls = controls;

    ui::Open(argc, argv);
    ui::AtTeardown(Release);
    window = std::make_unique<ui::Window>(form);
    window->Visible(true);
    return ui::Run();
}
