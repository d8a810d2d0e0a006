// startup RUNS [program NAME TITLE COMMAND]... [ROW A B LABEL GOAL]...
//
// On the X display in $DISPLAY, starts every program once a round, in a fresh random order
// each round, for RUNS rounds after one round that warms the caches and is not counted. A
// COMMAND's words are parted by spaces, such as "wine Quinbray.exe". Each start is timed from
// the start of the process to the X server reporting a window with its TITLE mapped, and to
// the program's first drawing in that window (its first paint, seen through the Damage
// extension); where a memory row asks for it, the program's resident memory is read one
// second later: all of it, and the part that is its own (anonymous, not pages of shared files).
//
// Each ROW compares program A with program B (by NAME) round by round and prints one line of
// the benchmark table: "time" and "paint" the ratio of their times to mapped and to first
// paint, "time-extra" and "paint-extra" the difference of those times, "own" and "resident"
// the difference of their memory. Since A and B are measured in the same rounds, each round's
// ratio sees the same state of the machine; the line gives the median of those ratios (or
// differences) and their interquartile range, which shows how far one round strays from the
// next.
//
// With QUINBRAY_STARTUP_SAMPLES naming a file, every round's times go there too, one line a
// round, to mapped and to first paint for each program in turn, for a closer look.

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <poll.h>
#include <random>
#include <spawn.h>
#include <sstream>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <thread>
#include <vector>
#include <xcb/damage.h>
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

double StatusMiB(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field + ":", 0) == 0)
            return std::stod(line.substr(field.size() + 1)) / 1024;
    return -1;
}

struct Program {
    std::string name, title, command;
};

struct Sample {
    double milliseconds = 0, paintMilliseconds = 0, residentMiB = 0, ownMiB = 0;
};

// The Damage extension reports a window's first drawing: its number among the events.
std::uint8_t firstDamageEvent = 0;

// What a row needs from a program's starts beyond the time to mapped.
struct Needs {
    bool paint = false, memory = false;
};

// Starts the program and waits for its titled window to be mapped on the root window, and
// where needed for its first paint in it.
bool Start(xcb_connection_t* x, const Program& program, Needs needs, Sample& out) {
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    std::vector<std::string> words;
    std::istringstream command(program.command);
    for (std::string word; command >> word;)
        words.push_back(word);
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return false;

    // Each new top-level window is watched for drawing from its creation, before its program
    // can draw; the one with the title is known when it is mapped.
    xcb_window_t shown = XCB_NONE;
    bool painted = false;
    std::vector<xcb_damage_damage_t> damages;
    pollfd fd{xcb_get_file_descriptor(x), POLLIN, 0};
    while ((shown == XCB_NONE || (needs.paint && !painted)) &&
           Clock::now() - start < std::chrono::seconds(20)) {
        xcb_generic_event_t* event = xcb_poll_for_event(x);
        if (!event) {
            poll(&fd, 1, 100);
            continue;
        }
        const double now = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        const auto type = event->response_type & 0x7F;
        if (type == XCB_CREATE_NOTIFY) {
            const auto* create = reinterpret_cast<xcb_create_notify_event_t*>(event);
            damages.push_back(xcb_generate_id(x));
            xcb_damage_create(x, damages.back(), create->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
            xcb_flush(x);
        } else if (type == XCB_MAP_NOTIFY && shown == XCB_NONE) {
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
            if (Title(x, map->window) == program.title) {
                out.milliseconds = now;
                shown = map->window;
            }
        } else if (type == firstDamageEvent + XCB_DAMAGE_NOTIFY && shown != XCB_NONE) {
            const auto* damage = reinterpret_cast<xcb_damage_notify_event_t*>(event);
            if (damage->drawable == shown) {
                out.paintMilliseconds = now;
                painted = true;
            }
        }
        std::free(event);
    }
    for (xcb_damage_damage_t damage : damages)
        xcb_damage_destroy(x, damage);
    xcb_flush(x);
    const bool mapped = shown != XCB_NONE && (painted || !needs.paint);
    if (mapped && needs.memory) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        out.residentMiB = StatusMiB(pid, "VmRSS");
        out.ownMiB = StatusMiB(pid, "RssAnon");
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return mapped;
}

// The p-quantile with linear interpolation between the closest ranks (the common default,
// as in R and numpy); p = 0.5 is the median.
double Quantile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const double at = p * double(values.size() - 1);
    const auto below = std::size_t(at);
    if (below + 1 >= values.size())
        return values.back();
    return values[below] + (at - double(below)) * (values[below + 1] - values[below]);
}

