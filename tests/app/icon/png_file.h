#pragma once
// A tiny PNG writer for test artefacts: 8-bit RGBA, stored (uncompressed) deflate blocks.
#include <cstdint>
#include <string>
#include <vector>

// rgba: width * height * 4 bytes, rows top-down. Returns false when the file cannot be written.
bool writePng(const std::string& path, int width, int height,
              const std::vector<std::uint8_t>& rgba);
