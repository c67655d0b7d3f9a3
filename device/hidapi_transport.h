// The HID devices of the system through hidapi (on Linux its hidraw
// back-end) as the device link's transport.
//
// What hidapi leaves to its caller is done here: report lengths are taken
// from each interface's report descriptor; an unnumbered input report gets
// its report ID 0 back in front; reports already queued on a device are
// dropped before each write, so that a reply that came too late for its own
// request is never taken for the answer to the next one.
#pragma once

#include "device/hid_transport.h"

// The most queued reports dropped before one write: a hidraw reader keeps at
// most 64, so only a device that never stops sending reaches it, and the
// write then goes ahead.
constexpr int HIDAPI_DRAIN_LIMIT = 256;

const HidTransport& HidapiTransport();
