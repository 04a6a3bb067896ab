#include "net/dns_records.h"

#include "net/failure.h"

LookupResult dnsblAnswerOf(const std::vector<DnsRecord>& records) {
  std::vector<Ipv4Bytes> addresses;
  bool foreign = false;  // a record that answers some other question
  for (const DnsRecord& record : records) {
    if (record.kind == DnsRecord::Kind::a) {
      addresses.push_back(record.address);
    } else if (record.kind != DnsRecord::Kind::cname) {
      foreign = true;
    }
  }
  if (addresses.empty() && foreign) return failedResult(failureWords(Failure::anotherType));
  return classifyDnsblAnswer(addresses);
}

NameLookup ptrAnswerOf(const std::vector<DnsRecord>& records) {
  NameLookup lookup{true, {}, {}};
  bool foreign = false;
  bool broken = false;
  for (const DnsRecord& record : records) {
    if (record.kind == DnsRecord::Kind::cname) continue;
    if (record.kind != DnsRecord::Kind::ptr) {
      foreign = true;
    } else if (lookup.name.empty()) {
      broken = broken || record.malformed;
      lookup.name = record.name;
    }
  }
  if (broken) return NameLookup{false, {}, failureWords(Failure::malformedAnswer)};
  if (lookup.name.empty() && foreign)
    return NameLookup{false, {}, failureWords(Failure::anotherType)};
  return lookup;
}
