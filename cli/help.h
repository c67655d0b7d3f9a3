// The help texts of usbkbdctl, the same as README's "Command line" section.
#pragma once

#include <string>

#include "cli/arguments.h"

// The text of "usbkbdctl --help" for Verb::None, else of "usbkbdctl VERB --help".
std::string HelpText(Verb verb);

// The text of "usbkbdctl --version": the program's name and version.
std::string VersionText();

// The text of "usbkbdctl --key-names": the key names that set takes, one a line.
std::string KeyNameList();
