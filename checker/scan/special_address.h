#pragma once
// Addresses that are not on the public internet (IANA's IPv4 special-purpose registry, multicast,
// the reserved block): public reputation sources know nothing useful about them.
#include <optional>
#include <string>
#include <string_view>

// "a private address (RFC 1918)", ...; nothing for an ordinary public address or a text that
// is no dotted IPv4 address.
std::optional<std::string_view> specialAddressKind(std::string_view address);

// The sentence shown above the sources; nothing for an ordinary public address.
std::optional<std::string> specialAddressNote(std::string_view address);
