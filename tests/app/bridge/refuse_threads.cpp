// Stands in front of the C library's pthread_create (the executable's definition wins the
// dynamic lookup from libstdc++) so the tests can make thread creation fail on demand.
#include "refuse_threads.h"

#include <dlfcn.h>
#include <pthread.h>

#include <cerrno>

std::atomic<bool> g_refuseThreads{false};

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attr, void* (*start)(void*),
                              void* arg) {
  using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
  if (g_refuseThreads.load()) return EAGAIN;
  static const Create real = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
  return real(thread, attr, start, arg);
}
