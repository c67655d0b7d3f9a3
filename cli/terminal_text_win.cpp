#include <windows.h>

#include "cli/terminal_text.h"

namespace {

constexpr UINT CODE_PAGE_949 = 949;

std::string Utf8FromWide(const std::wstring& wide) {
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()),
                                     nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), &text[0], length,
                        nullptr, nullptr);
    return text;
}

}  // namespace

std::wstring WideFromCp949(const std::string& text) {
    int length = MultiByteToWideChar(CODE_PAGE_949, 0, text.c_str(), static_cast<int>(text.size()),
                                     nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CODE_PAGE_949, 0, text.c_str(), static_cast<int>(text.size()), &wide[0],
                        length);
    return wide;
}

std::string Utf8FromCp949(const std::string& text) {
    return Utf8FromWide(WideFromCp949(text));
}

// A character that code page 949 lacks is never turned into a look-alike.
Argument Cp949FromWide(const wchar_t* wide) {
    Argument argument;
    BOOL usedDefault = FALSE;
    int length = WideCharToMultiByte(CODE_PAGE_949, WC_NO_BEST_FIT_CHARS, wide, -1, nullptr, 0,
                                     nullptr, &usedDefault);
    if (length <= 0) {
        argument.exact = false;
        return argument;
    }
    argument.text.assign(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CODE_PAGE_949, WC_NO_BEST_FIT_CHARS, wide, -1, &argument.text[0], length,
                        nullptr, nullptr);
    argument.text.resize(static_cast<size_t>(length - 1));
    argument.exact = !usedDefault;
    return argument;
}
