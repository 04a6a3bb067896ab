#include "net/windows/dns_query.h"

#include <cstring>

#include "net/failure.h"

DNS_STATUS askDns(const std::string& name, WORD type, DnsRecordList& records) {
  PDNS_RECORDA first = nullptr;
  const DNS_STATUS status = DnsQuery_UTF8(
      name.c_str(), type, DNS_QUERY_STANDARD | DNS_QUERY_NO_NETBT | DNS_QUERY_TREAT_AS_FQDN,
      nullptr, &first, nullptr);
  records.reset(first);
  return status;
}

std::vector<DnsRecord> answerRecords(const DnsRecordList& records) {
  std::vector<DnsRecord> answer;
  for (const DNS_RECORDA* record = records.get(); record != nullptr; record = record->pNext) {
    if (record->Flags.S.Section != DnsSectionAnswer) continue;
    DnsRecord read;
    if (record->wType == DNS_TYPE_CNAME) {
      read.kind = DnsRecord::Kind::cname;
    } else if (record->wType == DNS_TYPE_A && record->wDataLength == sizeof(IP4_ADDRESS)) {
      read.kind = DnsRecord::Kind::a;
      // IpAddress holds the address in network order: its bytes are the dotted parts in order.
      std::memcpy(read.address.data(), &record->Data.A.IpAddress, read.address.size());
    } else if (record->wType == DNS_TYPE_PTR) {
      read.kind = DnsRecord::Kind::ptr;
      if (record->Data.PTR.pNameHost != nullptr) read.name = record->Data.PTR.pNameHost;
    }
    answer.push_back(std::move(read));
  }
  return answer;
}

bool isNoSuchName(DNS_STATUS status) {
  return status == DNS_ERROR_RCODE_NAME_ERROR || status == DNS_INFO_NO_RECORDS;
}

std::string dnsFailureReason(DNS_STATUS status) {
  switch (status) {
    case ERROR_TIMEOUT:
      return failureWords(Failure::timeOut);
    case DNS_ERROR_RCODE_SERVER_FAILURE:
      return failureWords(Failure::serverFailure);
    case DNS_ERROR_RCODE_REFUSED:
      return failureWords(Failure::refusedByList);
    case DNS_ERROR_RCODE_FORMAT_ERROR:
      return failureWords(Failure::formatError);
    case DNS_ERROR_INVALID_NAME:
    case DNS_ERROR_INVALID_NAME_CHAR:
      return failureWords(Failure::malformedQueryName);
    case DNS_ERROR_BAD_PACKET:
      return failureWords(Failure::malformedAnswer);
    default:
      return "DNS error " + std::to_string(status);
  }
}
