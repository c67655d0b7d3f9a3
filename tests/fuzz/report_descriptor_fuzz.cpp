// Feeds arbitrary bytes to the report descriptor parser. Besides not
// faulting or reading past the input, the parser must give lengths within
// their bounds, and an accepted descriptor, which ends where an item ends,
// must read the same with a long item after it, since a long item declares
// nothing a length depends on.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "device/report_descriptor.h"

namespace {

bool SameLengths(const ReportLengths& a, const ReportLengths& b) {
    return a.outputLength == b.outputLength && a.inputLength == b.inputLength &&
           a.numbered == b.numbered;
}

bool LengthInBounds(int length) {
    return length == 0 || (length >= 2 && length <= MAX_REPORT_LENGTH);
}

void CheckWithLongItemAfter(const uint8_t* data, size_t size, const ReportLengths& lengths) {
    std::vector<uint8_t> extended(data, data + size);
    const uint8_t longItem[] = {0xFE, 0x02, 0x20, 0x81, 0x02};
    extended.insert(extended.end(), longItem, longItem + sizeof longItem);
    ReportLengths extendedLengths;
    if (!ParseReportDescriptor(extended.data(), extended.size(), &extendedLengths)) std::abort();
    if (!SameLengths(lengths, extendedLengths)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReportLengths lengths;
    if (!ParseReportDescriptor(data, size, &lengths)) return 0;
    if (!LengthInBounds(lengths.outputLength) || !LengthInBounds(lengths.inputLength)) {
        std::abort();
    }
    CheckWithLongItemAfter(data, size, lengths);
    return 0;
}
