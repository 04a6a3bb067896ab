// Detached workers on Windows: _beginthreadex, then the handle is closed at once.
// std::thread here goes through winpthreads, whose detached threads were seen to vanish now and
// then without running to the end (about one in a few thousand), leaving a page without reply.
#include "threads/thread_start.h"

#include <process.h>
#include <windows.h>

#include <memory>

namespace {
unsigned __stdcall runBody(void* raw) {
  const std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(raw));
  (*body)();
  return 0;
}
}  // namespace

bool startDetachedThread(std::function<void()> body) {
  auto owned = std::make_unique<std::function<void()>>(std::move(body));
  const std::uintptr_t handle = _beginthreadex(nullptr, 0, runBody, owned.get(), 0, nullptr);
  if (handle == 0) return false;
  owned.release();  // the thread owns it now
  CloseHandle(reinterpret_cast<HANDLE>(handle));
  return true;
}
