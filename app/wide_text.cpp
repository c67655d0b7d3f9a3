#include "app/wide_text.h"

#include <windows.h>

#include <cstring>

namespace {

constexpr UINT CODE_PAGE_949 = 949;

std::string Cp949String(const wchar_t* wide) {
    int length = WideCharToMultiByte(CODE_PAGE_949, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CODE_PAGE_949, 0, wide, -1, &text[0], length, nullptr, nullptr);
    text.resize(static_cast<size_t>(length - 1));
    return text;
}

}  // namespace

std::wstring WideFromCp949(const char* text) {
    int length = MultiByteToWideChar(CODE_PAGE_949, 0, text, -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CODE_PAGE_949, 0, text, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

bool Cp949FromWide(const wchar_t* wide, char* text, size_t size) {
    if (size == 0) return false;
    std::string whole = Cp949String(wide);
    // Keep what fits, never splitting a two-byte character.
    size_t keep = 0;
    while (keep < whole.size()) {
        size_t step = static_cast<unsigned char>(whole[keep]) >= 0x81 ? 2 : 1;
        if (keep + step > size - 1) break;
        keep += step;
    }
    std::memcpy(text, whole.data(), keep);
    text[keep] = '\0';
    return keep == whole.size();
}
