#pragma once
// The command line of velmora-scan, read into a plain record.
#include <string>
#include <vector>

#include "scan/scan_options.h"

enum class CliAction { scan, myIp, help, version, usageError };

struct CliCommand {
  CliAction action = CliAction::scan;
  std::string address;  // empty: discover (unless --no-auto-ip)
  ScanOptions options;
  bool json = false;
  int failOn = 0;     // 0: never; else the verdict rank that makes the exit code 1
  std::string error;  // for usageError
};

// args excludes the program name.
CliCommand parseCommandLine(const std::vector<std::string>& args);

// Clean 0, Watchlist 1, Suspicious 2, High risk 3.
int verdictRank(const std::string& verdict);

extern const char* const USAGE_TEXT;
