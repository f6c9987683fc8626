// Pictures and pixel probes shared by the tests that draw offscreen.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <vector>

namespace testpics {

struct Rgb {
    int r, g, b;
};

// An opaque w x h picture, each texel the colour `at` gives it (x, y from
// the bottom row), sampled without filtering.
template <class ColourAt>
GLuint MakePicture(int w, int h, ColourAt at) {
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Rgb c = at(x, y);
            rgba.insert(rgba.end(), {static_cast<std::uint8_t>(c.r), static_cast<std::uint8_t>(c.g),
                                     static_cast<std::uint8_t>(c.b), 255});
        }
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return name;
}

// The colour of the font cell in `column`, `row` (counted from the top).
inline Rgb CellColour(int column, int row) { return {column * 16 + 8, row * 32 + 16, 255}; }

// A 128 x 64 font picture: 16 x 8 cells of 8 x 8 texels, each its own
// colour; uploaded with the usual first row at the bottom.
inline GLuint MakeCellFont() {
    return MakePicture(128, 64, [](int x, int y) { return CellColour(x / 8, 7 - y / 8); });
}

inline GLuint MakeSolidPicture(Rgb colour) {
    return MakePicture(4, 4, [colour](int, int) { return colour; });
}

// Pixel (x, y) of an RGBA read-back, bottom row first.
inline Rgb At(const std::vector<std::uint8_t>& rgba, int width, int x, int y) {
    const std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
    return {p[0], p[1], p[2]};
}

inline bool AllBlack(const std::vector<std::uint8_t>& rgba) {
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        if (rgba[i] != 0 || rgba[i + 1] != 0 || rgba[i + 2] != 0) return false;
    }
    return true;
}

}  // namespace testpics
