#include "net/reverse_octets.h"

#include <sstream>
#include <vector>

std::string reverseIpv4Octets(const std::string& address) {
  // Stream splitting: a trailing '.' starts no further part, two adjacent dots give an empty one.
  std::vector<std::string> parts;
  std::istringstream in(address);
  for (std::string part; std::getline(in, part, '.');) parts.push_back(part);
  if (parts.size() != 4) return {};
  return parts[3] + "." + parts[2] + "." + parts[1] + "." + parts[0];
}
