#include "app/demo_bus.h"

#include "emu/sim_bus_edges.h"
#include "emu/sim_bus_keeper.h"

void StartDemoBus() {
    StartSimBusKeeper(SimBusFilePath(), PostDeviceChangeNotice);
}

void StopDemoBus() {
    StopSimBusKeeper();
}
