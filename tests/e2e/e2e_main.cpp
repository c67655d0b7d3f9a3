// The end-to-end tests' entry point. Standard output is unbuffered: when
// ctest ends a test at its time-out, the log still shows how far it got and
// what it saved for the diagnosis.
#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
