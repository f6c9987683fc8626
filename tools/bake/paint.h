// A small painting kit for the baker's generated pictures.
//
// Conventions:
// - Pictures are painted top row first (row 0 is the top of the picture as seen),
//   x to the right, in pixel units; a pixel's centre is at (x + 0.5, y + 0.5).
// - Colours are sRGB values as floats in 0..1, painted directly (no gamma maths).
// - A Canvas holds straight (not premultiplied) RGBA; how the alpha is used depends on
//   the alpha mode the picture is written with (see ImageLump).
// - Everything is deterministic: randomness comes only from Rng and the hashed noise,
//   both driven by explicit seeds.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/common/lumpwriter.h"

// A failure that stops the bake; the message names the file or step.
struct BakeError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Colour {
    float r = 0, g = 0, b = 0, a = 1;
};

// 0xRRGGBB as a colour.
Colour Hex(std::uint32_t rgb, float alpha = 1.0f);
// Component-wise blend, alpha included; t = 0 gives a, t = 1 gives b.
Colour Mix(const Colour& a, const Colour& b, float t);
// RGB times k, alpha kept.
Colour Shade(const Colour& c, float k);

float Clamp01(float x);
// Hermite step: 0 below e0, 1 above e1.
float SmoothStep(float e0, float e1, float x);

// splitmix64: small, fast and the same on every platform.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint32_t Next();
    float Uniform();                     // [0, 1)
    float Range(float lo, float hi);     // [lo, hi)
    int Below(int n);                    // [0, n), n > 0

private:
    std::uint64_t state_;
};

// Value noise in 0..1 that tiles: (u, v) in tile units, `period` lattice cells per
// tile, so ValueNoise(s, u + 1, v, p) == ValueNoise(s, u, v, p).
float ValueNoise(std::uint32_t seed, float u, float v, int period);
// Sum of `octaves` layers of ValueNoise, each with twice the period and `gain` times
// the weight of the one before; normalised to 0..1 and tiling like ValueNoise.
float Fbm(std::uint32_t seed, float u, float v, int period, int octaves, float gain = 0.5f);

// One channel of floats, for coverage, heights and masks.
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<float> v;

    Mask() = default;
    Mask(int w, int h, float fill = 0.0f) : width(w), height(h), v(static_cast<std::size_t>(w) * h, fill) {}
    float& At(int x, int y) { return v[static_cast<std::size_t>(y) * width + x]; }
    float At(int x, int y) const { return v[static_cast<std::size_t>(y) * width + x]; }
    // Outside the mask reads as 0.
    float Get(int x, int y) const { return x < 0 || y < 0 || x >= width || y >= height ? 0.0f : At(x, y); }
};

struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<Colour> px;

    Canvas() = default;
    Canvas(int w, int h, Colour fill = {0, 0, 0, 0}) : width(w), height(h), px(static_cast<std::size_t>(w) * h, fill) {}
    Colour& At(int x, int y) { return px[static_cast<std::size_t>(y) * width + x]; }
    const Colour& At(int x, int y) const { return px[static_cast<std::size_t>(y) * width + x]; }
};

// Porter-Duff "over" of `src` scaled by `coverage` (0..1) onto `dst`, straight alpha.
void BlendOver(Colour& dst, const Colour& src, float coverage);

// Signed distances in pixels, negative inside.
float SdCircle(float px, float py, float cx, float cy, float r);
float SdRoundBox(float px, float py, float x0, float y0, float x1, float y1, float radius);
float SdSegment(float px, float py, float ax, float ay, float bx, float by);
struct Point {
    float x = 0, y = 0;
};
float SdPolygon(float px, float py, const std::vector<Point>& poly);

// Coverage of a pixel whose centre lies `distance` from an edge: 1 well inside, 0
// outside, a linear ramp `softness` pixels wide centred on the edge.
float Coverage(float distance, float softness = 1.0f);

