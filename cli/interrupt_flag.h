// The note of a Ctrl+C, which each platform's handler sets.
#pragma once

#include <atomic>

extern std::atomic<bool> g_interrupted;
