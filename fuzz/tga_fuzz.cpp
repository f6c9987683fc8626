// TGA decoding and the texture builder's pixel conversion. The first byte
// picks the alpha mode, as a lump's directory entry would.
#include <cstdint>

#include "assets/texture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int alphaMode = data[0] % 4;
    BoundedReader reader(data + 1, size - 1);
    Texture texture;
    if (LoadTGA2(&texture, &reader) == 0) {
        if (texture.imageData != nullptr) __builtin_trap();  // a failed decode leaves nothing behind
        return 0;
    }
    const auto pixels = MakeTexturePixels(texture, alphaMode);
    if (pixels.size() != static_cast<std::size_t>(texture.width) * texture.height * 4) __builtin_trap();
    return 0;
}
