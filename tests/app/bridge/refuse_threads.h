#pragma once
// While set, the next thread creations in this test program fail with EAGAIN, as they do when
// the system runs out of threads.
#include <atomic>

extern std::atomic<bool> g_refuseThreads;
