#include "tools/bake/bake.h"

// Placeholder pictures: flat grey squares until the painted set lands.
std::vector<Lump> BuildOverlayTextures() {
    std::vector<Lump> lumps;
    for (int i = 0; i < 6; ++i) {
        Image image(64, 64);
        for (std::size_t p = 0; p < image.rgba.size(); p += 4) {
            image.rgba[p] = image.rgba[p + 1] = image.rgba[p + 2] = 128;
            image.rgba[p + 3] = 255;
        }
        lumps.push_back({EncodeTga(image, 24, TgaEncoding::Uncompressed), kLumpTypeImage, 0});
    }
    return lumps;
}
