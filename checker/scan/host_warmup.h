#pragma once
// The scan's first step: every host it will ask is looked up at once, so that a DNS server that
// answers nothing costs the scan a few seconds once, not a time-out per lookup.
#include <chrono>

#include "net/network.h"
#include "scan/scan_options.h"

// Long enough for a resolver's slow first answer (a cold cache), and one full try of the system
// resolver's stock 5 s wait.
inline constexpr std::chrono::seconds HOST_WARMUP_LIMIT{5};
inline constexpr const char* DNS_SILENT_REASON = "DNS server did not answer";

// `net` once the hosts of the sources `options` turns on (the public-IP echo's too when the scan
// discovers its address) are being looked up. When the DNS server answered nothing by the
// limit, a blocklist or reverse-DNS lookup, and a request to a host still without an address,
// fail at once with DNS_SILENT_REASON. Without net.prepareHosts, `net` as it is.
Network afterHostWarmup(const Network& net, const ScanOptions& options, bool discovers);
