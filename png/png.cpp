#include "png/png.h"

#include <stb/stb_image_write.h>

bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba,
              bool topRowFirst) {
    if (width <= 0 || height <= 0 || rgba.size() < static_cast<std::size_t>(width) * height * 4) return false;
    const int stride = width * 4;
    if (topRowFirst) return stbi_write_png(path.c_str(), width, height, 4, rgba.data(), stride) != 0;
    // Negative stride walks the rows from the last one up.
    const std::uint8_t* last = rgba.data() + static_cast<std::size_t>(height - 1) * stride;
    return stbi_write_png(path.c_str(), width, height, 4, last, -stride) != 0;
}
