// velmora-scan's command line: what each switch turns into, what is refused, and that --help
// names every switch the parser accepts.
#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

std::string describe(const CliCommand& c) {
  const ScanOptions& o = c.options;
  std::string s;
  switch (c.action) {
    case CliAction::scan:
      s = "scan";
      break;
    case CliAction::myIp:
      s = "my-ip";
      break;
    case CliAction::help:
      return "help";
    case CliAction::version:
      return "version";
    case CliAction::usageError:
      return "usage";
  }
  s += " [" + c.address + "] " + o.mode;
  for (const auto& [on, name] : {std::pair{o.geo, "geo"},
                                 {o.reputation, "rep"},
                                 {o.tor, "tor"},
                                 {o.dns, "dns"},
                                 {o.local, "local"},
                                 {o.autoIp, "auto"}}) {
    if (!on) s += std::string(" no-") + name;
  }
  if (c.json) s += " json";
  if (c.format == CliFormat::csv) s += " csv";
  if (c.format == CliFormat::nagios) {
    s += " nagios " + std::to_string(c.warning) + "/" + std::to_string(c.critical);
  }
  if (c.details) s += " details";
  if (c.failOn) s += " fail-on " + std::string(verdictWord(*c.failOn));
  if (c.addresses.size() > 1) s += " addresses " + std::to_string(c.addresses.size());
  if (!c.file.empty()) s += " file " + c.file;
  if (c.jobs != 4) s += " jobs " + std::to_string(c.jobs);
  if (isBulkRun(c)) s += " bulk";
  return s;
}

TEST(CliOptions, SwitchesAndAddresses) {
  struct Case {
    Args args;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {{}, "scan [] deep"},
      {{"198.51.100.23"}, "scan [198.51.100.23] deep"},
      {{"--no-geo", "--no-reputation", "--no-tor", "--no-dns", "--no-local", "--no-auto-ip"},
       "scan [] deep no-geo no-rep no-tor no-dns no-local no-auto"},
      {{"--fast", "1.2.3.4"}, "scan [1.2.3.4] fast"},
      {{"--mode", "fast"}, "scan [] fast"},
      {{"--mode=deep", "--fast", "--mode", "deep"}, "scan [] deep"},
      {{"--json", "--fail-on", "watchlist", "x"}, "scan [x] deep json fail-on Watchlist"},
      {{"--fail-on=suspicious"}, "scan [] deep fail-on Suspicious"},
      {{"--fail-on", "high"}, "scan [] deep fail-on High risk"},
      {{"--my-ip", "--json"}, "my-ip [] deep json"},
      {{"--", "-1.2.3.4"}, "scan [-1.2.3.4] deep"},
      {{"a b c"}, "scan [a b c] deep"},
      {{"--help", "--bogus"}, "help"},
      {{"-h"}, "help"},
      {{"-V"}, "version"},
      {{"--version"}, "version"},
      {{"--bogus"}, "usage"},
      {{"-x", "1.2.3.4"}, "usage"},
      {{"--mode"}, "usage"},
      {{"--mode", "Fast"}, "usage"},
      {{"--mode=slow"}, "usage"},
      {{"--fail-on", "clean"}, "usage"},
      {{"--json=yes"}, "usage"},
      {{"1.2.3.4", "5.6.7.8"}, "scan [] deep addresses 2 bulk"},
      {{"--file", "-", "--jobs=8"}, "scan [] deep file - jobs 8 bulk"},
      {{"--file=list.txt", "1.2.3.4"}, "scan [1.2.3.4] deep file list.txt bulk"},
      {{"--csv", "1.2.3.4"}, "scan [1.2.3.4] deep csv bulk"},
      {{"--nagios", "-w", "40", "--critical=90"}, "scan [] deep nagios 40/90 bulk"},
      {{"--details", "1.2.3.4"}, "scan [1.2.3.4] deep details"},
      {{"--json", "--json", "1", "2"}, "scan [] deep json addresses 2 bulk"},
      {{"--my-ip", "1.2.3.4"}, "usage"},
      {{"--my-ip", "--file", "x"}, "usage"},
      {{"--my-ip", "--csv"}, "usage"},
      {{"--json", "--csv"}, "usage"},
      {{"--csv", "--details"}, "usage"},
      {{"--file", ""}, "usage"},
      {{"--file", "a", "--file", "b"}, "usage"},
      {{"--jobs", "0"}, "usage"},
      {{"--jobs", "33"}, "usage"},
      {{"--jobs", "4x"}, "usage"},
      {{"-w", "50"}, "usage"},
      {{"--nagios", "-w", "101"}, "usage"},
      {{"--nagios", "-w", "80", "-c", "70"}, "usage"},
      {{"--nagios", "--fail-on", "high"}, "usage"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    EXPECT_EQ(describe(parseCommandLine(c.args)), c.expected);
  }
}

TEST(CliOptions, UsageErrorsSayWhatWasWrong) {
  EXPECT_EQ(parseCommandLine({"--bogus"}).error, "unknown option '--bogus'");
  EXPECT_EQ(parseCommandLine({"--mode"}).error, "--mode needs a value");
  EXPECT_EQ(parseCommandLine({"--jobs", "0"}).error, "--jobs is a number from 1 to 32, not '0'");
  EXPECT_EQ(parseCommandLine({"--nagios", "-w", "80"}).error, "-w (80) is above -c (75)");
}

TEST(CliOptions, HelpNamesEverySwitchAndExitCode) {
  const std::string help = USAGE_TEXT;
  for (const std::string option :
       {"--no-geo",     "--no-reputation", "--no-tor",  "--no-dns",  "--no-local",
        "--no-auto-ip", "--mode",          "--fast",    "--json",    "--my-ip",
        "--fail-on",    "--help",          "--version", "--file",    "--jobs",
        "--csv",        "--details",       "--nagios",  "--warning", "--critical"}) {
    SCOPED_TRACE(option);
    EXPECT_NE(help.find(" " + option + " "), std::string::npos);
    Args args = {option};
    if (option == "--mode") args.push_back("fast");
    if (option == "--fail-on") args.push_back("high");
    if (option == "--file") args.push_back("-");
    if (option == "--jobs") args.push_back("2");
    if (option == "--warning" || option == "--critical") args = {"--nagios", option, "60"};
    EXPECT_NE(parseCommandLine(args).action, CliAction::usageError);
  }
  for (const char* code : {"  0  ", "  1  ", "  2  ", "  3  "}) {
    EXPECT_NE(help.find(code), std::string::npos) << code;
  }
}

}  // namespace
