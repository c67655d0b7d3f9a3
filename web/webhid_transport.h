// The device link's transport over WebHID: the page keeps the devices the
// browser granted, and each call here waits on the page's promises.
#pragma once

#include "device/hid_transport.h"

const HidTransport& WebHidTransport();
