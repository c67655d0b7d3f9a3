#include "device/report_exchange.h"

#include <cstdint>
#include <cstdio>

#include "device/hid_link.h"

namespace {

// Byte 0 is the report ID 0; bytes after 8 stay 0 for the longer reports.
uint8_t g_request[REPORT_BUFFER_SIZE];
uint8_t g_reply[REPORT_BUFFER_SIZE];

int LinkUsable() {
    return g_hidLink.device != nullptr &&
           ReportLengthsFit(g_hidLink.outputReportLength, g_hidLink.inputReportLength);
}

void ComposeRequest(int command, int arg1, int arg2, int arg3, int arg4, int arg5) {
    const int fields[] = {0x55, 0xAA, command, arg1, arg2, arg3, arg4, arg5};
    int byte = 1;
    for (int field : fields) g_request[byte++] = static_cast<uint8_t>(field);
}

}  // namespace

int Transact(int command, int arg1, int arg2, int arg3, int arg4, int arg5) {
    HidPause(TRANSACTION_PAUSE_MS);
    if (g_hidLink.linkUp == 0) g_hidLink.linkUp = FindHidDevice(g_hidLink.lastProductId);
    if (g_hidLink.linkUp != 1) return 0;
    ComposeRequest(command, arg1, arg2, arg3, arg4, arg5);
    DiscardQueuedReports();
    SendReport();
    if (g_hidLink.linkUp == 0) return 0;
    ReceiveReport();
    return g_hidLink.linkUp == 1 ? 1 : 0;
}

void DiscardQueuedReports() {
    uint8_t stale[REPORT_BUFFER_SIZE];
    for (int taken = 0; LinkUsable() && taken < DISCARD_LIMIT; ++taken) {
        if (HidRead(g_hidLink.device, stale, g_hidLink.inputReportLength, 0) <= 0) return;
    }
}

void SendReport() {
    int length = g_hidLink.outputReportLength;
    int sent =
        LinkUsable() && HidWrite(g_hidLink.device, g_request, length, REPLY_TIMEOUT_MS) == length;
    if (!sent) g_hidLink.linkUp = 0;
}

void ReceiveReport() {
    int received = LinkUsable() && HidRead(g_hidLink.device, g_reply, g_hidLink.inputReportLength,
                                           REPLY_TIMEOUT_MS) > 0;
    if (!received) g_hidLink.linkUp = 0;
}

int ReplyByte(int k) {
    return g_reply[k];
}

void FormatReply(char* text, size_t size) {
    snprintf(text, size, "%02X,%02X,%02X,%02X,%02X,%02X", g_reply[1], g_reply[2], g_reply[3],
             g_reply[4], g_reply[5], g_reply[6]);
}
