#pragma once
#include <string>

#include "net/network.h"

// flagged when a whole line of the downloaded exit list equals the address.
LookupResult isTorExit(const std::string& address, const Network& net);

// The line test on its own: CR and surrounding blanks ignored, '#' lines are comments.
bool exitListHasLine(const std::string& list, const std::string& address);
