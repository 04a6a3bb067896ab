#pragma once
// Answers of the fake internet's web.test (scenario http) and DNS servers (scenario dns), with
// what every platform's client must make of them. One table for every platform's tests; a
// client that cannot tell two cases apart (Wine's) is let off with the word it gives instead.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "fake_network.h"
#include "net/dnsbl.h"
#include "net/http.h"
#include "net/reverse_dns.h"

// The status decides ok; the body is kept whatever the status.
inline void checkStatusAndBody() {
  struct Case {
    std::string path;
    bool ok;
    std::uint32_t status;
    std::string body;
  };
  const std::vector<Case> cases = {
      {"/status/200", true, 200, "two hundred"},
      {"/status/299", true, 299, "two ninety-nine"},
      {"/status/300", false, 300, "three hundred"},
      {"/status/404", false, 404, "<html><body>Not found</body></html>"},
      {"/status/500", false, 500, R"({"success":0,"error":"internal error"})"},
      {"/empty/200", true, 200, ""},
      {"/empty/204", true, 204, ""},
      {"/nul", true, 200, std::string("a\0b\0\0c", 6)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const HttpResult r = httpGet("web.test", c.path, true);
    EXPECT_EQ(r.ok, c.ok);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.body, c.body);
    EXPECT_EQ(r.failure, "");
  }
}

// A refusal keeps its body and Retry-After.
inline void checkRefusalBody() {
  const HttpResult refused = httpGet("web.test", "/status/429", true);
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(refused.status, 429u);
  EXPECT_NE(refused.body.find("\"title\": \"Rate limit exceeded\""), std::string::npos);
  EXPECT_EQ(refused.retryAfterSeconds, 30u);
}

// A body larger than the cap ends the call: what fits is kept, and the call fails.
inline void checkBodyCap() {
  const HttpResult limit = httpGet("web.test", "/big/limit", true);
  EXPECT_TRUE(limit.ok);
  EXPECT_EQ(limit.body.size(), MAX_BODY_BYTES);

  const HttpResult over = httpGet("web.test", "/big/over", true);
  EXPECT_FALSE(over.ok);
  EXPECT_EQ(over.status, 200u);
  EXPECT_EQ(over.failure, "body too large");
  EXPECT_LE(over.body.size(), MAX_BODY_BYTES);
}

// Failures before any answer: no status, no body, and the reason.
inline void checkFailuresBeforeAnAnswer(bool onWine) {
  struct Case {
    std::string host;
    bool secure;
    std::string failure;
    std::string alsoOnWine = {};
  };
  const std::vector<Case> cases = {
      // Wine finds the untrusted CA but ends the handshake as a channel error.
      {"untrusted.test", true, "certificate rejected", "TLS failure"},
      {"nowhere.test", true, "host not found"},
      {"refused.test", true, "no connection"},
      {"refused.test", false, "no connection"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.host);
    const HttpResult r = httpGet(c.host, "/status/200", c.secure);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.status, 0u);
    EXPECT_EQ(r.body, "");
    const bool wineWord = onWine && !c.alsoOnWine.empty() && r.failure == c.alsoOnWine;
    EXPECT_TRUE(r.failure == c.failure || wineWord) << r.failure;
  }
}

// Redirects are followed, but never from HTTPS down to HTTP.
inline void checkRedirects() {
  const HttpResult moved = httpGet("web.test", "/moved", true);
  EXPECT_TRUE(moved.ok);
  EXPECT_EQ(moved.body, "arrived");

  const HttpResult down = httpGet("web.test", "/down-to-plain", true);
  EXPECT_FALSE(down.ok);
  EXPECT_NE(down.body, "arrived");
  EXPECT_EQ(down.failure, "redirect refused");
}

// Every zone of the catalogue lists its test entry, and not another address.
inline void checkEveryZone() {
  for (const SourceIdentity& row : blocklistSources()) {
    const std::string zone(row.zone);
    SCOPED_TRACE(zone);
    EXPECT_EQ(describe(dnsblListed("127.0.0.2", zone)), "flagged");
    EXPECT_EQ(describe(dnsblListed("192.0.2.13", zone)), "clear");  // NXDOMAIN
  }
}

// Blocklist answers and address forms, read as the list meant them.
inline void checkDnsblAnswers(bool onWine) {
  struct Case {
    std::string address;
    std::string expected;
    // Wine's DNS client passes every resolver failure on as a server failure.
    bool serverFailureOnWine = false;
  };
  const std::vector<Case> cases = {
      {"192.0.2.10", "flagged"},
      {"192.0.2.11", "failed: refused by the list"},        // 127.255.255.254
      {"192.0.2.12", "failed: filtered by the resolver"},   // 127.0.0.1
      {"192.0.2.13", "clear"},                              // NXDOMAIN
      {"192.0.2.14", "clear"},                              // no A record
      {"192.0.2.15", "failed: server failure"},             // SERVFAIL
      {"192.0.2.16", "failed: refused by the list", true},  // REFUSED
      {"192.0.2.17", "failed: time-out", true},             // no reply at all
      {"192.0.2.18", "failed: not a listing code"},         // a resolver's own address
      {"192.0.2.19", "flagged"},                            // a refusal code beside a listing
      {"1.2.3", "failed: not an IPv4 address"},
      {"1.2.3.4.5", "failed: not an IPv4 address"},
      {"", "failed: not an IPv4 address"},
      {"2001:db8::1", "failed: not an IPv4 address"},
      {"a.b.c.d", "clear"},     // queried as d.c.b.a: the list does not know it
      {"1.2.3.4.", "flagged"},  // a trailing dot adds no part
      {".1.2.3", "failed: malformed query name"},
      {"1..2.3", "failed: malformed query name"},
      {std::string(64, '7') + ".1.2.3", "failed: malformed query name"},  // label over 63
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    const std::string got = describe(dnsblListed(c.address, "bl.test"));
    const bool wineWord = onWine && c.serverFailureOnWine && got == "failed: server failure";
    EXPECT_TRUE(got == c.expected || wineWord) << got;
  }
}

// A name, no name (answered), or no answer (with its reason).
inline void checkReverseDns() {
  struct Case {
    std::string address;
    bool answered;
    std::string name;
  };
  const std::vector<Case> cases = {
      {"198.51.100.23", true, "c-198-51-100-23.hsd1.ca.comcast.net"},
      {"198.51.100.24", true, ""},   // NXDOMAIN: no PTR record
      {"198.51.100.25", false, ""},  // SERVFAIL: no answer
      {"a.b.c.d", true, ""},         // not dotted IPv4: nothing is asked
      {"1.2.3", true, ""},
      {std::string("198.51.100.23\0x", 15), true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    const NameLookup r = reverseDnsName(c.address);
    EXPECT_EQ(r.answered, c.answered) << r.reason;
    EXPECT_EQ(r.name, c.name);
    EXPECT_EQ(r.reason.empty(), c.answered);
  }
}
