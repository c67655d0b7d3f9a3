#include "cli/help.h"

#include "cli/key_parse.h"

namespace {

constexpr char GENERAL_HELP[] =
    "usbkbdctl: sets up QX206 and QX209 USB keyboard modules from the command line.\n"
    "\n"
    "usage: usbkbdctl VERB [OPTIONS] [OPERANDS]\n"
    "\n"
    "verbs:\n"
    "  list                    the modules found: model, firmware version, device path\n"
    "  read [-o FILE.kbd]      a module's firmware version and key table\n"
    "  write FILE.kbd          writes the file's table to a module and verifies it\n"
    "  reset                   makes a module leave change mode and work as a keyboard\n"
    "  show FILE.kbd           the file's table, as read shows a module's\n"
    "  set FILE.kbd SLOT KEY   gives a slot of the file a key\n"
    "  clear FILE.kbd SLOT     empties a slot of the file\n"
    "\n"
    "options:\n"
    "  --device PATH   the module at PATH, when several are found (read, write, reset)\n"
    "  --all           every module found, one after the other (read, write, reset)\n"
    "  --json          JSON for scripts (list, read, show)\n"
    "  --sim FILE      the simulated bus of the bus file FILE; also USBKBD_SIM=FILE\n"
    "  --key-names     the key names that set takes, one a line\n"
    "  --version       the program's name and version\n"
    "  --help          this text; usbkbdctl VERB --help tells one verb\n"
    "\n"
    "Only modules in change mode are found. With one module found it is used;\n"
    "with several, --device or --all says which.\n"
    "\n"
    "exit status: 0 done, 1 device failure (no reply, verify mismatch, module lost),\n"
    "2 usage or a bad file, 3 no module found, 4 permission denied, 130 interrupted.\n";

constexpr char LIST_HELP[] =
    "usage: usbkbdctl list [--all-hid] [--json]\n"
    "\n"
    "Lists the modules found in change mode, one line each: model, firmware\n"
    "version, device path. Other devices are not listed.\n"
    "\n"
    "  --all-hid   every HID interface seen instead, modules and other devices,\n"
    "              with vendor:product and report lengths, for diagnosis\n"
    "  --json      a JSON array of the lines\n";

constexpr char READ_HELP[] =
    "usage: usbkbdctl read [-o FILE.kbd] [--device PATH | --all] [--json]\n"
    "\n"
    "Reads a module's firmware version and its sixteen key code words and shows\n"
    "both layers as a table: slot, the model's row label, then per layer the key\n"
    "code word and its display text, such as 0106 <Ctrl><C>.\n"
    "\n"
    "  -o FILE.kbd   also saves the table as a .kbd file, as the window's Save does\n"
    "  --json        a JSON array with one object per module read\n";

constexpr char WRITE_HELP[] =
    "usage: usbkbdctl write FILE.kbd [--no-verify] [--device PATH | --all]\n"
    "\n"
    "Writes the file's sixteen key code words to a module, then reads them back\n"
    "and compares. Every slot that differs is named and the exit status is 1.\n"
    "One line per module tells how it went.\n"
    "\n"
    "  --no-verify   skips the read-back\n";

constexpr char RESET_HELP[] =
    "usage: usbkbdctl reset [--device PATH | --all]\n"
    "\n"
    "Makes a module leave change mode: it then works as a keyboard and is no\n"
    "longer found until it is put into change mode again.\n";

constexpr char SHOW_HELP[] =
    "usage: usbkbdctl show FILE.kbd [--json]\n"
    "\n"
    "Shows the file's table as read shows a module's, with the pin labels of a\n"
    "QX209; no module is needed.\n"
    "\n"
    "  --json   a JSON object\n";

constexpr char SET_HELP_HEAD[] =
    "usage: usbkbdctl set FILE.kbd SLOT KEY\n"
    "\n"
    "Gives SLOT of the file the key KEY and saves the file; a missing file is\n"
    "made, with every other slot empty.\n"
    "\n"
    "SLOT is 1 to 8 (normal layer) or shift:1 to shift:8 (shift layer).\n"
    "KEY is a key name, in any case, with or without its blanks, after any of\n"
    "the prefixes Ctrl+ (or Control+), Shift+, Alt+, RCtrl+, RShift+, RAlt+: for\n"
    "example Ctrl+C, shift+alt+f4, Ctrl++, \"Back Space\". The key names:\n";

constexpr char SET_HELP_ALIASES[] = "Other names taken for some of them:\n";

constexpr char CLEAR_HELP[] =
    "usage: usbkbdctl clear FILE.kbd SLOT\n"
    "\n"
    "Empties SLOT (1 to 8, or shift:1 to shift:8) of the file and saves it.\n";

constexpr size_t KEY_LIST_WIDTH = 78;

// The names, quoted where they hold a blank, filled into indented lines.
std::string NameLines(const std::vector<std::string>& names) {
    std::string lines;
    std::string line = " ";
    for (const std::string& name : names) {
        std::string word = name.find(' ') != std::string::npos ? "\"" + name + "\"" : name;
        if (line.size() + 1 + word.size() > KEY_LIST_WIDTH) {
            lines += line + "\n";
            line = " ";
        }
        line += " " + word;
    }
    return lines + line + "\n";
}

}  // namespace

std::string HelpText(Verb verb) {
    switch (verb) {
        case Verb::List:
            return LIST_HELP;
        case Verb::Read:
            return READ_HELP;
        case Verb::Write:
            return WRITE_HELP;
        case Verb::Reset:
            return RESET_HELP;
        case Verb::Show:
            return SHOW_HELP;
        case Verb::Set:
            return SET_HELP_HEAD + NameLines(OfferedKeyNames()) + SET_HELP_ALIASES +
                   NameLines(KeyAliasNames());
        case Verb::Clear:
            return CLEAR_HELP;
        default:
            return GENERAL_HELP;
    }
}

std::string VersionText() {
    return std::string("usbkbdctl ") + USBKBD_VERSION + "\n";
}

std::string KeyNameList() {
    std::string list;
    for (const std::string& name : OfferedKeyNames()) list += name + "\n";
    return list;
}
