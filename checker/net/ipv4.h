#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

// "a.b.c.d": four decimal numbers 0-255 (no sign, no leading zero, no blanks), as a number in
// host order; nothing for any other text.
std::optional<std::uint32_t> parseIpv4(std::string_view text);
