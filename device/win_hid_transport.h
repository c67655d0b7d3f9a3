// The HID services of Windows as the device link's transport.
#pragma once

#include "device/hid_transport.h"

const HidTransport& WinHidTransport();
