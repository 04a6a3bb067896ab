// Reverse DNS on Windows Sockets: inet_pton, then getnameinfo with NI_NAMEREQD (a name or
// nothing, never the numeric text). The caller has started Windows Sockets (WSAStartup).
#include "net/reverse_dns.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <string>
#include <utility>

namespace {

NameLookup answered(std::string name) {
  return NameLookup{true, std::move(name), {}};
}
NameLookup failed(std::string reason) {
  return NameLookup{false, {}, std::move(reason)};
}

}  // namespace

NameLookup reverseDnsName(const std::string& address, Deadline /*deadline: no limit to set*/) {
  sockaddr_in socketAddress{};
  socketAddress.sin_family = AF_INET;
  // A NUL inside the text would end it early: "1.2.3.4\0x" is not an address.
  if (address.find('\0') != std::string::npos) return answered({});
  if (inet_pton(AF_INET, address.c_str(), &socketAddress.sin_addr) != 1) return answered({});

  char host[NI_MAXHOST] = {};
  const int rc = getnameinfo(reinterpret_cast<const sockaddr*>(&socketAddress),
                             sizeof(socketAddress), host, sizeof(host), nullptr, 0, NI_NAMEREQD);
  if (rc == 0) return answered(host);
  switch (rc) {
    case EAI_NONAME:  // WSAHOST_NOT_FOUND: the address has no PTR record
      return answered({});
    case EAI_AGAIN:
      return failed("temporary DNS failure");
    case WSANOTINITIALISED:
      return failed("sockets not started");
    default:
      return failed("no answer");
  }
}
