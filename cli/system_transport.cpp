#include "cli/system_transport.h"

#include "device/hid_transport.h"

#ifdef _WIN32
#include "device/win_hid_transport.h"
#endif

void UseSystemTransport() {
#ifdef _WIN32
    UseHidTransport(&WinHidTransport());
#endif
}
