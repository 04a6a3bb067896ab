#include "net/reverse_octets.h"

#include <sstream>
#include <vector>

std::string ptrQueryName(const Ipv4Bytes& b) {
  return std::to_string(b[3]) + "." + std::to_string(b[2]) + "." + std::to_string(b[1]) + "." +
         std::to_string(b[0]) + ".in-addr.arpa";
}

std::string reverseIpv4Octets(const std::string& address) {
  // Stream splitting: a trailing '.' starts no further part, two adjacent dots give an empty one.
  std::vector<std::string> parts;
  std::istringstream in(address);
  for (std::string part; std::getline(in, part, '.');) parts.push_back(part);
  if (parts.size() != 4) return {};
  return parts[3] + "." + parts[2] + "." + parts[1] + "." + parts[0];
}
