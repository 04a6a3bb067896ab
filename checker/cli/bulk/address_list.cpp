// Address lists: blanks and comments skipped, everything else kept in order with its origin, so
// a bad line is reported where it stands instead of vanishing.
#include "cli/bulk/address_list.h"

#include <string_view>

namespace {

std::string trimmed(std::string_view s) {
  const auto blank = [](char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
  };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return std::string(s);
}

}  // namespace

std::string ipv4Problem(const std::string& text) {
  if (text.empty()) return "empty address";
  if (text.find(':') != std::string::npos) return "IPv6 or host:port, not an IPv4 address";
  std::size_t parts = 0;
  std::size_t i = 0;
  while (true) {
    std::size_t digits = 0;
    unsigned value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 4) {
      value = value * 10 + static_cast<unsigned>(text[i] - '0');
      ++digits;
      ++i;
    }
    if (digits == 0 || digits > 3) return "not an IPv4 address (four numbers 0-255 with dots)";
    if (value > 255) return "not an IPv4 address (a part is over 255)";
    if (digits > 1 && text[i - digits] == '0')
      return "not an IPv4 address (a part has a leading zero)";
    ++parts;
    if (i == text.size()) break;
    if (text[i] != '.' || parts == 4) return "not an IPv4 address (four numbers 0-255 with dots)";
    ++i;
  }
  if (parts != 4) return "not an IPv4 address (four numbers 0-255 with dots)";
  return {};
}

std::vector<AddressRow> readAddressLines(std::istream& in, const std::string& name) {
  std::vector<AddressRow> rows;
  std::string line;
  std::size_t number = 0;
  while (std::getline(in, line)) {
    ++number;
    // A list saved by a Windows editor may begin with a UTF-8 byte order mark.
    if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
    std::string text = trimmed(line);
    if (text.empty() || text.front() == '#') continue;
    std::string problem = ipv4Problem(text);
    rows.push_back({std::move(text), std::move(problem), name + " line " + std::to_string(number)});
  }
  return rows;
}

AddressRow addressArgument(const std::string& text, std::size_t position) {
  return {text, ipv4Problem(text), "argument " + std::to_string(position)};
}
