#pragma once
// The readable form of a scan for a person at a terminal.
#include <string>

#include "scan/report.h"

// colour: wrap status words and the verdict in ANSI colours.
std::string formatReport(const ScanReport& report, bool colour);

// The closing note about sources that gave no answer; empty when every source answered.
std::string unknownSourcesNote(const ScanReport& report);

// "Score 40% - Watchlist", or "Incomplete - ..." / "Nothing checked: ..." where the verdict
// rests on too little.
std::string scoreLine(const ScanReport& report, bool colour);
