// Whole scans over a scripted network: statuses, score, verdict, log lines and the exact
// requests made.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <nlohmann/json.hpp>
#include <string_view>
#include <utility>

#include "catalogue/catalogue.h"
#include "fake_network.h"
#include "scan/run_scan.h"
#include "service_bodies.h"

namespace {

using Tweak = std::function<void(FakeNetwork&)>;

FakeNetwork quietNetwork() {
  using namespace bodies;
  FakeNetwork f;
  f.http["api.ipify.org"] = okBody(R"({"ip":"203.0.113.42"})");
  f.http["ipinfo.io"] = okBody(IPINFO_HOME);
  f.http["proxycheck.io"] = okBody(proxycheck("no", "0"));
  f.http["ip-api.com"] = okBody(IPAPI_COM_HOME);
  f.http["ipapi.co"] = okBody(IPAPI_CO_HOME);
  f.http["api.db-ip.com"] = okBody(DBIP_HOME);
  f.http["freeipapi.com"] = okBody(FREEIPAPI_HOME);
  f.http["api.stopforumspam.org"] = okBody(SFS_HOME);
  f.http["check.torproject.org"] = okBody(TOR_LIST);
  return f;
}

Tweak risk(const std::string& n) {
  return [n](FakeNetwork& f) { f.http["proxycheck.io"] = okBody(bodies::proxycheck("no", n)); };
}
Tweak geoHosting() {
  return [](FakeNetwork& f) { f.http["ipinfo.io"] = okBody(bodies::IPINFO_OVH); };
}
Tweak listedIn(std::initializer_list<const char*> zones) {
  std::vector<std::string> z(zones.begin(), zones.end());
  return [z](FakeNetwork& f) {
    for (const auto& zone : z) f.dnsbl[zone] = {Lookup::flagged, ""};
  };
}
Tweak torList(const std::string& list) {
  return [list](FakeNetwork& f) { f.http["check.torproject.org"] = okBody(list); };
}
Tweak both(Tweak a, Tweak b) {
  return [a, b](FakeNetwork& f) {
    a(f);
    b(f);
  };
}
Tweak nothing() {
  return [](FakeNetwork&) {};
}

const std::initializer_list<const char*> ALL_ZONES = {"sbl-xbl.spamhaus.org", "bl.spamcop.net",
                                                      "dnsbl.sorbs.net", "spam.spamrats.com",
                                                      "b.barracudacentral.org"};

ScanOptions allOff() {
  ScanOptions o;
  o.geo = o.reputation = o.tor = o.dns = o.local = false;
  return o;
}

std::string statusLetters(const nlohmann::json& reply) {
  std::string letters;
  for (const auto& s : reply["sources"]) letters += s["status"].get<std::string>()[0];
  return letters;
}

struct Scenario {
  const char* name;
  Tweak tweak;
  ScanOptions options;
  int score;
  const char* verdict;
  const char* statuses;  // c(lean) b(ad) o(ff) u(nknown), one letter per entry in report order
  std::size_t logLines;
};

TEST(RunScan, ScoresAndVerdicts) {
  ScanOptions fast;
  fast.mode = "fast";
  ScanOptions fastNoRep = fast;
  fastNoRep.reputation = false;
  ScanOptions noRep;
  noRep.reputation = false;
  const Scenario scenarios[] = {
      {"nothing found", nothing(), {}, 0, "Clean", "cccccccccccocccc", 4},
      {"worked total: max(12,30)+16+2*18",
       both(both(geoHosting(), risk("30")),
            both(listedIn({"sbl-xbl.spamhaus.org", "bl.spamcop.net"}),
                 [](FakeNetwork& f) { f.http["ip-api.com"] = okBody(bodies::IPAPI_COM_HOSTING); })),
       {},
       82,
       "High risk",
       "cbcbcccccbbocccc",
       4},
      {"every list asked", listedIn(ALL_ZONES), {}, 72, "Suspicious", "cccccccccbbobbcc", 4},
      {"Tor exit alone",
       torList("10.0.0.1\n198.51.100.23\n"),
       {},
       40,
       "Watchlist",
       "ccccccccbccocccc",
       4},
      {"Tor plus one blocklist",
       both(torList("198.51.100.23\n"), listedIn({"bl.spamcop.net"})),
       {},
       58,
       "Suspicious",
       "ccccccccbcbocccc",
       4},
      {"Tor list holds a longer address only",
       torList("198.51.100.230\n11.198.51.100.23\n"),
       {},
       0,
       "Clean",
       "cccccccccccocccc",
       4},
      {"risk 30 without a mark", risk("30"), {}, 30, "Watchlist", "cccccccccccocccc", 4},
      {"risk 45 alone", risk("45"), {}, 45, "Suspicious", "ccbccccccccocccc", 4},
      {"risk 150 clamps", risk("150"), {}, 100, "High risk", "ccbccccccccocccc", 4},
      {"negative risk", risk("-20"), {}, 0, "Clean", "cccccccccccocccc", 4},
      {"larger-of keeps 12, not 22",
       both(geoHosting(), risk("10")),
       {},
       12,
       "Clean",
       "cbcccccccccocccc",
       4},
      {"boundary 19", risk("19"), {}, 19, "Clean", "cccccccccccocccc", 4},
      {"boundary 20", risk("20"), {}, 20, "Watchlist", "cccccccccccocccc", 4},
      {"boundary 44", risk("44"), {}, 44, "Watchlist", "cccccccccccocccc", 4},
      {"boundary 74", risk("74"), {}, 74, "Suspicious", "ccbccccccccocccc", 4},
      {"boundary 75", risk("75"), {}, 75, "High risk", "ccbccccccccocccc", 4},
      {"risk near the 32-bit top still clamps",
       both(both(risk("2147483647"), torList("198.51.100.23\n")), listedIn(ALL_ZONES)),
       {},
       100,
       "High risk",
       "ccbcccccbbbobbcc",
       4},
      {"every switch off", nothing(), allOff(), 0, "Clean", "cooooooooooooooo", 2},
      {"fast mode skips two", nothing(), fast, 0, "Clean", "cccccooccccocccc", 4},
      {"reputation off ignores fast", risk("90"), fastNoRep, 0, "Clean", "ccoooooocccocccc", 3},
      {"reputation off: no larger-of", both(geoHosting(), risk("90")), noRep, 12, "Clean",
       "cboooooocccocccc", 3},
      {"no reverse name is bad but free",
       [](FakeNetwork& f) {
         f.reverse = {true, "", ""};
       },
       {},
       0,
       "Clean",
       "cccccccccccoccbc",
       4},
      {"listed but named", listedIn({"bl.spamcop.net"}), {}, 18, "Clean", "ccccccccccbocccc", 4},
      {"proxy in use is bad but free",
       [](FakeNetwork& f) {
         f.proxy = {Lookup::flagged, ""};
       },
       {},
       0,
       "Clean",
       "cccccccccccocccb",
       4},
  };
  for (const auto& s : scenarios) {
    SCOPED_TRACE(s.name);
    FakeNetwork fake = quietNetwork();
    s.tweak(fake);
    const auto reply = nlohmann::json::parse(runScan("198.51.100.23", s.options, fake.network()));
    EXPECT_EQ(reply["score"], s.score);
    EXPECT_EQ(reply["verdict"], s.verdict);
    EXPECT_EQ(statusLetters(reply), s.statuses);
    ASSERT_EQ(reply["logs"].size(), s.logLines);
    EXPECT_EQ(reply["logs"][0], "Starting C++ scan for 198.51.100.23");
    EXPECT_EQ(reply["logs"].back(),
              std::string("Scan complete: ") + s.verdict + " (" + std::to_string(s.score) + "%)");
  }
}

TEST(RunScan, ModeIsFastOnlyWhenExactlyFast) {
  for (const char* mode : {"deep", "Fast", "fast ", "", "FAST"}) {
    FakeNetwork fake = quietNetwork();
    ScanOptions o;
    o.mode = mode;
    const auto reply = nlohmann::json::parse(runScan("198.51.100.23", o, fake.network()));
    EXPECT_EQ(statusLetters(reply), "cccccccccccocccc") << mode;
    EXPECT_EQ(reply["mode"], mode);
  }
}

const std::vector<std::string> DEEP_REQUESTS = {
    "https://ipinfo.io/198.51.100.23",
    "https://proxycheck.io/v2/198.51.100.23?vpn=1&asn=1&risk=1",
    "http://ip-api.com/json/198.51.100.23?fields=status,proxy,hosting",
    "https://ipapi.co/198.51.100.23/json/",
    "https://api.db-ip.com/v2/free/198.51.100.23",
    "https://freeipapi.com/api/json/198.51.100.23",
    "https://api.stopforumspam.org/api?ip=198.51.100.23&json",
    "https://check.torproject.org/torbulkexitlist",
    "dns sbl-xbl.spamhaus.org 198.51.100.23",
    "dns sbl-xbl.spamhaus.org 127.0.0.2",
    "dns bl.spamcop.net 198.51.100.23",
    "dns bl.spamcop.net 127.0.0.2",
    "dns spam.spamrats.com 198.51.100.23",
    "dns spam.spamrats.com 127.0.0.2",
    "dns b.barracudacentral.org 198.51.100.23",
    "dns b.barracudacentral.org 127.0.0.2",
    "ptr 198.51.100.23",
    "proxy",
};

TEST(RunScan, MakesEveryRequestOnceInCatalogueOrder) {
  FakeNetwork fake = quietNetwork();
  runScan("198.51.100.23", {}, fake.network());
  EXPECT_EQ(fake.calls, DEEP_REQUESTS);

  FakeNetwork fastFake = quietNetwork();
  ScanOptions fast;
  fast.mode = "fast";
  fast.dns = fast.local = fast.tor = false;
  runScan("198.51.100.23", fast, fastFake.network());
  EXPECT_EQ(fastFake.calls.size(), 5u) << "geo, risk, flags, details, forum spam";
  fast.tor = true;
  FakeNetwork withTor = quietNetwork();
  runScan("198.51.100.23", fast, withTor.network());
  EXPECT_EQ(withTor.calls.size(), 6u);
}

TEST(RunScan, EveryAnswerIsDeliberatelyScannedEvenAtFullScore) {
  FakeNetwork fake = quietNetwork();
  risk("100")(fake);
  runScan("198.51.100.23", {}, fake.network());
  EXPECT_EQ(fake.calls, DEEP_REQUESTS);
}

// A blocklist row is checked against the list's test entries: only a test entry that answered and
// contradicted the address's answer turns the row into "unknown". A refusal the list explains
// carries the list's own reason. A list that refuses the user's resolver (for the address or the
// test entry) is asked again at its own name servers, test entry included, and read the same way.
TEST(RunScan, BlocklistRowsAreCheckedAgainstTheListsTestEntries) {
  const LookupResult listed = flaggedResult();
  const LookupResult clear = clearResult();
  const LookupResult timeOut = failedResult("time-out");
  const auto refusal = [](std::uint8_t code) {
    LookupResult r = failedResult("refused by the list");
    r.refusalCode = code;
    return r;
  };
  const LookupResult blocked = refusal(254);  // the code public resolvers get
  const LookupResult refused = failedResult("refused by the list");  // REFUSED, no code
  struct Case {
    const char* zone;
    LookupResult address;
    LookupResult testPoint;
    const char* status;
    int score;
    const char* detail;
    // The zone's questions after the address's own: "dns" through the resolver, "direct" at the
    // list's name servers, each with the address asked.
    std::vector<std::string> then;
    LookupResult direct = failedResult("time-out");  // at the zone's own servers
    LookupResult directTest = flaggedResult();
  };
  const char* SPAMHAUS = "sbl-xbl.spamhaus.org";
  const char* SPAMCOP = "bl.spamcop.net";
  const char* OUT_OF_SERVICE = "list out of service (its test entry is missing)";
  const char* PUBLIC_RESOLVER = "refused: queries via public DNS resolvers are blocked";
  const char* DIRECT_FAILED = "refused via your DNS server; direct query failed";
  const std::string ADDRESS = "198.51.100.23";
  const std::string DIRECT = "direct " + ADDRESS;
  const std::string TEST_1 = "direct 127.0.0.1";
  const std::string TEST_2 = "direct 127.0.0.2";
  const char* MALFORMED = "refused: the list found the query malformed";
  const Case cases[] = {
      {SPAMHAUS, listed, clear, "bad", 18, "", {"dns 127.0.0.1"}},
      {SPAMHAUS, listed, listed, "unknown", 0, "list answers every address", {"dns 127.0.0.1"}},
      {SPAMHAUS, listed, timeOut, "bad", 18, "", {"dns 127.0.0.1"}},
      {SPAMHAUS, clear, listed, "clean", 0, "", {"dns 127.0.0.2"}},
      {SPAMHAUS, clear, clear, "unknown", 0, OUT_OF_SERVICE, {"dns 127.0.0.2"}},
      {SPAMHAUS, clear, timeOut, "clean", 0, "", {"dns 127.0.0.2"}},
      {SPAMHAUS, timeOut, listed, "unknown", 0, "time-out", {}},
      {SPAMHAUS, timeOut, clear, "unknown", 0, "time-out", {}},
      {SPAMHAUS, timeOut, timeOut, "unknown", 0, "time-out", {}},
      {SPAMCOP, blocked, listed, "unknown", 0, "refused by the list", {}, listed},
      {SPAMHAUS, refusal(252), listed, "unknown", 0, MALFORMED, {}, listed},
      // The resolver is refused: the list's own servers decide.
      {SPAMHAUS, blocked, listed, "bad", 18, "", {DIRECT, TEST_1}, listed, clear},
      {SPAMHAUS, refusal(255), listed, "bad", 18, "", {DIRECT, TEST_1}, listed, clear},
      {SPAMHAUS, blocked, listed, "clean", 0, "", {DIRECT, TEST_2}, clear},
      {SPAMHAUS, blocked, listed, "unknown", 0, OUT_OF_SERVICE, {DIRECT, TEST_2}, clear, clear},
      {SPAMHAUS, blocked, listed, "clean", 0, "", {DIRECT, TEST_2}, clear, timeOut},
      {SPAMHAUS, clear, blocked, "bad", 18, "", {"dns 127.0.0.2", DIRECT, TEST_1}, listed, clear},
      {SPAMHAUS, blocked, listed, "unknown", 0, DIRECT_FAILED, {DIRECT}},
      {SPAMHAUS, blocked, listed, "unknown", 0, DIRECT_FAILED, {DIRECT}, refused},
      {SPAMHAUS, blocked, listed, "unknown", 0, PUBLIC_RESOLVER, {DIRECT}, blocked},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.zone) + " " + describe(c.address) + " / " + describe(c.testPoint) +
                 " / direct " + describe(c.direct));
    FakeNetwork fake = quietNetwork();
    fake.dnsbl[c.zone] = c.address;
    fake.testPoint[c.zone] = c.testPoint;
    fake.direct[c.zone] = c.direct;
    fake.directTestPoint[c.zone] = c.directTest;
    const auto reply = nlohmann::json::parse(runScan(ADDRESS, {}, fake.network()));
    const std::size_t row = std::string(c.zone) == SPAMHAUS ? 9 : 10;
    EXPECT_EQ(reply["sources"][row]["status"], c.status);
    EXPECT_EQ(reply["sources"][row]["detail"], c.detail);
    EXPECT_EQ(reply["score"], c.score);
    // Every request of a deep scan, with this zone's questions as the case says.
    std::vector<std::string> expected = DEEP_REQUESTS;
    const auto test =
        std::find(expected.begin(), expected.end(), "dns " + std::string(c.zone) + " 127.0.0.2");
    auto at = expected.erase(test);
    for (const std::string& call : c.then) {
      const std::size_t space = call.find(' ');
      at = expected.insert(at, call.substr(0, space) + " " + c.zone + call.substr(space)) + 1;
    }
    EXPECT_EQ(fake.calls, expected);
  }
}

