#include <iconv.h>

#include <cerrno>

#include "cli/terminal_text.h"

namespace {

constexpr size_t CHUNK = 256;

// The length of the UTF-8 character that starts with this byte, or 1.
size_t Utf8Length(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
    return lead >= 0xC0 ? 2 : 1;
}

// Converts text with iconv; a character that does not convert becomes "?",
// skipping skip(byte) bytes, and clears *exact.
std::string Convert(const char* to, const char* from, const std::string& text,
                    size_t (*skip)(unsigned char), bool* exact) {
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        *exact = false;
        return text;
    }
    std::string result;
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    while (inLeft > 0) {
        char chunk[CHUNK];
        char* out = chunk;
        size_t outLeft = sizeof chunk;
        size_t done = iconv(converter, &in, &inLeft, &out, &outLeft);
        result.append(chunk, sizeof chunk - outLeft);
        if (done != static_cast<size_t>(-1) || errno == E2BIG) continue;
        size_t step = skip(static_cast<unsigned char>(*in));
        step = step < inLeft ? step : inLeft;
        in += step;
        inLeft -= step;
        result += '?';
        *exact = false;
    }
    iconv_close(converter);
    return result;
}

size_t OneByte(unsigned char) {
    return 1;
}

}  // namespace

std::string Utf8FromCp949(const std::string& text) {
    bool exact = true;
    return Convert("UTF-8", "CP949", text, OneByte, &exact);
}

Argument Cp949FromUtf8(const std::string& text) {
    Argument argument;
    argument.text = Convert("CP949", "UTF-8", text, Utf8Length, &argument.exact);
    return argument;
}
