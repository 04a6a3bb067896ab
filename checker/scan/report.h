#pragma once
// A scan's report, and every reply text the page receives.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct SourceEntry {
  std::string name;
  std::string domain;
  std::string group;
  std::string status;  // "clean", "bad", "off", or "unknown" when the source gave no answer
  std::string detail;
};

// The score from which each verdict holds (below the first: Clean).
inline constexpr std::int32_t WATCHLIST_FROM = 20;
inline constexpr std::int32_t SUSPICIOUS_FROM = 45;
inline constexpr std::int32_t HIGH_RISK_FROM = 75;

struct ScanReport {
  std::string ip;
  std::vector<SourceEntry> sources;
  std::vector<std::string> logs;
  std::int32_t score = 0;
  std::string verdict;
  std::string mode;
};

void addSource(ScanReport& report, const std::string& name, const std::string& domain,
               const std::string& group, const std::string& status, const std::string& detail);

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