// A resolver that says "no such name" to everything hides every list, test entries included: the
// rows name the resolver. One list whose test entry answers shows the others are really gone.
TEST(RunScan, MissingTestEntriesOfEveryListNameTheResolver) {
  const char* hidden = "your DNS server hides the lists (test entries missing)";
  const char* gone = "list out of service (its test entry is missing)";
  struct Case {
    const char* name;
    std::vector<const char*> zonesWithTestEntry;
    const char* detail;
  } cases[] = {
      {"every test entry missing", {}, hidden},
      {"one list keeps its test entry", {"spam.spamrats.com"}, gone},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeNetwork fake = quietNetwork();
    for (const char* zone : ALL_ZONES) fake.testPoint[zone] = {Lookup::clear, ""};
    for (const char* zone : c.zonesWithTestEntry) fake.testPoint[zone] = {Lookup::flagged, ""};
    const auto reply = nlohmann::json::parse(runScan("198.51.100.23", {}, fake.network()));
    EXPECT_EQ(reply["sources"][9]["detail"], c.detail);
    EXPECT_EQ(reply["sources"][11]["detail"], "list closed in June 2024");
  }
}

// Both direct questions of a row share one limit, under the scan's own.
TEST(RunScan, DirectQuestionsShareOneLimitWithinTheScans) {
  FakeNetwork fake = quietNetwork();
  fake.callTime = std::chrono::milliseconds(1500);
  LookupResult publicResolver = failedResult("refused by the list");
  publicResolver.refusalCode = 254;
  fake.dnsbl["sbl-xbl.spamhaus.org"] = publicResolver;
  fake.direct["sbl-xbl.spamhaus.org"] = clearResult();
  runScan("198.51.100.23", {}, fake.network());
  const auto at =
      std::find(fake.calls.begin(), fake.calls.end(), "direct sbl-xbl.spamhaus.org 198.51.100.23");
  ASSERT_NE(at, fake.calls.end());
  const auto i = static_cast<std::size_t>(at - fake.calls.begin());
  EXPECT_EQ(fake.givenMs[i], 4000);
  EXPECT_EQ(fake.givenMs[i + 1], 2500);

  FakeNetwork late;  // the refusal comes as the scan's time runs out
  late.callTime = std::chrono::seconds(10);
  late.dnsbl["sbl-xbl.spamhaus.org"] = publicResolver;
  const auto reply = nlohmann::json::parse(runScan("198.51.100.23", {}, late.network()));
  EXPECT_EQ(reply["sources"][9]["detail"], "scan time limit");
  EXPECT_EQ(late.calls.back(), "dns sbl-xbl.spamhaus.org 198.51.100.23");
}

