// The system's HID services as the device link's transport: the one place
// that knows which serve on which system.
#pragma once

void UseSystemTransport();
