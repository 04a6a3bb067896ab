#include "net/windows/sockets.h"

SocketsScope::SocketsScope(WORD version) {
  WSADATA data;
  started = WSAStartup(version, &data) == 0;
}

SocketsScope::~SocketsScope() {
  if (started) WSACleanup();
}
