#pragma once
#include <functional>

// Starts `body` on a new thread that nobody joins. False when the system refuses a thread;
// `body` has not run then.
bool startDetachedThread(std::function<void()> body);
