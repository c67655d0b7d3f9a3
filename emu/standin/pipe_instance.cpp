#include "emu/standin/pipe_instance.h"

#include <cstdint>
#include <map>

#include "emu/sim_bus.h"
#include "emu/standin/pipe_emulator.h"
#include "emu/standin/wire_record.h"

namespace {

// How often an opening looks for a due reply and a device that has gone; a
// write or a read of its caller wakes it at once.
constexpr DWORD SERVE_POLL_MS = 1;
constexpr DWORD CLOSED_POLL_MS = 20;
// Room for the longest report a bus file may give, and one byte more.
constexpr int REPORT_ROOM = 256;

// The event as an overlapped record names it for I/O whose end is told by
// the event alone: the pipe is tied to the completion port on which the
// emulator learns of its connection, and that is told nothing more.
HANDLE WithoutPort(HANDLE event) {
    return reinterpret_cast<HANDLE>(reinterpret_cast<ULONG_PTR>(event) | 1);
}

// One overlapped operation on the pipe with its own event.
struct PipeIo {
    PipeIo() : event(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        overlap.hEvent = WithoutPort(event);
    }
    ~PipeIo() { CloseHandle(event); }
    PipeIo(const PipeIo&) = delete;
    PipeIo& operator=(const PipeIo&) = delete;

