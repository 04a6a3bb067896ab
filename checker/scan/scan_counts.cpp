#include "scan/scan_counts.h"

#include "catalogue/catalogue.h"

namespace {

// Reverse DNS and the local proxy setting are reported but add nothing to the score.
bool weighs(const SourceEntry& s) {
  const bool scoredGroup =
      s.group == "geo" || s.group == "rep" || s.group == "tor" || s.group == "dns";
  return scoredGroup && s.name != sourceByKey("reverseDns").name;
}

}  // namespace

ScanCounts countSources(const ScanReport& report) {
  ScanCounts counts;
  for (const SourceEntry& s : report.sources) {
    if (s.status == Status::off || s.group == "ip") continue;
    ++counts.asked;
    if (s.status == Status::bad) ++counts.flagged;
    if (s.status == Status::unknown) ++counts.unknown;
    if (weighs(s)) {
      ++counts.weighedAsked;
      if (s.status == Status::clean || s.status == Status::bad) ++counts.weighedAnswered;
    }
  }
  return counts;
}

Completeness completenessOf(const ScanCounts& counts) {
  if (counts.weighedAsked == 0) return Completeness::nothingChecked;
  if (counts.weighedAnswered == 0 || counts.unknown * 2 > counts.asked) {
    return Completeness::incomplete;
  }
  return Completeness::complete;
}

std::string headlineOf(const ScanReport& report) {
  switch (completenessOf(countSources(report))) {
    case Completeness::nothingChecked:
      return "Nothing checked";
    case Completeness::incomplete:
      return "Incomplete";
    case Completeness::complete:
      break;
  }
  return std::string(verdictWord(report.verdict));
}
