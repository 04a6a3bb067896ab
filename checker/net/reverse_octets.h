#pragma once
#include <string>

#include "net/ipv4.h"

// "1.2.3.4" -> "4.3.2.1"; empty unless the text splits into exactly four parts at '.'.
std::string reverseIpv4Octets(const std::string& address);

// The PTR question for an address: "d.c.b.a.in-addr.arpa", without the final dot.
std::string ptrQueryName(const Ipv4Bytes& address);
