// usbkbd_presenter [--usb] [--ready FILE]: presents the simulated bus of
// the bus file that USBKBD_SIM names (usbkbd-sim.txt in the current folder
// when unset, made with one QX209 when missing) as HID devices of this Linux
// system, through /dev/uhid or, with --usb, as USB gadgets on the UDCs of
// dummy_hcd, until it is told to stop (SIGTERM, SIGINT).
// With --ready, FILE is written once the first devices are made, with
// their number.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "emu/presenter/presenter.h"
#include "emu/sim_bus.h"
#include "emu/sim_bus_keeper.h"

namespace {

constexpr int SERVE_WAIT_MS = 5;
// How often the bus file is looked at between reports.
constexpr int FOLLOW_EVERY = 10;

volatile std::sig_atomic_t g_stop = 0;

void Stop(int) {
    g_stop = 1;
}

bool SayReady(const char* path, int count) {
    std::FILE* file = std::fopen(path, "w");
    if (file == nullptr) return false;
    std::fprintf(file, "%d\n", count);
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    bool usb = false;
    const char* ready = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--usb") == 0) {
            usb = true;
        } else if (std::strcmp(argv[i], "--ready") == 0 && i + 1 < argc) {
            ready = argv[++i];
        } else {
            std::fprintf(stderr, "usage: usbkbd_presenter [--usb] [--ready FILE]\n");
            return 2;
        }
    }
    const char* named = std::getenv("USBKBD_SIM");
    std::string path = named != nullptr && *named != '\0' ? named : "usbkbd-sim.txt";
    std::signal(SIGTERM, Stop);
    std::signal(SIGINT, Stop);
    StartSimBusKeeper(path, [] {});
    Presenter presenter(usb);
    int count = presenter.Follow();
    if (ready != nullptr && !SayReady(ready, count)) {
        std::fprintf(stderr, "usbkbd_presenter: %s cannot be written\n", ready);
        return 1;
    }
    for (int step = 1; !g_stop; ++step) {
        presenter.Serve(SERVE_WAIT_MS);
        if (step % FOLLOW_EVERY == 0) presenter.Follow();
    }
    StopSimBusKeeper();
    return 0;
}
