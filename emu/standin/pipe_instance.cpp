#include "emu/standin/pipe_instance.h"

#include <cstdint>

#include "emu/sim_bus.h"
#include "emu/standin/pipe_emulator.h"
#include "emu/standin/wire_record.h"

namespace {

// How often an opening looks for a new write, a due reply and a device that
// has gone: often enough to add no more than this to a transaction.
constexpr DWORD SERVE_POLL_MS = 1;
constexpr DWORD CLOSED_POLL_MS = 20;
// Room for the longest report a bus file may give, and one byte more.
constexpr int REPORT_ROOM = 256;

// One overlapped operation on the pipe with its own event.
struct PipeIo {
    PipeIo() : event(CreateEventA(nullptr, TRUE, FALSE, nullptr)) { overlap.hEvent = event; }
    ~PipeIo() { CloseHandle(event); }
    PipeIo(const PipeIo&) = delete;
    PipeIo& operator=(const PipeIo&) = delete;

    // Begins the I/O with a fresh overlap record; false when it failed.
    template <typename Start>
    bool Begin(Start start) {
        ResetEvent(event);
        OVERLAPPED fresh = {};
        fresh.hEvent = event;
        overlap = fresh;
        pending = start(&overlap) || GetLastError() == ERROR_IO_PENDING;
        return pending;
    }

    HANDLE event;
    OVERLAPPED overlap = {};
    bool pending = false;
    uint8_t bytes[REPORT_ROOM] = {};
};

// The state of one opening: its handle on the simulated bus, the caller's
// write it has seen coming, and the report it is handing to the caller.
struct Opening {
    Opening(HANDLE pipe, HidDevice* handle, const SimDevice& device)
        : pipe(pipe), handle(handle), vendorId(device.vendorId), productId(device.productId) {}
    HANDLE pipe;
    HidDevice* handle;
    int vendorId;  // of the device it was opened on, for the record
    int productId;
    int64_t writeSeenAtMs = -1;
    PipeIo in;
    PipeIo out;
};

// Takes the caller's message off the pipe; its length, or -1 when none was
// there to take after all (its writer gave up since it was seen).
int TakeMessage(Opening* opening) {
    PipeIo& in = opening->in;
    if (!in.Begin([&](OVERLAPPED* overlap) {
            return ReadFile(opening->pipe, in.bytes, REPORT_ROOM, nullptr, overlap);
        })) {
        return -1;
    }
    if (WaitForSingleObject(in.event, 0) != WAIT_OBJECT_0) CancelIoEx(opening->pipe, &in.overlap);
    DWORD moved = 0;
    bool taken = GetOverlappedResult(opening->pipe, &in.overlap, &moved, TRUE);
    in.pending = false;
    return taken ? static_cast<int>(moved) : -1;
}

// The caller's write: left pending while the device takes its time, or for
// good when the device never takes one; a write of the wrong length ends
// the opening. False when the opening is over.
bool ServeWrite(Opening* opening) {
    DWORD waitingBytes = 0;
    DWORD messageBytes = 0;
    if (!PeekNamedPipe(opening->pipe, nullptr, 0, nullptr, &waitingBytes, &messageBytes)) {
        return false;
    }
    if (messageBytes == 0) {
        opening->writeSeenAtMs = -1;
        return true;
    }
    std::lock_guard<std::mutex> lock(BusLock());
    const SimDevice* device = SimDeviceBehind(opening->handle);
    if (device == nullptr || static_cast<int>(messageBytes) != device->outputLength) return false;
    if (opening->writeSeenAtMs < 0) opening->writeSeenAtMs = SimNowMs();
    if (!device->takesReports || SimNowMs() - opening->writeSeenAtMs < device->writeDelayMs) {
        return true;
    }
    opening->writeSeenAtMs = -1;
    int length = TakeMessage(opening);
    if (length < 0) return true;
    if (SimTakeWrite(opening->handle, opening->in.bytes, length) < 0) return false;
    RecordReport(WireDirection::ToDevice, opening->vendorId, opening->productId, opening->in.bytes,
                 length);
    return true;
}

// The end of the report handed to the caller: taken by a read, or given up
// as the oldest of more than the queue holds. False when the caller has gone.
bool FinishHanding(Opening* opening) {
    PipeIo& out = opening->out;
    DWORD moved = 0;
    if (WaitForSingleObject(out.event, 0) != WAIT_OBJECT_0) {
        std::lock_guard<std::mutex> lock(BusLock());
        if (SimHandle(opening->handle).queued < SIM_QUEUE_LENGTH) return true;
        CancelIoEx(opening->pipe, &out.overlap);
    }
    bool taken = GetOverlappedResult(opening->pipe, &out.overlap, &moved, TRUE);
    out.pending = false;
    if (taken) {
        std::lock_guard<std::mutex> lock(BusLock());
        RecordReport(WireDirection::FromDevice, opening->vendorId, opening->productId, out.bytes,
                     static_cast<int>(moved));
        return true;
    }
    return GetLastError() == ERROR_OPERATION_ABORTED;
}

// Hands the oldest queued report to the caller's reads, one at a time.
// False when the device has gone and nothing is left for the caller.
bool ServeReads(Opening* opening) {
    PipeIo& out = opening->out;
    if (out.pending && !FinishHanding(opening)) return false;
    if (out.pending) return true;
    int length = 0;
    {
        std::lock_guard<std::mutex> lock(BusLock());
        SimSendDueReplies();
        length = SimTakeQueued(opening->handle, out.bytes, REPORT_ROOM);
    }
    if (length <= 0) return length == 0;
    RecordReport(WireDirection::ToReader, opening->vendorId, opening->productId, out.bytes, length);
    return out.Begin([&](OVERLAPPED* overlap) {
        return WriteFile(opening->pipe, out.bytes, static_cast<DWORD>(length), nullptr, overlap);
    });
}

void Serve(Opening* opening) {
    while (ServeWrite(opening) && ServeReads(opening)) {
        if (opening->out.pending) {
            WaitForSingleObject(opening->out.event, SERVE_POLL_MS);
        } else {
            Sleep(SERVE_POLL_MS);
        }
    }
    if (opening->out.pending) {
        CancelIoEx(opening->pipe, &opening->out.overlap);
        DWORD moved = 0;
        GetOverlappedResult(opening->pipe, &opening->out.overlap, &moved, TRUE);
    }
}

// An opening without read and write access: nothing to serve but its end.
void AwaitClose(HANDLE pipe) {
    DWORD waitingBytes = 0;
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &waitingBytes, nullptr)) Sleep(CLOSED_POLL_MS);
}

}  // namespace

void ServePipeInstance(HANDLE pipe, const std::string& busPath, bool opensForReports) {
    HidDevice* handle = nullptr;
    SimDevice device;
    if (opensForReports) {
        std::lock_guard<std::mutex> lock(BusLock());
        handle = SimTransport().open(busPath);
        if (handle != nullptr) device = *SimDeviceBehind(handle);
    }
    if (handle != nullptr) {
        Opening opening(pipe, handle, device);
        Serve(&opening);
        std::lock_guard<std::mutex> lock(BusLock());
        SimTransport().close(handle);
    } else if (!opensForReports) {
        AwaitClose(pipe);
    }
    DisconnectNamedPipe(pipe);
    CloseHandle(pipe);
}
