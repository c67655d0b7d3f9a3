// The report lengths a HID report descriptor declares, worked out as
// Windows gives them in a device's capabilities.
#pragma once

#include <cstddef>
#include <cstdint>

// The largest report length this parser gives, report ID included; a
// descriptor that declares a longer report is refused.
constexpr int MAX_REPORT_LENGTH = 65535;

struct ReportLengths {
    // 1 (the report ID byte) + the bytes of the longest report of that kind
    // over all report IDs; 0 when the descriptor declares none of that kind.
    int outputLength = 0;
    int inputLength = 0;
    // True when the descriptor names report IDs: every report then starts
    // with its ID on the wire.
    bool numbered = false;
};

// Reads the size bytes at descriptor; false when they are not a well-formed
// descriptor, in which case lengths is left as it was. Never reads past
// descriptor + size.
bool ParseReportDescriptor(const uint8_t* descriptor, size_t size, ReportLengths* lengths);
