#pragma once
// A scripted Network for engine tests: canned answers per host / zone, and a log of every
// request in the order it was made.
#include <map>
#include <string>
#include <vector>

#include "net/network.h"

struct FakeNetwork {
  std::map<std::string, HttpResult> http;     // by host; a missing host answers nothing
  std::map<std::string, LookupResult> dnsbl;  // by zone; missing zones answer "not listed"
  NameLookup reverse{true, "host.example.net", ""};
  LookupResult proxy{Lookup::clear, ""};
  std::vector<std::string> calls;  // "https://host/path", "dns zone addr", "ptr addr", "proxy"

  Network network();
};

HttpResult okBody(const std::string& body);
HttpResult statusBody(std::uint32_t status, const std::string& body);
HttpResult noAnswer(const std::string& failure);

// "clear", "flagged" or "failed: <reason>", for readable expectations in tables.
std::string describe(const LookupResult& result);
