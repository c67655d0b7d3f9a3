#include "emu/presenter/uhid_device.h"

#include <fcntl.h>
#include <linux/uhid.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr uint16_t BUS_USB_ID = 0x03;

bool WriteEvent(int fd, const uhid_event& event) {
    return write(fd, &event, sizeof event) == static_cast<ssize_t>(sizeof event);
}

}  // namespace

UhidDevice::UhidDevice(const DeviceIdentity& identity) {
    if (identity.descriptor.size() > HID_MAX_DESCRIPTOR_SIZE) return;
    fd_ = open("/dev/uhid", O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) return;
    uhid_event event{};
    event.type = UHID_CREATE2;
    uhid_create2_req& create = event.u.create2;
    std::snprintf(reinterpret_cast<char*>(create.name), sizeof create.name, "%s",
                  identity.name.c_str());
    std::snprintf(reinterpret_cast<char*>(create.uniq), sizeof create.uniq, "%s",
                  identity.serial.c_str());
    create.bus = BUS_USB_ID;
    create.vendor = static_cast<uint32_t>(identity.vendorId);
    create.product = static_cast<uint32_t>(identity.productId);
    create.rd_size = static_cast<uint16_t>(identity.descriptor.size());
    std::memcpy(create.rd_data, identity.descriptor.data(), identity.descriptor.size());
    if (!WriteEvent(fd_, event)) {
        close(fd_);
        fd_ = -1;
    }
}

// Closing /dev/uhid takes the device off the bus.
UhidDevice::~UhidDevice() {
    if (fd_ < 0) return;
    uhid_event event{};
    event.type = UHID_DESTROY;
    WriteEvent(fd_, event);
    close(fd_);
}

// A report the kernel asks for or sets through a control transfer: the
// module has none, as a device without feature reports answers.
void UhidDevice::Refuse(uint32_t type, uint32_t id) {
    uhid_event reply{};
    if (type == UHID_GET_REPORT) {
        reply.type = UHID_GET_REPORT_REPLY;
        reply.u.get_report_reply.id = id;
        reply.u.get_report_reply.err = EIO;
    } else {
        reply.type = UHID_SET_REPORT_REPLY;
        reply.u.set_report_reply.id = id;
        reply.u.set_report_reply.err = EIO;
    }
    WriteEvent(fd_, reply);
}

bool UhidDevice::TakeOutput(std::vector<uint8_t>* report) {
    uhid_event event{};
    while (read(fd_, &event, sizeof event) > 0) {
        if (event.type == UHID_OUTPUT) {
            uint16_t size =
                event.u.output.size < UHID_DATA_MAX ? event.u.output.size : UHID_DATA_MAX;
            report->assign(event.u.output.data, event.u.output.data + size);
            return true;
        }
        if (event.type == UHID_GET_REPORT) Refuse(event.type, event.u.get_report.id);
        if (event.type == UHID_SET_REPORT) Refuse(event.type, event.u.set_report.id);
    }
    return false;
}

bool UhidDevice::SendInput(const uint8_t* data, int length) {
    if (length < 0 || length > UHID_DATA_MAX) return false;
    uhid_event event{};
    event.type = UHID_INPUT2;
    event.u.input2.size = static_cast<uint16_t>(length);
    std::memcpy(event.u.input2.data, data, static_cast<size_t>(length));
    return WriteEvent(fd_, event);
}
