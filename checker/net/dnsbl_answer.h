#pragma once
// Platform-independent half of a blocklist query: the query name and the reading of the answer.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "net/ipv4.h"
#include "net/lookup.h"

// <reversed address>.<zone>, or nothing when the address does not split into four parts.
std::optional<std::string> dnsblQueryName(const std::string& address, const std::string& zone);

// An empty or overlong label (from "1..2.3", say) is never sent: resolvers answer it with
// errors that differ from one system to the next and look like any other failure.
bool isWellFormedQueryName(const std::string& name);

// Reads the A records of a successful answer. Listed only for a code in 127.0.0.0/8 that is
// neither 127.0.0.1 (a filtering resolver) nor in 127.255.255.0/24 (the list refusing to answer).
// A refusal carries its code (the first one, when there are several).
LookupResult classifyDnsblAnswer(const std::vector<Ipv4Bytes>& records);