// The whole scan ends by its time limit: calls run under the time left, and a lookup not
// started by then is "unknown". A network that answers in time changes nothing.
TEST(RunScan, TheWholeScanEndsByItsTimeLimit) {
  FakeNetwork dead;  // no host answers, and every call takes 12 s
  dead.callTime = std::chrono::seconds(12);
  // The last web call is cut by the deadline mid-body: the part that came is no answer.
  dead.http["check.torproject.org"] = HttpResult{true, 200, "192.0.2.1\n", "time-out"};
  const auto reply = nlohmann::json::parse(runScan("198.51.100.23", {}, dead.network()));
  const std::vector<long> given = {90000, 78000, 66000, 54000, 42000, 30000, 18000, 6000};
  EXPECT_EQ(dead.givenMs, given) << "the eight web requests, then no time is left";
  EXPECT_EQ(dead.calls.size(), given.size());
  EXPECT_EQ(statusLetters(reply), "cuuuuuuuuuuouuuu");
  const auto& s = reply["sources"];
  for (std::size_t i = 8; i < 16; ++i) {
    if (i != 11) {
      EXPECT_EQ(s[i]["detail"], "scan time limit") << i;
    }
  }

  FakeNetwork slow = quietNetwork();  // 18 calls of 4 s each fit in the limit
  slow.callTime = std::chrono::seconds(4);
  const auto slowReply = nlohmann::json::parse(runScan("198.51.100.23", {}, slow.network()));
  EXPECT_EQ(slow.calls, DEEP_REQUESTS);
  EXPECT_EQ(statusLetters(slowReply), "cccccccccccocccc");
}

