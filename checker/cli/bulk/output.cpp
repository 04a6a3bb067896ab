// Every text that came from the network or from an address list goes through displayText; the
// CSV and the monitoring line are read by programs that show them to people.
#include "cli/bulk/output.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string_view>

#include "catalogue/catalogue.h"
#include "cli/cli_options.h"
#include "cli/run_network.h"
#include "cli/text_report.h"
#include "json/display_text.h"
#include "scan/scan_counts.h"

namespace {

// Joins the parts in one allocation. ("literal" + a temporary string trips g++ 12's -Wrestrict
// at -O3, a false alarm this avoids.)
std::string concat(std::initializer_list<std::string_view> parts) {
  std::size_t size = 0;
  for (const std::string_view part : parts) size += part.size();
  std::string out;
  out.reserve(size);
  for (const std::string_view part : parts) out += part;
  return out;
}

// Of the unknown sources, those held back by a service's free-tier limit.
int notAskedOf(const ScanReport& report) {
  return static_cast<int>(
      std::count_if(report.sources.begin(), report.sources.end(), [](const SourceEntry& s) {
        return s.status == Status::unknown && s.detail == NOT_ASKED_RATE_LIMIT;
      }));
}

// Why a row has no report: the line's problem, or that no address could be found.
std::string missingReason(const AddressResult& result) {
  if (!result.row.problem.empty()) return result.row.problem;
  return "no address: none given and none discovered";
}

std::string csvField(const std::string& raw) {
  const std::string shown = displayText(raw);
  // A cell a spreadsheet would take for a formula is kept as text (OWASP's CSV-injection rule).
  const bool formula =
      !shown.empty() && std::string_view("=+-@\t\r").find(shown.front()) != std::string_view::npos;
  std::string text(formula ? 1 : 0, '\'');
  text += shown;
  const bool quote = formula || text.find_first_of(",\"") != std::string::npos ||
                     (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quote) return text;
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

int severity(NagiosState state) {
  switch (state) {
    case NagiosState::ok:
      return 0;
    case NagiosState::warning:
      return 1;
    case NagiosState::unknown:
      return 2;
    case NagiosState::critical:
      return 3;
  }
  return 2;
}

const char* stateWord(NagiosState state) {
  switch (state) {
    case NagiosState::ok:
      return "OK";
    case NagiosState::warning:
      return "WARNING";
    case NagiosState::critical:
      return "CRITICAL";
    case NagiosState::unknown:
      break;
  }
  return "UNKNOWN";
}

// ", 2 not asked (free-tier limit reached)", or nothing.
std::string notAskedNote(int notAsked) {
  if (notAsked == 0) return "";
  return ", " + std::to_string(notAsked) + " not asked (free-tier limit reached)";
}

// "203.0.113.77 Suspicious (score 52), 2 of 14 unknown"
std::string describe(const AddressResult& result) {
  if (!result.report) {
    const std::string text = displayText(result.row.text);
    return text.empty() ? missingReason(result) : text + " " + missingReason(result);
  }
  const ScanReport& r = *result.report;
  const ScanCounts counts = countSources(r);
  return displayText(r.ip) + " " + headlineOf(r) + " (score " + std::to_string(r.score) + "), " +
         std::to_string(counts.unknown) + " of " + std::to_string(counts.asked) + " unknown" +
         notAskedNote(notAskedOf(r));
}

std::string scorePerf(int score, int warning, int critical) {
  return std::to_string(score) + ";" + std::to_string(warning) + ";" + std::to_string(critical) +
         ";0;100";
}

}  // namespace

std::string csvHeader() {
  std::string line = "address,score,verdict,flagged,unknown";
  for (const SourceIdentity& source : catalogue()) {
    line += ',';
    line += csvField(std::string(source.name));
  }
  return line + ",problem\n";
}

std::string csvRow(const AddressResult& result) {
  std::string line;
  if (!result.report) {
    line = csvField(result.row.text) + ",,,,";
    for (std::size_t i = 0; i < SOURCE_COUNT; ++i) line += ",";
    return line + "," + csvField(missingReason(result)) + "\n";
  }
  const ScanReport& r = *result.report;
  const ScanCounts counts = countSources(r);
  line = csvField(r.ip) + "," + std::to_string(r.score) + "," +
         csvField(std::string(verdictWord(r.verdict))) + "," + std::to_string(counts.flagged) +
         "," + std::to_string(counts.unknown);
  for (const SourceEntry& s : r.sources) {
    line += ',';
    line += csvField(std::string(statusWord(s.status)));
  }
  return line + ",\n";
}

namespace {

// Worst first: scanned rows by score, then the rows without a report; input order within.
std::vector<const AddressResult*> worstFirst(const std::vector<AddressResult>& results) {
  std::vector<const AddressResult*> order;
  for (const AddressResult& r : results) order.push_back(&r);
  std::stable_sort(order.begin(), order.end(), [](const AddressResult* a, const AddressResult* b) {
    const int sa = a->report ? a->report->score : -1;
    const int sb = b->report ? b->report->score : -1;
    return sa > sb;
  });
  return order;
}

std::string summaryHeading(const std::vector<AddressResult>& results, std::size_t width) {
  std::string mode;  // every scan of a run has the same mode
  for (const AddressResult& r : results) {
    if (r.report) {
      mode = concat({" (", displayText(r.report->mode), " mode)"});
      break;
    }
  }
  return "Velmora scan of " + std::to_string(results.size()) +
         (results.size() == 1 ? " address" : " addresses") + mode + "\n\n" + "  " +
         padded("ADDRESS", width) + "  SCORE  VERDICT     FLAGGED  UNKNOWN  NOTE\n";
}

// What the closing lines count.
struct SummaryTally {
  std::array<int, 4> verdicts{};
  int withoutReport = 0;
  int withUnknown = 0;
  int incomplete = 0;  // their verdict rests on too little to be counted with the others
};

std::string scannedRow(const ScanReport& report, std::size_t width, bool colour,
                       SummaryTally& tally) {
  const ScanCounts counts = countSources(report);
  const bool complete = completenessOf(counts) == Completeness::complete;
  const char* verdictPaint = complete ? verdictColour(report.verdict) : INCOMPLETE_COLOUR;
  if (complete) ++tally.verdicts[static_cast<std::size_t>(report.verdict)];
  if (!complete) ++tally.incomplete;
  if (counts.unknown > 0) ++tally.withUnknown;
  std::string flagged;
  for (const SourceEntry& s : report.sources) {
    if (s.status == Status::bad) flagged += (flagged.empty() ? "" : ", ") + displayText(s.name);
  }
  const std::string verdict = padded(headlineOf(report), 10);
  return "  " + padded(displayText(report.ip), width) + "  " +
         padded(std::to_string(report.score) + "%", 5) + "  " +
         (colour ? verdictPaint + verdict + "\x1b[0m" : verdict) + "  " +
         padded(std::to_string(counts.flagged), 7) + "  " +
         padded(std::to_string(counts.unknown), 7) + "  " + flagged;
}

std::string summaryFooter(const SummaryTally& tally) {
  std::string out = "\nVerdicts: ";
  for (const Verdict v :
       {Verdict::highRisk, Verdict::suspicious, Verdict::watchlist, Verdict::clean}) {
    const int count = tally.verdicts[static_cast<std::size_t>(v)];
    out += concat({v == Verdict::highRisk ? "" : ", ", std::to_string(count), " ", verdictWord(v)});
  }
  if (tally.incomplete > 0) out += concat({"; ", std::to_string(tally.incomplete), " incomplete"});
  if (tally.withoutReport > 0) {
    out += concat({"; ", std::to_string(tally.withoutReport), " not scanned"});
  }
  out += "\n";
  if (tally.withUnknown > 0) {
    out += concat({"\n", std::to_string(tally.withUnknown),
                   tally.withUnknown == 1 ? " address has" : " addresses have",
                   " sources that gave no answer (UNKNOWN above). Unknown sources add\n"
                   "nothing to the score, so those verdicts may be too kind: see --details.\n"});
  }
  return out;
}

}  // namespace

std::string summaryReport(const std::vector<AddressResult>& results, bool colour, bool details) {
  const std::vector<const AddressResult*> order = worstFirst(results);
  std::size_t width = 7;
  for (const AddressResult* r : order) {
    width = std::max(width, displayText(r->report ? r->report->ip : r->row.text).size());
  }
  std::string out = summaryHeading(results, width);
  SummaryTally tally;
  for (const AddressResult* r : order) {
    std::string line;
    if (r->report) {
      line = scannedRow(*r->report, width, colour, tally);
    } else {
      ++tally.withoutReport;
      line = "  " + padded(displayText(r->row.text), width) + "  -      -           -        -  " +
             "      " + displayText(r->row.origin) + ": " + missingReason(*r);
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line + "\n";
  }
  out += summaryFooter(tally);
  if (details) {
    for (const AddressResult& r : results) {
      if (!r.report) continue;
      out += '\n';
      out += formatReport(*r.report, colour);
    }
  }
  return out;
}

NagiosState nagiosState(const AddressResult& result, int warning, int critical) {
  if (!result.report) return NagiosState::unknown;
  const ScanCounts counts = countSources(*result.report);
  const int score = result.report->score;
  // Unknown sources can only add to a score, so one that reached -c is critical whatever they
  // would have said.
  if (score >= critical) return NagiosState::critical;
  if (completenessOf(counts) != Completeness::complete) return NagiosState::unknown;
  return score >= warning ? NagiosState::warning : NagiosState::ok;
}

NagiosLine nagiosLine(const std::vector<AddressResult>& results, int warning, int critical) {
  if (results.empty()) return {NagiosState::unknown, nagiosUnknown("no address to scan")};
  std::array<int, 4> inState{};  // by severity
  const AddressResult* worst = nullptr;
  int worstSeverity = -1;
  for (const AddressResult& r : results) {
    const int s = severity(nagiosState(r, warning, critical));
    ++inState[static_cast<std::size_t>(s)];
    const bool higherScore = s == worstSeverity && r.report &&
                             (!worst->report || r.report->score > worst->report->score);
    if (s > worstSeverity || higherScore) {
      worst = &r;
      worstSeverity = s;
    }
  }
  const NagiosState state = nagiosState(*worst, warning, critical);
  NagiosLine line{state, std::string("VELMORA ") + stateWord(state) + " - "};
  if (results.size() == 1) {
    line.text += describe(*worst);
    if (worst->report) {
      const ScanCounts counts = countSources(*worst->report);
      line.text += " | score=" + scorePerf(worst->report->score, warning, critical) +
                   " flagged=" + std::to_string(counts.flagged) +
                   " unknown=" + std::to_string(counts.unknown);
    }
    line.text += "\n";
    return line;
  }
  int notAsked = 0;  // over every address: the worst one's note may not show them
  for (const AddressResult& r : results) {
    if (r.report) notAsked += notAskedOf(*r.report);
  }
  const std::string worstText = describe(*worst);
  const bool worstSaysAll = worst->report && notAskedOf(*worst->report) == notAsked;
  line.text +=
      std::to_string(results.size()) + " addresses: " + std::to_string(inState[3]) + " critical, " +
      std::to_string(inState[2]) + " unknown, " + std::to_string(inState[1]) + " warning, " +
      std::to_string(inState[0]) + " ok; worst " + worstText +
      (worstSaysAll ? ""
                    : "; " + std::to_string(notAsked) +
                          " sources not asked in all (free-tier limit reached)") +
      " | critical=" + std::to_string(inState[3]) + " unknown=" + std::to_string(inState[2]) +
      " warning=" + std::to_string(inState[1]) + " ok=" + std::to_string(inState[0]);
  int worstScore = -1;
  for (const AddressResult& r : results) {
    if (r.report) worstScore = std::max<int>(worstScore, r.report->score);
  }
  if (worstScore >= 0) line.text += " worst_score=" + scorePerf(worstScore, warning, critical);
  line.text += "\n";
  return line;
}

std::string nagiosUnknown(const std::string& why) {
  return "VELMORA UNKNOWN - " + displayText(why) + "\n";
}
