#include "app/wide_text.h"

#include <windows.h>

#include <cstring>

namespace {

constexpr UINT CODE_PAGE_949 = 949;

// The text in code page 949, exactly: false when a character has no code in
// it, rather than a look-alike (é as e) or the default character "?".
bool Cp949String(const wchar_t* wide, std::string* text) {
    BOOL usedDefault = FALSE;
    int length = WideCharToMultiByte(CODE_PAGE_949, WC_NO_BEST_FIT_CHARS, wide, -1, nullptr, 0,
                                     nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return false;
    text->assign(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CODE_PAGE_949, WC_NO_BEST_FIT_CHARS, wide, -1, &(*text)[0], length, nullptr,
                        nullptr);
    text->resize(static_cast<size_t>(length - 1));
    return true;
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
    std::string whole;
    if (!Cp949String(wide, &whole)) {
        text[0] = '\0';
        return false;
    }
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
