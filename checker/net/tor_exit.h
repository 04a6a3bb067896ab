#pragma once
#include <string>
#include <string_view>

#include "net/network.h"

// Where the exit list stands on its host; a run of many scans fetches it once by this path.
inline constexpr std::string_view TOR_EXIT_LIST_PATH = "/torbulkexitlist";

// flagged when a whole line of the downloaded exit list equals the address.
LookupResult isTorExit(const std::string& address, const Network& net);

// The line test on its own: CR and surrounding blanks ignored, '#' lines are comments.
bool exitListHasLine(const std::string& list, const std::string& address);
