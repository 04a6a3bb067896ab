// Reverse DNS asks the PTR question itself (dns_query.h) rather than through the system's name
// look-up, which folds resolver errors into "no such name": a failure here stays a failure.
#include "net/reverse_dns.h"

#include <arpa/inet.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "net/failure.h"
#include "net/posix/dns_query.h"
#include "net/reverse_octets.h"

NameLookup reverseDnsName(const std::string& address, Deadline deadline) {
  NameLookup lookup;
  in_addr binary;
  const bool textHasNul = address.find('\0') != std::string::npos;
  if (textHasNul || inet_pton(AF_INET, address.c_str(), &binary) != 1) {
    lookup.answered = true;  // not dotted IPv4: no name, without asking anyone
    return lookup;
  }
  Ipv4Bytes bytes;
  std::memcpy(bytes.data(), &binary, bytes.size());
  // A trailing dot: the name is asked as it is, never with the search list appended.
  const DnsReply reply = askDns(ptrQueryName(bytes) + ".", ns_t_ptr, deadline);
  if (reply.kind == DnsReply::Kind::failed) {
    lookup.reason = reply.reason;
    return lookup;
  }
  lookup.answered = true;
  if (reply.kind == DnsReply::Kind::noSuchName) return lookup;

  const std::optional<std::vector<DnsRecord>> records = answerRecords(reply);
  if (!records) return NameLookup{false, {}, failureWords(Failure::malformedAnswer)};
  return ptrAnswerOf(*records);
}
