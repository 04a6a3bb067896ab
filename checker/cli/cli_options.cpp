// Reads velmora-scan's switches. Values may follow as the next argument or after '='.
#include "cli/cli_options.h"

#include <charconv>
#include <optional>

const char* const USAGE_TEXT = R"(Usage: velmora-scan [options] [ADDRESS...]
       velmora-scan [options] --file FILE

Asks sixteen public sources how clean an IPv4 address looks (proxy, VPN, hosting,
abuse) and prints each source's answer, a 0-100 risk score and a verdict: Clean,
Watchlist, Suspicious or High risk. Without ADDRESS it scans this machine's public
address, found through an IP echo service. With several addresses (or --file) it
scans them all in one run and prints one row per address.

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

Addresses:
  --file FILE        also scan the addresses in FILE, one per line, after those
                     given as arguments; blank lines and lines starting with '#'
                     are skipped; FILE '-' is standard input
  --jobs N           scan up to N addresses at once (1-32, default 4); each scan
                     still asks its sources one after another

Output:
  --json             one line of JSON per address (a "scanResult" object, JSON
                     Lines), in input order, each exactly what a scan of that
                     address alone prints
  --csv              a header line, then one row per address in input order:
                     address, score, verdict, flagged, unknown, one column per
                     source with its status, and problem (why a row is not an
                     IPv4 address)
  --details          after the summary of several addresses, each address's full
                     report, in input order
  --nagios           one line in the monitoring plugin format, and its exit status
  -w, --warning N    with --nagios: WARNING from this score on (default 45)
  -c, --critical N   with --nagios: CRITICAL from this score on (default 75)
  --my-ip            only find this machine's public address and print it
                     (with --json: an "ipResult" object)
  --fail-on LEVEL    exit with 1 when the verdict (of the worst address) is LEVEL
                     or worse; LEVEL is watchlist, suspicious or high
  -h, --help         show this help and exit
  -V, --version      show the version and exit
  --                 every argument after it is an address, even one starting with '-'

A value follows its option as the next argument or after '=' (--jobs 8, --jobs=8).

Without --json, --csv or --nagios, several addresses give a summary table, worst
first (highest score first, then input order; lines that are not IPv4 addresses
last, with the reason), then how many addresses got each verdict. A line that is
not an IPv4 address is never skipped: it gets its row with the reason, and with
--json the engine's answer for that text, as a single scan would print it. On a
terminal, standard error shows the addresses done, the rate, the time left, and
any service whose free-tier limit is holding the run back.

A source that could not be asked (offline, rate-limited, refused) is reported as
"unknown" and adds nothing to the score; the report says how many there were, so
an offline scan is never mistaken for a clean one.

Rate limits: the runs of one user together never ask a web service more often
than its published free tier allows (ip-api.com: 45 a minute, freeipapi.com: 60 a
minute, proxycheck.io: 100 a day, ...); they share each service's pace through
$XDG_STATE_HOME/velmora/pace (default ~/.local/state/velmora/pace), which holds
only the times of recent requests. A service that answers 429 (too many requests)
is not asked again, by this run or the next, before its Retry-After has passed
(60 s without one); proxycheck.io's "denied" holds it off until midnight UTC. No
request is repeated. A request that would have to wait more than 2 minutes is not
sent: its source is "unknown" (free-tier limit reached, not asked). The Tor exit
list is fetched once per run.

Keys: two services lift their limit for a free account. Give its key in the
environment or in $XDG_CONFIG_HOME/velmora/keys (default ~/.config/velmora/keys:
NAME=value lines, '#' comments; chmod 600, or it is refused); the environment wins.
  VELMORA_PROXYCHECK_KEY  proxycheck.io: 1,000 a day instead of 100
  VELMORA_IPINFO_TOKEN    ipinfo.io: its Lite API, without a limit
A key is sent only to its own service, over HTTPS, and is never printed.

--nagios: the line reads, for one address,
  VELMORA WARNING - 203.0.113.77 Suspicious (score 52), 2 of 14 unknown | score=52;45;75;0;100 flagged=3 unknown=2
The state is CRITICAL when the score reaches -c; else UNKNOWN when more than half
of the sources consulted gave no answer (or there is no address, or the text is
no IPv4 address); else WARNING when the score reaches -w; else OK. For several
addresses the worst state wins (CRITICAL, then UNKNOWN, then WARNING, then OK)
and the line counts the addresses in each state. Sources not asked because of a
free-tier limit count in unknown= and are named in the text, as in: 2 of 15
unknown, 1 not asked (free-tier limit reached). The manual page (man
velmora-scan) has a cron line and an Icinga/Nagios command definition.

