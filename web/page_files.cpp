// The page's file system: the one file that the page handed over last or
// that the core saved last, kept in memory under its path (code page 949).
// The page moves its bytes from and to the browser's files.
#include <emscripten.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "files/file_io.h"

namespace {

struct PageFile {
    bool kept = false;
    std::string path;
    std::string bytes;
};

PageFile g_file;

bool Holds(const char* path) {
    return g_file.kept && g_file.path == path;
}

}  // namespace

bool ReadFileStart(const char* path, char* buffer, size_t capacity, size_t* length) {
    if (!Holds(path)) return false;
    *length = std::min(capacity, g_file.bytes.size());
    std::memcpy(buffer, g_file.bytes.data(), *length);
    return true;
}

bool FileExists(const char* path) {
    return Holds(path);
}

bool ReplaceFileContents(const char* path, const char* bytes, size_t length) {
    g_file.kept = true;
    g_file.path = path;
    g_file.bytes.assign(bytes, length);
    return true;
}

extern "C" {

// Makes the page's file the one at path, of length bytes, which the page
// then writes at the address returned.
EMSCRIPTEN_KEEPALIVE char* web_file_receive(const char* path, int length) {
    g_file.kept = true;
    g_file.path = path;
    g_file.bytes.assign(static_cast<size_t>(std::max(length, 0)), '\0');
    return &g_file.bytes[0];
}

EMSCRIPTEN_KEEPALIVE void web_file_forget() {
    g_file = PageFile();
}

// The bytes of the page's file and their count; -1 when there is none.
EMSCRIPTEN_KEEPALIVE const char* web_file_data() {
    return g_file.bytes.data();
}

EMSCRIPTEN_KEEPALIVE int web_file_length() {
    return g_file.kept ? static_cast<int>(g_file.bytes.size()) : -1;
}
}
