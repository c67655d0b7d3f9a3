#include "cli/arguments.h"

namespace {

// Options, as bits of the set a verb takes.
enum OptionBit : unsigned {
    OPT_JSON = 1u << 0,
    OPT_ALL = 1u << 1,
    OPT_ALL_HID = 1u << 2,
    OPT_NO_VERIFY = 1u << 3,
    OPT_DEVICE = 1u << 4,
    OPT_OUTPUT = 1u << 5,
    OPT_SIM = 1u << 6,
};

struct VerbRule {
    Verb verb;
    const char* name;
    size_t operandCount;
    const char* operands;  // as the usage line names them
    unsigned options;
};

constexpr unsigned MODULE_CHOICE = OPT_ALL | OPT_DEVICE | OPT_SIM;

const VerbRule VERB_RULES[] = {
    {Verb::List, "list", 0, "", OPT_ALL_HID | OPT_JSON | OPT_SIM},
    {Verb::Read, "read", 0, "", MODULE_CHOICE | OPT_OUTPUT | OPT_JSON},
    {Verb::Write, "write", 1, "FILE.kbd", MODULE_CHOICE | OPT_NO_VERIFY},
    {Verb::Reset, "reset", 0, "", MODULE_CHOICE},
    {Verb::Show, "show", 1, "FILE.kbd", OPT_JSON},
    {Verb::Set, "set", 3, "FILE.kbd SLOT KEY", 0},
    {Verb::Clear, "clear", 2, "FILE.kbd SLOT", 0},
};

struct OptionRule {
    const char* name;
    unsigned bit;
    bool takesValue;
};

const OptionRule OPTION_RULES[] = {
    {"--json", OPT_JSON, false},       {"--all", OPT_ALL, false},
    {"--all-hid", OPT_ALL_HID, false}, {"--no-verify", OPT_NO_VERIFY, false},
    {"--device", OPT_DEVICE, true},    {"-o", OPT_OUTPUT, true},
    {"--sim", OPT_SIM, true},
};

const VerbRule* FindVerb(const std::string& name) {
    for (const VerbRule& rule : VERB_RULES) {
        if (name == rule.name) return &rule;
    }
    return nullptr;
}

const VerbRule* RuleOf(Verb verb) {
    for (const VerbRule& rule : VERB_RULES) {
        if (rule.verb == verb) return &rule;
    }
    return nullptr;
}

const OptionRule* FindOption(const std::string& name) {
    for (const OptionRule& rule : OPTION_RULES) {
        if (name == rule.name) return &rule;
    }
    return nullptr;
}

void SetOption(const OptionRule& rule, const Argument& value, Options* options) {
    options->json |= rule.bit == OPT_JSON;
    options->all |= rule.bit == OPT_ALL;
    options->allHid |= rule.bit == OPT_ALL_HID;
    options->noVerify |= rule.bit == OPT_NO_VERIFY;
    if (rule.bit == OPT_DEVICE) options->device = value;
    if (rule.bit == OPT_OUTPUT) options->output = value;
    if (rule.bit == OPT_SIM) options->sim = value;
    options->hasDevice |= rule.bit == OPT_DEVICE;
    options->hasOutput |= rule.bit == OPT_OUTPUT;
    options->hasSim |= rule.bit == OPT_SIM;
}

// The arguments read one by one: options with their values, the verb, and
// the verb's operands in order. "--" ends the options.
class Reader {
public:
    Reader(const std::vector<Argument>& arguments, Options* options)
        : arguments_(arguments), options_(options) {}

    std::string ReadAll() {
        bool optionsEnded = false;
        for (index_ = 0; index_ < arguments_.size(); ++index_) {
            const std::string& text = arguments_[index_].text;
            std::string fault;
            if (!optionsEnded && text == "--") {
                optionsEnded = true;
            } else if (!optionsEnded && text.size() > 1 && text[0] == '-') {
                fault = ReadOption(text);
            } else {
                fault = ReadWord(arguments_[index_]);
            }
            if (!fault.empty()) return fault;
        }
        return "";
    }

    unsigned given() const { return given_; }

private:
    std::string ReadOption(const std::string& text) {
        if (ReadInquiry(text)) return "";
        const OptionRule* rule = FindOption(text);
        if (rule == nullptr) return "unknown option \"" + text + "\"";
        Argument value;
        if (rule->takesValue) {
            if (index_ + 1 >= arguments_.size()) return "option " + text + " needs a value";
            value = arguments_[++index_];
        }
        given_ |= rule->bit;
        SetOption(*rule, value, options_);
        return "";
    }

    // --help (-h), --version and --key-names, which stand for the whole run.
    bool ReadInquiry(const std::string& text) {
        bool* flag = nullptr;
        if (text == "--help" || text == "-h") flag = &options_->help;
        if (text == "--version") flag = &options_->version;
        if (text == "--key-names") flag = &options_->keyNames;
        if (flag != nullptr) *flag = true;
        return flag != nullptr;
    }

    std::string ReadWord(const Argument& word) {
        if (options_->verb != Verb::None) {
            options_->operands.push_back(word);
            return "";
        }
        const VerbRule* rule = FindVerb(word.text);
        if (rule == nullptr) {
            return "unknown verb \"" + word.text +
                   "\"; the verbs are list, read, write, reset, show, set, clear";
        }
        options_->verb = rule->verb;
        return "";
    }

    const std::vector<Argument>& arguments_;
    Options* options_;
    size_t index_ = 0;
    unsigned given_ = 0;
};

std::string FirstOptionNotTaken(unsigned given, unsigned taken) {
    for (const OptionRule& rule : OPTION_RULES) {
        if ((given & rule.bit) != 0 && (taken & rule.bit) == 0) return rule.name;
    }
    return "";
}

// Whether the verb's operands and options go together.
std::string CheckVerb(const VerbRule& rule, unsigned given, const Options& options) {
    std::string verb = rule.name;
    if (options.operands.size() != rule.operandCount) {
        std::string form = rule.operandCount == 0 ? "no operands" : std::string(rule.operands);
        return verb + " takes " + form + "; see usbkbdctl " + verb + " --help";
    }
    std::string stray = FirstOptionNotTaken(given, rule.options);
    if (!stray.empty()) return "option " + stray + " does not go with " + verb;
    if (options.all && options.hasDevice) return "--all and --device exclude each other";
    if (options.all && options.hasOutput) return "-o saves one module's table: not with --all";
    return "";
}

}  // namespace

const char* VerbName(Verb verb) {
    const VerbRule* rule = RuleOf(verb);
    return rule != nullptr ? rule->name : "";
}

std::string ParseArguments(const std::vector<Argument>& arguments, Options* options) {
    *options = Options{};
    Reader reader(arguments, options);
    std::string fault = reader.ReadAll();
    if (options->help || options->version || options->keyNames) return "";
    if (!fault.empty()) return fault;
    if (options->verb == Verb::None) return "no verb given; see usbkbdctl --help";
    return CheckVerb(*RuleOf(options->verb), reader.given(), *options);
}
