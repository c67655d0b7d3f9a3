#include "web/demo_transport.h"

#include "emu/sim_bus.h"

void PagePause(int milliseconds);

namespace {

HidTransport g_demoTransport;

}  // namespace

void UseDemoBus() {
    SimReset();
    SimAddDevice(SimModule(0x0209));
    g_demoTransport = SimTransport();
    g_demoTransport.pause = PagePause;
    UseHidTransport(&g_demoTransport);
}
