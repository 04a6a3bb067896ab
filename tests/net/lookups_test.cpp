// The portable halves of the lookups: reversed octets, blocklist answers, the exit list, and
// public-IP discovery with its message, and the verdicts of the step before a scan.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "fake_network.h"
#include "net/dnsbl_answer.h"
#include "net/prepare_hosts.h"
#include "net/public_ip.h"
#include "net/reverse_octets.h"
#include "net/tor_exit.h"
#include "scan/report.h"

namespace {

TEST(ReverseIpv4Octets, SplitsAtEveryDotLikeAStream) {
  const std::pair<const char*, const char*> cases[] = {
      {"192.0.2.10", "10.2.0.192"},
      {"1.2.3.4.", "4.3.2.1"},
      {".1.2.3", "3.2.1."},
      {"a.b.c.d", "d.c.b.a"},
      {"1..2.3", "3.2..1"},
      {"1.2.3", ""},
      {"1.2.3.4.5", ""},
      {"", ""},
      {"::1", ""},
      {"1.2.3.4..", ""},
      {"999.1.1.1", "1.1.1.999"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(reverseIpv4Octets(in), out) << in;
}

TEST(DnsblQueryName, IsReversedOctetsThenZone) {
  EXPECT_EQ(dnsblQueryName("192.0.2.10", "zone.example"), "10.2.0.192.zone.example");
  EXPECT_EQ(dnsblQueryName("1.2.3", "zone.example"), std::nullopt);
}

TEST(DnsblQueryName, OnlyWellFormedNamesAreSent) {
  const std::string label63(63, 'a');
  const std::pair<std::string, bool> cases[] = {
      {"4.3.2.1.bl.example", true},
      {"3.2..1.bl.example", false},
      {"3.2.1..bl.example", false},
      {".3.2.1.bl.example", false},
      {"", false},
      {label63 + ".bl.example", true},
      {label63 + "a.bl.example", false},
      {std::string(254, 'a'), false},
  };
  for (const auto& [name, ok] : cases) EXPECT_EQ(isWellFormedQueryName(name), ok) << name;
}

TEST(ClassifyDnsblAnswer, CountsOnlyListingCodes) {
  struct Case {
    const char* what;
    std::vector<Ipv4Bytes> records;
    Lookup outcome;
    const char* reason;
    int refusalCode = -1;  // -1: none
  };
  const Case cases[] = {
      {"no record", {}, Lookup::clear, ""},
      {"listed", {{127, 0, 0, 2}}, Lookup::flagged, ""},
      {"several codes", {{127, 0, 0, 4}, {127, 0, 0, 10}}, Lookup::flagged, ""},
      {"spam source code", {{127, 0, 0, 38}}, Lookup::flagged, ""},
      {"public resolver refusal",
       {{127, 255, 255, 254}},
       Lookup::failed,
       "refused by the list",
       254},
      {"excess queries", {{127, 255, 255, 255}}, Lookup::failed, "refused by the list", 255},
      {"two refusals: the first counts",
       {{127, 255, 255, 252}, {127, 255, 255, 254}},
       Lookup::failed,
       "refused by the list",
       252},
      {"refusal beside a code", {{127, 255, 255, 254}, {127, 0, 0, 2}}, Lookup::flagged, ""},
      {"filtering resolver", {{127, 0, 0, 1}}, Lookup::failed, "filtered by the resolver"},
      {"resolver's own address", {{198, 51, 100, 1}}, Lookup::failed, "not a listing code"},
      {"zero address", {{0, 0, 0, 0}}, Lookup::failed, "not a listing code"},
      {"127.255.254.x is still a code", {{127, 255, 254, 1}}, Lookup::flagged, ""},
  };
  for (const auto& c : cases) {
    const LookupResult r = classifyDnsblAnswer(c.records);
    EXPECT_EQ(r.outcome, c.outcome) << c.what;
    EXPECT_EQ(r.reason, c.reason) << c.what;
    EXPECT_EQ(r.refusalCode ? int{*r.refusalCode} : -1, c.refusalCode) << c.what;
  }
}

TEST(ExitList, MatchesWholeLinesOnly) {
  const std::string list = "# exit addresses\n198.51.100.70\r\n  203.0.113.9  \n11.2.3.45\n";
  const std::pair<const char*, bool> cases[] = {
      {"198.51.100.70", true},
      {"198.51.100.7", false},
      {"203.0.113.9", true},
      {"1.2.3.4", false},
      {"11.2.3.45", true},
      {"# exit addresses", false},
      {"", false},
      {"198.51.100.70\r", false},
  };
  for (const auto& [address, listed] : cases) {
    EXPECT_EQ(exitListHasLine(list, address), listed) << address;
  }
  EXPECT_TRUE(exitListHasLine("198.51.100.7", "198.51.100.7")) << "last line without newline";
  EXPECT_FALSE(exitListHasLine("", "198.51.100.7"));
}

TEST(IsTorExit, DownloadsTheListOnceAndSaysWhenItCouldNot) {
  FakeNetwork fake;
  fake.http["check.torproject.org"] = okBody("198.51.100.70\n");
  EXPECT_EQ(isTorExit("198.51.100.7", fake.network()).outcome, Lookup::clear);
  EXPECT_EQ(isTorExit("198.51.100.70", fake.network()).outcome, Lookup::flagged);
  EXPECT_EQ(fake.calls, (std::vector<std::string>{"https://check.torproject.org/torbulkexitlist",
                                                  "https://check.torproject.org/torbulkexitlist"}));
  fake.http["check.torproject.org"] = statusBody(503, "198.51.100.70\n");
  const LookupResult down = isTorExit("198.51.100.70", fake.network());
  EXPECT_EQ(down.outcome, Lookup::failed);
  EXPECT_EQ(down.reason, "HTTP 503");
  // Only a list counts: a block page or an empty answer, even at 200, is no answer.
  for (const char* notAList : {"<html><body>Blocked. Your address:\n198.51.100.70\n</body></html>",
                               "", "\n\n", "# exits\nnone today\n"}) {
    fake.http["check.torproject.org"] = okBody(notAList);
    const LookupResult odd = isTorExit("198.51.100.70", fake.network());
    EXPECT_EQ(odd.outcome, Lookup::failed) << notAList;
    EXPECT_EQ(odd.reason, "not an exit list") << notAList;
  }
}

TEST(FailureReason, NamesTheStatusOrTheClientsWord) {
  EXPECT_EQ(failureReason({false, 429, "slow down", ""}), "HTTP 429");
  EXPECT_EQ(failureReason({false, 0, "", "time-out"}), "time-out");
  EXPECT_EQ(failureReason({false, 200, "xxxx", "body too large"}), "body too large");
  EXPECT_EQ(failureReason({false, 0, "", ""}), "no answer");
}

TEST(PublicIp, DiscoveryAndTheIpResultMessage) {
  struct Case {
    const char* what;
    HttpResult answer;
    const char* message;
  };
  const Case cases[] = {
      {"plain", okBody(R"({"ip":"198.51.100.23"})"),
       R"({"type":"ipResult","ok":true,"ip":"198.51.100.23"})"},
      {"empty ip", okBody(R"({"ip":""})"), R"({"type":"ipResult","ok":true,"ip":""})"},
      {"IPv6 text", okBody(R"({"ip":"2001:db8::1"})"),
       R"({"type":"ipResult","ok":true,"ip":"2001:db8::1"})"},
      {"escaped quote", okBody(R"({"ip":"1.2\"3"})"),
       R"({"type":"ipResult","ok":true,"ip":"1.2\"3"})"},
      {"control byte", okBody("{\"ip\":\"1\x01x\"}"),
       R"({"type":"ipResult","ok":true,"ip":"1\u0001x"})"},
      {"500 with a body", statusBody(500, R"({"ip":"198.51.100.23"})"),
       R"({"type":"ipResult","ok":false,"error":"Could not discover public IP"})"},
      {"error object", okBody(R"({"error":"nope"})"),
       R"({"type":"ipResult","ok":false,"error":"Could not discover public IP"})"},
      {"absence marker itself", okBody("{\"ip\":\"\x01\"}"),
       R"({"type":"ipResult","ok":false,"error":"Could not discover public IP"})"},
      {"no connection", noAnswer("no connection"),
       R"({"type":"ipResult","ok":false,"error":"Could not discover public IP"})"},
  };
  for (const auto& c : cases) {
    FakeNetwork fake;
    fake.http["api.ipify.org"] = c.answer;
    const std::string message = buildIpResultMessage(discoverPublicIp(fake.network()));
    EXPECT_EQ(message, c.message) << c.what;
    EXPECT_TRUE(nlohmann::json::accept(message)) << c.what;
    EXPECT_EQ(fake.calls, std::vector<std::string>{"https://api.ipify.org/?format=json"});
  }
}

// Run inline: what the primitives found decides, a thread the system refuses never counts
// against a host or the DNS server, and behind a proxy every host counts as resolved.
TEST(PrepareHostsWith, SettlesFromItsPrimitives) {
  struct Case {
    bool found, replies, threadStarts, proxy, resolved, answered;
  };
  const Case cases[] = {{true, true, true, false, true, true},
                        {false, false, true, false, false, false},
                        {true, false, true, false, true, false},
                        {false, false, false, false, true, true},
                        {false, false, true, true, true, false}};
  for (const Case& c : cases) {
    const HostSteps steps{[&c](const std::string&) { return c.found; },
                          [&c](const std::string&, Deadline) { return c.replies; },
                          [&c](const std::function<void()>& body) {
                            if (c.threadStarts) body();
                            return c.threadStarts;
                          },
                          [&c] { return c.proxy; }};
    const PreparedHosts prepared = prepareHostsWith({"a.test"}, NO_DEADLINE, steps);
    EXPECT_EQ(prepared.hostResolved("a.test"), c.resolved);
    EXPECT_EQ(prepared.dnsAnswered(), c.answered);
    EXPECT_TRUE(prepareHostsWith({}, NO_DEADLINE, steps).dnsAnswered()) << "nothing asked";
  }
}

}  // namespace