Exit status:
  0  the scan ran (whatever its verdict); with --my-ip: the address was found;
     with --nagios: OK
  1  the verdict reached --fail-on; with --nagios: WARNING
  2  the command line was wrong, FILE could not be read, or the keys file was
     refused; with --nagios: CRITICAL (a wrong command line, an unreadable FILE
     or a refused keys file is UNKNOWN there)
  3  no address: none given and discovery switched off or failed, or an empty
     FILE; with --nagios: UNKNOWN

Examples:
  velmora-scan 198.51.100.23
  velmora-scan --fast --json 198.51.100.23
  velmora-scan --fail-on suspicious || echo "this address looks bad"
  velmora-scan --csv --file relays.txt > relays.csv
  grep -v '^10\.' exits.txt | velmora-scan --file - --jobs 8 --json
  velmora-scan --nagios -w 40 -c 70 203.0.113.77
  VELMORA_PROXYCHECK_KEY=123456-789abc-def012-345678 velmora-scan 203.0.113.77
)";

namespace {

CliCommand usageError(std::string message) {
  CliCommand command;
  command.action = CliAction::usageError;
  command.error = std::move(message);
  return command;
}

std::optional<int> numberIn(const std::string& text, int low, int high) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [at, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || at != end || text.empty() || value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

std::optional<Verdict> failOnLevel(const std::string& level) {
  if (level == "watchlist") return Verdict::watchlist;
  if (level == "suspicious") return Verdict::suspicious;
  if (level == "high") return Verdict::highRisk;
  return std::nullopt;
}

// What the switches read so far have set, beyond the command itself.
struct ParseState {
  CliCommand command;
  bool myIp = false;
  bool optionsEnded = false;
  bool thresholds = false;
  int formats = 0;
};

// An option's effect on the state; a returned text is the usage error.
using Problem = std::optional<std::string>;
using ApplyOption = Problem (*)(ParseState& state, const std::string& name,
                                const std::string& value);

struct OptionSpec {
  const char* name;
  const char* alias;  // or nullptr
  bool takesValue;
  ApplyOption apply;
};

Problem chooseFormat(ParseState& state, const std::string& name, const std::string&) {
  const CliFormat format = name == "--json"  ? CliFormat::json
                           : name == "--csv" ? CliFormat::csv
                                             : CliFormat::nagios;
  if (state.command.format != format) ++state.formats;
  state.command.format = format;
  return std::nullopt;
}

Problem setThreshold(ParseState& state, const std::string& name, const std::string& value) {
  const auto score = numberIn(value, 0, 100);
  if (!score) return name + " is a score from 0 to 100, not '" + value + "'";
  (name == "-w" || name == "--warning" ? state.command.warning : state.command.critical) = *score;
  state.thresholds = true;
  return std::nullopt;
}

Problem setMode(ParseState& state, const std::string&, const std::string& value) {
  if (value != DEEP_MODE && value != FAST_MODE)
    return "--mode is deep or fast, not '" + value + "'";
  state.command.options.mode = value;
  return std::nullopt;
}

Problem setFile(ParseState& state, const std::string&, const std::string& value) {
  if (!state.command.file.empty()) return "--file is given once";
  if (value.empty()) return "--file needs a file name, or - for standard input";
  state.command.file = value;
  return std::nullopt;
}

Problem setJobs(ParseState& state, const std::string&, const std::string& value) {
  const auto jobs = numberIn(value, 1, MAX_JOBS);
  if (!jobs)
    return "--jobs is a number from 1 to " + std::to_string(MAX_JOBS) + ", not '" + value + "'";
  state.command.jobs = *jobs;
  return std::nullopt;
}

Problem setFailOn(ParseState& state, const std::string&, const std::string& value) {
  state.command.failOn = failOnLevel(value);
  if (!state.command.failOn)
    return "--fail-on is watchlist, suspicious or high, not '" + value + "'";
  return std::nullopt;
}

// A switch that only sets one flag of the state.
template <auto Set>
Problem flag(ParseState& state, const std::string&, const std::string&) {
  Set(state);
  return std::nullopt;
}

const OptionSpec OPTIONS[] = {
    {"--", nullptr, false, flag<[](ParseState& s) { s.optionsEnded = true; }>},
    {"-h", "--help", false, flag<[](ParseState& s) { s.command.action = CliAction::help; }>},
    {"-V", "--version", false, flag<[](ParseState& s) { s.command.action = CliAction::version; }>},
    {"--no-geo", nullptr, false, flag<[](ParseState& s) { s.command.options.geo = false; }>},
    {"--no-reputation", nullptr, false,
     flag<[](ParseState& s) { s.command.options.reputation = false; }>},
    {"--no-tor", nullptr, false, flag<[](ParseState& s) { s.command.options.tor = false; }>},
    {"--no-dns", nullptr, false, flag<[](ParseState& s) { s.command.options.dns = false; }>},
    {"--no-local", nullptr, false, flag<[](ParseState& s) { s.command.options.local = false; }>},
    {"--no-auto-ip", nullptr, false, flag<[](ParseState& s) { s.command.options.autoIp = false; }>},
    {"--fast", nullptr, false, flag<[](ParseState& s) { s.command.options.mode = FAST_MODE; }>},
    {"--mode", nullptr, true, setMode},
    {"--json", nullptr, false, chooseFormat},
    {"--csv", nullptr, false, chooseFormat},
    {"--nagios", nullptr, false, chooseFormat},
    {"--details", nullptr, false, flag<[](ParseState& s) { s.command.details = true; }>},
    {"--file", nullptr, true, setFile},
    {"--jobs", nullptr, true, setJobs},
    {"-w", "--warning", true, setThreshold},
    {"-c", "--critical", true, setThreshold},
    {"--my-ip", nullptr, false, flag<[](ParseState& s) { s.myIp = true; }>},
    {"--fail-on", nullptr, true, setFailOn},
};

const OptionSpec* findOption(const std::string& name) {
  for (const OptionSpec& rule : OPTIONS) {
    if (name == rule.name || (rule.alias && name == rule.alias)) return &rule;
  }
  return nullptr;
}

// Reads the switch at args[i] (and its value, moving i past it); a text is the usage error.
Problem readOption(ParseState& state, const std::vector<std::string>& args, std::size_t& i) {
  const std::string& arg = args[i];
  // --name=value or --name value, for the switches that take one.
  std::string name = arg;
  std::optional<std::string> value;
  if (const auto eq = arg.find('='); eq != std::string::npos && arg.rfind("--", 0) == 0) {
    name = arg.substr(0, eq);
    value = arg.substr(eq + 1);
  }
  const OptionSpec* rule = findOption(name);
  const bool takesValue = rule && rule->takesValue;
  if (takesValue && !value) {
    if (i + 1 == args.size()) return name + " needs a value";
    value = args[++i];
  } else if (!takesValue && value) {
    return name + " takes no value";
  }
  if (!rule) return "unknown option '" + arg + "'";
  return rule->apply(state, name, value.value_or(""));
}

// The switches that do not go together, once all are read.
CliCommand checkCombination(ParseState& state) {
  CliCommand& command = state.command;
  const bool nagios = command.format == CliFormat::nagios;
  command.json = command.format == CliFormat::json;
  if (state.formats > 1) return usageError("--json, --csv and --nagios exclude each other");
  if (command.details && command.format != CliFormat::report) {
    return usageError("--details goes with the readable summary, not --json, --csv or --nagios");
  }
  if (state.thresholds && !nagios) return usageError("-w and -c go with --nagios");
  if (command.warning > command.critical) {
    return usageError("-w (" + std::to_string(command.warning) + ") is above -c (" +
                      std::to_string(command.critical) + ")");
  }
  if (nagios && command.failOn) {
    return usageError("--nagios sets the exit status itself; --fail-on does not go with it");
  }
  if (state.myIp) {
    if (!command.addresses.empty() || !command.file.empty()) {
      return usageError("--my-ip takes no address");
    }
    if (command.format == CliFormat::csv || nagios) {
      return usageError("--my-ip prints the address, or with --json an \"ipResult\"");
    }
    command.action = CliAction::myIp;
    return command;
  }
  if (command.addresses.size() == 1) command.address = command.addresses.front();
  return command;
}

}  // namespace

CliCommand parseCommandLine(const std::vector<std::string>& args) {
  ParseState state;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (state.optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      state.command.addresses.push_back(arg);
      continue;
    }
    if (const Problem problem = readOption(state, args, i)) return usageError(*problem);
    // --help and --version answer at once, whatever else the line holds.
    if (state.command.action != CliAction::scan) return state.command;
  }
  return checkCombination(state);
}

bool isBulkRun(const CliCommand& command) {
  return command.addresses.size() > 1 || !command.file.empty() ||
         command.format == CliFormat::csv || command.format == CliFormat::nagios;
}
