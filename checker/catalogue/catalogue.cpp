// Every host, domain and zone the checker talks to or shows. Nothing else spells one.
#include "catalogue/catalogue.h"

#include <stdexcept>

namespace {

std::array<SourceIdentity, SOURCE_COUNT> build() {
  return {{
      {.key = "publicIpEcho",
       .name = "api.ipify.org",
       .domain = "api.ipify.org",
       .group = "ip",
       .host = "api.ipify.org"},
      {.key = "geoLookup",
       .name = "ipinfo.io",
       .domain = "ipinfo.io",
       .group = "geo",
       .host = "ipinfo.io"},
      {.key = "proxyRisk",
       .name = "proxycheck.io",
       .domain = "proxycheck.io",
       .group = "rep",
       .host = "proxycheck.io"},
      {.key = "ipFlags",
       .name = "ip-api.com",
       .domain = "ip-api.com",
       .group = "rep",
       .host = "ip-api.com"},
      {.key = "ipDetails",
       .name = "ipapi.co",
       .domain = "ipapi.co",
       .group = "rep",
       .host = "ipapi.co"},
      {.key = "dbIp",
       .name = "DB-IP",
       .domain = "db-ip.com",
       .group = "rep",
       .host = "api.db-ip.com"},
      {.key = "freeIpApi",
       .name = "FreeIPAPI",
       .domain = "freeipapi.com",
       .group = "rep",
       .host = "freeipapi.com"},
      {.key = "stopForumSpam",
       .name = "StopForumSpam",
       .domain = "stopforumspam.com",
       .group = "rep",
       .host = "api.stopforumspam.org"},
      {.key = "torExitList",
       .name = "Tor Project",
       .domain = "torproject.org",
       .group = "tor",
       .host = "check.torproject.org"},
      // The abuse-only Spamhaus zone: ZEN adds the policy list, which holds most home addresses.
      {.key = "spamhaus",
       .name = "Spamhaus",
       .domain = "spamhaus.org",
       .group = "dns",
       .zone = "sbl-xbl.spamhaus.org"},
      {.key = "spamCop",
       .name = "SpamCop",
       .domain = "spamcop.net",
       .group = "dns",
       .zone = "bl.spamcop.net"},
      {.key = "sorbs",
       .name = "SORBS",
       .domain = "sorbs.net",
       .group = "dns",
       .zone = "dnsbl.sorbs.net"},
      // Spam sources only; the "all" zone adds dynamic-address and no-PTR policy lists.
      {.key = "spamRats",
       .name = "SpamRats",
       .domain = "spamrats.com",
       .group = "dns",
       .zone = "spam.spamrats.com"},
      {.key = "barracuda",
       .name = "Barracuda",
       .domain = "barracudacentral.org",
       .group = "dns",
       .zone = "b.barracudacentral.org"},
      {.key = "reverseDns", .name = "Reverse DNS", .domain = "iana.org", .group = "dns"},
      systemProxySource(),
  }};
}

}  // namespace

const std::array<SourceIdentity, SOURCE_COUNT>& catalogue() {
  static const std::array<SourceIdentity, SOURCE_COUNT> table = build();
  return table;
}

const SourceIdentity& sourceByKey(std::string_view key) {
  for (const SourceIdentity& source : catalogue()) {
    if (source.key == key) return source;
  }
  throw std::out_of_range("unknown source key");
}

std::span<const SourceIdentity> blocklistSources() {
  // The blocklists stand side by side in report order; the span runs from the first to the last.
  static const std::span<const SourceIdentity> rows = [] {
    const auto& all = catalogue();
    std::size_t first = 0;
    while (first < all.size() && all[first].zone.empty()) ++first;
    std::size_t end = first;
    while (end < all.size() && !all[end].zone.empty()) ++end;
    return std::span<const SourceIdentity>(all.data() + first, end - first);
  }();
  return rows;
}