TEST(RunScan, AddressDiscovery) {
  struct Case {
    const char* name;
    std::string address;
    bool autoIp;
    HttpResult echo;
    bool required;  // answers "IP required"
    std::size_t calls;
    const char* scanned;
  };
  const Case cases[] = {
      {"no address, no auto", "", false, okBody(R"({"ip":"1.1.1.1"})"), true, 0, ""},
      {"discovery fails", "", true, noAnswer("time-out"), true, 1, ""},
      {"discovery answers 500", "", true, statusBody(500, R"({"ip":"1.1.1.1"})"), true, 1, ""},
      {"discovery without ip", "", true, okBody(R"({"error":"x"})"), true, 1, ""},
      {"discovery yields empty", "", true, okBody(R"({"ip":""})"), true, 1, ""},
      {"discovered address is scanned", "", true, okBody(R"({"ip":"203.0.113.42"})"), false, 19,
       "203.0.113.42"},
      {"given address wins over auto", "198.51.100.23", true, okBody(R"({"ip":"203.0.113.42"})"),
       false, 18, "198.51.100.23"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeNetwork fake = quietNetwork();
    fake.http["api.ipify.org"] = c.echo;
    ScanOptions o;
    o.autoIp = c.autoIp;
    const std::string reply = runScan(c.address, o, fake.network());
    EXPECT_EQ(fake.calls.size(), c.calls);
    if (c.required) {
      EXPECT_EQ(reply, IP_REQUIRED_REPLY);
      continue;
    }
    const auto parsed = nlohmann::json::parse(reply);
    EXPECT_EQ(parsed["ip"], c.scanned);
    if (c.address.empty()) {
      EXPECT_EQ(fake.calls.front(), "https://api.ipify.org/?format=json");
    }
  }
}

TEST(RunScan, UnansweredLookupsAreUnknownWithTheirReason) {
  FakeNetwork fake;  // no host answers at all
  fake.http["ipinfo.io"] = statusBody(429, bodies::IPINFO_RATE_LIMIT);
  fake.http["ipapi.co"] = noAnswer("time-out");
  for (const char* zone : ALL_ZONES) fake.dnsbl[zone] = {Lookup::failed, "refused by the list"};
  fake.reverse = {false, "", "time-out"};
  fake.proxy = {Lookup::failed, "settings unreadable"};
  const auto reply = nlohmann::json::parse(runScan("198.51.100.23", {}, fake.network()));

  EXPECT_EQ(statusLetters(reply), "cuuuuuuuuuuouuuu");
  EXPECT_EQ(reply["score"], 0);
  EXPECT_EQ(reply["logs"][1], "ipinfo.io: unknown");
  EXPECT_EQ(reply["logs"][2], "proxycheck.io: unknown");
  EXPECT_EQ(reply["logs"].back(), "Scan complete: Clean (0%)");
  const auto& s = reply["sources"];
  EXPECT_EQ(s[1]["detail"], "HTTP 429: Rate limit exceeded");
  EXPECT_EQ(s[2]["detail"], "no connection");
  EXPECT_EQ(s[4]["detail"], "time-out");
  EXPECT_EQ(s[9]["detail"], "refused by the list");
  EXPECT_EQ(s[14]["detail"], "time-out");
  EXPECT_EQ(s[15]["detail"], "settings unreadable");
  EXPECT_EQ(s[0]["detail"], "Public IP source");
}

// The scan's first step asks for every host at once. A DNS server that answers nothing by the
// step's limit makes each lookup that needs it "unknown" at once, unasked; a slow first answer
// still counts, and so does a host the hosts file names.
TEST(RunScan, ASilentDnsServerIsKnownAtTheFirstStep) {
  const std::vector<std::string> webHosts = {
      "ipinfo.io",     "proxycheck.io",         "ip-api.com",          "ipapi.co", "api.db-ip.com",
      "freeipapi.com", "api.stopforumspam.org", "check.torproject.org"};
  const std::vector<std::string> zones(ALL_ZONES.begin(), ALL_ZONES.end());
  ScanOptions dnsOnly = allOff();
  dnsOnly.dns = true;
  struct Case {
    const char* name;
    bool silent;
    long firstAnswerMs;
    std::vector<std::string> hostsFile;
    ScanOptions options;
    const char* statuses;
    std::vector<std::string> calls;
    std::vector<std::string> prepared;
    long endMs;  // the scripted clock when the scan is over
  };
  const Case cases[] = {
      {"silent", true, 0, {}, {}, "cuuuuuuuuuuouuuc", {"proxy"}, webHosts, 5000},
      {"first answer after 2.5 s",
       false,
       2500,
       {},
       {},
       "cccccccccccocccc",
       DEEP_REQUESTS,
       webHosts,
       2500},
      {"first answer after 6 s",
       false,
       6000,
       {},
       {},
       "cuuuuuuuuuuouuuc",
       {"proxy"},
       webHosts,
       5000},
      {"silent, geo host in the hosts file",
       true,
       0,
       {"ipinfo.io"},
       {},
       "ccuuuuuuuuuouuuc",
       {DEEP_REQUESTS.front(), "proxy"},
       webHosts,
       5000},
      {"silent, blocklists alone", true, 0, {}, dnsOnly, "coooooooouuouuuo", {}, zones, 5000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeNetwork fake = quietNetwork();
    fake.dnsSilent = c.silent;
    fake.dnsFirstAnswer = std::chrono::milliseconds(c.firstAnswerMs);
    fake.hostsFile = c.hostsFile;
    const auto reply = nlohmann::json::parse(runScan("198.51.100.23", c.options, fake.network()));
    EXPECT_EQ(statusLetters(reply), c.statuses);
    for (const auto& source : reply["sources"]) {
      if (source["status"] == "unknown") {
        EXPECT_EQ(source["detail"], "DNS server did not answer");
      }
    }
    EXPECT_EQ(fake.calls, c.calls);
    EXPECT_EQ(fake.prepared, c.prepared);
    EXPECT_EQ((fake.clock - Deadline{}) / std::chrono::milliseconds(1), c.endMs);
  }

  FakeNetwork discovering = quietNetwork();  // the echo's host is prepared with the others
  discovering.dnsSilent = true;
  EXPECT_EQ(runScan("", {}, discovering.network()), IP_REQUIRED_REPLY);
  EXPECT_TRUE(discovering.calls.empty());
  EXPECT_EQ(discovering.prepared.front(), "api.ipify.org");
}

TEST(RunScan, ReportsProgressBeforeEachSourceItAsks) {
  FakeNetwork fake = quietNetwork();
  std::vector<std::string> keys;
  ScanOptions o;
  o.mode = "fast";
  o.local = false;
  runScan("", o, fake.network(),
          [&keys](std::string_view key, std::string_view) { keys.emplace_back(key); });
  const std::vector<std::string> expected = {
      "publicIpEcho", "geoLookup", "proxyRisk", "ipFlags",  "ipDetails", "stopForumSpam",
      "torExitList",  "spamhaus",  "spamCop",   "spamRats", "barracuda", "reverseDns"};
  EXPECT_EQ(keys, expected);
}

TEST(RunScan, EntriesCarryTheCatalogueIdentity) {
  FakeNetwork fake = quietNetwork();
  const auto reply = nlohmann::json::parse(runScan("198.51.100.23", allOff(), fake.network()));
  const std::vector<std::array<std::string, 3>> expected = {
      {"api.ipify.org", "api.ipify.org", "ip"},
      {"ipinfo.io", "ipinfo.io", "geo"},
      {"proxycheck.io", "proxycheck.io", "rep"},
      {"ip-api.com", "ip-api.com", "rep"},
      {"ipapi.co", "ipapi.co", "rep"},
      {"DB-IP", "db-ip.com", "rep"},
      {"FreeIPAPI", "freeipapi.com", "rep"},
      {"StopForumSpam", "stopforumspam.com", "rep"},
      {"Tor Project", "torproject.org", "tor"},
      {"Spamhaus", "spamhaus.org", "dns"},
      {"SpamCop", "spamcop.net", "dns"},
      {"SORBS", "sorbs.net", "dns"},
      {"SpamRats", "spamrats.com", "dns"},
      {"Barracuda", "barracudacentral.org", "dns"},
      {"Reverse DNS", "iana.org", "dns"},
      {std::string(systemProxySource().name), std::string(systemProxySource().domain), "local"},
  };
  ASSERT_EQ(reply["sources"].size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(reply["sources"][i]["name"], expected[i][0]);
    EXPECT_EQ(reply["sources"][i]["domain"], expected[i][1]);
    EXPECT_EQ(reply["sources"][i]["group"], expected[i][2]);
  }
}

TEST(RunScan, EveryReplyIsValidJsonWhateverTheAddressAndMode) {
  const std::string awkward[] = {
      "1.2.3.4",
      "a\"b",
      "back\\slash",
      std::string("nul\0byte", 8),
      "tab\there\r\n",
      "\x01\x1f\x7f",
      "caf\xC3\xA9 \xE2\x82\xAC",
      "<img src=x onerror=alert(1)>",
      "::1",
      " 1.2.3.4 ",
  };
  for (const auto& text : awkward) {
    FakeNetwork fake = quietNetwork();
    ScanOptions o;
    o.mode = text;
    const std::string reply = runScan(text, o, fake.network());
    nlohmann::json parsed;
    ASSERT_NO_THROW(parsed = nlohmann::json::parse(reply)) << reply;
    EXPECT_EQ(parsed["ip"], text);
    EXPECT_EQ(parsed["mode"], text);
    EXPECT_EQ(parsed["logs"][0], "Starting C++ scan for " + text);
  }
}

// --fail-on and the summary's order compare verdicts: they must rise with the score.
TEST(VerdictWords, RiseWithTheScore) {
  const std::vector<std::pair<std::int32_t, std::string_view>> bands = {
      {0, "Clean"},
      {WATCHLIST_FROM, "Watchlist"},
      {SUSPICIOUS_FROM, "Suspicious"},
      {HIGH_RISK_FROM, "High risk"}};
  for (std::size_t i = 0; i < bands.size(); ++i) {
    EXPECT_EQ(verdictWord(verdictFor(bands[i].first)), bands[i].second);
    if (i > 0) {
      EXPECT_LT(verdictFor(bands[i - 1].first), verdictFor(bands[i].first));
    }
  }
}

}  // namespace
