#pragma once
// DNS messages of our own (RFC 1035 wire form), for a question put to a server we choose rather
// than to the system resolver: an A question without recursion, and the reading of its reply.
#include <cstdint>
#include <string>
#include <vector>

#include "net/dns_records.h"
#include "net/lookup.h"

using DnsMessage = std::vector<std::uint8_t>;

// A query for the A records of `name` (dotted, without the final dot), recursion not asked.
// Empty when the name is not well formed (isWellFormedQueryName).
DnsMessage dnsQueryA(const std::string& name, std::uint16_t id);

struct DnsAnswerA {
  enum class Kind { answer, noSuchName, truncated, failed } kind = Kind::failed;
  std::vector<DnsRecord> records;  // the answer section
  std::string reason;              // when failed
};

// The ID of a message (0 when it is too short to hold one).
std::uint16_t dnsMessageId(const DnsMessage& message);

// Reads `reply` as the answer to `query`: a reply with another ID or question, or one that is not
// a response, is failed; NXDOMAIN and an answer without records are noSuchName.
DnsAnswerA readDnsAnswerA(const DnsMessage& query, const DnsMessage& reply);

// A reply read as a blocklist reads it (dnsblAnswerOf); truncated counts as failed.
LookupResult dnsblResultOf(const DnsAnswerA& answer);
