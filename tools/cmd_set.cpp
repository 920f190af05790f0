// orkactl set NAME VALUE, and set --list.
#include "camera_session.h"
#include "orkactl.h"
#include "setting_table.h"

namespace orkactl {

int runSet(const std::vector<std::string>& args) {
    if (args.size() == 1 && args[0] == "--list") {
        printSettingList();
        return kDone;
    }
    if (args.size() != 2) {
        fail("set takes a setting name and a value (orkactl set --list shows them)");
        return kUsage;
    }
    const Setting* setting = findSetting(args[0]);
    if (setting == nullptr) {
        fail("no setting named " + args[0] + " (orkactl set --list shows them)");
        return kUsage;
    }
    const std::optional<int32_t> value = parseSettingValue(*setting, args[1]);
    if (!value) {
        fail("no value " + args[1] + " for " + setting->name + " (orkactl set --list shows them)");
        return kUsage;
    }
    CameraSession session;
    if (const int rc = session.open(); rc != kDone) {
        return rc;
    }
    if (setting->send(*value) != 0) {
        fail(std::string("the camera did not take ") + setting->name + " " + args[1]);
        return kOperationFailed;
    }
    return kDone;
}

}  // namespace orkactl
