// Detached workers on POSIX: std::thread over pthreads.
#include "threads/thread_start.h"

#include <system_error>
#include <thread>

bool startDetachedThread(std::function<void()> body) {
  try {
    std::thread(std::move(body)).detach();
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}
