// usbkbdctl on Linux (and other systems with hidapi): UTF-8 command line
// and output, the system's HID devices through hidapi.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "cli/interrupt.h"
#include "cli/system_transport.h"
#include "cli/terminal_text.h"
#include "cli/usbkbdctl.h"

namespace {

class StandardStreams final : public Console {
public:
    void Out(const std::string& text) override { Write(stdout, text); }
    void Err(const std::string& text) override { Write(stderr, text); }
    bool ErrIsTerminal() override { return isatty(STDERR_FILENO) == 1; }

private:
    static void Write(std::FILE* stream, const std::string& text) {
        std::string utf8 = Utf8FromCp949(text);
        std::fwrite(utf8.data(), 1, utf8.size(), stream);
        std::fflush(stream);
    }
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<Argument> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(Cp949FromUtf8(argv[i]));
    Surroundings surroundings;
    const char* sim = std::getenv("USBKBD_SIM");
    if (sim != nullptr) {
        Argument name = Cp949FromUtf8(sim);
        surroundings.simFromEnvironment = name.text;
        surroundings.simNameExact = name.exact;
    }
    surroundings.useSystemTransport = UseSystemTransport;
    StandardStreams console;
    CatchInterrupts();
    return RunUsbkbdctl(arguments, console, surroundings);
}
