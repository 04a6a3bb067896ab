#pragma once
// How many sources of a report were asked, flagged or gave no answer, and whether that is enough
// for its verdict to stand. Every output counts the same way: the public-IP entry is no evidence
// about the address, and a source switched off or retired was not asked.
#include <string>

#include "scan/report.h"

struct ScanCounts {
  int asked = 0;
  int flagged = 0;
  int unknown = 0;
  int weighedAsked = 0;     // asked sources that can move the score
  int weighedAnswered = 0;  // ... of which answered clean or bad
};

ScanCounts countSources(const ScanReport& report);

enum class Completeness { complete, incomplete, nothingChecked };

// Nothing checked: no source of weight was asked. Incomplete: none of them answered, or more than
// half of the sources asked gave no answer.
Completeness completenessOf(const ScanCounts& counts);

// What a person reads first: "Nothing checked", "Incomplete", or the verdict.
std::string headlineOf(const ScanReport& report);