    // Begins the I/O with a fresh overlap record; false when it failed.
    template <typename Start>
    bool Begin(Start start) {
        ResetEvent(event);
        OVERLAPPED fresh = {};
        fresh.hEvent = WithoutPort(event);
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
    // A read of no bytes, which ends when the caller's next message is in
    // the pipe and leaves it there.
    PipeIo notice;
    // Under the bus lock: a report is in the pipe before the caller, and
    // whether it was dropped for a newer one.
    bool inPipe = false;
    bool dropped = false;
    // Why the service ended, for the record.
    const char* ending = "closed";
};

// The openings being served, by their handle on the bus; under the bus lock.
std::map<const HidDevice*, Opening*> g_openings;

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

// The read of no bytes: ended once the caller's message is in the pipe,
// and begun again while none is, so that the serving wakes the moment the
// caller writes.
void WatchForMessage(Opening* opening, bool messageWaiting) {
    PipeIo& notice = opening->notice;
    if (notice.pending && WaitForSingleObject(notice.event, 0) == WAIT_OBJECT_0) {
        DWORD moved = 0;
        GetOverlappedResult(opening->pipe, &notice.overlap, &moved, FALSE);
        notice.pending = false;
    }
    if (!notice.pending && !messageWaiting) {
        notice.Begin([&](OVERLAPPED* overlap) {
            return ReadFile(opening->pipe, notice.bytes, 0, nullptr, overlap);
        });
    }
}

// Ends the I/O of io still under way, and waits until it has.
void EndIo(Opening* opening, PipeIo* io) {
    if (!io->pending) return;
    CancelIoEx(opening->pipe, &io->overlap);
    DWORD moved = 0;
    GetOverlappedResult(opening->pipe, &io->overlap, &moved, TRUE);
    io->pending = false;
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
    WatchForMessage(opening, messageBytes > 0);
    if (messageBytes == 0) {
        opening->writeSeenAtMs = -1;
        return true;
    }
    std::lock_guard<std::mutex> lock(BusLock());
    const SimDevice* device = SimDeviceBehind(opening->handle);
    if (device == nullptr || static_cast<int>(messageBytes) != device->outputLength) {
        opening->ending = device == nullptr ? "gone" : "length";
        return false;
    }
    if (opening->writeSeenAtMs < 0) opening->writeSeenAtMs = SimNowMs();
    if (!device->takesReports || SimNowMs() - opening->writeSeenAtMs < device->writeDelayMs) {
        return true;
    }
    opening->writeSeenAtMs = -1;
    int length = TakeMessage(opening);
    if (length < 0) return true;
    if (SimTakeWrite(opening->handle, opening->in.bytes, length) < 0) {
        opening->ending = "refused";
        return false;
    }
    RecordReport(WireDirection::ToDevice, opening->vendorId, opening->productId, opening->in.bytes,
                 length);
    return true;
}

// The end of the report handed to the caller: taken by a read, or dropped
// for a newer one (MakeRoomBeside). False when the caller has gone.
bool FinishHanding(Opening* opening) {
    PipeIo& out = opening->out;
    if (WaitForSingleObject(out.event, 0) != WAIT_OBJECT_0) return true;
    DWORD moved = 0;
    bool taken = GetOverlappedResult(opening->pipe, &out.overlap, &moved, TRUE);
    DWORD error = GetLastError();
    out.pending = false;
    std::lock_guard<std::mutex> lock(BusLock());
    if (!opening->dropped) SimSetQueueRoom(opening->handle, SIM_QUEUE_LENGTH);
    opening->inPipe = false;
    opening->dropped = false;
    if (taken) {
        RecordReport(WireDirection::FromDevice, opening->vendorId, opening->productId, out.bytes,
                     static_cast<int>(moved));
    }
    return taken || error == ERROR_OPERATION_ABORTED;
}

// Hands the oldest queued report to the caller's reads, one at a time.
// False when the device has gone and nothing is left for the caller.
bool ServeReads(Opening* opening) {
    PipeIo& out = opening->out;
    if (out.pending && !FinishHanding(opening)) return false;
    if (out.pending) return true;
    std::lock_guard<std::mutex> lock(BusLock());
    SimSendDueReplies();
    int length = SimTakeQueued(opening->handle, out.bytes, REPORT_ROOM);
    if (length < 0) opening->ending = "gone";
    if (length <= 0) return length == 0;
    RecordReport(WireDirection::ToReader, opening->vendorId, opening->productId, out.bytes, length);
    opening->inPipe = out.Begin([&](OVERLAPPED* overlap) {
        return WriteFile(opening->pipe, out.bytes, static_cast<DWORD>(length), nullptr, overlap);
    });
    // The report in the pipe counts against the queue's room.
    if (opening->inPipe) SimSetQueueRoom(opening->handle, SIM_QUEUE_LENGTH - 1);
    return opening->inPipe;
}

// Waits for the caller's next message or read, or SERVE_POLL_MS at most.
void AwaitCaller(Opening* opening) {
    HANDLE events[2];
    DWORD count = 0;
    for (PipeIo* io : {&opening->notice, &opening->out}) {
        if (io->pending) events[count++] = io->event;
    }
    if (count == 0) {
        Sleep(SERVE_POLL_MS);
    } else {
        WaitForMultipleObjects(count, events, FALSE, SERVE_POLL_MS);
    }
}

void Serve(Opening* opening) {
    while (ServeWrite(opening) && ServeReads(opening)) AwaitCaller(opening);
    EndIo(opening, &opening->notice);
    EndIo(opening, &opening->out);
}

// An opening without read and write access: nothing to serve but its end.
void AwaitClose(HANDLE pipe) {
    DWORD waitingBytes = 0;
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &waitingBytes, nullptr)) Sleep(CLOSED_POLL_MS);
}

}  // namespace

bool MakeRoomBeside(const HidDevice* handle) {
    auto found = g_openings.find(handle);
    if (found == g_openings.end()) return false;
    Opening* opening = found->second;
    if (!opening->inPipe || opening->dropped) return false;
    CancelIoEx(opening->pipe, &opening->out.overlap);
    opening->dropped = true;
    SimSetQueueRoom(opening->handle, SIM_QUEUE_LENGTH);
    return true;
}

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
        {
            std::lock_guard<std::mutex> lock(BusLock());
            g_openings[handle] = &opening;
        }
        RecordOpening(device.vendorId, device.productId, nullptr);
        Serve(&opening);
        RecordOpening(device.vendorId, device.productId, opening.ending);
        std::lock_guard<std::mutex> lock(BusLock());
        g_openings.erase(handle);
        SimTransport().close(handle);
    } else if (!opensForReports) {
        AwaitClose(pipe);
    }
    DisconnectNamedPipe(pipe);
    CloseHandle(pipe);
}
