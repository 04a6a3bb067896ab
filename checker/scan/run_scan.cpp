// One scan: the sources in catalogue order under the request's switches, the score, the verdict
// and the log lines. Every lookup is answered, flagged, or unanswered; an unanswered one is
// reported as "unknown" with its reason and adds nothing, so an offline scan never reads as clean.
// The whole scan runs under one deadline (scan/time_limit.h).
#include "scan/run_scan.h"

#include <algorithm>
#include <cstdint>
#include <functional>

#include "catalogue/catalogue.h"
#include "net/public_ip.h"
#include "net/tor_exit.h"
#include "scan/host_warmup.h"
#include "scan/time_limit.h"
#include "scan/web_sources.h"

namespace {

constexpr std::int32_t GEO_WEIGHT = 12;
constexpr std::int32_t IP_FLAGS_WEIGHT = 16;
constexpr std::int32_t IP_DETAILS_WEIGHT = 10;
constexpr std::int32_t DB_IP_WEIGHT = 8;
constexpr std::int32_t FREE_IP_API_WEIGHT = 8;
constexpr std::int32_t STOP_FORUM_SPAM_WEIGHT = 22;
constexpr std::int32_t TOR_WEIGHT = 40;
constexpr std::int32_t BLOCKLIST_WEIGHT = 18;

// Every IPv4 blocklist lists 127.0.0.2 and never 127.0.0.1, so that users can test it.
constexpr const char* LISTED_TEST_POINT = "127.0.0.2";
constexpr const char* UNLISTED_TEST_POINT = "127.0.0.1";

constexpr const char* DIRECT_FAILED = "refused via your DNS server; direct query failed";

struct Run {
  ScanReport report;
  std::int64_t score = 0;  // wide, so a huge risk number plus later additions cannot overflow
  Network net;             // the caller's network under the scan's deadline
  const ScanProgress& progress;
};

void announce(const Run& run, std::string_view key, std::string_view name) {
  if (run.progress) run.progress(key, name);
}

Status statusOf(const LookupResult& r) {
  switch (r.outcome) {
    case Lookup::flagged:
      return Status::bad;
    case Lookup::clear:
      return Status::clean;
    case Lookup::failed:
      break;
  }
  return Status::unknown;
}

// Appends the entry of a consulted source and returns whether it flagged the address.
bool record(Run& run, const SourceIdentity& id, const LookupResult& r) {
  addSource(run.report, std::string(id.name), std::string(id.domain), std::string(id.group),
            statusOf(r), r.outcome == Lookup::failed ? r.reason : std::string());
  return r.outcome == Lookup::flagged;
}

// A source switched off, or retired: the catalogue says why it is never asked.
void recordOff(Run& run, std::string_view key) {
  const SourceIdentity& id = sourceByKey(key);
  addSource(run.report, std::string(id.name), std::string(id.domain), std::string(id.group),
            Status::off, std::string(id.retired));
}

void logStatus(Run& run) {
  const SourceEntry& last = run.report.sources.back();
  run.report.logs.push_back(last.name + ": " + std::string(statusWord(last.status)));
}

template <typename Source>
void webSource(Run& run, std::string_view key, std::int32_t weight, Source source) {
  const SourceIdentity& id = sourceByKey(key);
  announce(run, key, id.name);
  if (record(run, id, source(run.report.ip, run.net))) run.score += weight;
}

void reputation(Run& run, const ScanOptions& options) {
  const SourceIdentity& risk = sourceByKey("proxyRisk");
  announce(run, risk.key, risk.name);
  const RiskResult rr = keyedProxyRisk(run.report.ip, run.net, options.keys);
  record(run, risk, rr.result);
  run.score = std::max<std::int64_t>(run.score, rr.risk);
  logStatus(run);

  webSource(run, "ipFlags", IP_FLAGS_WEIGHT, ipFlags);
  webSource(run, "ipDetails", IP_DETAILS_WEIGHT, ipDetails);
  if (scanModeOf(options.mode) == ScanMode::fast) {
    recordOff(run, "dbIp");
    recordOff(run, "freeIpApi");
  } else {
    webSource(run, "dbIp", DB_IP_WEIGHT, dbIp);
    webSource(run, "freeIpApi", FREE_IP_API_WEIGHT, freeIpApi);
  }
  webSource(run, "stopForumSpam", STOP_FORUM_SPAM_WEIGHT, stopForumSpam);
}

// A refusal the list explains gets the list's own reason.
LookupResult explainRefusal(const SourceIdentity& row, LookupResult r) {
  if (!r.refusalCode) return r;
  for (const RefusalCode& code : row.refusals) {
    if (code.lastOctet == *r.refusalCode) r.reason = code.reason;
  }
  return r;
}

constexpr const char* TEST_ENTRY_MISSING = "list out of service (its test entry is missing)";
constexpr const char* LISTS_HIDDEN = "your DNS server hides the lists (test entries missing)";

struct ListCheck {
  LookupResult result;
  bool testEntryMissing = false;
  bool testEntryAnswered = false;  // the test entry said what the list promises
};

// One way of asking a list about an address: through the resolver, or at its own servers.
using AskList = std::function<LookupResult(const std::string& address)>;

// A list that is gone answers "not listed" for every address, one taken over or misconfigured
// "listed": the test point that should say the opposite shows both. Only a test point that
// answered and contradicted the address's answer changes it, and only into "unknown".
ListCheck checkTestPoint(const AskList& ask, const LookupResult& r) {
  if (r.outcome == Lookup::failed) return {r};
  const bool listed = r.outcome == Lookup::flagged;
  const LookupResult test = ask(listed ? UNLISTED_TEST_POINT : LISTED_TEST_POINT);
  if (listed && test.outcome == Lookup::flagged) {
    return {failedResult("list answers every address")};
  }
  if (!listed && test.outcome == Lookup::clear) return {failedResult(TEST_ENTRY_MISSING), true};
  return {r, false, test.outcome != Lookup::failed};
}

bool refusesResolver(const SourceIdentity& row, const LookupResult& r) {
  if (!r.refusalCode) return false;
  for (const RefusalCode& code : row.refusals) {
    if (code.lastOctet == *r.refusalCode) return code.resolverRefused;
  }
  return false;
}

// A list that refuses the user's resolver, for the address or for its test entry, is asked
// again at its own name servers, both questions within one DIRECT_QUERY_LIMIT.
ListCheck blocklistRow(Run& run, const SourceIdentity& row) {
  const std::string zone(row.zone);
  bool refused = false;
  const AskList viaResolver = [&](const std::string& address) {
    LookupResult answer = run.net.dnsblListed(address, zone, NO_DEADLINE);
    refused = refused || refusesResolver(row, answer);
    return answer;
  };
  const ListCheck r = checkTestPoint(viaResolver, explainRefusal(row, viaResolver(run.report.ip)));
  if (!refused || !run.net.dnsblListedDirect) return r;

  const Deadline by = nowOn(run.net) + DIRECT_QUERY_LIMIT;
  const AskList direct = [&](const std::string& address) {
    LookupResult answer = run.net.dnsblListedDirect(address, zone, by);
    const bool timeLimited = answer.reason == TIME_LIMIT_REASON;
    if (answer.outcome == Lookup::failed && !answer.refusalCode && !timeLimited) {
      return failedResult(DIRECT_FAILED);
    }
    return answer;
  };
  return checkTestPoint(direct, explainRefusal(row, direct(run.report.ip)));
}

void blocklists(Run& run) {
  int missing = 0;
  int answered = 0;
  for (const SourceIdentity& row : blocklistSources()) {
    if (!row.retired.empty()) {
      recordOff(run, row.key);
      continue;
    }
    announce(run, row.key, row.name);
    const ListCheck check = blocklistRow(run, row);
    missing += check.testEntryMissing ? 1 : 0;
    answered += check.testEntryAnswered ? 1 : 0;
    if (record(run, row, check.result)) run.score += BLOCKLIST_WEIGHT;
  }
  // Every list without its test entry is the resolver's doing (one that says "no such name" to
  // everything), not several lists gone at once.
  if (missing >= 2 && answered == 0) {
    for (SourceEntry& entry : run.report.sources) {
      if (entry.detail == TEST_ENTRY_MISSING) entry.detail = LISTS_HIDDEN;
    }
  }

  const SourceIdentity& id = sourceByKey("reverseDns");
  announce(run, id.key, id.name);
  const NameLookup name = run.net.reverseDnsName(run.report.ip, NO_DEADLINE);
  // No name is a bad sign but adds no points; a lookup that failed says nothing either way.
  const LookupResult r = !name.answered      ? failedResult(name.reason)
                         : name.name.empty() ? flaggedResult()
                                             : clearResult();
  record(run, id, r);
}

// Every source after the echo, in report order; one switched off is recorded as off.
void askSources(Run& run, const ScanOptions& options);

}  // namespace

