// Ctrl+C: noted when it comes, and acted on by the verbs between two
// transactions, so that no transaction is cut in half. A second Ctrl+C ends
// the program at once.
#pragma once

void CatchInterrupts();
bool InterruptRequested();
// Notes a Ctrl+C as the handler does.
void RequestInterrupt();
// For a process that runs the tool more than once: the next run starts
// without the Ctrl+C of the one before.
void ForgetInterrupt();
