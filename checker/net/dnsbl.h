#pragma once
#include <string>

#include "net/deadline.h"
#include "net/lookup.h"
#include "net/network.h"

// Asks the system resolver for A records of <reversed address>.<zone>. flagged: a listing code
// came back; clear: NXDOMAIN or no A record; failed: everything else, with its reason.
// The resolver's limits are shortened to end by `deadline`.
LookupResult dnsblListed(const std::string& address, const std::string& zone,
                         Deadline deadline = NO_DEADLINE);

// The same question asked of the zone's own name servers: their names (NS) and addresses (A)
// through the system resolver, then the A question sent straight to one of them without asking
// for recursion, over UDP, again over TCP when the answer comes truncated, and to the next
// server when one fails. Read like dnsblListed's answer. Ends by `deadline` and within
// DIRECT_QUERY_LIMIT.
LookupResult dnsblListedDirect(const std::string& address, const std::string& zone,
                               Deadline deadline = NO_DEADLINE);
