#pragma once
// velmora-scan over many addresses: the list read, the scans run a few at once over one shared,
// paced network, the rows printed as they are ready (in input order), the exit status.
#include <ostream>

#include "cli/cli_options.h"
#include "cli/run_network.h"
#include "net/network.h"

struct BulkStreams {
  std::ostream& out;
  std::ostream& err;
  bool colour = false;    // stdout is a colour terminal
  bool progress = false;  // stderr is a terminal: show the progress line
};

// The exit status of the run (see USAGE_TEXT).
int runBulk(const CliCommand& command, const Network& net, const RunPace& pace,
            BulkStreams streams);
