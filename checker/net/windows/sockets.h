#pragma once
// Windows Sockets for the lifetime of one piece of work. WSAStartup and WSACleanup are counted
// per process, so workers running side by side do not disturb each other, provided each one
// cleans up only a start-up that succeeded: a WSACleanup without its WSAStartup takes away
// another worker's.
#include <winsock2.h>

struct SocketsScope {
  explicit SocketsScope(WORD version = MAKEWORD(2, 2));
  ~SocketsScope();
  SocketsScope(const SocketsScope&) = delete;
  SocketsScope& operator=(const SocketsScope&) = delete;

  bool started = false;
};
