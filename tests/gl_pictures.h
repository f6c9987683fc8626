// Pictures and pixel probes shared by the tests that draw offscreen.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <vector>

namespace testpics {

// A 128 x 64 font picture: 16 x 8 cells of 8 x 8 texels, each cell one solid
// colour naming it (red from its column, green from its row counted from the
// top), fully opaque; uploaded with the usual first row at the bottom.
inline GLuint MakeCellFont() {
    std::vector<std::uint8_t> rgba(128 * 64 * 4);
    for (int y = 0; y < 64; ++y) {
        const int rowFromTop = 7 - y / 8;
        for (int x = 0; x < 128; ++x) {
            std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * 128 + x) * 4];
            p[0] = static_cast<std::uint8_t>((x / 8) * 16 + 8);
            p[1] = static_cast<std::uint8_t>(rowFromTop * 32 + 16);
            p[2] = 255;
            p[3] = 255;
        }
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 128, 64, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return name;
}

struct Rgb {
    int r, g, b;
};
inline Rgb CellColour(int column, int row) { return {column * 16 + 8, row * 32 + 16, 255}; }

// A 4 x 4 opaque picture of one colour.
inline GLuint MakeSolidPicture(Rgb colour) {
    std::vector<std::uint8_t> rgba(4 * 4 * 4);
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        rgba[i] = static_cast<std::uint8_t>(colour.r);
        rgba[i + 1] = static_cast<std::uint8_t>(colour.g);
        rgba[i + 2] = static_cast<std::uint8_t>(colour.b);
        rgba[i + 3] = 255;
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return name;
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
