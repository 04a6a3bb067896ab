#pragma once
// A scripted Network for engine tests: canned answers per host / zone, a scripted clock, and a
// log of every request in the order it was made.
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "net/network.h"

struct FakeNetwork {
  std::map<std::string, HttpResult> http;     // by host; a missing host answers nothing
  std::map<std::string, LookupResult> dnsbl;  // by zone; missing zones answer "not listed"
  // By zone, the answer for either test entry (127.0.0.2, 127.0.0.1); a missing zone answers as
  // a working list does: 127.0.0.2 listed, 127.0.0.1 not.
  std::map<std::string, LookupResult> testPoint;
  // The same two for questions asked at a zone's own name servers ("direct zone addr"); there
  // a missing zone does not answer the address (its test entries answer as above).
  std::map<std::string, LookupResult> direct;
  std::map<std::string, LookupResult> directTestPoint;
  NameLookup reverse{true, "host.example.net", ""};
  LookupResult proxy{Lookup::clear, ""};
  std::vector<std::string> calls;  // "https://host/path", "dns zone addr", "ptr addr", "proxy", ...

  // The clock starts at 0 and each network call takes `callTime`, or less when its deadline comes
  // first. givenMs holds, per network call, the milliseconds its deadline left it (-1: none).
  std::chrono::milliseconds callTime{0};
  Deadline clock{};
  std::vector<long> givenMs;

  // The DNS server as the scan's first step finds it: its first answer comes this long after the
  // step starts, or never when silent. Hosts come from the DNS, those in hostsFile without it.
  bool dnsSilent = false;
  std::chrono::milliseconds dnsFirstAnswer{0};
  std::vector<std::string> hostsFile;
  std::vector<std::string> prepared;  // the hosts the step was given

  Network network();
};

HttpResult okBody(const std::string& body);
HttpResult statusBody(std::uint32_t status, const std::string& body);
HttpResult noAnswer(const std::string& failure);

// "clear", "flagged" or "failed: <reason>", for readable expectations in tables.
std::string describe(const LookupResult& result);
