#include "scan/special_address.h"

#include <cstdint>

#include "net/ipv4.h"

namespace {

struct SpecialRange {
  std::uint32_t base;
  int prefix;
  std::string_view kind;
};

constexpr std::uint32_t ip(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  return (a << 24) | (b << 16) | (c << 8) | d;
}

// The narrower range first where two overlap (the broadcast address inside 240/4).
constexpr SpecialRange RANGES[] = {
    {ip(0, 0, 0, 0), 8, "a \"this network\" address (0.0.0.0/8)"},
    {ip(10, 0, 0, 0), 8, "a private address (RFC 1918)"},
    {ip(100, 64, 0, 0), 10, "a shared address behind carrier-grade NAT (RFC 6598)"},
    {ip(127, 0, 0, 0), 8, "a loopback address"},
    {ip(169, 254, 0, 0), 16, "a link-local address"},
    {ip(172, 16, 0, 0), 12, "a private address (RFC 1918)"},
    {ip(192, 0, 0, 0), 24, "reserved for protocol assignments (192.0.0.0/24)"},
    {ip(192, 0, 2, 0), 24, "a documentation-only address (RFC 5737)"},
    {ip(192, 31, 196, 0), 24, "a special-purpose address (AS112 service)"},
    {ip(192, 52, 193, 0), 24, "a special-purpose address (AMT relays)"},
    {ip(192, 88, 99, 0), 24, "a retired 6to4 relay address"},
    {ip(192, 168, 0, 0), 16, "a private address (RFC 1918)"},
    {ip(192, 175, 48, 0), 24, "a special-purpose address (AS112 service)"},
    {ip(198, 18, 0, 0), 15, "a benchmarking address (RFC 2544)"},
    {ip(198, 51, 100, 0), 24, "a documentation-only address (RFC 5737)"},
    {ip(203, 0, 113, 0), 24, "a documentation-only address (RFC 5737)"},
    {ip(224, 0, 0, 0), 4, "a multicast address"},
    {ip(255, 255, 255, 255), 32, "the broadcast address"},
    {ip(240, 0, 0, 0), 4, "a reserved address (240.0.0.0/4)"},
};

}  // namespace

std::optional<std::string_view> specialAddressKind(std::string_view address) {
  const auto value = parseIpv4(address);
  if (!value) return std::nullopt;
  for (const SpecialRange& range : RANGES) {
    const std::uint32_t mask = range.prefix == 0 ? 0 : ~std::uint32_t{0} << (32 - range.prefix);
    if ((*value & mask) == range.base) return range.kind;
  }
  return std::nullopt;
}

std::optional<std::string> specialAddressNote(std::string_view address) {
  const auto kind = specialAddressKind(address);
  if (!kind) return std::nullopt;
  return std::string(address) + " is " + std::string(*kind) +
         ", not a public internet address: public sources know nothing useful about it.";
}
