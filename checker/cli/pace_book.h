#pragma once
// Where the pace of each service is kept: in memory for one run, or in a small file that every
// run of the user shares, so runs from cron together keep the services' free-tier limits.
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "cli/pacing.h"

using PaceMap = std::map<std::string, PaceState, std::less<>>;  // by request host

struct PaceBook {
  // Calls change with every service's pace; no other thread or run touches it meanwhile, and
  // what change leaves is what the next caller sees.
  std::function<void(const std::function<void(PaceMap&)>& change)> update;
};

PaceBook memoryPaceBook();

// Told why the shared file could not be used as it was (it starts afresh, or the run keeps
// its pace to itself); the run goes on either way.
using PaceWarning = std::function<void(const std::string& why)>;

// The file "pace" in folder (made if missing), under the lock of "pace.lock" beside it.
PaceBook filePaceBook(const std::string& folder, PaceWarning warn);

// The file's text, and back: nothing when the text is not one this program wrote. Only hosts,
// times of recent requests and back-off ends, in milliseconds since 1970.
std::string writePaceText(const PaceMap& services);
std::optional<PaceMap> readPaceText(const std::string& text);
