#include "text/text.h"

#include <GL/gl.h>

#include <cstring>

#include "assets/vertex_stream.h"

void SetupText(GlyphTable* glyphs) {
    for (int g = 0; g < kFontGlyphs; ++g) {
        const int column = g % 16;
        const int row = g / 16;
        glyphs->FontData[g] = Make2DPoint(static_cast<float>(column) * cWidth, static_cast<float>(row) * cHeight);
    }
}

int GlyphIndex(unsigned char code) {
    if (code <= 32 || code > 127) return -1;
    return code - 32;
}

GlyphQuad MakeGlyphQuad(const GlyphTable& glyphs, int glyph, float size) {
    const point2d cell = glyphs.FontData[glyph];
    const float u = cell.x;
    const float top = 1.0f - cell.y;
    const float bottom = 1.0f - cell.y - cHeight;
    const float half = size / 2.0f;
    return GlyphQuad{
        {size, 0.0f, 0.0f, size},
        {half, half, -half, -half},
        {u + cWidth, u, u, u + cWidth},
        {top, top, bottom, bottom},
    };
}

float LineStartX(std::size_t n, float size) {
    return (-static_cast<float>(n) - 2.0f) * size * kGlyphAdvance * 0.5f;
}

void DrawString(const GlyphTable& glyphs, const char* text, float size, float alpha, unsigned long texture,
                VERTEX_STREAM* stream) {
    glColor4f(1.0f, 1.0f, 1.0f, alpha);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));

    const std::size_t n = text != nullptr ? std::strlen(text) : 0;
    // Every glyph's quad goes to the driver at once; each is then drawn under
    // its own pen position, as it would be vertex by vertex.
    STREAM_VERTEX* to = stream != nullptr ? stream->Map(4 * n) : nullptr;
    bool streamed = false;
    if (to != nullptr) {
        std::size_t v = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const int glyph = GlyphIndex(static_cast<unsigned char>(text[i]));
            if (glyph < 0) continue;
            const GlyphQuad quad = MakeGlyphQuad(glyphs, glyph, size);
            for (int k = 0; k < 4; ++k) {
                to[v++] = {quad.x[k], quad.y[k], 0.0f, quad.s[k], quad.t[k], 1.0f, 1.0f, 1.0f, alpha};
            }
        }
        streamed = stream->Unmap();
    }
    glTranslatef(LineStartX(n, size), 0.0f, 0.0f);
    std::size_t first = 0;
    for (std::size_t i = 0; i < n; ++i) {
        glTranslatef(kGlyphAdvance * size, 0.0f, 0.0f);
        const int glyph = GlyphIndex(static_cast<unsigned char>(text[i]));
        if (glyph < 0) continue;
        if (streamed) {
            stream->Draw(GL_QUADS, first, 4);
            first += 4;
            continue;
        }
        const GlyphQuad quad = MakeGlyphQuad(glyphs, glyph, size);
        glBegin(GL_QUADS);
        for (int k = 0; k < 4; ++k) {
            glTexCoord2f(quad.s[k], quad.t[k]);
            glVertex3f(quad.x[k], quad.y[k], 0.0f);
        }
        glEnd();
    }
    if (streamed) stream->Done();

    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}
