#include "files/file_io.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <ctime>
#include <cstdio>
#include <string>

namespace {

// How many names a save tries for its new file before it gives up.
constexpr int TEMP_NAME_ATTEMPTS = 100;

// The system's name for a path in code page 949: its UTF-8 form; false
// when it holds a byte sequence that is no code page 949 text.
bool SystemName(const char* path, std::string* name) {
    const std::string text = path;
    bool ascii = true;
    for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) {
        *name = text;
        return true;
    }
    iconv_t converter = iconv_open("UTF-8", "CP949");
    if (converter == reinterpret_cast<iconv_t>(-1)) return false;
    std::string converted(text.size() * 3, '\0');  // a character grows from two bytes to three
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* out = &converted[0];
    size_t outLeft = converted.size();
    bool whole = iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1);
    iconv_close(converter);
    converted.resize(converted.size() - outLeft);
    *name = converted;
    return whole && inLeft == 0;
}

bool ReadUpTo(int fd, char* buffer, size_t capacity, size_t* length) {
    size_t total = 0;
    while (total < capacity) {
        ssize_t got = read(fd, buffer + total, capacity - total);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) break;
        total += static_cast<size_t>(got);
    }
    *length = total;
    return true;
}

bool WriteAll(int fd, const char* bytes, size_t length) {
    size_t total = 0;
    while (total < length) {
        ssize_t put = write(fd, bytes + total, length - total);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        total += static_cast<size_t>(put);
    }
    return true;
}

// Creates a new, empty file beside path and puts its name into temp; returns
// its descriptor, or -1 when none could be made.
int CreateFileBeside(const char* path, char* temp, size_t size) {
    for (int attempt = 0; attempt < TEMP_NAME_ATTEMPTS; ++attempt) {
        int length =
            std::snprintf(temp, size, "%s.%ld-%d.tmp", path, static_cast<long>(getpid()), attempt);
        if (length < 0 || static_cast<size_t>(length) >= size) return -1;
        int fd = open(temp, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// The permissions that a save's new file takes over from the file it
// replaces; false when that file is not writable by its owner, which is the
// owner's word that it must not change. A missing file gives the usual 0666
// less the umask.
bool ModeToKeep(const char* path, mode_t* mode) {
    struct stat old;
    if (stat(path, &old) != 0) {
        mode_t mask = umask(0);
        umask(mask);
        *mode = 0666 & ~mask;
        return errno == ENOENT;
    }
    if (!S_ISREG(old.st_mode) || (old.st_mode & S_IWUSR) == 0) return false;
    *mode = old.st_mode & 07777;
    return true;
}

// Writes a new file beside path and puts it in path's place; flushed: only
// once its bytes are on the disk.
bool Replace(const char* cp949Path, const char* bytes, size_t length, bool flushed) {
    std::string name;
    if (!SystemName(cp949Path, &name)) return false;
    const char* path = name.c_str();
    char temp[PATH_MAX];
    mode_t mode = 0;
    if (!ModeToKeep(path, &mode)) return false;
    int fd = CreateFileBeside(path, temp, sizeof temp);
    if (fd < 0) return false;
    bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, bytes, length) && (!flushed || fsync(fd) == 0);
    ok = close(fd) == 0 && ok;
    ok = ok && std::rename(temp, path) == 0;
    if (!ok) unlink(temp);
    return ok;
}

int64_t Nanoseconds(const struct timespec& time) {
    return static_cast<int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

}  // namespace

bool ReadFileStart(const char* path, char* buffer, size_t capacity, size_t* length) {
    std::string name;
    if (!SystemName(path, &name)) return false;
    int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ReadUpTo(fd, buffer, capacity, length);
    close(fd);
    return ok;
}

bool FileExists(const char* path) {
    std::string name;
    struct stat found;
    return SystemName(path, &name) && stat(name.c_str(), &found) == 0;
}

bool ReplaceFileContents(const char* path, const char* bytes, size_t length) {
    return Replace(path, bytes, length, true);
}

bool ReplaceFileContentsUnflushed(const char* path, const char* bytes, size_t length) {
    return Replace(path, bytes, length, false);
}

bool ReadFileStamp(const char* path, FileStamp* stamp) {
    std::string name;
    struct stat found;
    if (!SystemName(path, &name) || stat(name.c_str(), &found) != 0) return false;
    stamp->size = static_cast<uint64_t>(found.st_size);
    stamp->modifiedNs = Nanoseconds(found.st_mtim);
    return true;
}

int64_t FileClockNs() {
    struct timespec now = {};
    clock_gettime(CLOCK_REALTIME, &now);
    return Nanoseconds(now);
}
