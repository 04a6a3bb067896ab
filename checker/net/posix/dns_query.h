#pragma once
// One question to the system resolver on a resolver state of the call's own (res_ninit /
// res_nquery / res_nclose; scans run on several threads at once), and a walk over the records
// of the answer section (ns_initparse / ns_parserr). Used by the blocklist and PTR lookups.
#include <arpa/nameser.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "net/deadline.h"
#include "net/dns_records.h"

struct DnsReply {
  enum class Kind { answer, noSuchName, failed } kind = Kind::failed;
  std::vector<unsigned char> message;  // the whole answer, when kind is answer
  std::string reason;                  // when failed: "time-out", "server failure", ...
};

// noSuchName: NXDOMAIN, or the name exists without a record of this type. A reply that was
// truncated, or that the resolver ignored (another ID or question), is never an answer.
// The question is not sent when the deadline leaves less than the resolver's smallest wait.
DnsReply askDns(const std::string& name, ns_type type, Deadline deadline);

// The records of the answer section, PTR names read; nothing when the message does not parse.
std::optional<std::vector<DnsRecord>> answerRecords(const DnsReply& reply);

// Calls visit for each record of the answer section; false when the message does not parse.
bool eachAnswerRecord(const DnsReply& reply,
                      const std::function<void(const ns_msg&, const ns_rr&)>& visit);
