// Surface painters for model pictures, on top of the painting kit
// (tools/bake/paint.h). Each fills a pixel rectangle of a canvas; rectangles
// are top-left inclusive, bottom-right exclusive, rows counted from the top.
// Detail is kept soft (a few pixels at least), since models are drawn with
// linear filtering and no mipmaps from tens to hundreds of units away.
#pragma once

#include <algorithm>
#include <cstdint>

#include "tools/bake/model/mesh.h"
#include "tools/bake/paint.h"

struct PixelRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    int Width() const { return x1 - x0; }
    int Height() const { return y1 - y0; }
    // The rectangle as picture fractions for a canvas of the given size, pulled in
    // by half a pixel so linear filtering never reaches a neighbouring region.
    UvRect Uv(int canvasWidth, int canvasHeight) const;
};

// Runs `paint(x, y, a, b)` for every pixel of `r` that lies on the canvas, with
// (a, b) the pixel centre in 0..1 across the rectangle.
template <typename F>
void ForEachPixel(const Canvas& c, const PixelRect& r, F paint) {
    for (int y = std::max(r.y0, 0); y < std::min(r.y1, c.height); ++y) {
        for (int x = std::max(r.x0, 0); x < std::min(r.x1, c.width); ++x) {
            paint(x, y, (static_cast<float>(x - r.x0) + 0.5f) / static_cast<float>(r.Width()),
                  (static_cast<float>(y - r.y0) + 0.5f) / static_cast<float>(r.Height()));
        }
    }
}

// Running-bond bricks about `brickWidth` x `brickHeight` pixels with soft mortar
// joints and a little variation from brick to brick.
void PaintBricks(Canvas& c, const PixelRect& r, const Colour& brick, const Colour& mortar, float brickWidth,
                 float brickHeight, std::uint32_t seed);
// Boards `plankWidth` pixels wide, horizontal (clapboard, with a shadow under each
// board) or vertical (with dark gaps), with grain.
void PaintPlanks(Canvas& c, const PixelRect& r, const Colour& wood, float plankWidth, bool vertical, std::uint32_t seed);
// Rounded field stones in courses, each lit from above.
void PaintStones(Canvas& c, const PixelRect& r, const Colour& stone, const Colour& mortar, float size,
                 std::uint32_t seed);
// Plaster: a flat colour with soft blotches.
void PaintPlaster(Canvas& c, const PixelRect& r, const Colour& plaster, std::uint32_t seed);
// Lit snow: cold white with soft blue hollows; `shade` (0..1) darkens towards the
// bottom of the rectangle, for snow seen at a slant.
void PaintSnow(Canvas& c, const PixelRect& r, float shade, std::uint32_t seed);
// A warmly lit window in a frame of `trim`, with a cross of glazing bars, a sill
// with snow on it and, when `shutters`, painted shutters either side.
void PaintLitWindow(Canvas& c, float x0, float y0, float x1, float y1, const Colour& trim, const Colour& shutter,
                    bool shutters);
// A round attic window or vent, lit.
void PaintRoundWindow(Canvas& c, float cx, float cy, float radius, const Colour& trim);
// A panelled door in a frame of `trim`, with a holly wreath and a lit lamp beside it.
void PaintDoor(Canvas& c, float x0, float y0, float x1, float y1, const Colour& door, const Colour& trim);
// Darkens the rectangle's edges by `amount` over `width` pixels, for painted-in
// ambient occlusion at corners and under eaves.
void DarkenEdges(Canvas& c, const PixelRect& r, float width, float amount, bool top, bool bottom, bool sides);
