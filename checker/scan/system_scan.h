#pragma once
// The shells' entry points: the engine over this platform's real network (velmora_engine).
#include <optional>
#include <string>

#include "scan/scan_options.h"

// A scan over systemNetwork(): the complete "scanResult" text.
std::string runScan(const std::string& address, const ScanOptions& options);

// The public-IP discovery of net/public_ip.h over systemNetwork().
std::optional<std::string> discoverPublicIp();
