#pragma once
// The readable form of a scan for a person at a terminal.
#include <cstddef>
#include <string>

#include "scan/report.h"

// The ANSI colour of a verdict: green, yellow, then red.
const char* verdictColour(Verdict verdict);
// ... and of a report whose verdict rests on too little.
inline constexpr const char* INCOMPLETE_COLOUR = "\x1b[1;33m";

// The text followed by blanks up to width bytes.
std::string padded(const std::string& text, std::size_t width);

// colour: wrap status words and the verdict in ANSI colours.
std::string formatReport(const ScanReport& report, bool colour);

// The closing note about sources that gave no answer; empty when every source answered.
std::string unknownSourcesNote(const ScanReport& report);

// "Score 40% - Watchlist", or "Incomplete - ..." / "Nothing checked: ..." where the verdict
// rests on too little.
std::string scoreLine(const ScanReport& report, bool colour);
