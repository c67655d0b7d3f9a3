// The end-to-end tests' entry point. Standard output is unbuffered: when
// ctest ends a test at its time-out, the log still shows how far it got and
// what it saved for the diagnosis.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    // The emulator some tests start here runs on threads until the process
    // ends, as it does in the stand-in DLLs. Returning from main would destroy
    // the static objects those threads use while they still run; the process
    // ends here at once instead. (ExitProcess was tried: under Wine it now and
    // then ended in a SIGKILL.)
    std::fflush(nullptr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));
    return result;
}
