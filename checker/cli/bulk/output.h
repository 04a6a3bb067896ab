#pragma once
// The printed forms of a run of many addresses: CSV rows, the summary table, the monitoring
// plugin line.
#include <optional>
#include <string>
#include <vector>

#include "cli/bulk/address_list.h"
#include "scan/report.h"

struct AddressResult {
  AddressRow row;
  std::optional<ScanReport> report;  // nothing: not scanned (bad row), or no address was found
};

std::string csvHeader();
std::string csvRow(const AddressResult& result);

// The table, worst first, then the count of each verdict; details adds every full report.
std::string summaryReport(const std::vector<AddressResult>& results, bool colour, bool details);

enum class NagiosState { ok = 0, warning = 1, critical = 2, unknown = 3 };

struct NagiosLine {
  NagiosState state = NagiosState::unknown;
  std::string text;  // with its newline
};

NagiosState nagiosState(const AddressResult& result, int warning, int critical);
NagiosLine nagiosLine(const std::vector<AddressResult>& results, int warning, int critical);
// The line for a run that could not start (a wrong command line, an unreadable file).
std::string nagiosUnknown(const std::string& why);
