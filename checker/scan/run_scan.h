#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "net/network.h"
#include "scan/report.h"
#include "scan/scan_options.h"

// Called before each source (and before discovery) is asked: the source's key and name.
using ScanProgress = std::function<void(std::string_view key, std::string_view name)>;

// The complete "scanResult" text, or IP_REQUIRED_REPLY when there is no address.
std::string runScan(const std::string& address, const ScanOptions& options, const Network& net,
                    const ScanProgress& progress = {});

// The same scan, as a report; nothing when there is no address.
std::optional<ScanReport> runScanReport(const std::string& address, const ScanOptions& options,
                                        const Network& net, const ScanProgress& progress = {});
