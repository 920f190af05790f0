// The simulated camera's environment settings and the scripted unplug.
#include "environment.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "orkasim.h"

namespace orkasim {

namespace {

// One day: longer than any demo, short enough that a typo stays visible.
constexpr double kMaxSeconds = 86400;
constexpr double kMaxFramesPerSecond = 1000;

std::optional<double> parseNumber(const char* text, double max) {
    if (text == nullptr || *text == '\0')
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (errno != 0 || end == text || *end != '\0' || !std::isfinite(value) || value < 0 ||
        value > max)
        return std::nullopt;
    return value;
}

}  // namespace

EnvironmentSettings readEnvironment(const std::function<const char*(const char*)>& lookup,
                                    const std::function<void(const char* name)>& complain) {
    EnvironmentSettings settings;
    auto read = [&](const char* name, double max) -> std::optional<double> {
        const char* text = lookup(name);
        if (text == nullptr || *text == '\0')
            return std::nullopt;
        auto value = parseNumber(text, max);
        if (!value && complain)
            complain(name);
        return value;
    };
    if (auto fps = read("ORKA_SIM_FPS", kMaxFramesPerSecond))
        settings.framesPerSecond = *fps;
    settings.unplugAfterSeconds = read("ORKA_SIM_UNPLUG_AFTER", kMaxSeconds);
    auto replug = read("ORKA_SIM_REPLUG_AFTER", kMaxSeconds);
    if (settings.unplugAfterSeconds)
        settings.replugAfterSeconds = replug;
    return settings;
}

void applyEnvironment(Camera& camera) {
    const EnvironmentSettings settings = readEnvironment(
        [](const char* name) { return std::getenv(name); },
        [](const char* name) {
            std::fprintf(stderr, "orkasim: %s ignored (expected a number, 0 or more)\n", name);
        });
    camera.setFrameRateLimit(settings.framesPerSecond);
    if (!settings.unplugAfterSeconds)
        return;
    // Detached: it only sleeps and calls the thread-safe control side of a
    // camera that is never destroyed.
    std::thread([&camera, settings] {
        using Seconds = std::chrono::duration<double>;
        std::this_thread::sleep_for(Seconds(*settings.unplugAfterSeconds));
        std::fprintf(stderr, "orkasim: unplugging the camera (ORKA_SIM_UNPLUG_AFTER)\n");
        camera.unplug();
        if (!settings.replugAfterSeconds)
            return;
        std::this_thread::sleep_for(Seconds(*settings.replugAfterSeconds));
        std::fprintf(stderr, "orkasim: plugging the camera back (ORKA_SIM_REPLUG_AFTER)\n");
        camera.replug();
    }).detach();
}

}  // namespace orkasim
