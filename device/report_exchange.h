// One transaction with the module: a request report written, one reply
// report read back, after a fixed pause and within a bounded wait.
#pragma once

#include <cstddef>

constexpr int TRANSACTION_PAUSE_MS = 40;
constexpr int REPLY_TIMEOUT_MS = 2000;

// Input reports taken off the handle before one request at most: Windows
// keeps 32 for a handle unless told otherwise, a hidraw reader 64, so only a
// device that never stops sending reaches it, and the request then goes ahead.
constexpr int DISCARD_LIMIT = 256;

// Room for the reply text form "01,12,02,04,00,FF" of FormatReply.
constexpr int REPLY_TEXT_SIZE = 28;

// Sends the command with five arguments (each cut to its low 8 bits) and
// waits for the reply; 1 = written and answered in time, 0 = failure. Brings
// a lost link back up first. After success the reply stays for FormatReply.
int Transact(int command, int arg1, int arg2, int arg3, int arg4, int arg5);

// Takes every input report already queued on the module's handle and drops
// it, without waiting: a reply that came after its request was given up,
// even on a handle opened since, is never taken for the answer to the next
// request. A failure here is left to the write and the read that follow.
void DiscardQueuedReports();

// Writes the request buffer within REPLY_TIMEOUT_MS; a write that fails or
// does not finish in time takes the link down.
void SendReport();

// Reads one reply into the reply buffer; no reply in time takes the link down.
void ReceiveReport();

// Reply byte k (1 to 6) of the last reply received.
int ReplyByte(int k);

// Writes reply bytes 1 to 6 as six two-digit upper-case hex fields
// separated by commas; field k starts at character 3 * (k - 1).
void FormatReply(char* text, size_t size);
