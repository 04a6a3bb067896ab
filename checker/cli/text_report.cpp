// A table of the sixteen sources, the score and verdict, the log lines, and a warning when
// some sources could not be asked: their "unknown" adds nothing, so the verdict may be too kind.
#include "cli/text_report.h"

#include <algorithm>
#include <array>
#include <vector>

#include "cli/cli_options.h"
#include "cli/display_text.h"

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
  std::string out = text;
  out.append(width > text.size() ? width - text.size() : 0, ' ');
  return out;
}

std::string painted(const std::string& text, const char* colour, bool on) {
  if (!on) return text;
  std::string out = colour;
  out += text;
  out += "\x1b[0m";
  return out;
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
  // Names, details and log lines come from answers: shown escaped, never as terminal commands.
  std::vector<std::array<std::string, 4>> rows;  // name, domain, status, detail
  std::size_t nameWidth = 6;
  std::size_t domainWidth = 6;
  for (const SourceEntry& s : report.sources) {
    rows.push_back(
        {displayText(s.name), displayText(s.domain), displayText(s.status), displayText(s.detail)});
    nameWidth = std::max(nameWidth, rows.back()[0].size());
    domainWidth = std::max(domainWidth, rows.back()[1].size());
  }

  std::string out = "Velmora scan of ";
  out += displayText(report.ip);
  out += " (";
  out += displayText(report.mode);
  out += " mode)\n\n  ";
  out += padded("SOURCE", nameWidth);
  out += "  ";
  out += padded("DOMAIN", domainWidth);
  out += "  STATUS   DETAIL\n";
  for (const auto& [name, domain, status, detail] : rows) {
    std::string line = "  ";
    line += padded(name, nameWidth);
    line += "  ";
    line += padded(domain, domainWidth);
    line += "  ";
    line += painted(status, colourOf(status), colour);
    line += std::string(7 - std::min<std::size_t>(status.size(), 7), ' ');
    if (!detail.empty()) {
      line += "  ";
      line += detail;
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line;
    out += '\n';
  }

  out += "\nScore ";
  out += std::to_string(report.score);
  out += "% - ";
  out += painted(displayText(report.verdict), verdictColour(report.verdict), colour);
  out += '\n';
  const std::string note = unknownSourcesNote(report);
  if (!note.empty()) {
    out += '\n';
    out += painted(note, "\x1b[33m", colour);
  }

  out += "\nLog\n";
  for (const std::string& line : report.logs) {
    out += "  ";
    out += displayText(line);
    out += '\n';
  }
  return out;
}
