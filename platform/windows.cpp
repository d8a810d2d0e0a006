// What every window system does alike: it keeps the windows that stand with the procedures
// their notifications run, decides what a live field tells screen readers, knows whether the
// program has ended, and runs the teardown it was given. What each does its own way is behind
// platform/system.h.

#include "platform/system.h"

#include <memory>
#include <utility>
#include <vector>

namespace ui {
namespace {

// What a window keeps whatever its window system: its design, and what its notifications run.
struct Kept {
    Kept(const Native* built, const design::Form& designed)
        : window(built)
        , form(designed)
        , clicks(designed.controls.size())
        , mouseUps(designed.controls.size()) {}

    const Native* window;
    const design::Form& form;
    std::vector<std::function<void()>> clicks;                 // by design place
    std::vector<std::function<void(const MouseUp&)>> mouseUps; // by design place
    std::function<void()> close;                               // the close control's
};

std::vector<Native*> windows;
std::vector<std::unique_ptr<Kept>> kept; // a window's, while it stands; few, so looked through
void (*teardown)() = nullptr;
bool ended = false;

Kept* Find(const Native& window) {
    for (const auto& record : kept)
        if (record->window == &window)
            return record.get();
    return nullptr;
}

// A control's or a window's own record: it stands while they can be used.
Kept& Of(const Native& window) {
    return *Find(window);
}

// Gives a notification its procedure, asking the window system for the notification the first
// time.
template <class Procedure, class Connect>
void Give(Procedure& given, Procedure procedure, Connect connect) {
    const bool first = !given;
    given = std::move(procedure);
    if (first)
        connect();
}

// Runs the procedure a notification was given, if the window stands and the program goes on.
template <class Table, class... Arguments>
void Notify(const Native& window, Table Kept::*table, int index, const Arguments&... arguments) {
    if (ended)
        return;
    const Kept* found = Find(window);
    if (!found)
        return;
    const auto& procedures = found->*table;
    if (index >= 0 && index < int(procedures.size()) && procedures[std::size_t(index)])
        procedures[std::size_t(index)](arguments...);
}

} // namespace

Window::Window(const design::Form& designed)
    : form(designed)
    , built(system::Make(designed)) {
    windows.push_back(built.get());
    kept.push_back(std::make_unique<Kept>(built.get(), designed));
}

// Forgotten before the window system destroys it, so that nothing reaches it on the way.
Window::~Window() {
    std::erase(windows, built.get());
    std::erase_if(kept, [&](const auto& record) { return record->window == built.get(); });
}

void Window::Destroy::operator()(Native* window) const {
    system::Destroy(window);
}

void Window::OnClose(std::function<void()> procedure) {
    Give(Of(*built).close, std::move(procedure), [&] { system::ConnectClose(*built); });
}

// A live field tells its new text, but not its emptying: the one empty text written is the
// result cleared before a warning, which is itself told.
void Field::Text(std::string_view text) {
    system::SetText(*window, index, text);
    if (Of(*window).form.controls[std::size_t(index)].live && !text.empty())
        system::Announce(*window, index, text);
}

void Button::OnClick(std::function<void()> procedure) {
    Give(Of(*window).clicks[std::size_t(index)], std::move(procedure),
         [&] { system::ConnectClick(*window, index); });
}

void Button::OnMouseUp(std::function<void(const MouseUp&)> procedure) {
    Give(Of(*window).mouseUps[std::size_t(index)], std::move(procedure),
         [&] { system::ConnectMouseUp(*window, index); });
}

void End(int status) {
    ended = true; // not even what was queued before the end is handled
    system::Stop(status);
}

void AtTeardown(void (*release)()) {
    teardown = release;
}

namespace system {

std::span<Native* const> Windows() {
    return windows;
}

bool Ended() {
    return ended;
}

void TearDown() {
    if (const auto release = std::exchange(teardown, nullptr))
        release();
}

void RunClick(Native& window, int index) {
    Notify(window, &Kept::clicks, index);
}

void RunMouseUp(Native& window, int index, const MouseUp& up) {
    Notify(window, &Kept::mouseUps, index, up);
}

void RunClose(Native& window) {
    if (ended)
        return;
    if (const Kept* found = Find(window); found && found->close)
        found->close();
}

} // namespace system
} // namespace ui
