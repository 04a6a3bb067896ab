#pragma once
// The command line of velmora-scan, read into a plain record.
#include <optional>
#include <string>
#include <vector>

#include "scan/report.h"
#include "scan/scan_options.h"

enum class CliAction { scan, myIp, help, version, usageError };

// How a run of several addresses is printed; a single scan prints its report or --json.
enum class CliFormat { report, json, csv, nagios };

struct CliCommand {
  CliAction action = CliAction::scan;
  std::string address;                 // the one address of a single scan; empty: discover
  std::vector<std::string> addresses;  // every address argument, in order
  std::string file;                    // --file: a list of addresses, "-" for standard input
  ScanOptions options;
  CliFormat format = CliFormat::report;
  bool json = false;              // format == json, kept for the single scan
  bool details = false;           // the summary adds each address's full report
  int jobs = 4;                   // scans at once
  int warning = SUSPICIOUS_FROM;  // --nagios thresholds on the score: the verdict bands
  int critical = HIGH_RISK_FROM;
  std::optional<Verdict> failOn;  // the verdict from which the exit code is 1
  std::string error;              // for usageError
};

// args excludes the program name.
CliCommand parseCommandLine(const std::vector<std::string>& args);

// A run of many addresses (more than one, or a --file, or --csv / --nagios) rather than the
// single scan, whose output stays what it always was.
bool isBulkRun(const CliCommand& command);

inline constexpr int MAX_JOBS = 32;

// The exit statuses USAGE_TEXT lists (--nagios has its own).
inline constexpr int EXIT_DONE = 0;
inline constexpr int EXIT_FAIL_ON = 1;  // the verdict reached --fail-on
inline constexpr int EXIT_USAGE = 2;    // a wrong command line, an unreadable list or keys file
inline constexpr int EXIT_NO_ADDRESS = 3;

extern const char* const USAGE_TEXT;
