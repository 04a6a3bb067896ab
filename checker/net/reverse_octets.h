#pragma once
#include <string>

// "1.2.3.4" -> "4.3.2.1"; empty unless the text splits into exactly four parts at '.'.
std::string reverseIpv4Octets(const std::string& address);
