#include "web/web_text.h"

#include <emscripten.h>

// clang-format off
// The page's encoder: the inverse of the browser's own code page 949
// decoder, made from it when first needed.
EM_JS(int, page_cp949_from_utf8, (const char* utf8, char* out, int size), {
    return Module.encodeCp949(UTF8ToString(utf8), out, size);
});
// clang-format on

bool Cp949FromUtf8(const char* utf8, char* out, size_t size) {
    out[0] = '\0';
    return page_cp949_from_utf8(utf8, out, static_cast<int>(size)) != 0;
}

// For the page: the code page 949 form of a UTF-8 text in a buffer of its
// own, or nullptr when there is none.
extern "C" EMSCRIPTEN_KEEPALIVE const char* web_cp949(const char* utf8) {
    static char text[1024];
    return Cp949FromUtf8(utf8, text, sizeof text) ? text : nullptr;
}
