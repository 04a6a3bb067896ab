// Reverse DNS on Windows Sockets: inet_pton, then getnameinfo with NI_NAMEREQD (a name or
// nothing, never the numeric text). getnameinfo folds resolver errors (FORMERR, a silent
// server) into EAI_NONAME, so "no name" is asked again as a PTR question for
// <d.c.b.a>.in-addr.arpa on the DNS client (dns_query.h): only NXDOMAIN or an answer without a
// PTR record is "no such name". Each lookup holds its own (counted) Windows Sockets start-up, so
// every caller, velmora-scan included, gets a working getnameinfo.
#include "net/reverse_dns.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>
#include <string>
#include <utility>

#include "net/failure.h"
#include "net/reverse_octets.h"
#include "net/windows/dns_query.h"
#include "net/windows/sockets.h"

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

  const SocketsScope sockets;
  char host[NI_MAXHOST] = {};
  const int rc = getnameinfo(reinterpret_cast<const sockaddr*>(&socketAddress),
                             sizeof(socketAddress), host, sizeof(host), nullptr, 0, NI_NAMEREQD);
  if (rc == 0) return answered(host);
  switch (rc) {
    case EAI_NONAME:
      break;
    case EAI_AGAIN:
      return failed(failureWords(Failure::temporaryFailure));
    case WSANOTINITIALISED:
      return failed(failureWords(Failure::socketsNotStarted));
    default:
      return failed(failureWords(Failure::noAnswer));
  }

  Ipv4Bytes bytes;
  std::memcpy(bytes.data(), &socketAddress.sin_addr, bytes.size());
  DnsRecordList records;
  const DNS_STATUS status = askDns(ptrQueryName(bytes), DNS_TYPE_PTR, records);
  if (isNoSuchName(status)) return answered({});
  if (status != 0) return failed(dnsFailureReason(status));
  return ptrAnswerOf(answerRecords(records));
}
