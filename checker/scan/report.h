#pragma once
// A scan's report, and every reply text the page receives.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scan/scan_words.h"

struct SourceEntry {
  std::string name;
  std::string domain;
  std::string group;
  Status status = Status::unknown;
  std::string detail;
};

struct ScanReport {
  std::string ip;
  std::vector<SourceEntry> sources;
  std::vector<std::string> logs;
  std::int32_t score = 0;
  Verdict verdict = Verdict::clean;
  std::string mode;  // the request's text, echoed as it came
};

void addSource(ScanReport& report, const std::string& name, const std::string& domain,
               const std::string& group, Status status, const std::string& detail);

// The compact "scanResult" message.
std::string writeScanResult(const ScanReport& report);

// The "ipResult" message: the discovered address, or that discovery failed.
std::string buildIpResultMessage(const std::optional<std::string>& address);

// The answer of a scan that has no address to scan (153 bytes).
inline constexpr std::string_view IP_REQUIRED_REPLY =
    R"({"type":"scanResult","ok":false,"error":"IP required","score":0,"verdict":"IP required",)"
    R"("sources":[],"logs":["Enter an IP or enable auto IP discovery."]})";

// The answer when a scan's work threw or its thread could not be started.
inline constexpr const char* SCAN_FAILED_REPLY =
    R"({"type":"scanResult","ok":false,"error":"Scan failed","score":0,"verdict":"Scan failed",)"
    R"("sources":[],"logs":["The scan could not be completed."]})";
