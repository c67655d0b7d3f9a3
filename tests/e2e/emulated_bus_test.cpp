// The emulator behind the stand-in DLLs keeps the rules of the system's HID
// class driver: checked with a client of the test's own on the device pipes,
// the emulator running in the test's process as it runs in the program's.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "emu/standin/pipe_emulator.h"
#include "program_process.h"

namespace {

// Long enough for any emulated reply; what must come never takes this long.
constexpr DWORD REPLY_WAIT_MS = 10000;
// How long a read is given to show that nothing comes.
constexpr DWORD NOTHING_COMES_MS = 300;
constexpr int REPORT_LENGTH = 9;
constexpr int QUEUE_LENGTH = 32;

using Report = std::vector<uint8_t>;

Report Request(int command, int index = 0) {
    return {0, 0x55, 0xAA, static_cast<uint8_t>(command), static_cast<uint8_t>(index), 0, 0, 0, 0};
}

// One overlapped operation on a device handle, with its own event.
class Io {
public:
    Io() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) { overlap_.hEvent = event_; }
    ~Io() { CloseHandle(event_); }
    Io(const Io&) = delete;
    Io& operator=(const Io&) = delete;

    OVERLAPPED* Overlap() { return &overlap_; }
    // Whether the I/O ended within waitMs, and then whether it succeeded.
    bool Ends(DWORD waitMs) const { return WaitForSingleObject(event_, waitMs) == WAIT_OBJECT_0; }
    bool Succeeded(HANDLE device, DWORD* moved) {
        return GetOverlappedResult(device, &overlap_, moved, TRUE) != 0;
    }

private:
    HANDLE event_;
    OVERLAPPED overlap_ = {};
};

HANDLE Open(const std::string& path, DWORD access = GENERIC_READ | GENERIC_WRITE) {
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
}

// Writes the report; true when the write went through.
bool Write(HANDLE device, const Report& report) {
    Io io;
    if (!WriteFile(device, report.data(), static_cast<DWORD>(report.size()), nullptr,
                   io.Overlap()) &&
        GetLastError() != ERROR_IO_PENDING) {
        return false;
    }
    DWORD moved = 0;
    return io.Ends(REPLY_WAIT_MS) && io.Succeeded(device, &moved) && moved == report.size();
}

// Reads one report within waitMs; empty when none came (the read is then
// cancelled) or the read failed.
Report Read(HANDLE device, DWORD waitMs = REPLY_WAIT_MS) {
    Report report(REPORT_LENGTH);
    Io io;
    if (!ReadFile(device, report.data(), REPORT_LENGTH, nullptr, io.Overlap()) &&
        GetLastError() != ERROR_IO_PENDING) {
        return {};
    }
    if (!io.Ends(waitMs)) CancelIoEx(device, io.Overlap());
    DWORD moved = 0;
    if (!io.Succeeded(device, &moved)) return {};
    report.resize(moved);
    return report;
}

class EmulatedBus : public ::testing::Test {
protected:
    // The emulator on this bus (each test runs in a process of its own, where
    // the emulator starts once), and the device pipes it lists.
    std::vector<std::string> Start(const std::string& bus) {
        folder_.Write(L"bus.txt", bus);
        SetEnvironmentVariableW(L"USBKBD_SIM", folder_.File(L"bus.txt").c_str());
        StartPipeEmulator();
        return ListDevicePipes();
    }
    void Edit(const std::string& bus) { folder_.Write(L"bus.txt", bus); }

private:
    Folder folder_{L"usbkbd-emu-"};
};

constexpr char QX209_WITH_WORDS[] =
    "device 10F7:0209\n"
    "keys 0001 0002 0003 0004 0005 0006 0007 0008 0009 000A 000B 000C 000D 000E 000F 0010\n";

// Reply byte 4 of a read-key reply: the low byte of the word, here index + 1.
int WordOf(const Report& reply) {
    return reply.size() == REPORT_LENGTH ? reply[4] : -1;
}