// Shapes painted "over" with anti-aliased edges; softness widens the edge ramp.
void FillDisc(Canvas& c, float cx, float cy, float r, const Colour& colour, float softness = 1.0f);
void FillRing(Canvas& c, float cx, float cy, float r, float thickness, const Colour& colour, float softness = 1.0f);
void FillRoundBox(Canvas& c, float x0, float y0, float x1, float y1, float radius, const Colour& colour,
                  float softness = 1.0f);
void FillPolygon(Canvas& c, const std::vector<Point>& poly, const Colour& colour, float softness = 1.0f);
void StrokeSegment(Canvas& c, float ax, float ay, float bx, float by, float width, const Colour& colour,
                   float softness = 1.0f);
// Paints `colour` over the canvas wherever the mask (placed with its top-left at ox, oy) covers.
void FillMask(Canvas& c, const Mask& m, int ox, int oy, const Colour& colour);

// Top-to-bottom gradient over rows y0..y1 (clamped outside), replacing what is there.
void VerticalGradient(Canvas& c, float y0, float y1, const Colour& top, const Colour& bottom);
// Adds light: rgb += colour * falloff(d / radius), with falloff (1 - x^2)^power, 0 beyond radius.
void AddGlow(Canvas& c, float cx, float cy, float radius, const Colour& colour, float power = 2.0f);

// Each pixel becomes the largest value within `radius` pixels of it (a round brush).
Mask Dilate(const Mask& m, float radius);

// Gaussian blur (three box passes); `wrap` makes it tile, else edges clamp.
void Blur(Mask& m, float sigma, bool wrap = false);
void Blur(Canvas& c, float sigma, bool wrap = false);

// A TrueType font read at bake time. Not copyable (the rasteriser points into its bytes).
class Font {
public:
    // Throws BakeError naming `path` when the file is missing or not a font.
    explicit Font(const std::string& path);
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    ~Font();

    // Pixels per em for a given size, measured as the font's ascent-to-descent height.
    float ScaleFor(float pixelHeight) const;
    // Ink box of one character at the scales given, relative to the pen on the baseline
    // (y down): x0, y0 inclusive, x1, y1 exclusive. False when the character has no ink.
    bool GlyphBox(int codepoint, float scaleX, float scaleY, int box[4]) const;
    // The pen's advance after one character, in pixels at horizontal scale `scaleX`.
    float Advance(int codepoint, float scaleX) const;
    // Coverage (0..1) of one character drawn with its pen at (penX, baseline) into `m`.
    void DrawGlyph(Mask& m, int codepoint, float scaleX, float scaleY, float penX, float baseline) const;
    // A line of text as a mask with `pad` empty pixels around the ink; `*baseline` gets the
    // row of the baseline in the mask. `tracking` adds pixels between letters.
    Mask TextMask(const std::string& text, float pixelHeight, float tracking, int pad, float* baseline) const;

private:
    std::vector<unsigned char> bytes_;
    void* info_ = nullptr;  // stbtt_fontinfo, kept out of the header
};

enum class AlphaMode : std::uint32_t {
    Opaque = 0,      // alpha 255 everywhere
    ColourKey = 1,   // the first stored pixel's colour is transparent
    Brightness = 2,  // alpha = max(R, G, B)
};

// The picture as an image lump with `mode` in its directory entry.
// - Opaque and Brightness: the canvas RGB as it stands.
// - ColourKey: pixels with alpha below 0.5 become `key`; the others are the canvas
//   colour laid over `key` (a dark key gives a soft dark rim) and are nudged off the
//   key colour if they equal it. The bottom-left pixel (stored first) is always key.
Lump ImageLump(const Canvas& c, AlphaMode mode, Colour key = {0, 0, 0, 1});

// For pictures drawn with AlphaMode::Brightness: reads the canvas RGB as light added
// to what lies behind and returns the colours to store, light / sqrt(max(light)),
// so that after the renderer's blend (colour * alpha + behind * (1 - alpha), with
// alpha = max(R, G, B)) exactly `light` is added over black.
Canvas LightToBrightnessAlpha(const Canvas& light);
