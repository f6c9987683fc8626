#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes 8-bit RGBA pixels as a PNG. `topRowFirst` says which row comes first
// in memory; GL read-backs and TGA-stored rows come bottom row first.
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba,
              bool topRowFirst);
