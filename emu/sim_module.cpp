#include "emu/sim_module.h"

namespace {

// The module's side of the protocol, kept apart from the program's own.
constexpr int MODULE_VENDOR = 0x10F7;
constexpr int QX206 = 0x206;
constexpr int QX209 = 0x209;
constexpr uint8_t FRAME_FIRST = 0x55;
constexpr uint8_t FRAME_SECOND = 0xAA;
constexpr int REQUEST_LENGTH = 9;
constexpr uint8_t COMMAND_WRITE_KEY = 0x41;
constexpr uint8_t COMMAND_READ_KEY = 0x42;
constexpr uint8_t COMMAND_RESET = 0x4F;

bool Answers(const SimDevice& device, const uint8_t* request, int length) {
    if (!device.module || device.silent || length < REQUEST_LENGTH) return false;
    if (request[1] != FRAME_FIRST || request[2] != FRAME_SECOND) return false;
    const bool keyCommand = request[3] == COMMAND_WRITE_KEY || request[3] == COMMAND_READ_KEY;
    return !(keyCommand && request[4] == device.unansweredIndex);
}

std::vector<uint8_t> MakeReply(const SimDevice& device, const uint8_t* request) {
    std::vector<uint8_t> reply(device.inputLength > 0 ? device.inputLength : 0, 0);
    const int index = request[4];
    const bool readsKey = request[3] == COMMAND_READ_KEY && index < SIM_WORD_COUNT;
    const uint8_t body[] = {0x01,
                            static_cast<uint8_t>(device.version),
                            static_cast<uint8_t>(readsKey ? device.words[index] >> 8 : 0),
                            static_cast<uint8_t>(readsKey ? device.words[index] & 0xFF : 0),
                            0x00,
                            0xFF};
    for (int k = 0; k < 6 && k + 1 < static_cast<int>(reply.size()); ++k) reply[k + 1] = body[k];
    return reply;
}

}  // namespace

SimDevice SimModule(int productId) {
    SimDevice device = SimForeignDevice(MODULE_VENDOR, productId);
    device.module = true;
    return device;
}

SimDevice SimForeignDevice(int vendorId, int productId) {
    SimDevice device;
    device.vendorId = vendorId;
    device.productId = productId;
    return device;
}

SimDevice SimDeviceFor(int vendorId, int productId) {
    bool module = vendorId == MODULE_VENDOR && (productId == QX206 || productId == QX209);
    return module ? SimModule(productId) : SimForeignDevice(vendorId, productId);
}

SimAnswer SimTakeRequest(SimDevice& device, const uint8_t* request, int length) {
    SimAnswer answer;
    if (!Answers(device, request, length)) return answer;
    answer.replies = true;
    answer.reply = MakeReply(device, request);
    answer.leavesChangeMode = request[3] == COMMAND_RESET;
    if (request[3] == COMMAND_WRITE_KEY && request[4] < SIM_WORD_COUNT &&
        request[4] != device.stuckIndex) {
        device.words[request[4]] = static_cast<uint16_t>(request[5] << 8 | request[6]);
        answer.wordsChanged = true;
    }
    return answer;
}
