#pragma once
// The records of a DNS answer section as each platform's resolver hands them over, and the two
// readings of them: a blocklist's A answer and a PTR answer. A CNAME on the way is passed over;
// records of another type or class alone are no answer to the question asked.
#include <string>
#include <vector>

#include "net/dnsbl_answer.h"
#include "net/lookup.h"

struct DnsRecord {
  // a: class IN, four bytes of address; ptr and cname: class IN; other: anything else.
  enum class Kind { a, ptr, cname, other } kind = Kind::other;
  Ipv4Bytes address{};     // a
  std::string name;        // ptr: the name it points to
  bool malformed = false;  // ptr: its name could not be read
};

// Blocklist answer: the A records read by classifyDnsblAnswer.
LookupResult dnsblAnswerOf(const std::vector<DnsRecord>& records);

// PTR answer: the first PTR record's name; answered without a name when there is none.
NameLookup ptrAnswerOf(const std::vector<DnsRecord>& records);
