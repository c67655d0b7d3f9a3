// The demo module of the page: the simulated bus with one QX209, its pauses
// taken on the page's clock so that commands last what they last on a module.
#pragma once

// Puts a QX209 in change mode on an empty simulated bus and makes the bus
// the transport in use.
void UseDemoBus();
