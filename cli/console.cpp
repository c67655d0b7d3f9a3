#include "cli/console.h"

#include "files/printable_text.h"

void Tell(Console& console, const std::string& message) {
    console.Err("usbkbdctl: " + PrintableText(message) + "\n");
}
