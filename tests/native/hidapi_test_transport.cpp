// The hidapi transport's own calls over the stand-in hidapi: listing,
// report layout, time-outs, queued reports and failures.
#include <cerrno>
#include <cstdint>
#include <vector>

#include "hidapi_test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;
using TransportTest = HidapiTest;

const char* const MODULE_PATH = "/dev/hidraw0";
const char* const NUMBERED_PATH = "/dev/hidraw2";

FakeInterface Interface(const char* path, int vendorId, int productId, const Bytes& descriptor) {
    FakeInterface interface;
    interface.path = path;
    interface.vendorId = vendorId;
    interface.productId = productId;
    interface.descriptor = descriptor;
    return interface;
}

int AddModule() {
    return FakeHidAdd(FakeModule(MODULE_PATH, 0x209));
}

int AddNumbered() {
    return FakeHidAdd(Interface(NUMBERED_PATH, 0x046D, 0xC31C, NumberedDescriptor()));
}

// A request report as the device link composes it.
Bytes Request(uint8_t command, uint8_t index) {
    return {0x00, 0x55, 0xAA, command, index, 0x00, 0x00, 0x00, 0x00};
}

int Write(const OpenDevice& device, const Bytes& report) {
    return HidWrite(device.get(), report.data(), static_cast<int>(report.size()), 2000);
}

// Reads into a buffer of capacity bytes, all 0xEE before the read.
Bytes Read(const OpenDevice& device, int capacity, int timeoutMs, int* length) {
    Bytes buffer(static_cast<size_t>(capacity), 0xEE);
    *length = HidRead(device.get(), buffer.data(), capacity, timeoutMs);
    return buffer;
}

TEST_F(TransportTest, EveryInterfaceIsListedWithTheLengthsOfItsOwnDescriptor) {
    AddModule();
    FakeHidAdd(Interface("/dev/hidraw1", 0x10F7, 0x209, BootKeyboardDescriptor()));
    AddNumbered();
    FakeInterface unreadable = Interface("/dev/hidraw3", 0x1234, 0x0001, ModuleDescriptor());
    unreadable.descriptorReadable = false;
    FakeHidAdd(unreadable);
    Bytes cut = ModuleDescriptor();
    cut.resize(cut.size() - 3);
    FakeHidAdd(Interface("/dev/hidraw4", 0x1234, 0x0002, cut));
    FakeHidUnplug(FakeHidAdd(FakeModule("/dev/hidraw5", 0x206)));

    struct Expected {
        const char* path;
        int vendorId;
        int productId;
        bool lengthsRead;
        int output;
        int input;
    };
    const Expected expected[] = {{MODULE_PATH, 0x10F7, 0x209, true, 9, 9},
                                 {"/dev/hidraw1", 0x10F7, 0x209, true, 2, 9},
                                 {NUMBERED_PATH, 0x046D, 0xC31C, true, 5, 8},
                                 {"/dev/hidraw3", 0x1234, 0x0001, false, 0, 0},
                                 {"/dev/hidraw4", 0x1234, 0x0002, false, 0, 0}};
    std::vector<HidDeviceInfo> devices = HidEnumerate();
    ASSERT_EQ(devices.size(), 5u);
    for (size_t i = 0; i < devices.size(); ++i) {
        SCOPED_TRACE(expected[i].path);
        EXPECT_EQ(devices[i].path, expected[i].path);
        EXPECT_EQ(devices[i].vendorId, expected[i].vendorId);
        EXPECT_EQ(devices[i].productId, expected[i].productId);
        EXPECT_EQ(devices[i].lengthsRead, expected[i].lengthsRead);
        EXPECT_EQ(devices[i].outputReportLength, expected[i].output);
        EXPECT_EQ(devices[i].inputReportLength, expected[i].input);
    }
    EXPECT_EQ(FakeHidCount().opens, 0);
}

TEST_F(TransportTest, HidapiIsInitialisedOnceForTheWholeProgram) {
    AddModule();
    HidEnumerate();
    { OpenDevice device(MODULE_PATH); }
    HidEnumerate();
    EXPECT_EQ(FakeHidInitCalls(), 1);
}

TEST_F(TransportTest, UnnumberedReportsTravelWithTheirReportIdZeroInFront) {
    int module = AddModule();
    OpenDevice device(MODULE_PATH);
    ASSERT_NE(device.get(), nullptr);
    EXPECT_EQ(Write(device, Request(0x40, 0)), 9);
    ASSERT_EQ(FakeHidWrites().size(), 1u);
    EXPECT_EQ(FakeHidWrites()[0].bytes, Request(0x40, 0));

    // The module's reply comes from hidraw as 8 bytes: 01 21 00 00 00 FF 00 00.
    int length = 0;
    Bytes reply = Read(device, 9, 2000, &length);
    EXPECT_EQ(length, 9);
    EXPECT_EQ(reply, (Bytes{0x00, 0x01, 0x21, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00}));

    // A longer buffer: the report still starts at byte 1 and ends at byte 8.
    FakeHidQueueInput(module, {1, 2, 3, 4, 5, 6, 7, 8});
    reply = Read(device, 12, 2000, &length);
    EXPECT_EQ(length, 9);
    EXPECT_EQ(reply, (Bytes{0, 1, 2, 3, 4, 5, 6, 7, 8, 0xEE, 0xEE, 0xEE}));
}

