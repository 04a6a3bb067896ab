#pragma once
// One question to the Windows DNS client: DnsQuery_UTF8 with the name asked fully qualified
// (DNS_QUERY_TREAT_AS_FQDN, so the machine's suffix search list is never appended after an
// NXDOMAIN) and NetBIOS left out (a short name the DNS does not know would otherwise be
// broadcast on the local network, carrying the scanned address with it). DnsFree with
// DnsFreeRecordList releases the records.
// clang-format off
#include <windows.h>
#include <windns.h>
// clang-format on

#include <memory>
#include <string>
#include <vector>

#include "net/dns_records.h"

struct DnsRecordListFree {
  void operator()(DNS_RECORDA* records) const { DnsFree(records, DnsFreeRecordList); }
};
using DnsRecordList = std::unique_ptr<DNS_RECORDA, DnsRecordListFree>;

DNS_STATUS askDns(const std::string& name, WORD type, DnsRecordList& records);

// The records of the answer section (the DNS client answers class IN only).
std::vector<DnsRecord> answerRecords(const DnsRecordList& records);

// NXDOMAIN, or the name without a record of the type asked.
bool isNoSuchName(DNS_STATUS status);

// The same short words as the other platforms' resolver.
std::string dnsFailureReason(DNS_STATUS status);