// What a row compares, and how.
struct Measure {
    std::string_view kind;
    double Sample::*field;
    bool ratio; // A / B; otherwise A - B
    const char* unit;
};
constexpr Measure kMeasures[] = {
    {"time", &Sample::milliseconds, true, "ms"},
    {"paint", &Sample::paintMilliseconds, true, "ms"},
    {"time-extra", &Sample::milliseconds, false, "ms"},
    {"paint-extra", &Sample::paintMilliseconds, false, "ms"},
    {"own", &Sample::ownMiB, false, "MiB"},
    {"resident", &Sample::residentMiB, false, "MiB"},
};

struct Row {
    std::string kind;
    std::size_t a, b; // places in the programs
    std::string label, goal;
};

int Usage() {
    std::fprintf(stderr, "usage: startup RUNS [program NAME TITLE COMMAND]... "
                         "[time|own|resident A B LABEL GOAL]...\n");
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2)
        return Usage();
    const int runs = std::atoi(argv[1]);
    std::vector<Program> programs;
    std::vector<Row> rows;
    const auto place = [&](std::string_view name) {
        for (std::size_t i = 0; i < programs.size(); ++i)
            if (programs[i].name == name)
                return i;
        std::fprintf(stderr, "startup: no program named %s\n", std::string(name).c_str());
        std::exit(2);
    };
    for (int i = 2; i < argc;) {
        const std::string_view word = argv[i];
        if (word == "program" && i + 3 < argc) {
            programs.push_back({argv[i + 1], argv[i + 2], argv[i + 3]});
            i += 4;
        } else if (std::ranges::find(kMeasures, word, &Measure::kind) != std::end(kMeasures) &&
                   i + 4 < argc) {
            rows.push_back(
                {argv[i], place(argv[i + 1]), place(argv[i + 2]), argv[i + 3], argv[i + 4]});
            i += 5;
        } else {
            return Usage();
        }
    }
    if (runs < 1 || programs.empty())
        return Usage();
    // Memory is read only where a row asks for it (reading waits a second after each start),
    // and the first paint too.
    std::vector<Needs> needs(programs.size());
    for (const Row& row : rows)
        for (std::size_t p : {row.a, row.b}) {
            needs[p].paint |= row.kind.starts_with("paint");
            needs[p].memory |= row.kind == "own" || row.kind == "resident";
        }

    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "startup: cannot open the display\n");
        return 1;
    }
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(x, &xcb_damage_id);
    if (!damage || !damage->present) {
        std::fprintf(stderr, "startup: the display has no Damage extension\n");
        return 1;
    }
    firstDamageEvent = damage->first_event;
    std::free(xcb_damage_query_version_reply(
        x, xcb_damage_query_version(x, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION),
        nullptr));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    // rounds[r][p]: program p in round r.
    std::vector<std::vector<Sample>> rounds;
    std::vector<std::size_t> order(programs.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::mt19937 random(std::random_device{}());
    for (int round = 0; round <= runs; ++round) { // round 0 warms up
        std::ranges::shuffle(order, random);
        std::vector<Sample> samples(programs.size());
        for (std::size_t p : order)
            if (!Start(x, programs[p], needs[p], samples[p])) {
                std::fprintf(stderr, "startup: %s showed no window titled %s\n",
                             programs[p].command.c_str(), programs[p].title.c_str());
                return 1;
            }
        if (round > 0)
            rounds.push_back(samples);
    }
    xcb_disconnect(x);
    if (const char* path = std::getenv("QUINBRAY_STARTUP_SAMPLES")) {
        std::ofstream file(path);
        for (const auto& samples : rounds) {
            for (const Sample& sample : samples)
                file << sample.milliseconds << '\t' << sample.paintMilliseconds
                     << (&sample == &samples.back() ? '\n' : '\t');
        }
    }

    const auto each = [&](auto of) {
        std::vector<double> values;
        for (const auto& samples : rounds)
            values.push_back(of(samples));
        return values;
    };
    for (const Row& row : rows) {
        const Measure& measure = *std::ranges::find(kMeasures, row.kind, &Measure::kind);
        const auto of = [&](std::size_t p) {
            return each([&](const auto& samples) { return samples[p].*measure.field; });
        };
        const auto spread = each([&](const auto& samples) {
            const double a = samples[row.a].*measure.field, b = samples[row.b].*measure.field;
            return measure.ratio ? a / b : a - b;
        });
        std::printf("| %s | %.1f %s | %.1f %s (%s) | ", row.label.c_str(), Quantile(of(row.a), 0.5),
                    measure.unit, Quantile(of(row.b), 0.5), measure.unit,
                    programs[row.b].name.c_str());
        if (measure.ratio)
            std::printf("%.2f (IQR %.2f to %.2f)", Quantile(spread, 0.5), Quantile(spread, 0.25),
                        Quantile(spread, 0.75));
        else
            std::printf("%+.1f %s (IQR %+.1f to %+.1f)", Quantile(spread, 0.5), measure.unit,
                        Quantile(spread, 0.25), Quantile(spread, 0.75));
        std::printf(" | %s |\n", row.goal.c_str());
    }
}
