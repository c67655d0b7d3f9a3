#include "cli/console.h"

void Tell(Console& console, const std::string& message) {
    console.Err("usbkbdctl: " + message + "\n");
}
