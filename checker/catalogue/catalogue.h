#pragma once
// The one place that names the services: display names, domains, request hosts, DNS zones.
// It sits under both the network layer and the scan engine, and needs neither.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// What a blocklist means by one of its refusal codes, 127.255.255.<lastOctet>.
struct RefusalCode {
  std::uint8_t lastOctet = 0;
  std::string_view reason;  // the row's reason, at most 60 bytes
  // The list refuses the resolver that asked, not the question: its own name servers, asked
  // directly from this machine, may still answer.
  bool resolverRefused = false;
};

// What a web service allows a client without an account or key, as the service publishes it.
struct FreeTierLimit {
  std::int64_t requests = 0;       // at most this many requests ...
  std::int64_t windowSeconds = 0;  // ... in any stretch this long; requests 0: none published
};

struct SourceIdentity {
  std::string_view key;         // the code's name for the source, never sent to the page
  std::string_view name;        // shown to the user
  std::string_view domain;      // shown to the user
  std::string_view group;       // "ip", "geo", "rep", "tor", "dns", "local"
  std::string_view host = {};   // HTTP host of a web source; empty for the others
  std::string_view zone = {};   // DNS zone of a blocklist; empty for the others
  FreeTierLimit freeTier = {};  // web sources: the published free-tier rate, with its source
  // The host asked with a free account's key, when it is not `host`.
  std::string_view keyedHost = {};
  // The published rate with a free account's key; requests 0: no key, or no limit published.
  FreeTierLimit keyedFreeTier = {};
  std::span<const RefusalCode> refusals = {};  // a blocklist's own refusal codes, when it has any
  std::string_view retired = {};               // why a source that no longer answers is never asked
};

inline constexpr std::size_t SOURCE_COUNT = 16;

// All sixteen sources in report order; built once.
const std::array<SourceIdentity, SOURCE_COUNT>& catalogue();

// One source by key; throws std::out_of_range for an unknown key.
const SourceIdentity& sourceByKey(std::string_view key);

// The five blocklists (the rows with a zone), in scan order.
std::span<const SourceIdentity> blocklistSources();

// Entry 16 differs per platform ("Windows Proxy" / "System Proxy"); defined per platform.
SourceIdentity systemProxySource();
