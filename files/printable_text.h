// Text from outside the program (a file's lines, file names, device paths,
// what the system's HID services tell) as it may be shown on a terminal,
// which would otherwise act on the control sequences it carries.
#pragma once

#include <string>

// The code page 949 text with printable ASCII and code page 949 characters
// as they are, control characters as C writes them ("\t", "\r", "\x1b") and
// each byte that starts no code page 949 character as "\xNN". A backslash
// stays as it is, so that device paths read as the system gives them.
std::string PrintableText(const std::string& text);