TEST_F(EmulatedBus, EveryOpeningKeepsItsOwnCopyOfTheNewest32Reports) {
    std::vector<std::string> pipes = Start(QX209_WITH_WORDS);
    ASSERT_EQ(pipes.size(), 1u);
    HANDLE idle = Open(pipes[0]);
    HANDLE busy = Open(pipes[0]);
    ASSERT_NE(idle, INVALID_HANDLE_VALUE);
    ASSERT_NE(busy, INVALID_HANDLE_VALUE);
    const int requests = QUEUE_LENGTH + 8;
    for (int n = 0; n < requests; ++n) {
        ASSERT_TRUE(Write(busy, Request(0x42, n % 16)));
        ASSERT_EQ(WordOf(Read(busy)), n % 16 + 1) << n;
    }
    // The idle opening was never read: it holds the replies to requests 8 to 39.
    for (int n = requests - QUEUE_LENGTH; n < requests; ++n) {
        EXPECT_EQ(WordOf(Read(idle)), n % 16 + 1) << n;
    }
    EXPECT_TRUE(Read(idle, NOTHING_COMES_MS).empty());
    CloseHandle(busy);
    CloseHandle(idle);
}

TEST_F(EmulatedBus, AReplyThatComesAfterItsReaderGaveUpStaysInThatOpeningsQueue) {
    std::vector<std::string> pipes = Start("device 10F7:0209\nfirmware 12\ndelay 600\n");
    ASSERT_EQ(pipes.size(), 1u);
    HANDLE device = Open(pipes[0]);
    ASSERT_TRUE(Write(device, Request(0x40)));
    EXPECT_TRUE(Read(device, 100).empty());
    Report late = Read(device);
    ASSERT_EQ(late.size(), static_cast<size_t>(REPORT_LENGTH));
    EXPECT_EQ(late[2], 0x12);
    CloseHandle(device);
}

// A write must be the output report's length; the device takes none else.
TEST_F(EmulatedBus, WriteOfAnotherLengthThanTheOutputReportFails) {
    std::vector<std::string> pipes = Start("device 10F7:0209\nreports 12 9\n");
    ASSERT_EQ(pipes.size(), 1u);
    for (size_t length : {9u, 13u}) {
        HANDLE device = Open(pipes[0]);
        Report request = Request(0x40);
        request.resize(length);
        EXPECT_FALSE(Write(device, request)) << length;
        CloseHandle(device);
    }
    HANDLE device = Open(pipes[0]);
    Report request = Request(0x40);
    request.resize(12);
    EXPECT_TRUE(Write(device, request));
    EXPECT_EQ(Read(device).size(), static_cast<size_t>(REPORT_LENGTH));
    CloseHandle(device);
}

// As Windows keeps a keyboard to itself: it may be opened to ask who it is,
// but not to read and write its reports.
TEST_F(EmulatedBus, InterfaceTheSystemKeepsCannotBeOpenedForReadingAndWriting) {
    std::vector<std::string> pipes = Start("device 046D:C31C\nopens 0\n");
    ASSERT_EQ(pipes.size(), 1u);
    EXPECT_EQ(Open(pipes[0]), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    HANDLE asked = Open(pipes[0], 0);
    EXPECT_NE(asked, INVALID_HANDLE_VALUE);
    CloseHandle(asked);
}

// Unplugged: a pending read and later writes fail; plugged in again, the
// device works through a new opening, and the old one stays dead.
TEST_F(EmulatedBus, UnplugFailsPendingAndLaterIoAndAnOldOpeningStaysDead) {
    std::vector<std::string> pipes = Start("device 10F7:0209\n");
    ASSERT_EQ(pipes.size(), 1u);
    HANDLE old = Open(pipes[0]);
    ASSERT_NE(old, INVALID_HANDLE_VALUE);
    Report reply(REPORT_LENGTH);
    Io pending;
    ASSERT_FALSE(ReadFile(old, reply.data(), REPORT_LENGTH, nullptr, pending.Overlap()));
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));

    Edit("# unplugged\n");
    ASSERT_TRUE(pending.Ends(REPLY_WAIT_MS));
    DWORD moved = 0;
    EXPECT_FALSE(pending.Succeeded(old, &moved));
    EXPECT_FALSE(Write(old, Request(0x40)));
    EXPECT_TRUE(ListDevicePipes().empty());

    Edit("device 10F7:0209\n");
    ASSERT_EQ(ListDevicePipes(), pipes);
    HANDLE fresh = Open(pipes[0]);
    ASSERT_NE(fresh, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(Write(fresh, Request(0x40)));
    EXPECT_EQ(Read(fresh).size(), static_cast<size_t>(REPORT_LENGTH));
    EXPECT_FALSE(Write(old, Request(0x40)));
    CloseHandle(fresh);
    CloseHandle(old);
}

}  // namespace
