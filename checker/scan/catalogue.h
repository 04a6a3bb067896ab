#pragma once
// The one place that names the services: display names, domains, request hosts, DNS zones.
#include <array>
#include <string>
#include <string_view>
#include <vector>

struct SourceIdentity {
  std::string_view key;     // the code's name for the source, never sent to the page
  std::string_view name;    // shown to the user
  std::string_view domain;  // shown to the user
  std::string_view group;   // "ip", "geo", "rep", "tor", "dns", "local"
  std::string_view target;  // HTTP host, or DNS zone for the blocklists; empty when none
};

inline constexpr std::size_t SOURCE_COUNT = 16;

// All sixteen sources in report order.
std::array<SourceIdentity, SOURCE_COUNT> catalogue();

// One source by key; throws std::out_of_range for an unknown key.
SourceIdentity sourceByKey(std::string_view key);

// Entry 16 differs per platform ("Windows Proxy" / "System Proxy"); defined per platform.
SourceIdentity systemProxySource();

struct DnsblZone {
  std::string zone;
  std::string domain;
  std::string name;
};

// The five blocklist rows, in scan order; built afresh for each run.
std::vector<DnsblZone> blocklistTable();
