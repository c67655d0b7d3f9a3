// The command line of usbkbdctl: a verb, its operands and options.
#pragma once

#include <string>
#include <vector>

#include "cli/console.h"

enum class Verb { None, List, Read, Write, Reset, Show, Set, Clear };

struct Options {
    Verb verb = Verb::None;
    std::vector<Argument> operands;
    bool help = false;
    bool version = false;
    bool keyNames = false;
    bool json = false;
    bool all = false;
    bool allHid = false;
    bool noVerify = false;
    bool hasDevice = false;
    Argument device;
    bool hasOutput = false;
    Argument output;
    bool hasSim = false;
    Argument sim;
};

// The name of a verb as typed, "" for Verb::None.
const char* VerbName(Verb verb);

// Reads the arguments after the program's name into options; the usage
// fault, one line, or "" when they read. With --help only the verb counts,
// and with --version or --key-names nothing else does.
std::string ParseArguments(const std::vector<Argument>& arguments, Options* options);
