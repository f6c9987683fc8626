// The texture font: one line of printable ASCII drawn as textured quads.
//
// The font picture is a grid of 16 columns by 8 rows of equal cells, read left
// to right and top to bottom from character 32 (space); the first six rows hold
// characters 32 to 127. Row 0 is the top row of the picture, so with the usual
// bottom-up TGA rows its t coordinates run downwards from 1.
#pragma once

#include <cstddef>

#include "math/vector.h"

class VERTEX_STREAM;

constexpr int kFontGlyphs = 96;     // characters 32..127
constexpr float cWidth = 0.0625f;   // one cell's width in texture units (1/16)
constexpr float cHeight = 0.125f;   // one cell's height in texture units (1/8)

// One view's glyph table (its frame driver holds it).
struct GlyphTable {
    // Texture offset (u, v) of the upper-left corner of each glyph cell, v
    // counted down from the top of the picture; entry g is character g + 32.
    point2d FontData[kFontGlyphs] = {};
};

// Fills the table's FontData. Idempotent; needs no GL.
void SetupText(GlyphTable* glyphs);

// The glyph cell drawn for a byte: codes 33..127 have their own cell; space and
// every code outside 32..127 give -1 (an empty cell that only advances the pen).
int GlyphIndex(unsigned char code);

// One glyph's quad relative to its pen position, vertices in drawing order
// (upper-right, upper-left, lower-left, lower-right: counter-clockwise, so it
// faces the viewer with back-face culling on), x and y in the caller's units.
struct GlyphQuad {
    float x[4], y[4];
    float s[4], t[4];
};
GlyphQuad MakeGlyphQuad(const GlyphTable& glyphs, int glyph, float size);

// Where the pen starts for a line of n characters: the first advance then
// puts the first cell at -0.375 * n * size, so the line is centred on x = 0
// to within an eighth of a cell.
float LineStartX(std::size_t n, float size);
// Pen advance per character, in cells: neighbouring cells overlap by a quarter.
constexpr float kGlyphAdvance = 0.75f;

// Draws `text` centred horizontally on the current origin and vertically on
// the current y, each cell `size` units square, at opacity `alpha` (0..1) times
// the font's own alpha, from the GL texture name `texture` cut up by `glyphs`. Leaves the
// model-view matrix translated (the caller pushes and pops around the call),
// blending disabled and the colour opaque white. A null or empty text draws
// nothing; bytes outside 32..127 draw as spaces. Needs a current GL context.
// With a stream the glyphs reach the driver through it, in one go.
void DrawString(const GlyphTable& glyphs, const char* text, float size, float alpha, unsigned long texture,
                VERTEX_STREAM* stream = nullptr);
