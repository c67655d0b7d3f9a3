#include "files/kbd_file.h"

#include <cstddef>

#include "files/file_io.h"
#include "files/kbd_text.h"

bool LoadKeyFile(const char* path) {
    char bytes[KEY_TEXT_READ_LIMIT];
    size_t length = 0;
    if (!ReadFileStart(path, bytes, sizeof bytes, &length)) return false;
    ParseKeyText(bytes, length);
    return true;
}

bool SaveKeyFile(const char* path) {
    char text[KEY_TEXT_SIZE];
    size_t length = FormatKeyText(text, sizeof text);
    return length > 0 && ReplaceFileContents(path, text, length);
}
