// Feeds arbitrary bytes to the keyboard data file reader. Besides not faulting,
// the reader must agree with the C library's strtoll on every value it parses,
// and every table it leaves must read back unchanged after the writer has
// formatted it, apart from negative entries, which read back as INT32_MAX.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/hex_value.h"
#include "files/kbd_text.h"
#include "model/key_table.h"

namespace {

int32_t ClampedStrtoll(const std::string& text) {
    long long value = std::strtoll(text.c_str(), nullptr, 16);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

void CheckValueParse(const char* bytes, size_t size) {
    const char* zero = static_cast<const char*>(std::memchr(bytes, '\0', size));
    size_t length = zero != nullptr ? static_cast<size_t>(zero - bytes) : size;
    std::string text(bytes, length);
    if (ParseHexValue(bytes, bytes + length) != ClampedStrtoll(text)) std::abort();
}

void CheckReadBackOfWrittenTable() {
    int32_t parsed[TABLE_SIZE];
    for (int index = 0; index < TABLE_SIZE; ++index) {
        parsed[index] = GetKeyCode(LayerOfIndex(index), SlotOfIndex(index));
    }
    char text[KEY_TEXT_SIZE];
    size_t length = FormatKeyText(text, sizeof text);
    if (length == 0) std::abort();
    ParseKeyText(text, length);
    for (int index = 0; index < TABLE_SIZE; ++index) {
        int32_t expected = parsed[index] < 0 ? INT32_MAX : parsed[index];
        if (GetKeyCode(LayerOfIndex(index), SlotOfIndex(index)) != expected) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    ParseKeyText(bytes, size);
    CheckReadBackOfWrittenTable();
    if (size > 0) CheckValueParse(bytes, size);
    return 0;
}
