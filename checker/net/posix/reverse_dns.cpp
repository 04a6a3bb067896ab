// reverseDnsName on the system resolver: inet_pton (AF_INET) and getnameinfo with NI_NAMEREQD,
// so a numeric text never stands in for a name. getnameinfo asks through this thread's resolver
// state (_res), whose limits are shortened to the deadline for the call and restored after.
#include "net/reverse_dns.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <resolv.h>
#include <sys/socket.h>

#include <cstring>
#include <new>

#include "net/posix/resolver_deadline.h"

NameLookup reverseDnsName(const std::string& address, Deadline deadline) {
  NameLookup lookup;
  sockaddr_in socketAddress;
  std::memset(&socketAddress, 0, sizeof socketAddress);
  socketAddress.sin_family = AF_INET;
  const bool textHasNul = address.find('\0') != std::string::npos;
  if (textHasNul || inet_pton(AF_INET, address.c_str(), &socketAddress.sin_addr) != 1) {
    lookup.answered = true;  // not dotted IPv4: no name, without asking anyone
    return lookup;
  }
  char host[NI_MAXHOST];
  std::memset(host, 0, sizeof host);
  const bool bounded = deadline != NO_DEADLINE && res_init() == 0;
  const int retrans = _res.retrans;
  const int retry = _res.retry;
  if (bounded && !fitResolverToDeadline(_res, deadline)) {
    lookup.reason = "time-out";
    return lookup;
  }
  const int rc = getnameinfo(reinterpret_cast<const sockaddr*>(&socketAddress),
                             sizeof socketAddress, host, sizeof host, nullptr, 0, NI_NAMEREQD);
  if (bounded) {
    _res.retrans = retrans;
    _res.retry = retry;
  }
  switch (rc) {
    case 0:
      lookup.answered = true;
      lookup.name = host;
      break;
    case EAI_NONAME:
      lookup.answered = true;  // the resolver says there is no PTR record
      break;
    case EAI_AGAIN:
      lookup.reason = "temporary DNS failure";
      break;
    case EAI_MEMORY:
      throw std::bad_alloc();
    default:
      lookup.reason = gai_strerror(rc);
      break;
  }
  return lookup;
}
