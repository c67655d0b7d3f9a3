#include "device/report_exchange.h"

#include <cstdint>
#include <cstdio>

#include "device/hid_link.h"

namespace {

// Byte 0 is the report ID 0; bytes after 8 stay 0 for the longer reports.
uint8_t g_request[REPORT_BUFFER_SIZE];
uint8_t g_reply[REPORT_BUFFER_SIZE];

int LinkLengthsFit() {
    return ReportLengthsFit(g_hidLink.outputReportLength, g_hidLink.inputReportLength);
}

void ComposeRequest(int command, int arg1, int arg2, int arg3, int arg4, int arg5) {
    const int fields[] = {0x55, 0xAA, command, arg1, arg2, arg3, arg4, arg5};
    int byte = 1;
    for (int field : fields) g_request[byte++] = static_cast<uint8_t>(field);
}

HidReadStart StartReply() {
    if (g_hidLink.readHandle == HID_NO_HANDLE || g_hidLink.readEvent == HID_NO_EVENT ||
        !LinkLengthsFit()) {
        return HID_READ_FAILED;
    }
    return HidStartRead(g_hidLink.readHandle, g_reply, g_hidLink.inputReportLength);
}

}  // namespace

int Transact(int command, int arg1, int arg2, int arg3, int arg4, int arg5) {
    HidPause(TRANSACTION_PAUSE_MS);
    if (g_hidLink.linkUp == 0) g_hidLink.linkUp = FindHidDevice(g_hidLink.lastProductId);
    if (g_hidLink.linkUp != 1) return 0;
    ComposeRequest(command, arg1, arg2, arg3, arg4, arg5);
    SendReport();
    if (g_hidLink.linkUp == 0) return 0;
    ReceiveReport();
    return g_hidLink.linkUp == 1 ? 1 : 0;
}

void SendReport() {
    int sent = g_hidLink.syncHandle != HID_NO_HANDLE && LinkLengthsFit() &&
               HidWriteReport(g_hidLink.syncHandle, g_request, g_hidLink.outputReportLength);
    if (!sent) g_hidLink.linkUp = 0;
}

void ReceiveReport() {
    HidReadStart start = StartReply();
    if (start == HID_READ_FAILED) g_hidLink.linkUp = 0;
    if (start == HID_READ_PENDING && !HidWaitRead(g_hidLink.readEvent, REPLY_TIMEOUT_MS)) {
        HidCancelRead(g_hidLink.readHandle);
        g_hidLink.linkUp = 0;
    }
    if (g_hidLink.readEvent != HID_NO_EVENT) HidResetEvent(g_hidLink.readEvent);
}

void FormatReply(char* text, size_t size) {
    snprintf(text, size, "%02X,%02X,%02X,%02X,%02X,%02X", g_reply[1], g_reply[2], g_reply[3],
             g_reply[4], g_reply[5], g_reply[6]);
}