TEST_F(TransportTest, NumberedReportsKeepTheirOwnReportIdBothWays) {
    int numbered = AddNumbered();
    OpenDevice device(NUMBERED_PATH);
    ASSERT_NE(device.get(), nullptr);
    const Bytes vendorReport = {0x03, 0x10, 0x20, 0x30, 0x40};
    EXPECT_EQ(Write(device, vendorReport), 5);
    ASSERT_EQ(FakeHidWrites().size(), 1u);
    EXPECT_EQ(FakeHidWrites()[0].bytes, vendorReport);

    FakeHidQueueInput(numbered, {0x02, 0xE9, 0x00});
    FakeHidQueueInput(numbered, {0x01, 0x02, 0x04, 0x05, 0, 0, 0, 0});
    int length = 0;
    Bytes report = Read(device, 8, 2000, &length);
    EXPECT_EQ(length, 3);
    EXPECT_EQ(Bytes(report.begin(), report.begin() + 3), (Bytes{0x02, 0xE9, 0x00}));
    report = Read(device, 8, 2000, &length);
    EXPECT_EQ(length, 8);
    EXPECT_EQ(report, (Bytes{0x01, 0x02, 0x04, 0x05, 0, 0, 0, 0}));
}

TEST_F(TransportTest, AReadWithNothingQueuedTimesOutAfterTheGivenTime) {
    AddModule();
    OpenDevice device(MODULE_PATH);
    int length = -1;
    Bytes buffer = Read(device, 9, 1500, &length);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(HidLastFailure(), HidFailure::TimedOut);
    EXPECT_EQ(buffer, Bytes(9, 0xEE));
    EXPECT_EQ(FakeHidReadTimeouts(), std::vector<int>{1500});
}

TEST_F(TransportTest, OpenFailuresAreToldByTheirCause) {
    struct Case {
        int openErrno;
        HidFailure failure;
    };
    const Case cases[] = {{EACCES, HidFailure::AccessDenied},
                          {EPERM, HidFailure::AccessDenied},
                          {ENODEV, HidFailure::NotConnected},
                          {EBUSY, HidFailure::Other}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.openErrno);
        SetUp();
        FakeInterface refusing = FakeModule(MODULE_PATH, 0x209);
        refusing.openErrno = c.openErrno;
        FakeHidAdd(refusing);
        OpenDevice device(MODULE_PATH);
        EXPECT_EQ(device.get(), nullptr);
        EXPECT_EQ(HidLastFailure(), c.failure);
    }
    {
        SCOPED_TRACE("path of no device");
        OpenDevice device("/dev/hidraw9");
        EXPECT_EQ(device.get(), nullptr);
        EXPECT_EQ(HidLastFailure(), HidFailure::NotConnected);
    }
}

TEST_F(TransportTest, ADeviceWhoseDescriptorCannotBeReadIsNotKeptOpen) {
    FakeInterface unreadable = FakeModule(MODULE_PATH, 0x209);
    unreadable.descriptorReadable = false;
    FakeHidAdd(unreadable);
    OpenDevice device(MODULE_PATH);
    EXPECT_EQ(device.get(), nullptr);
    EXPECT_EQ(HidLastFailure(), HidFailure::Other);
    EXPECT_EQ(FakeHidCount().opens, 1);
    EXPECT_EQ(FakeHidCount().openHandles, 0);
}

TEST_F(TransportTest, ReportsOfTheWrongLengthAreRefusedBeforeTheyReachTheDevice) {
    AddModule();
    OpenDevice device(MODULE_PATH);
    for (size_t length : {size_t{8}, size_t{10}, size_t{1}}) {
        SCOPED_TRACE(length);
        Bytes request = Request(0x40, 0);
        request.resize(length);
        EXPECT_EQ(Write(device, request), -1);
        EXPECT_EQ(HidLastFailure(), HidFailure::BadLength);
    }
    EXPECT_EQ(HidWrite(device.get(), nullptr, 0, 2000), -1);
    EXPECT_TRUE(FakeHidWrites().empty());
    int length = 0;
    Read(device, 8, 2000, &length);
    EXPECT_EQ(length, -1);
    EXPECT_EQ(HidLastFailure(), HidFailure::BadLength);
    EXPECT_TRUE(FakeHidReadTimeouts().empty());
}

TEST_F(TransportTest, AHandleOfADeviceThatWentStaysDeadWhenItComesBack) {
    int module = AddModule();
    OpenDevice device(MODULE_PATH);
    FakeHidUnplug(module);
    EXPECT_EQ(Write(device, Request(0x40, 0)), -1);
    EXPECT_EQ(HidLastFailure(), HidFailure::NotConnected);
    int length = 0;
    Read(device, 9, 2000, &length);
    EXPECT_EQ(length, -1);
    EXPECT_EQ(HidLastFailure(), HidFailure::NotConnected);

    FakeHidReplug(module);
    EXPECT_EQ(Write(device, Request(0x40, 0)), -1);
    OpenDevice again(MODULE_PATH);
    EXPECT_EQ(Write(again, Request(0x40, 0)), 9);
    EXPECT_EQ(FakeHidWrites().size(), 1u);
}

}  // namespace
