// velmora-scan: the scan engine on the command line, for scripts, servers and monitoring.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli/bulk/output.h"
#include "cli/bulk/run.h"
#include "cli/cli_options.h"
#include "cli/run_network.h"
#include "cli/service_keys.h"
#include "cli/terminal.h"
#include "cli/text_report.h"
#include "cli/user_files.h"
#include "json/display_text.h"
#include "net/public_ip.h"
#include "scan/report.h"
#include "scan/run_scan.h"

namespace {

// One line on stderr, rewritten before each source: what is being asked, and for how long
// the scan has been running.
ScanProgress terminalProgress() {
  const auto start = std::chrono::steady_clock::now();
  return [start](std::string_view, std::string_view name) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%5.1f s", seconds);
    std::cerr << "\r\x1b[K[" << elapsed << "] asking " << name << " ..." << std::flush;
  };
}

void clearProgress(bool shown) {
  if (shown) std::cerr << "\r\x1b[K" << std::flush;
}

int myIp(const CliCommand& command, const Network& net) {
  const std::optional<std::string> address = discoverPublicIp(net);
  if (command.json) {
    std::cout << validUtf8(buildIpResultMessage(address)) << "\n";
  } else if (address) {
    std::cout << displayText(*address) << "\n";
  } else {
    std::cerr << "velmora-scan: could not discover the public IP address\n";
  }
  return address ? EXIT_DONE : EXIT_NO_ADDRESS;
}

int scan(const CliCommand& command, const Network& net) {
  const bool showProgress = isColourTerminal(2);
  const auto report = runScanReport(command.address, command.options, net,
                                    showProgress ? terminalProgress() : ScanProgress{});
  clearProgress(showProgress);

  if (!report) {
    if (command.json) {
      std::cout << IP_REQUIRED_REPLY << "\n";
    } else {
      std::cerr << "velmora-scan: IP required: give an address, or allow discovery"
                << (command.options.autoIp ? " (it failed: no answer from the IP echo service)"
                                           : " (--no-auto-ip switched it off)")
                << "\n";
    }
    return EXIT_NO_ADDRESS;
  }
  if (command.json) {
    std::cout << validUtf8(writeScanResult(*report)) << "\n";
  } else {
    std::cout << formatReport(*report, isColourTerminal(1));
  }
  const bool reached = command.failOn && report->verdict >= *command.failOn;
  return reached ? EXIT_FAIL_ON : EXIT_DONE;
}

std::optional<std::string> environmentValue(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

void warn(const std::string& why) {
  std::cerr << "velmora-scan: " << displayText(why) << "\n";
}

// Every run of this user keeps one pace per service, through the state folder's file.
RunPace userPace(const ServiceKeys& keys) {
  RunPace pace{steadyPaceClock(), catalogueLimits(keys), memoryPaceBook()};
  const std::string folder = userStateFolder();
  if (folder.empty()) {
    warn("no folder for the services' shared pace (is HOME set?): this run keeps its own");
  } else {
    pace.book = filePaceBook(folder, warn);
  }
  return pace;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const CliCommand command = parseCommandLine(args);
  switch (command.action) {
    case CliAction::help:
      std::cout << USAGE_TEXT;
      return EXIT_DONE;
    case CliAction::version:
      std::cout << "velmora-scan " << VELMORA_VERSION << "\n";
      return EXIT_DONE;
    case CliAction::usageError:
      // A monitoring system reads a wrong command line as UNKNOWN, from stdout.
      if (std::find(args.begin(), args.end(), "--nagios") != args.end()) {
        std::cout << nagiosUnknown(command.error);
        return static_cast<int>(NagiosState::unknown);
      }
      std::cerr << "velmora-scan: " << command.error << "\nTry 'velmora-scan --help'.\n";
      return EXIT_USAGE;
    case CliAction::myIp:
      return myIp(command, systemNetwork());
    case CliAction::scan:
      break;
  }
  const std::string config = userConfigFolder();
  const KeysLoad keys =
      loadServiceKeys(config.empty() ? config : config + "/keys", environmentValue);
  if (!keys.error.empty()) {
    if (command.format == CliFormat::nagios) {
      std::cout << nagiosUnknown(keys.error);
      return static_cast<int>(NagiosState::unknown);
    }
    warn(keys.error);
    return EXIT_USAGE;
  }
  CliCommand keyed = command;
  keyed.options.keys = keys.keys;
  const RunPace pace = userPace(keys.keys);
  const Network net = keysKeptOutOfAnswers(systemNetwork(), keys.keys);
  if (isBulkRun(keyed)) {
    return runBulk(keyed, net, pace,
                   {std::cout, std::cerr, isColourTerminal(1), isColourTerminal(2)});
  }
  return scan(keyed, runNetwork(net, pace.clock, pace.limits, {}, pace.book));
}
