// looksLikeHosting needs the same few bytes of memory for any body: counted through the global
// allocator, over bodies of 16 MiB made of empty keys, of keyword keys, and of one open string.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "scan/hosting.h"

namespace {
std::atomic<std::size_t> g_allocated{0};
}  // namespace

void* operator new(std::size_t size) {
  g_allocated += size;
  if (void* p = std::malloc(size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace {

std::string repeatTo(const std::string& unit, std::size_t size) {
  std::string out;
  out.reserve(size + unit.size());
  while (out.size() < size) out += unit;
  return out;
}

TEST(LooksLikeHosting, ExtraMemoryDoesNotGrowWithTheBody) {
  constexpr std::size_t BODY = 16u << 20;
  const std::string bodies[] = {
      repeatTo(R"("":)", BODY) + "vpn",
      repeatTo(R"("proxy":false,)", BODY),
      "\"" + repeatTo("\\\"", BODY),
  };
  for (const std::string& body : bodies) {
    const std::size_t before = g_allocated;
    (void)looksLikeHosting(body);
    EXPECT_LT(g_allocated - before, 4096u) << body.substr(0, 20);
  }
}

}  // namespace
