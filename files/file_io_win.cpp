#include "files/file_io.h"

#include <windows.h>

#include <cstdio>

namespace {

constexpr UINT PATH_CODE_PAGE = 949;

// Room, in UTF-16 units, for a converted path and its terminator.
constexpr int WIDE_PATH_SIZE = 1024;

// Room for the code page 949 name of a save's new file and its terminator.
constexpr size_t TEMP_PATH_SIZE = 1024;

// How many names a save tries for its new file before it gives up.
constexpr int TEMP_NAME_ATTEMPTS = 100;

// A file that some program holds open, even only to read it and with every
// share mode, cannot be replaced until it lets go. Readers that share it let
// go within moments, so a save waits this long for them, looking every few
// milliseconds; a program that holds it for itself alone is not waited for.
constexpr DWORD HELD_FILE_WAIT_MS = 2000;
constexpr DWORD HELD_FILE_POLL_MS = 5;

bool ToWidePath(const char* path, wchar_t* wide) {
    return MultiByteToWideChar(PATH_CODE_PAGE, MB_ERR_INVALID_CHARS, path, -1, wide,
                               WIDE_PATH_SIZE) > 0;
}

DWORD ChunkSize(size_t remaining) {
    return remaining > MAXDWORD ? MAXDWORD : static_cast<DWORD>(remaining);
}

bool ReadUpTo(HANDLE file, char* buffer, size_t capacity, size_t* length) {
    size_t total = 0;
    while (total < capacity) {
        DWORD got = 0;
        if (!ReadFile(file, buffer + total, ChunkSize(capacity - total), &got, nullptr)) {
            return false;
        }
        if (got == 0) break;
        total += got;
    }
    *length = total;
    return true;
}

bool WriteAll(HANDLE file, const char* bytes, size_t length) {
    size_t total = 0;
    while (total < length) {
        DWORD put = 0;
        if (!WriteFile(file, bytes + total, ChunkSize(length - total), &put, nullptr) || put == 0) {
            return false;
        }
        total += put;
    }
    return true;
}

// Creates a new, empty file with these attributes beside path and puts its
// name into wideTemp; returns its handle, or INVALID_HANDLE_VALUE when none
// could be made.
HANDLE CreateFileBeside(const char* path, DWORD attributes, wchar_t* wideTemp) {
    char temp[TEMP_PATH_SIZE];
    unsigned long processId = GetCurrentProcessId();
    for (int attempt = 0; attempt < TEMP_NAME_ATTEMPTS; ++attempt) {
        int length = std::snprintf(temp, sizeof temp, "%s.%lu-%d.tmp", path, processId, attempt);
        if (length < 0 || static_cast<size_t>(length) >= sizeof temp) break;
        if (!ToWidePath(temp, wideTemp)) break;
        HANDLE file =
            CreateFileW(wideTemp, GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

// The attributes that a save's new file takes over from the file it
// replaces (a hidden file stays hidden); false when that file is read-only,
// which is its owner's word that it must not change. A missing file gives
// FILE_ATTRIBUTE_NORMAL.
bool AttributesToKeep(const wchar_t* widePath, DWORD* attributes) {
    constexpr DWORD KEPT = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                           FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    DWORD old = GetFileAttributesW(widePath);
    if (old == INVALID_FILE_ATTRIBUTES) {
        *attributes = FILE_ATTRIBUTE_NORMAL;
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    if (old & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return false;
    *attributes = (old & KEPT) != 0 ? old & KEPT : FILE_ATTRIBUTE_NORMAL;
    return true;
}

// Whether a program holds the file open and lets no one else read it.
bool HeldForItselfAlone(const wchar_t* widePath) {
    HANDLE file =
        CreateFileW(widePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(file);
    return false;
}

// Moves the new file into the old one's place, waiting for readers that
// hold the old file open to let go; flushed: only once the move is on the disk.
bool MoveIntoPlace(const wchar_t* wideTemp, const wchar_t* widePath, bool flushed) {
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | (flushed ? MOVEFILE_WRITE_THROUGH : 0);
    for (DWORD waited = 0;; waited += HELD_FILE_POLL_MS) {
        if (MoveFileExW(wideTemp, widePath, flags)) return true;
        DWORD error = GetLastError();
        bool held = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
        if (!held || waited >= HELD_FILE_WAIT_MS || HeldForItselfAlone(widePath)) return false;
        Sleep(HELD_FILE_POLL_MS);
    }
}

uint64_t Joined(DWORD high, DWORD low) {
    return (static_cast<uint64_t>(high) << 32) | low;
}

// A time of the file system's clock, counted in 100 ns from 1601.
int64_t Nanoseconds(const FILETIME& time) {
    return static_cast<int64_t>(Joined(time.dwHighDateTime, time.dwLowDateTime)) * 100;
}

// Writes a new file beside path and puts it in path's place; flushed: only
// once its bytes are on the disk.
bool Replace(const char* path, const char* bytes, size_t length, bool flushed) {
    wchar_t widePath[WIDE_PATH_SIZE];
    wchar_t wideTemp[WIDE_PATH_SIZE];
    DWORD attributes = 0;
    if (!ToWidePath(path, widePath) || !AttributesToKeep(widePath, &attributes)) return false;
    HANDLE file = CreateFileBeside(path, attributes, wideTemp);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = WriteAll(file, bytes, length) && (!flushed || FlushFileBuffers(file));
    ok = CloseHandle(file) && ok;
    ok = ok && MoveIntoPlace(wideTemp, widePath, flushed);
    if (!ok) DeleteFileW(wideTemp);
    return ok;
}

}  // namespace

bool ReadFileStart(const char* path, char* buffer, size_t capacity, size_t* length) {
    wchar_t widePath[WIDE_PATH_SIZE];
    if (!ToWidePath(path, widePath)) return false;
    // Shared for every use, so that a reader never stands in the way of a
    // writer that replaces the file, as an editor saves it.
    HANDLE file =
        CreateFileW(widePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = ReadUpTo(file, buffer, capacity, length);
    CloseHandle(file);
    return ok;
}

bool FileExists(const char* path) {
    wchar_t widePath[WIDE_PATH_SIZE];
    return ToWidePath(path, widePath) && GetFileAttributesW(widePath) != INVALID_FILE_ATTRIBUTES;
}

bool ReplaceFileContents(const char* path, const char* bytes, size_t length) {
    return Replace(path, bytes, length, true);
}

bool ReplaceFileContentsUnflushed(const char* path, const char* bytes, size_t length) {
    return Replace(path, bytes, length, false);
}

bool ReadFileStamp(const char* path, FileStamp* stamp) {
    wchar_t widePath[WIDE_PATH_SIZE];
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!ToWidePath(path, widePath) ||
        !GetFileAttributesExW(widePath, GetFileExInfoStandard, &data)) {
        return false;
    }
    stamp->size = Joined(data.nFileSizeHigh, data.nFileSizeLow);
    stamp->modifiedNs = Nanoseconds(data.ftLastWriteTime);
    return true;
}

int64_t FileClockNs() {
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    return Nanoseconds(now);
}
