// Every host, domain and zone the checker talks to or shows. Nothing else spells one.
#include "scan/catalogue.h"

#include <stdexcept>

std::array<SourceIdentity, SOURCE_COUNT> catalogue() {
  return {{
      {"publicIpEcho", "api.ipify.org", "api.ipify.org", "ip", "api.ipify.org"},
      {"geoLookup", "ipinfo.io", "ipinfo.io", "geo", "ipinfo.io"},
      {"proxyRisk", "proxycheck.io", "proxycheck.io", "rep", "proxycheck.io"},
      {"ipFlags", "ip-api.com", "ip-api.com", "rep", "ip-api.com"},
      {"ipDetails", "ipapi.co", "ipapi.co", "rep", "ipapi.co"},
      {"dbIp", "DB-IP", "db-ip.com", "rep", "api.db-ip.com"},
      {"freeIpApi", "FreeIPAPI", "freeipapi.com", "rep", "freeipapi.com"},
      {"stopForumSpam", "StopForumSpam", "stopforumspam.com", "rep", "api.stopforumspam.org"},
      {"torExitList", "Tor Project", "torproject.org", "tor", "check.torproject.org"},
      // The abuse-only Spamhaus zone: ZEN adds the policy list, which holds most home addresses.
      {"spamhaus", "Spamhaus", "spamhaus.org", "dns", "sbl-xbl.spamhaus.org"},
      {"spamCop", "SpamCop", "spamcop.net", "dns", "bl.spamcop.net"},
      {"sorbs", "SORBS", "sorbs.net", "dns", "dnsbl.sorbs.net"},
      // Spam sources only; the "all" zone adds dynamic-address and no-PTR policy lists.
      {"spamRats", "SpamRats", "spamrats.com", "dns", "spam.spamrats.com"},
      {"barracuda", "Barracuda", "barracudacentral.org", "dns", "b.barracudacentral.org"},
      {"reverseDns", "Reverse DNS", "iana.org", "dns", ""},
      systemProxySource(),
  }};
}

SourceIdentity sourceByKey(std::string_view key) {
  for (const SourceIdentity& source : catalogue()) {
    if (source.key == key) return source;
  }
  throw std::out_of_range("unknown source key");
}

std::vector<DnsblZone> blocklistTable() {
  std::vector<DnsblZone> table;
  for (const SourceIdentity& source : catalogue()) {
    if (source.group == "dns" && !source.target.empty()) {
      table.push_back(
          {std::string(source.target), std::string(source.domain), std::string(source.name)});
    }
  }
  return table;
}
