// The camera settings orkactl can change: a name, the export that sends it,
// and the values it takes (a number, or a word standing for one).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orkactl {

struct SettingValue {
    int32_t value;
    const char* word;  // what the value means; also accepted in its place
};

struct Setting {
    const char* name;
    int32_t (*send)(int32_t);
    int32_t low;  // range of numbers accepted (also outside the named values)
    int32_t high;
    std::vector<SettingValue> values;  // named values, may be empty
    const char* note;                  // how to read the numbers, or ""
};

const std::vector<Setting>& settings();
const Setting* findSetting(const std::string& name);
// The number `text` stands for in `setting`: a named value's word or a
// number within range.
std::optional<int32_t> parseSettingValue(const Setting& setting, const std::string& text);
// One line per setting: name, range and the named values.
void printSettingList();

}  // namespace orkactl
