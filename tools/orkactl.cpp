// orkactl: the camera from the command line, over Fotolien.
#include "orkactl.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace orkactl {

void fail(const std::string& message) {
    std::fprintf(stderr, "orkactl: %s\n", message.c_str());
}

std::optional<Options> Options::parse(const std::vector<std::string>& args,
                                      const std::vector<std::string>& known) {
    Options options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        bool isKnown = false;
        for (const std::string& k : known) {
            isKnown = isKnown || name == "--" + k;
        }
        if (!isKnown) {
            fail("unexpected argument: " + name);
            return std::nullopt;
        }
        if (i + 1 == args.size()) {
            fail(name + " needs a value");
            return std::nullopt;
        }
        if (!options.values_.emplace(name.substr(2), args[++i]).second) {
            fail(name + " given twice");
            return std::nullopt;
        }
    }
    return options;
}

std::string Options::text(const std::string& name, const std::string& fallback) const {
    const auto it = values_.find(name);
    return it == values_.end() ? fallback : it->second;
}

std::optional<long> Options::integer(const std::string& name, long fallback, long low,
                                     long high) const {
    const auto it = values_.find(name);
    if (it == values_.end()) {
        return fallback;
    }
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(it->second.c_str(), &end, 10);
    if (it->second.empty() || errno != 0 || *end != '\0' || value < low || value > high) {
        fail("--" + name + " takes a whole number from " + std::to_string(low) + " to " +
             std::to_string(high));
        return std::nullopt;
    }
    return value;
}

std::optional<double> Options::real(const std::string& name, double fallback, double low,
                                    double high) const {
    const auto it = values_.find(name);
    if (it == values_.end()) {
        return fallback;
    }
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(it->second.c_str(), &end);
    if (it->second.empty() || errno != 0 || *end != '\0' || !std::isfinite(value) || value < low ||
        value > high) {
        fail("--" + name + " takes a number from " + std::to_string(low) + " to " +
             std::to_string(high));
        return std::nullopt;
    }
    return value;
}

namespace {

void usage(FILE* out) {
    std::fprintf(
        out,
        "usage: orkactl COMMAND [OPTIONS]\n"
        "\n"
        "commands:\n"
        "  status                 print the camera's status, one \"name value\" per line\n"
        "  set NAME VALUE         change one camera setting\n"
        "  set --list             list the settings and their values\n"
        "  capture [--count N] [--interval S] [--dir D] [--prefix P] [--hook CMD]\n"
        "          [--backup B]   half-press, shoot N pictures S seconds apart, wait for\n"
        "                         every file and print the path of each one saved in D\n"
        "                         (default: the current folder) as P + number + extension;\n"
        "                         a journal of the session goes in D; B gets a verified\n"
        "                         copy of each file (exit 1 while a copy is owed); CMD\n"
        "                         runs with each saved path (and each copy) as its last\n"
        "                         argument (killed after 60 s); a shot is refused when D\n"
        "                         has no room left; the after-view review is turned off\n"
        "  liveview [--seconds S] [--mode 0|1] [--save DIR]\n"
        "                         fetch preview frames for S seconds (mode 0: 320x240,\n"
        "                         1: 544x408), print the frame rate, optionally save them\n"
        "  clock                  set the camera's clock to this computer's local time\n"
        "\n"
        "exit codes: 0 done, 1 camera operation failed, 2 bad usage,\n"
        "            3 no camera found, 4 PC-control mode refused\n");
}

}  // namespace

}  // namespace orkactl

int main(int argc, char** argv) {
    using namespace orkactl;
    const std::vector<std::string> all(argv + 1, argv + argc);
    if (all.empty()) {
        usage(stderr);
        return kUsage;
    }
    const std::string& command = all[0];
    const std::vector<std::string> args(all.begin() + 1, all.end());
    if (command == "--help" || command == "-h" || command == "help") {
        usage(stdout);
        return kDone;
    }
    if (command == "status") {
        return runStatus(args);
    }
    if (command == "set") {
        return runSet(args);
    }
    if (command == "capture") {
        return runCapture(args);
    }
    if (command == "liveview") {
        return runLiveView(args);
    }
    if (command == "clock") {
        return runClock(args);
    }
    fail("unknown command: " + command);
    usage(stderr);
    return kUsage;
}
