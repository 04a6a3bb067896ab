// Every host, domain and zone the checker talks to or shows. Nothing else spells one.
#include "catalogue/catalogue.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace {

// Spamhaus tells why it will not answer; a person can act on each of these. The first is what
// most home routers get: they forward to a public resolver.
constexpr RefusalCode SPAMHAUS_REFUSALS[] = {
    {252, "refused: the list found the query malformed"},
    {254, "refused: queries via public DNS resolvers are blocked", true},
    {255, "refused: the resolver sent too many queries", true},
};

// A service that counts per calendar day is held to the same number in any 24 hours, which is
// never more than it allows.
constexpr std::int64_t MINUTE = 60;
constexpr std::int64_t DAY = 24 * 60 * MINUTE;

// Every source but the last, the system proxy, which differs per platform.
constexpr SourceIdentity PORTABLE_SOURCES[] = {
    // https://www.ipify.org/ : "use it without limit", even millions of requests a minute.
    {.key = "publicIpEcho",
     .name = "api.ipify.org",
     .domain = "api.ipify.org",
     .group = "ip",
     .host = "api.ipify.org"},
    {.key = "geoLookup",
     .name = "ipinfo.io",
     .domain = "ipinfo.io",
     .group = "geo",
     .host = "ipinfo.io",
     // Without a token: 1,000 requests a day per address (IPinfo staff, September 2024; the
     // 50,000 a month of https://ipinfo.io/pricing need a free account's token).
     .freeTier = {1000, DAY},
     // https://ipinfo.io/developers/lite-api : a free account's token opens the Lite API,
     // which "has no daily or monthly limit"; its answer still names the network's owner.
     .keyedHost = "api.ipinfo.io"},
    {.key = "proxyRisk",
     .name = "proxycheck.io",
     .domain = "proxycheck.io",
     .group = "rep",
     .host = "proxycheck.io",
     // https://proxycheck.io/api/ (service limits): 100 queries a day unregistered.
     .freeTier = {100, DAY},
     // The same page: 1,000 queries a day with a free account's key ("&key=").
     .keyedFreeTier = {1000, DAY}},
    {.key = "ipFlags",
     .name = "ip-api.com",
     .domain = "ip-api.com",
     .group = "rep",
     .host = "ip-api.com",
     // https://ip-api.com/docs/unban : 45 HTTP requests a minute on the free endpoints.
     .freeTier = {45, MINUTE}},
    {.key = "ipDetails",
     .name = "ipapi.co",
     .domain = "ipapi.co",
     .group = "rep",
     .host = "ipapi.co",
     // https://ipapi.co/pricing/ : the free plan has 1,000 requests a day.
     .freeTier = {1000, DAY}},
    {.key = "dbIp",
     .name = "DB-IP",
     .domain = "db-ip.com",
     .group = "rep",
     .host = "api.db-ip.com",
     // https://db-ip.com/api/ : the keyless free endpoint answers about 1,000 queries a day
     // per address.
     .freeTier = {1000, DAY}},
    {.key = "freeIpApi",
     .name = "FreeIPAPI",
     .domain = "freeipapi.com",
     .group = "rep",
     .host = "freeipapi.com",
     // https://freeipapi.com/rate-limit : the free plan allows 60 requests a minute.
     .freeTier = {60, MINUTE}},
    {.key = "stopForumSpam",
     .name = "StopForumSpam",
     .domain = "stopforumspam.com",
     .group = "rep",
     .host = "api.stopforumspam.org",
     // https://www.stopforumspam.com/usage : API queries are limited to 20,000 a day.
     .freeTier = {20000, DAY}},
    // https://check.torproject.org/torbulkexitlist publishes no limit; a run of many
    // scans fetches it once.
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
     .zone = "sbl-xbl.spamhaus.org",
     .refusals = SPAMHAUS_REFUSALS},
    {.key = "spamCop",
     .name = "SpamCop",
     .domain = "spamcop.net",
     .group = "dns",
     .zone = "bl.spamcop.net"},
    {.key = "sorbs",
     .name = "SORBS",
     .domain = "sorbs.net",
     .group = "dns",
     .zone = "dnsbl.sorbs.net",
     // Closed on 5 June 2024; its servers no longer answer, so asking only costs a time-out.
     .retired = "list closed in June 2024"},
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
};
static_assert(std::size(PORTABLE_SOURCES) == SOURCE_COUNT - 1);

}  // namespace

const std::array<SourceIdentity, SOURCE_COUNT>& catalogue() {
  static const std::array<SourceIdentity, SOURCE_COUNT> table = [] {
    std::array<SourceIdentity, SOURCE_COUNT> all{};
    std::copy(std::begin(PORTABLE_SOURCES), std::end(PORTABLE_SOURCES), all.begin());
    all.back() = systemProxySource();
    return all;
  }();
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
