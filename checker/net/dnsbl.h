#pragma once
#include <string>

#include "net/deadline.h"
#include "net/lookup.h"

// Asks the system resolver for A records of <reversed address>.<zone>. flagged: a listing code
// came back; clear: NXDOMAIN or no A record; failed: everything else, with its reason.
// The resolver's limits are shortened to end by `deadline`.
LookupResult dnsblListed(const std::string& address, const std::string& zone,
                         Deadline deadline = NO_DEADLINE);
