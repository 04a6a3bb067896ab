#pragma once
// The readable form of a scan for a person at a terminal.
#include <cstddef>
#include <string>

#include "scan/report.h"

// The ANSI colour of a verdict by its rank (verdictRank): green, yellow, then red.
const char* verdictColour(int rank);

// The text followed by blanks up to width bytes.
std::string padded(const std::string& text, std::size_t width);

// colour: wrap status words and the verdict in ANSI colours.
std::string formatReport(const ScanReport& report, bool colour);

// The closing note about sources that gave no answer; empty when every source answered.
std::string unknownSourcesNote(const ScanReport& report);

// "Score 40% - Watchlist", or "Incomplete - ..." / "Nothing checked: ..." where the verdict
// rests on too little.
std::string scoreLine(const ScanReport& report, bool colour);
