// The free tiers' published limits, each with where it is published. A service that counts per
// calendar day or month is held to the same number in any 24 hours or 30 days, which is never
// more than it allows.
#include "scan/rate_limits.h"

#include <array>
#include <utility>

namespace {

constexpr std::int64_t MINUTE = 60;
constexpr std::int64_t DAY = 24 * 60 * MINUTE;
constexpr std::int64_t MONTH = 30 * DAY;

struct Row {
  std::string_view key;
  RateLimit limit;
};

constexpr std::array<Row, 9> LIMITS = {{
    // https://www.ipify.org/ : "use it without limit, even if you're doing millions of
    // requests per minute".
    {"publicIpEcho", {0, 0}},
    // https://ipinfo.io/pricing and https://community.ipinfo.io/t/5755 : the free plan's
    // monthly allowance is 50,000 requests, with no daily cap.
    {"geoLookup", {50000, MONTH}},
    // https://proxycheck.io/api/ (Service Limits): 100 queries a day for unregistered users.
    {"proxyRisk", {100, DAY}},
    // https://ip-api.com/docs/unban : 45 HTTP requests per minute on the free endpoints.
    {"ipFlags", {45, MINUTE}},
    // https://ipapi.co/pricing/ : the free plan has 1,000 requests a day.
    {"ipDetails", {1000, DAY}},
    // https://db-ip.com/api/ : a free key has 2,000 queries per day; the keyless free
    // endpoint is held to the same.
    {"dbIp", {2000, DAY}},
    // https://freeipapi.com/rate-limit : the free plan allows 60 requests per minute.
    {"freeIpApi", {60, MINUTE}},
    // https://www.stopforumspam.com/usage : API queries are limited to 20,000 per day.
    {"stopForumSpam", {20000, DAY}},
    // https://check.torproject.org/torbulkexitlist publishes no limit; a run fetches it once.
    {"torExitList", {0, 0}},
}};

}  // namespace

RateLimit rateLimitOf(std::string_view key) {
  for (const Row& row : LIMITS) {
    if (row.key == key) return row.limit;
  }
  return {};
}