std::optional<ScanReport> runScanReport(const std::string& address, const ScanOptions& options,
                                        const Network& net, const ScanProgress& progress) {
  if (address.empty() && !options.autoIp) return std::nullopt;
  const bool discovers = address.empty();
  const Network bounded = withinDeadline(net, nowOn(net) + SCAN_TIME_LIMIT);
  Run run{{}, 0, afterHostWarmup(bounded, options, discovers), progress};
  run.report.ip = address;
  if (discovers) {
    const SourceIdentity& echo = sourceByKey("publicIpEcho");
    announce(run, echo.key, echo.name);
    if (auto discovered = discoverPublicIp(run.net)) run.report.ip = std::move(*discovered);
  }
  if (run.report.ip.empty()) return std::nullopt;
  run.report.mode = options.mode;
  run.report.logs.push_back("Starting C++ scan for " + run.report.ip);

  const SourceIdentity& echo = sourceByKey("publicIpEcho");
  addSource(run.report, std::string(echo.name), std::string(echo.domain), std::string(echo.group),
            Status::clean, "Public IP source");

  askSources(run, options);

  run.report.score = static_cast<std::int32_t>(std::clamp<std::int64_t>(run.score, 0, 100));
  run.report.verdict = verdictFor(run.report.score);
  run.report.logs.push_back("Scan complete: " + std::string(verdictWord(run.report.verdict)) +
                            " (" + std::to_string(run.report.score) + "%)");
  return std::move(run.report);
}

