// A table of the sixteen sources, the score and verdict, the log lines, and a warning when
// some sources could not be asked: their "unknown" adds nothing, so the verdict may be too kind.
#include "cli/text_report.h"

#include <algorithm>
#include <vector>

#include "json/display_text.h"
#include "scan/scan_counts.h"
#include "scan/special_address.h"

namespace {

const char* colourOf(Status status) {
  switch (status) {
    case Status::clean:
      return "\x1b[32m";
    case Status::bad:
      return "\x1b[31m";
    case Status::unknown:
      return "\x1b[33m";
    case Status::off:
      break;
  }
  return "\x1b[2m";
}

// One line of the table, its texts made safe to print.
struct Row {
  std::string name;
  std::string domain;
  Status status;
  std::string detail;
};

std::string painted(const std::string& text, const char* colour, bool on) {
  if (!on) return text;
  std::string out = colour;
  out += text;
  out += "\x1b[0m";
  return out;
}

// Breaks a paragraph at blanks into lines of at most width bytes (a longer word stands alone).
std::string wrapped(const std::string& text, std::size_t width) {
  std::string out;
  std::size_t lineStart = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find(' ', at);
    if (end == std::string::npos) end = text.size();
    if (end - lineStart > width && at > lineStart) {
      out.back() = '\n';
      lineStart = out.size();
    }
    out.append(text, at, end - at);
    if (end < text.size()) out += ' ';
    at = end + 1;
  }
  return out;
}

}  // namespace

const char* verdictColour(Verdict verdict) {
  switch (verdict) {
    case Verdict::clean:
      return "\x1b[1;32m";
    case Verdict::watchlist:
      return "\x1b[1;33m";
    case Verdict::suspicious:
    case Verdict::highRisk:
      break;
  }
  return "\x1b[1;31m";
}

std::string padded(const std::string& text, std::size_t width) {
  std::string out = text;
  out.append(width > text.size() ? width - text.size() : 0, ' ');
  return out;
}

std::string scoreLine(const ScanReport& report, bool colour) {
  const std::string score = std::to_string(report.score) + "%";
  const std::string verdict(verdictWord(report.verdict));
  switch (completenessOf(countSources(report))) {
    case Completeness::nothingChecked:
      return "Nothing checked: every source that counts was switched off";
    case Completeness::incomplete:
      return painted("Incomplete", INCOMPLETE_COLOUR, colour) +
             " - too few sources answered (score so far " + score + ", " + verdict + ")";
    case Completeness::complete:
      break;
  }
  return "Score " + score + " - " + painted(verdict, verdictColour(report.verdict), colour);
}

std::string unknownSourcesNote(const ScanReport& report) {
  const ScanCounts counts = countSources(report);
  if (counts.unknown == 0) return {};
  return std::to_string(counts.unknown) + " of " + std::to_string(counts.asked) +
         " sources gave no answer (\"unknown\" above, with the reason). Unknown sources add "
         "nothing\n"
         "to the score, so this verdict may be too kind: check the connection or try again "
         "later.\n";
}

std::string formatReport(const ScanReport& report, bool colour) {
  // Names, details and log lines come from answers: shown escaped, never as terminal commands.
  std::vector<Row> rows;
  std::size_t nameWidth = 6;
  std::size_t domainWidth = 6;
  for (const SourceEntry& s : report.sources) {
    rows.push_back({displayText(s.name), displayText(s.domain), s.status, displayText(s.detail)});
    nameWidth = std::max(nameWidth, rows.back().name.size());
    domainWidth = std::max(domainWidth, rows.back().domain.size());
  }

  std::string out = "Velmora scan of ";
  out += displayText(report.ip);
  out += " (";
  out += displayText(report.mode);
  out += " mode)\n\n";
  if (const auto note = specialAddressNote(report.ip)) {
    out += painted(wrapped(displayText(*note), 95), "\x1b[33m", colour);
    out += "\n\n";
  }
  out += "  ";
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
    const std::string word(statusWord(status));
    line += painted(word, colourOf(status), colour);
    line += std::string(7 - std::min<std::size_t>(word.size(), 7), ' ');
    if (!detail.empty()) {
      line += "  ";
      line += detail;
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line;
    out += '\n';
  }

  out += '\n';
  out += scoreLine(report, colour);
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
