#pragma once
// Walks tests/net/hostile_cases.h against one platform's client; each runner passes its calls.
// Every form counts once; a misread is any answer that differs from its row.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <set>

#include "fake_network.h"
#include "hostile_cases.h"
#include "net/http.h"
#include "net/lookup.h"

struct HostileCalls {
  std::function<HttpResult(const std::string& path, bool secure)> http;
  std::function<LookupResult(const std::string& address)> dnsbl;
  std::function<NameLookup(const std::string& address)> reverse;
  // Forms this client cannot tell apart (a row's limit): reported, not asserted.
  std::set<std::string> limits = {};
  // Forms this client would wait on without end: not asked, reported.
  std::set<std::string> hangs = {};
};

// A failure always says why, in at most 60 bytes.
inline bool shortReason(const std::string& reason) {
  return !reason.empty() && reason.size() <= 60;
}

inline void runHostileTable(const HostileCalls& calls) {
  int tried = 0;
  int misread = 0;
  int known = 0;
  auto check = [&](bool good, const std::string& limit = {}) {
    ++tried;
    if (!good) ++misread;
    if (!good && calls.limits.count(limit)) {
      ++known;
      std::printf("known limit: %s\n", limit.c_str());
      return true;
    }
    return good;
  };
  for (std::size_t cut = 0; cut <= HOSTILE_HEAD_BYTES; ++cut) {
    SCOPED_TRACE("head cut after " + std::to_string(cut) + " bytes");
    const HttpResult r = calls.http("/hostile/head-cut/" + std::to_string(cut), false);
    const bool whole = cut == HOSTILE_HEAD_BYTES;  // the headers ended; the body broke off
    const bool good = r.ok == whole && r.status == (whole ? 200u : 0u) && r.body.empty() &&
                      shortReason(r.failure);
    EXPECT_TRUE(check(good)) << "ok " << r.ok << " status " << r.status << " " << r.failure;
  }
  for (const HostileHttpCase& c : hostileHttpCases()) {
    SCOPED_TRACE(c.path);
    const HttpResult r = calls.http(c.path, true);
    const bool bodyKept = c.path == "/big/over" || r.body == c.body;
    const bool good = r.ok == c.ok && r.status == c.status && bodyKept && r.failure == c.reason;
    std::printf("%-30s ok %d, status %u, %s\n", c.path.c_str(), r.ok, r.status, r.failure.c_str());
    EXPECT_TRUE(check(good, c.limit)) << "ok " << r.ok << " status " << r.status << " failure "
                                      << r.failure << " body " << r.body.substr(0, 40);
  }
  for (const HostileDnsCase& c : hostileDnsCases()) {
    if (calls.hangs.count(c.limit)) {
      std::printf("known hang, not asked: %s (%s)\n", c.what.c_str(), c.limit.c_str());
      continue;
    }
    SCOPED_TRACE(c.address + " (" + c.what + ")");
    const LookupResult r = calls.dnsbl(c.address);
    const Lookup wanted = c.expected == DnsExpect::listed      ? Lookup::flagged
                          : c.expected == DnsExpect::notListed ? Lookup::clear
                                                               : Lookup::failed;
    const bool good = r.outcome == wanted && (wanted != Lookup::failed || shortReason(r.reason));
    std::printf("%-30s %s\n", c.what.c_str(), describe(r).c_str());
    EXPECT_TRUE(check(good, c.limit)) << static_cast<int>(r.outcome) << " " << r.reason;
  }
  for (const HostilePtrCase& c : hostilePtrCases()) {
    SCOPED_TRACE(c.address + " (" + c.what + ")");
    const NameLookup r = calls.reverse(c.address);
    const bool good =
        r.answered == c.answered && r.name.empty() && (r.answered || shortReason(r.reason));
    std::printf("PTR, %-25s %s\n", c.what.c_str(), r.answered ? "no such name" : r.reason.c_str());
    EXPECT_TRUE(check(good)) << r.name << r.reason;
  }
  std::printf("hostile forms: %d tried, %d misread (%d of them known limits)\n", tried, misread,
              known);
}
