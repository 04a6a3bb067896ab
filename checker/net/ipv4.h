#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// An address as its four bytes, in the dotted order (network order).
using Ipv4Bytes = std::array<std::uint8_t, 4>;

// "a.b.c.d": four decimal numbers 0-255 (no sign, no leading zero, no blanks), as a number in
// host order; nothing for any other text.
std::optional<std::uint32_t> parseIpv4(std::string_view text);
