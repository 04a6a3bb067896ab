// A table of the sixteen sources, the score and verdict, the log lines, and a warning when
// some sources could not be asked: their "unknown" adds nothing, so the verdict may be too kind.
#include "cli/text_report.h"

#include <algorithm>

#include "cli/cli_options.h"

namespace {

const char* colourOf(const std::string& status) {
  if (status == "clean") return "\x1b[32m";
  if (status == "bad") return "\x1b[31m";
  if (status == "unknown") return "\x1b[33m";
  return "\x1b[2m";  // off
}

const char* verdictColour(const std::string& verdict) {
  switch (verdictRank(verdict)) {
    case 0:
      return "\x1b[1;32m";
    case 1:
      return "\x1b[1;33m";
    default:
      return "\x1b[1;31m";
  }
}

std::string padded(const std::string& text, std::size_t width) {
  return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

std::string painted(const std::string& text, const char* colour, bool on) {
  return on ? colour + text + "\x1b[0m" : text;
}

}  // namespace

std::string unknownSourcesNote(const ScanReport& report) {
  const auto unknown = std::count_if(report.sources.begin(), report.sources.end(),
                                     [](const SourceEntry& s) { return s.status == "unknown"; });
  if (unknown == 0) return {};
  return std::to_string(unknown) + " of " + std::to_string(report.sources.size()) +
         " sources gave no answer (\"unknown\" above, with the reason). Unknown sources add "
         "nothing\n"
         "to the score, so this verdict may be too kind: check the connection or try again "
         "later.\n";
}

std::string formatReport(const ScanReport& report, bool colour) {
  std::size_t nameWidth = 6;
  std::size_t domainWidth = 6;
  for (const SourceEntry& s : report.sources) {
    nameWidth = std::max(nameWidth, s.name.size());
    domainWidth = std::max(domainWidth, s.domain.size());
  }

  std::string out = "Velmora scan of " + report.ip + " (" + report.mode + " mode)\n\n";
  out += "  " + padded("SOURCE", nameWidth) + "  " + padded("DOMAIN", domainWidth) +
         "  STATUS   DETAIL\n";
  for (const SourceEntry& s : report.sources) {
    std::string line = "  " + padded(s.name, nameWidth) + "  " + padded(s.domain, domainWidth) +
                       "  " + painted(s.status, colourOf(s.status), colour) +
                       std::string(7 - std::min<std::size_t>(s.status.size(), 7), ' ');
    if (!s.detail.empty()) line += "  " + s.detail;
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line + "\n";
  }

  out += "\nScore " + std::to_string(report.score) + "% - " +
         painted(report.verdict, verdictColour(report.verdict), colour) + "\n";
  const std::string note = unknownSourcesNote(report);
  if (!note.empty()) out += "\n" + painted(note, "\x1b[33m", colour);

  out += "\nLog\n";
  for (const std::string& line : report.logs) out += "  " + line + "\n";
  return out;
}
