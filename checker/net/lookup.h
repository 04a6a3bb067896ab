#pragma once
// Every lookup ends in one of three ways; "failed" must never be shown as "clean".
#include <string>

struct HttpResult;

enum class Lookup { clear, flagged, failed };

struct LookupResult {
  Lookup outcome = Lookup::failed;
  std::string reason;  // only when failed: "no answer", "time-out", "HTTP 429", ...
};

// Reverse DNS: answered with a name, answered with "no such name" (empty name), or failed.
struct NameLookup {
  bool answered = false;
  std::string name;
  std::string reason;  // only when not answered
};

LookupResult clearResult();
LookupResult flaggedResult();
LookupResult failedResult(std::string reason);

// A short reason for an HTTP call that gave no usable answer: "HTTP 429", "time-out", "no answer".
std::string failureReason(const HttpResult& result);
