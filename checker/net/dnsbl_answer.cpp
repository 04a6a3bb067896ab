#include "net/dnsbl_answer.h"

#include "net/reverse_octets.h"

std::optional<std::string> dnsblQueryName(const std::string& address, const std::string& zone) {
  const std::string reversed = reverseIpv4Octets(address);
  if (reversed.empty()) return std::nullopt;
  return reversed + "." + zone;
}

bool isWellFormedQueryName(const std::string& name) {
  constexpr std::size_t MAX_NAME = 253;
  constexpr std::size_t MAX_LABEL = 63;
  if (name.empty() || name.size() > MAX_NAME) return false;
  std::size_t labelStart = 0;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    if (i == name.size() || name[i] == '.') {
      const std::size_t length = i - labelStart;
      if (length == 0 || length > MAX_LABEL) return false;
      labelStart = i + 1;
    }
  }
  return true;
}

LookupResult classifyDnsblAnswer(const std::vector<Ipv4Bytes>& records) {
  if (records.empty()) return clearResult();
  std::optional<std::uint8_t> refusal;
  bool filtered = false;
  for (const Ipv4Bytes& a : records) {
    if (a[0] != 127) continue;  // a resolver's own address for every unknown name
    if (a[1] == 0 && a[2] == 0 && a[3] == 1) {
      filtered = true;  // lists never answer 127.0.0.1; DNS filters do
    } else if (a[1] == 255 && a[2] == 255) {
      if (!refusal) refusal = a[3];  // the operator's "not answering you" codes
    } else {
      return flaggedResult();
    }
  }
  if (refusal) {
    LookupResult refused = failedResult("refused by the list");
    refused.refusalCode = refusal;
    return refused;
  }
  if (filtered) return failedResult("filtered by the resolver");
  return failedResult("not a listing code");
}
