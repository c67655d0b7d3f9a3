#include "cli/module_choice.h"

#include "device/hid_link.h"

namespace {

#ifdef _WIN32
constexpr char DENIED_HINT[] = "permission denied";
#else
constexpr char DENIED_HINT[] = "permission denied; see README, Linux";
#endif

int ChooseByPath(const std::vector<HidDeviceInfo>& modules, const std::string& path,
                 Console& console, std::vector<HidDeviceInfo>* chosen) {
    for (const HidDeviceInfo& module : modules) {
        if (module.path == path) {
            chosen->push_back(module);
            return EXIT_DONE;
        }
    }
    Tell(console, "no module in change mode at " + path);
    return EXIT_NO_MODULE;
}

}  // namespace

std::vector<HidDeviceInfo> ListModules() {
    std::vector<HidDeviceInfo> modules;
    for (const HidDeviceInfo& device : HidEnumerate()) {
        if (IsModule(device) && ReportsMayFit(device)) modules.push_back(device);
    }
    return modules;
}

int ChooseModules(const Options& options, Console& console, std::vector<HidDeviceInfo>* chosen) {
    std::vector<HidDeviceInfo> modules = ListModules();
    if (options.hasDevice) return ChooseByPath(modules, options.device.text, console, chosen);
    if (modules.empty()) {
        Tell(console, "no module found in change mode");
        return EXIT_NO_MODULE;
    }
    if (modules.size() > 1 && !options.all) {
        Tell(console, std::to_string(modules.size()) +
                          " modules found; choose one with --device PATH, or use --all");
        return EXIT_USAGE;
    }
    *chosen = modules;
    return EXIT_DONE;
}

int OpenModule(const HidDeviceInfo& module, Console& console) {
    if (!module.lengthsRead) {
        Tell(console, "cannot open " + module.path + ": the system tells no report lengths");
        return EXIT_DEVICE_FAILURE;
    }
    if (ConnectModuleAt(module) != 0) return EXIT_DONE;
    HidFailure failure = HidLastFailure();
    if (failure == HidFailure::AccessDenied) {
        Tell(console, "cannot open " + module.path + ": " + DENIED_HINT);
        return EXIT_PERMISSION;
    }
    Tell(console, "cannot open " + module.path +
                      (failure == HidFailure::NotConnected ? ": the module is gone" : ""));
    return EXIT_DEVICE_FAILURE;
}

bool ModuleStillThere(const std::string& path) {
    for (const HidDeviceInfo& module : ListModules()) {
        if (module.path == path) return true;
    }
    return false;
}
