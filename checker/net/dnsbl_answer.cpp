#include "net/dnsbl_answer.h"

#include "net/reverse_octets.h"

std::optional<std::string> dnsblQueryName(const std::string& address, const std::string& zone) {
  const std::string reversed = reverseIpv4Octets(address);
  if (reversed.empty()) return std::nullopt;
  return reversed + "." + zone;
}

LookupResult classifyDnsblAnswer(const std::vector<Ipv4Bytes>& records) {
  if (records.empty()) return clearResult();
  bool refusal = false;
  bool filtered = false;
  for (const Ipv4Bytes& a : records) {
    if (a[0] != 127) continue;  // a resolver's own address for every unknown name
    if (a[1] == 0 && a[2] == 0 && a[3] == 1) {
      filtered = true;  // lists never answer 127.0.0.1; DNS filters do
    } else if (a[1] == 255 && a[2] == 255) {
      refusal = true;  // the operator's "not answering you" codes
    } else {
      return flaggedResult();
    }
  }
  if (refusal) return failedResult("refused by the list");
  if (filtered) return failedResult("filtered by the resolver");
  return failedResult("not a listing code");
}
