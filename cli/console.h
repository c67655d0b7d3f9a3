// What the command-line tool works with at its edges: its arguments and its
// two output streams. Every text inside the tool is code page 949 bytes; the
// edge converts them for the system and the terminal.
#pragma once

#include <string>
#include <vector>

// Exit statuses.
constexpr int EXIT_DONE = 0;
constexpr int EXIT_DEVICE_FAILURE = 1;  // no reply, a verify mismatch, a lost module
constexpr int EXIT_USAGE = 2;           // a wrong command line or a bad file
constexpr int EXIT_NO_MODULE = 3;
constexpr int EXIT_PERMISSION = 4;
constexpr int EXIT_INTERRUPTED = 130;  // Ctrl+C, as shells count it

// One command-line argument in code page 949; exact is false when it had a
// character that the code page lacks, which then stands as "?".
struct Argument {
    std::string text;
    bool exact = true;
};

class Console {
public:
    virtual ~Console() = default;

    virtual void Out(const std::string& text) = 0;
    virtual void Err(const std::string& text) = 0;
    // Whether standard error is a terminal, where progress is shown.
    virtual bool ErrIsTerminal() = 0;
};

// Tells a fault on standard error: "usbkbdctl: " and the one-line message,
// in which the texts from outside that it quotes are made printable.
void Tell(Console& console, const std::string& message);

// What the tool takes from its surroundings besides the command line.
struct Surroundings {
    std::string simFromEnvironment;  // USBKBD_SIM in code page 949; empty when unset
    bool simNameExact = true;
    void (*useSystemTransport)();  // makes the system's HID services the transport
};
