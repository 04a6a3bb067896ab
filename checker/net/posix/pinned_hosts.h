#pragma once
// Addresses the step before a scan found, kept for the scan's requests so that none of them
// waits for a look-up of its own (libcurl is handed them with CURLOPT_RESOLVE).
#include <string>
#include <vector>

// addresses: numeric text, IPv6 without brackets.
void pinHost(const std::string& host, const std::vector<std::string>& addresses);

// "host:80:addresses" and "host:443:addresses" while a pin is fresh; empty otherwise.
std::vector<std::string> pinnedResolveEntries(const std::string& host);
