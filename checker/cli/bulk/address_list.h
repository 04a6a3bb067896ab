#pragma once
// The addresses of a run: from the command line and from --file (a file or standard input).
#include <istream>
#include <string>
#include <vector>

struct AddressRow {
  std::string text;     // as given, blanks around it removed
  std::string problem;  // why it is no IPv4 address; empty when it is one
  std::string origin;   // "argument 2", "list.txt line 7", "standard input line 3"
};

// Empty when text is a dotted-quad IPv4 address (four decimal numbers 0-255, no leading zero);
// else a short reason.
std::string ipv4Problem(const std::string& text);

// One row per line that is not blank and does not start with '#'. CR at line ends and a byte
// order mark before the first line are dropped.
std::vector<AddressRow> readAddressLines(std::istream& in, const std::string& name);

AddressRow addressArgument(const std::string& text, std::size_t position);
