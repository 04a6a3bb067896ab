#pragma once
// Every lookup ends in one of three ways; "failed" must never be shown as "clean".
#include <cstdint>
#include <optional>
#include <string>

struct HttpResult;

enum class Lookup { clear, flagged, failed };

struct LookupResult {
  Lookup outcome = Lookup::failed;
  std::string reason;  // only when failed: "no answer", "time-out", "HTTP 429", ...
  // A blocklist that refused with 127.255.255.<n> gives n; the catalogue says what it means.
  std::optional<std::uint8_t> refusalCode = {};
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
