// The simulated camera's environment settings.
#include "environment.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using orkasim::EnvironmentSettings;

EnvironmentSettings read(const std::map<std::string, std::string>& env,
                         std::vector<std::string>* complaints = nullptr) {
    return orkasim::readEnvironment(
        [&](const char* name) -> const char* {
            auto it = env.find(name);
            return it == env.end() ? nullptr : it->second.c_str();
        },
        [&](const char* name) {
            if (complaints)
                complaints->push_back(name);
        });
}

TEST(SimEnvironment, DefaultsAndWellFormedValues) {
    const auto none = read({});
    EXPECT_EQ(none.framesPerSecond, orkasim::kDefaultFramesPerSecond);
    EXPECT_FALSE(none.unplugAfterSeconds);

    const auto set = read(
        {{"ORKA_SIM_FPS", "0"}, {"ORKA_SIM_UNPLUG_AFTER", "2.5"}, {"ORKA_SIM_REPLUG_AFTER", "3"}});
    EXPECT_EQ(set.framesPerSecond, 0);
    EXPECT_EQ(set.unplugAfterSeconds, 2.5);
    EXPECT_EQ(set.replugAfterSeconds, 3);
}

TEST(SimEnvironment, MalformedValuesKeepTheDefaultAndAreReported) {
    std::vector<std::string> complaints;
    const auto bad = read({{"ORKA_SIM_FPS", "fast"},
                           {"ORKA_SIM_UNPLUG_AFTER", "-1"},
                           {"ORKA_SIM_REPLUG_AFTER", "5s"}},
                          &complaints);
    EXPECT_EQ(bad.framesPerSecond, orkasim::kDefaultFramesPerSecond);
    EXPECT_FALSE(bad.unplugAfterSeconds);
    EXPECT_FALSE(bad.replugAfterSeconds);
    EXPECT_EQ(complaints.size(), 3u);

    EXPECT_EQ(read({{"ORKA_SIM_FPS", "nan"}}).framesPerSecond, orkasim::kDefaultFramesPerSecond);
    EXPECT_EQ(read({{"ORKA_SIM_FPS", "1e9"}}).framesPerSecond, orkasim::kDefaultFramesPerSecond);
}

TEST(SimEnvironment, ReplugNeedsAnUnplug) {
    EXPECT_FALSE(read({{"ORKA_SIM_REPLUG_AFTER", "1"}}).replugAfterSeconds);
}

}  // namespace
