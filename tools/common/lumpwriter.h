// Writers for the formats the engine reads, used by the baker and by tests
// that need hand-made (including deliberately broken) files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "assets/resfile.h"

using Bytes = std::vector<std::uint8_t>;

// An 8-bit RGBA picture, first row at the top (as painted), for generators.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    Image() = default;
    Image(int w, int h) : width(w), height(h), rgba(static_cast<std::size_t>(w) * h * 4, 0) {}
    std::uint8_t* At(int x, int y) { return rgba.data() + (static_cast<std::size_t>(y) * width + x) * 4; }
    const std::uint8_t* At(int x, int y) const {
        return rgba.data() + (static_cast<std::size_t>(y) * width + x) * 4;
    }
};

enum class TgaEncoding { Uncompressed, RunLength };

// A complete TGA file (type 2 or 10) of `image`, 24 or 32 bits. Rows are
// stored bottom row first (origin at the lower left), as the engine expects.
Bytes EncodeTga(const Image& image, int bitsPerPixel, TgaEncoding encoding);

struct Lump {
    Bytes bytes;
    std::uint32_t type = kLumpTypeImage;
    std::uint32_t alphaMode = 0;
};

// Header, then the lumps in order, then the directory; reserved bytes zero.
Bytes BuildLumpFile(const std::vector<Lump>& lumps);

// Writes through a temporary file and a rename, so a reader never sees half a file.
bool WriteFileAtomically(const std::string& path, const Bytes& bytes, std::string* error);
