// Reads velmora-scan's switches. Values may follow as the next argument or after '='.
#include "cli/cli_options.h"

#include <optional>

const char* const USAGE_TEXT = R"(Usage: velmora-scan [options] [ADDRESS]

Asks sixteen public sources how clean an IPv4 address looks (proxy, VPN, hosting,
abuse) and prints each source's answer, a 0-100 risk score and a verdict: Clean,
Watchlist, Suspicious or High risk. Without ADDRESS it scans this machine's public
address, found through an IP echo service.

Sources (all are asked unless switched off):
  --no-geo           skip the geolocation service
  --no-reputation    skip the six reputation services
  --no-tor           skip the Tor exit list
  --no-dns           skip the five DNS blocklists and reverse DNS
  --no-local         skip this machine's proxy settings
  --no-auto-ip       without ADDRESS, do not look up this machine's address
  --mode deep|fast   fast skips two reputation services (DB-IP, FreeIPAPI);
                     deep is the default
  --fast             the same as --mode fast

Output:
  --json             print the result as one line of JSON (a "scanResult" object)
  --my-ip            only find this machine's public address and print it
                     (with --json: an "ipResult" object)
  --fail-on LEVEL    exit with 1 when the verdict is LEVEL or worse; LEVEL is
                     watchlist, suspicious or high
  -h, --help         show this help and exit
  -V, --version      show the version and exit

A source that could not be asked (offline, rate-limited, refused) is reported as
"unknown" and adds nothing to the score; the report says how many there were, so
an offline scan is never mistaken for a clean one.

Exit status:
  0  the scan ran (whatever its verdict); with --my-ip: the address was found
  1  the verdict reached --fail-on
  2  the command line was wrong
  3  no address: none given and discovery switched off or failed

Examples:
  velmora-scan 198.51.100.23
  velmora-scan --fast --json 198.51.100.23
  velmora-scan --fail-on suspicious || echo "this address looks bad"
)";

namespace {

CliCommand usageError(std::string message) {
  CliCommand command;
  command.action = CliAction::usageError;
  command.error = std::move(message);
  return command;
}

std::optional<int> failOnRank(const std::string& level) {
  if (level == "watchlist") return 1;
  if (level == "suspicious") return 2;
  if (level == "high") return 3;
  return std::nullopt;
}

}  // namespace

int verdictRank(const std::string& verdict) {
  if (verdict == "High risk") return 3;
  if (verdict == "Suspicious") return 2;
  if (verdict == "Watchlist") return 1;
  return 0;
}

CliCommand parseCommandLine(const std::vector<std::string>& args) {
  CliCommand command;
  bool myIp = false;
  bool optionsEnded = false;
  std::vector<std::string> addresses;

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      addresses.push_back(arg);
      continue;
    }
    // --name=value or --name value, for the two switches that take one.
    std::string name = arg;
    std::optional<std::string> value;
    if (const auto eq = arg.find('='); eq != std::string::npos && arg.rfind("--", 0) == 0) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
    }
    const bool takesValue = name == "--mode" || name == "--fail-on";
    if (takesValue && !value) {
      if (i + 1 == args.size()) return usageError(name + " needs a value");
      value = args[++i];
    } else if (!takesValue && value) {
      return usageError(name + " takes no value");
    }

    if (name == "--") {
      optionsEnded = true;
    } else if (name == "-h" || name == "--help") {
      command.action = CliAction::help;
      return command;
    } else if (name == "-V" || name == "--version") {
      command.action = CliAction::version;
      return command;
    } else if (name == "--no-geo") {
      command.options.geo = false;
    } else if (name == "--no-reputation") {
      command.options.reputation = false;
    } else if (name == "--no-tor") {
      command.options.tor = false;
    } else if (name == "--no-dns") {
      command.options.dns = false;
    } else if (name == "--no-local") {
      command.options.local = false;
    } else if (name == "--no-auto-ip") {
      command.options.autoIp = false;
    } else if (name == "--fast") {
      command.options.mode = "fast";
    } else if (name == "--mode") {
      if (*value != "deep" && *value != "fast") {
        return usageError("--mode is deep or fast, not '" + *value + "'");
      }
      command.options.mode = *value;
    } else if (name == "--json") {
      command.json = true;
    } else if (name == "--my-ip") {
      myIp = true;
    } else if (name == "--fail-on") {
      const auto rank = failOnRank(*value);
      if (!rank) {
        return usageError("--fail-on is watchlist, suspicious or high, not '" + *value + "'");
      }
      command.failOn = *rank;
    } else {
      return usageError("unknown option '" + arg + "'");
    }
  }

  if (addresses.size() > 1) return usageError("one address at a time");
  if (myIp) {
    if (!addresses.empty()) return usageError("--my-ip takes no address");
    command.action = CliAction::myIp;
    return command;
  }
  if (!addresses.empty()) command.address = addresses.front();
  return command;
}
