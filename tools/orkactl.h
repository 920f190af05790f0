// orkactl's commands and what they share: exit codes, messages, options.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace orkactl {

enum ExitCode {
    kDone = 0,
    kOperationFailed = 1,
    kUsage = 2,
    kNoCamera = 3,
    kRefused = 4,
};

// Prints "orkactl: message" on standard error.
void fail(const std::string& message);

// The options of one command: "--name value" pairs, each name at most once.
class Options {
  public:
    // Parses `args`; only names in `known` are accepted. nullopt (message
    // printed) on an unknown, repeated or valueless option or a stray word.
    static std::optional<Options> parse(const std::vector<std::string>& args,
                                        const std::vector<std::string>& known);
    bool has(const std::string& name) const { return values_.count(name) != 0; }
    std::string text(const std::string& name, const std::string& fallback) const;
    // A whole number (or, for real(), a number) within [low, high]; nullopt
    // (message printed) when given but not such a number.
    std::optional<long> integer(const std::string& name, long fallback, long low, long high) const;
    std::optional<double> real(const std::string& name, double fallback, double low,
                               double high) const;

  private:
    std::map<std::string, std::string> values_;
};

int runStatus(const std::vector<std::string>& args);
int runSet(const std::vector<std::string>& args);
int runCapture(const std::vector<std::string>& args);
int runLiveView(const std::vector<std::string>& args);
int runClock(const std::vector<std::string>& args);

}  // namespace orkactl
