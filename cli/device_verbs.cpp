#include "cli/device_verbs.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "cli/interrupt.h"
#include "cli/key_file.h"
#include "cli/key_parse.h"
#include "cli/module_choice.h"
#include "cli/progress.h"
#include "cli/table_output.h"
#include "device/hid_link.h"
#include "device/module_commands.h"
#include "files/printable_text.h"
#include "model/key_table.h"

namespace {

// What a verb does with one open module; the exit status.
using ModuleStep = std::function<int(const HidDeviceInfo& module)>;

int32_t Entry(int index) {
    return GetKeyCode(LayerOfIndex(index), SlotOfIndex(index));
}

// "slots 6, shift:1" for table indexes 5 and 8.
std::string SlotList(const std::vector<int>& indexes) {
    std::string list = indexes.size() == 1 ? "slot " : "slots ";
    for (size_t i = 0; i < indexes.size(); ++i) {
        list += (i == 0 ? "" : ", ") + SlotNameOfIndex(indexes[i]);
    }
    return list;
}

int TellUnanswered(Console& console, const std::string& path, const std::string& what,
                   const std::vector<int>& indexes) {
    std::string gone = ModuleStillThere(path) ? "" : "; the module is gone";
    Tell(console, path + ": no reply to the " + what + " of " + SlotList(indexes) + gone);
    return EXIT_DEVICE_FAILURE;
}

int TellInterrupted(Console& console, const std::string& path, int done, const char* what) {
    Tell(console, "interrupted: " + path + ": " + std::to_string(done) + " of " +
                      std::to_string(TABLE_SIZE) + " entries " + what);
    return EXIT_INTERRUPTED;
}

// Runs one entry operation over the table with a progress line; the
// indexes that failed go to *failed. False when a Ctrl+C stopped it, told.
bool RunEntries(Console& console, const std::string& path, const char* what, const char* doneWord,
                int (*operation)(int), std::vector<int>* failed) {
    Progress progress(console, what, path);
    for (int index = 0; index < TABLE_SIZE; ++index) {
        if (InterruptRequested()) {
            TellInterrupted(console, path, index, doneWord);
            return false;
        }
        if (!operation(index)) failed->push_back(index);
        progress.Count(index + 1);
    }
    return true;
}

// Opens each module in turn and runs step on it; a failure does not stop
// the others, a Ctrl+C does.
int RunOnModules(const Options& options, Console& console, const ModuleStep& step) {
    std::vector<HidDeviceInfo> modules;
    int status = ChooseModules(options, console, &modules);
    int failures = 0;
    for (size_t i = 0; i < modules.size() && status != EXIT_INTERRUPTED; ++i) {
        int result = OpenModule(modules[i], console);
        if (result == EXIT_DONE) result = step(modules[i]);
        CloseModule();
        if (result != EXIT_DONE) ++failures;
        if (result != EXIT_DONE && (status == EXIT_DONE || result == EXIT_INTERRUPTED)) {
            status = result;
        }
    }
    if (modules.size() > 1 && failures > 0 && status != EXIT_INTERRUPTED) {
        Tell(console, std::to_string(failures) + " of " + std::to_string(modules.size()) +
                          " modules failed");
    }
    return status;
}

std::string ModuleLine(const HidDeviceInfo& module, int version) {
    std::string firmware = version != 0 ? FirmwareText(version) : "?";
    return ModelName(module.productId) + "  firmware " + firmware + "  " +
           PrintableText(module.path);
}

std::string ModuleJson(const HidDeviceInfo& module, int version) {
    std::string firmware = version != 0 ? JsonString(FirmwareText(version)) : "null";
    return "{\"model\":" + JsonString(ModelName(module.productId)) + ",\"firmware\":" + firmware +
           ",\"path\":" + JsonString(module.path);
}

std::string JsonArray(const std::vector<std::string>& objects) {
    std::string json = "[";
    for (size_t i = 0; i < objects.size(); ++i) json += (i == 0 ? "" : ",") + objects[i];
    return json + "]\n";
}

// ----- list -----

std::string InterfaceLine(const HidDeviceInfo& device) {
    char line[64];
    std::snprintf(line, sizeof line, "%04X:%04X  %-5s  ", device.vendorId, device.productId,
                  IsModule(device) ? ModelName(device.productId).c_str() : "other");
    std::string lengths = device.lengthsRead ? std::to_string(device.outputReportLength) + "/" +
                                                   std::to_string(device.inputReportLength)
                                             : "?";
    return line + ("reports " + lengths) + "  " + PrintableText(device.path) + "\n";
}

std::string InterfaceJson(const HidDeviceInfo& device) {
    char ids[48];
    std::snprintf(ids, sizeof ids, "\"vendor\":\"%04X\",\"product\":\"%04X\"", device.vendorId,
                  device.productId);
    std::string model = IsModule(device) ? JsonString(ModelName(device.productId)) : "null";
    std::string reports = device.lengthsRead
                              ? "[" + std::to_string(device.outputReportLength) + "," +
                                    std::to_string(device.inputReportLength) + "]"
                              : "null";
    return std::string("{") + ids + ",\"module\":" + model + ",\"reports\":" + reports +
           ",\"path\":" + JsonString(device.path) + "}";
}

int ListInterfaces(const Options& options, Console& console) {
    std::vector<std::string> objects;
    bool anyModule = false;
    for (const HidDeviceInfo& device : HidEnumerate()) {
        anyModule = anyModule || IsModule(device);
        if (options.json) {
            objects.push_back(InterfaceJson(device));
        } else {
            console.Out(InterfaceLine(device));
        }
    }
    if (options.json) console.Out(JsonArray(objects));
    if (anyModule) return EXIT_DONE;
    Tell(console, "no module found in change mode");
    return EXIT_NO_MODULE;
}

// The version of one listed module, 0 when it cannot be had; *status
// takes the failure.
int ListedVersion(const HidDeviceInfo& module, Console& console, int* status) {
    int result = OpenModule(module, console);
    int version = result == EXIT_DONE ? ReadFirmwareVersion() : 0;
    CloseModule();
    if (result == EXIT_DONE && version == 0) {
        Tell(console, module.path + ": no reply to the firmware version query");
        result = EXIT_DEVICE_FAILURE;
    }
    if (*status == EXIT_DONE) *status = result;
    return version;
}

int ListModulesFound(const Options& options, Console& console) {
    std::vector<HidDeviceInfo> modules = ListModules();
    std::vector<std::string> objects;
    int status = modules.empty() ? EXIT_NO_MODULE : EXIT_DONE;
    for (const HidDeviceInfo& module : modules) {
        if (InterruptRequested()) {
            Tell(console, "interrupted");
            return EXIT_INTERRUPTED;
        }
        int version = ListedVersion(module, console, &status);
        if (options.json) {
            objects.push_back(ModuleJson(module, version) + "}");
        } else {
            console.Out(ModuleLine(module, version) + "\n");
        }
    }
    if (options.json) console.Out(JsonArray(objects));
    if (modules.empty()) Tell(console, "no module found in change mode");
    return status;
}

// ----- read -----

int ReadModule(const HidDeviceInfo& module, const Options& options, Console& console,
               std::vector<std::string>* objects) {
    int version = ReadFirmwareVersion();
    if (version == 0) {
        Tell(console, module.path + ": no reply to the firmware version query");
        return EXIT_DEVICE_FAILURE;
    }
    std::vector<int> failed;
    if (!RunEntries(console, module.path, "reading", "read", ReadKeyEntry, &failed)) {
        return EXIT_INTERRUPTED;
    }
    if (!failed.empty()) return TellUnanswered(console, module.path, "read", failed);
    if (options.json) {
        objects->push_back(ModuleJson(module, version) + "," + TableJsonMembers(module.productId) +
                           "}");
    } else {
        console.Out(ModuleLine(module, version) + "\n" + TableText(module.productId));
    }
    std::string fault = options.hasOutput ? SaveKeyFileTold(options.output.text) : "";
    if (!fault.empty()) Tell(console, fault);
    return fault.empty() ? EXIT_DONE : EXIT_USAGE;
}

// ----- write -----

// Reads the table back and names every entry that differs from what was
// written; the table is left as it was written.
int Verify(const HidDeviceInfo& module, Console& console) {
    int32_t written[TABLE_SIZE];
    for (int index = 0; index < TABLE_SIZE; ++index) written[index] = Entry(index);
    std::vector<int> failed;
    bool whole = RunEntries(console, module.path, "verifying", "verified", ReadKeyEntry, &failed);
    std::string mismatches;
    for (int index = 0; index < TABLE_SIZE; ++index) {
        int32_t expected = WordOnTheWire(written[index]);
        bool read = whole && std::find(failed.begin(), failed.end(), index) == failed.end();
        if (read && Entry(index) != expected) {
            mismatches += (mismatches.empty() ? "" : "; ") + std::string("slot ") +
                          SlotNameOfIndex(index) + " holds " + KeyWordText(Entry(index)) +
                          ", not " + KeyWordText(expected);
        }
        SetKeyCode(LayerOfIndex(index), SlotOfIndex(index), written[index]);
    }
    if (!whole) return EXIT_INTERRUPTED;
    if (!failed.empty()) return TellUnanswered(console, module.path, "verify read", failed);
    if (mismatches.empty()) return EXIT_DONE;
    Tell(console, module.path + ": verify failed: " + mismatches);
    return EXIT_DEVICE_FAILURE;
}

int WriteModule(const HidDeviceInfo& module, const Options& options, Console& console) {
    std::vector<int> failed;
    if (!RunEntries(console, module.path, "writing", "written", WriteKeyEntry, &failed)) {
        return EXIT_INTERRUPTED;
    }
    if (!failed.empty()) return TellUnanswered(console, module.path, "write", failed);
    int status = options.noVerify ? EXIT_DONE : Verify(module, console);
    if (status != EXIT_DONE) return status;
    console.Out(ModelName(module.productId) + "  " + PrintableText(module.path) +
                (options.noVerify ? "  written, not verified\n" : "  written and verified\n"));
    return EXIT_DONE;
}

// ----- reset -----

int ResetOne(const HidDeviceInfo& module, Console& console) {
    if (!SendReset()) {
        Tell(console, module.path + ": no reply to the reset");
        return EXIT_DEVICE_FAILURE;
    }
    console.Out(ModelName(module.productId) + "  " + PrintableText(module.path) +
                "  left change mode\n");
    return EXIT_DONE;
}

}  // namespace

int RunList(const Options& options, Console& console) {
    return options.allHid ? ListInterfaces(options, console) : ListModulesFound(options, console);
}

int RunRead(const Options& options, Console& console) {
    std::vector<std::string> objects;
    int status = RunOnModules(options, console, [&](const HidDeviceInfo& module) {
        return ReadModule(module, options, console, &objects);
    });
    if (options.json) console.Out(JsonArray(objects));
    return status;
}

int RunWrite(const Options& options, Console& console) {
    std::string fault;
    if (!UsableFileName(options.operands[0], &fault)) {
        Tell(console, fault);
        return EXIT_USAGE;
    }
    fault = LoadCheckedKeyFile(options.operands[0].text);
    if (!fault.empty()) {
        Tell(console, fault);
        return EXIT_USAGE;
    }
    return RunOnModules(options, console, [&](const HidDeviceInfo& module) {
        return WriteModule(module, options, console);
    });
}

int RunReset(const Options& options, Console& console) {
    return RunOnModules(options, console,
                        [&](const HidDeviceInfo& module) { return ResetOne(module, console); });
}
