// The HID devices of the system through hidapi (on Linux its hidraw
// back-end) as the device link's transport.
//
// What hidapi leaves to its caller is done here: report lengths are taken
// from each interface's report descriptor; an unnumbered input report gets
// its report ID 0 back in front.
#pragma once

#include "device/hid_transport.h"

const HidTransport& HidapiTransport();
