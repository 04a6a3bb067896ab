#pragma once
#include <string>

#include "net/deadline.h"
#include "net/lookup.h"

// The name the address's PTR record gives. answered with an empty name: not dotted IPv4, or no
// PTR record; not answered: the resolver failed, or its answer did not answer the question.
// The resolver's limits are shortened to end by `deadline` where the platform lets them be set
// (Linux); elsewhere the system's own limits apply.
NameLookup reverseDnsName(const std::string& address, Deadline deadline = NO_DEADLINE);
