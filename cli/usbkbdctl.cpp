#include "cli/usbkbdctl.h"

#include "cli/arguments.h"
#include "cli/device_verbs.h"
#include "cli/file_verbs.h"
#include "cli/help.h"
#include "cli/key_file.h"
#include "cli/sim_session.h"
#include "model/key_table.h"

namespace {

bool IsDeviceVerb(Verb verb) {
    return verb == Verb::List || verb == Verb::Read || verb == Verb::Write || verb == Verb::Reset;
}

int RunVerb(const Options& options, Console& console) {
    switch (options.verb) {
        case Verb::List:
            return RunList(options, console);
        case Verb::Read:
            return RunRead(options, console);
        case Verb::Write:
            return RunWrite(options, console);
        case Verb::Reset:
            return RunReset(options, console);
        case Verb::Show:
            return RunShow(options, console);
        case Verb::Set:
            return RunSet(options, console);
        default:
            return RunClear(options, console);
    }
}

// The bus file that --sim or else USBKBD_SIM names; "" for the system's devices.
Argument SimFile(const Options& options, const Surroundings& surroundings) {
    if (options.hasSim) return options.sim;
    Argument file;
    file.text = surroundings.simFromEnvironment;
    file.exact = surroundings.simNameExact;
    return file;
}

int RunDeviceVerb(const Options& options, Console& console, const Surroundings& surroundings) {
    Argument sim = SimFile(options, surroundings);
    if (sim.text.empty()) {
        surroundings.useSystemTransport();
        return RunVerb(options, console);
    }
    std::string fault;
    if (UsableFileName(sim, &fault)) fault = StartSimSession(sim.text, console);
    if (!fault.empty()) {
        Tell(console, fault);
        return EXIT_USAGE;
    }
    int status = RunVerb(options, console);
    EndSimSession(console);
    return status;
}

// --help, --version and --key-names tell about the tool itself and do nothing.
bool AnswerInquiry(const Options& options, Console& console) {
    if (options.help) {
        console.Out(HelpText(options.verb));
    } else if (options.version) {
        console.Out(VersionText());
    } else if (options.keyNames) {
        console.Out(KeyNameList());
    } else {
        return false;
    }
    return true;
}

}  // namespace

int RunUsbkbdctl(const std::vector<Argument>& arguments, Console& console,
                 const Surroundings& surroundings) {
    Options options;
    std::string fault = ParseArguments(arguments, &options);
    if (!fault.empty()) {
        Tell(console, fault);
        return EXIT_USAGE;
    }
    if (AnswerInquiry(options, console)) return EXIT_DONE;
    ClearKeyTable();
    if (!IsDeviceVerb(options.verb)) return RunVerb(options, console);
    return RunDeviceVerb(options, console, surroundings);
}
