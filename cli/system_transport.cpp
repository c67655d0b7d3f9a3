#include "cli/system_transport.h"

#include "device/hid_transport.h"

#if defined(_WIN32)
#include "device/win_hid_transport.h"
#elif defined(USBKBD_HAVE_HIDAPI)
#include "device/hidapi_transport.h"
#endif

void UseSystemTransport() {
#if defined(_WIN32)
    UseHidTransport(&WinHidTransport());
#elif defined(USBKBD_HAVE_HIDAPI)
    UseHidTransport(&HidapiTransport());
#endif
}
