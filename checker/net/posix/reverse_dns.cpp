// reverseDnsName on libresolv: inet_pton (AF_INET), then a PTR question for
// <d.c.b.a>.in-addr.arpa through dns_query.h, so a resolver error is never taken for "no such
// name" (getnameinfo folds FORMERR and others into EAI_NONAME). ns_name_uncompress reads the
// name.
#include "net/reverse_dns.h"

#include <arpa/inet.h>

#include <string>

#include "net/posix/dns_query.h"

namespace {

std::string ptrQueryName(const in_addr& address) {
  const auto* b = reinterpret_cast<const unsigned char*>(&address);
  return std::to_string(b[3]) + "." + std::to_string(b[2]) + "." + std::to_string(b[1]) + "." +
         std::to_string(b[0]) + ".in-addr.arpa.";
}

}  // namespace

NameLookup reverseDnsName(const std::string& address, Deadline deadline) {
  NameLookup lookup;
  in_addr binary;
  const bool textHasNul = address.find('\0') != std::string::npos;
  if (textHasNul || inet_pton(AF_INET, address.c_str(), &binary) != 1) {
    lookup.answered = true;  // not dotted IPv4: no name, without asking anyone
    return lookup;
  }
  const DnsReply reply = askDns(ptrQueryName(binary), ns_t_ptr, deadline);
  if (reply.kind == DnsReply::Kind::failed) {
    lookup.reason = reply.reason;
    return lookup;
  }
  lookup.answered = true;
  if (reply.kind == DnsReply::Kind::noSuchName) return lookup;

  bool broken = false;
  bool foreign = false;  // a record that answers some other question
  const bool parsed = eachAnswerRecord(reply, [&](const ns_msg& message, const ns_rr& rr) {
    if (ns_rr_class(rr) == ns_c_in && ns_rr_type(rr) == ns_t_cname) return;  // on the way
    if (ns_rr_class(rr) != ns_c_in || ns_rr_type(rr) != ns_t_ptr) {
      foreign = true;
      return;
    }
    if (!lookup.name.empty()) return;
    char name[NS_MAXDNAME];
    if (ns_name_uncompress(ns_msg_base(message), ns_msg_end(message), ns_rr_rdata(rr), name,
                           sizeof name) < 0) {
      broken = true;
      return;
    }
    lookup.name = name;
  });
  if (!parsed || broken) {
    lookup = NameLookup{};
    lookup.reason = "malformed answer";
  } else if (lookup.name.empty() && foreign) {
    lookup = NameLookup{};
    lookup.reason = "answer of another type or class";
  }
  return lookup;
}
