// startup RUNS NAME PROGRAM TITLE BASE_PROGRAM BASE_TITLE: on the X display in $DISPLAY,
// starts the two programs in turn (each a command whose words are parted by spaces, such as
// "wine Quinbray.exe"), RUNS times each, and measures for each start the time
// until a window with its title is mapped, and the program's resident memory one second
// later: all of it, and the part that is its own (anonymous, not pages of shared files).
// Prints the medians as table rows, the program against the base.

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>
#include <xcb/xcb.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

std::string Title(xcb_connection_t* x, xcb_window_t window) {
    const auto cookie =
        xcb_get_property(x, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(x, cookie, nullptr);
    std::string title;
    if (reply) {
        title.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                     std::size_t(xcb_get_property_value_length(reply)));
        std::free(reply);
    }
    return title;
}

long StatusKiB(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field + ":", 0) == 0)
            return std::stol(line.substr(field.size() + 1));
    return -1;
}

struct Sample {
    double milliseconds;
    long residentKiB, anonymousKiB;
};

// Starts the program and waits for its titled window to be mapped on the root window.
bool Measure(xcb_connection_t* x, const char* program, const std::string& title, Sample& out) {
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    std::vector<std::string> words;
    std::istringstream command(program);
    for (std::string word; command >> word;)
        words.push_back(word);
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return false;

    bool mapped = false;
    pollfd fd{xcb_get_file_descriptor(x), POLLIN, 0};
    while (!mapped && Clock::now() - start < std::chrono::seconds(20)) {
        xcb_generic_event_t* event = xcb_poll_for_event(x);
        if (!event) {
            poll(&fd, 1, 100);
            continue;
        }
        if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY) {
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
            if (Title(x, map->window) == title) {
                out.milliseconds =
                    std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                mapped = true;
            }
        }
        std::free(event);
    }
    if (mapped) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        out.residentKiB = StatusKiB(pid, "VmRSS");
        out.anonymousKiB = StatusKiB(pid, "RssAnon");
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return mapped;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 7) {
        std::fprintf(stderr, "usage: startup RUNS NAME PROGRAM TITLE BASE_PROGRAM BASE_TITLE\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    const char* const name = argv[2];
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "startup: cannot open the display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    std::vector<Sample> samples[2];
    for (int run = 0; run < 2 * runs; ++run) { // alternate, so drift hits both alike
        const int which = run % 2;
        const char* program = argv[3 + 2 * which];
        Sample sample{};
        if (!Measure(x, program, argv[4 + 2 * which], sample)) {
            std::fprintf(stderr, "startup: %s showed no window titled %s\n", program,
                         argv[4 + 2 * which]);
            return 1;
        }
        samples[which].push_back(sample);
    }
    xcb_disconnect(x);

    const auto median = [&](int which, auto field) {
        std::vector<double> values;
        for (const Sample& s : samples[which])
            values.push_back(double(s.*field));
        return Median(values);
    };
    const double ms = median(0, &Sample::milliseconds), baseMs = median(1, &Sample::milliseconds);
    const double mib = median(0, &Sample::residentKiB) / 1024;
    const double baseMib = median(1, &Sample::residentKiB) / 1024;
    const double own = median(0, &Sample::anonymousKiB) / 1024;
    const double baseOwn = median(1, &Sample::anonymousKiB) / 1024;
    std::printf("| %s: start-up to visible window, median of %d | %.1f ms | %.1f ms | %.2f | at "
                "most 1.10 |\n",
                name, runs, ms, baseMs, ms / baseMs);
    std::printf("| %s: resident memory 1 s after visible | %.1f MiB | %.1f MiB | %+.1f MiB | at "
                "most +3 MiB |\n",
                name, mib, baseMib, mib - baseMib);
    std::printf("| %s: of which its own (anonymous) | %.1f MiB | %.1f MiB | %+.1f MiB | |\n", name,
                own, baseOwn, own - baseOwn);
}