namespace {

void askSources(Run& run, const ScanOptions& options) {
  if (options.geo) {
    webSource(run, "geoLookup", GEO_WEIGHT, [&options](const std::string& ip, const Network& net) {
      return keyedGeoLookup(ip, net, options.keys);
    });
    logStatus(run);
  } else {
    recordOff(run, "geoLookup");
  }

  if (options.reputation) {
    reputation(run, options);
  } else {
    for (const char* key :
         {"proxyRisk", "ipFlags", "ipDetails", "dbIp", "freeIpApi", "stopForumSpam"}) {
      recordOff(run, key);
    }
  }

  if (options.tor) {
    webSource(run, "torExitList", TOR_WEIGHT, isTorExit);
  } else {
    recordOff(run, "torExitList");
  }

  if (options.dns) {
    blocklists(run);
  } else {
    for (const char* key :
         {"spamhaus", "spamCop", "sorbs", "spamRats", "barracuda", "reverseDns"}) {
      recordOff(run, key);
    }
  }

  const SourceIdentity& proxy = sourceByKey("windowsProxy");
  if (options.local) {
    announce(run, proxy.key, proxy.name);
    record(run, proxy, run.net.systemProxyInUse());
  } else {
    recordOff(run, "windowsProxy");
  }
}

}  // namespace

std::string runScan(const std::string& address, const ScanOptions& options, const Network& net,
                    const ScanProgress& progress) {
  const auto report = runScanReport(address, options, net, progress);
  return report ? writeScanResult(*report) : std::string(IP_REQUIRED_REPLY);
}
