// Settings the simulated camera takes from the environment when the process
// first reaches it, so that the demo and a newcomer can shape it without code:
//   ORKA_SIM_FPS=R            live-view frames per second (default 15, 0 = unlimited)
//   ORKA_SIM_UNPLUG_AFTER=N   unplug the camera N seconds after start
//   ORKA_SIM_REPLUG_AFTER=M   plug it back M seconds after that unplug
// The in-process control API (Camera::reset) keeps its own defaults: no
// frame-rate limit, no scripted unplug.
#pragma once

#include <functional>
#include <optional>

namespace orkasim {

constexpr double kDefaultFramesPerSecond = 15;

struct EnvironmentSettings {
    double framesPerSecond = kDefaultFramesPerSecond;
    std::optional<double> unplugAfterSeconds;
    std::optional<double> replugAfterSeconds;  // only with an unplug
};

// Reads the settings through `lookup` (getenv in production). A missing,
// empty, malformed, negative or absurd value leaves that setting at its
// default; the faulty name is passed to `complain` when given.
EnvironmentSettings readEnvironment(const std::function<const char*(const char*)>& lookup,
                                    const std::function<void(const char* name)>& complain = {});

class Camera;
// Applies the process environment to `camera` and starts the scripted
// unplug, if any. Called once, when the camera is first reached.
void applyEnvironment(Camera& camera);

}  // namespace orkasim
