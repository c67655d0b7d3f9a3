#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

#include "emu/standin/wire_record.h"

namespace {

const char* RecordPath() {
    static const char* path = std::getenv("USBKBD_EMU_RECORD");
    return path != nullptr && *path != '\0' ? path : nullptr;
}

}  // namespace

bool WireRecordAsked() {
    return RecordPath() != nullptr;
}

void AppendWireRecord(const std::string& line) {
    int file = open(RecordPath(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (file < 0) return;
    ssize_t written = write(file, line.data(), line.size());
    (void)written;
    close(file);
}
