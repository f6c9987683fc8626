#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "assets/reader.h"
#include "assets/texture.h"
#include "tools/bake/bake.h"
#include "tools/bake/paint.h"

namespace {
// A lump decoded exactly as the engine does it: TGA decoder, then the texture
// pixels for the lump's alpha mode. Rows are as stored: row 0 is the bottom.
struct Decoded {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    // (x, y) with y counted from the top of the picture, as texture t = 1 - y / height.
    const std::uint8_t* FromTop(int x, int y) const {
        return rgba.data() + (static_cast<std::size_t>(height - 1 - y) * width + x) * 4;
    }
    // Brightness as the renderer adds it over black: colour times alpha.
    double Light(int x, int y) const {
        const std::uint8_t* p = FromTop(x, y);
        return (p[0] + p[1] + p[2]) / 3.0 * p[3] / 255.0;
    }
};

Decoded Decode(const Lump& lump) {
    BoundedReader reader(lump.bytes.data(), lump.bytes.size());
    Texture texture;
    Decoded out;
    if (!LoadTGA2(&texture, &reader)) {
        ADD_FAILURE() << "lump does not decode";
        return out;
    }
    out.width = static_cast<int>(texture.width);
    out.height = static_cast<int>(texture.height);
    out.rgba = MakeTexturePixels(texture, static_cast<int>(lump.alphaMode));
    return out;
}

// The lumps of both files, built once for the whole suite.
const std::vector<Lump>& Scene() {
    static const std::vector<Lump> lumps = BuildSceneTextures();
    return lumps;
}
const std::vector<Lump>& Overlay() {
    static const std::vector<Lump> lumps = BuildOverlayTextures();
    return lumps;
}
}  // namespace

// Sizes, alpha modes, glow edges and cut-outs are the resource check's, and the
// same bytes on every run the model kit test's; these are what neither can know
// of our own pictures.
TEST(BakedFiles, TheIntroCardIsCutOnlyAtItsCorners) {
    const Decoded village = Decode(Overlay()[3]);
    EXPECT_EQ(village.FromTop(0, 0)[3], 0);
    EXPECT_EQ(village.FromTop(village.width - 1, village.height - 1)[3], 0);
    EXPECT_EQ(village.FromTop(village.width / 2, village.height / 2)[3], 255);
    EXPECT_EQ(village.FromTop(village.width / 2, 1)[3], 255);
}

TEST(BakedFiles, IntroPicturesAreSharpWhereTheyAreDrawnLargest) {
    // On a 1080p view the intro's pictures are drawn 960 pixels wide (twice
    // 256 of the 1024 overlay units): with fewer texels they look soft.
    const Decoded top = Decode(Overlay()[2]);
    const Decoded bottom = Decode(Overlay()[3]);
    EXPECT_GE(top.width, 960);
    EXPECT_GE(bottom.width, 960);
    // Painted at that size, not a smaller picture with its texels doubled
    // (which would make every aligned 2 x 2 block one flat colour).
    for (const Decoded* d : {&top, &bottom}) {
        double spread = 0;
        int blocks = 0;
        for (int y = 0; y + 1 < d->height; y += 2) {
            for (int x = 0; x + 1 < d->width; x += 2) {
                const std::uint8_t* p[4] = {d->FromTop(x, y), d->FromTop(x + 1, y), d->FromTop(x, y + 1),
                                            d->FromTop(x + 1, y + 1)};
                if (p[0][3] == 0 || p[1][3] == 0 || p[2][3] == 0 || p[3][3] == 0) continue;
                for (int c = 0; c < 3; ++c) {
                    const int lo = std::min({p[0][c], p[1][c], p[2][c], p[3][c]});
                    const int hi = std::max({p[0][c], p[1][c], p[2][c], p[3][c]});
                    spread += hi - lo;
                }
                ++blocks;
            }
        }
        ASSERT_GT(blocks, 0);
        EXPECT_GT(spread / blocks, 3.0);
    }
}

TEST(BakedFiles, StripLightsAreNotSingleTexels) {
    // The banner shows a strip at half size with no mipmaps, so which texel of
    // each pair is sampled changes as the banner slides: a light one texel
    // across flickers on and off. Every bright spot must spread to its
    // neighbours, whatever the sampling phase picks.
    for (std::size_t index : {4u, 5u}) {
        SCOPED_TRACE("bramble.works lump " + std::to_string(index));
        const Decoded d = Decode(Overlay()[index]);
        const auto light = [&d](int x, int y) { return d.Light(x, y); };
        int lone = 0, spots = 0;
        for (int y = 1; y + 1 < d.height; ++y) {
            for (int x = 1; x + 1 < d.width; ++x) {
                const double l = light(x, y);
                const double around[4] = {light(x - 1, y), light(x + 1, y), light(x, y - 1), light(x, y + 1)};
                if (l < 120 || l < *std::max_element(around, around + 4)) continue;  // not a bright spot's peak
                ++spots;
                // Darker by half on both sides, across or down: one texel thick.
                const bool thinAcross = std::max(around[0], around[1]) < l * 0.5;
                const bool thinDown = std::max(around[2], around[3]) < l * 0.5;
                lone += thinAcross || thinDown ? 1 : 0;
            }
        }
        ASSERT_GT(spots, 100);  // the strip has lights to look at
        // A few sharp tips of bows and leaves may pass; highlights, dots and
        // strings one texel across would add up to dozens.
        EXPECT_LE(lone, 5);
    }
}

// The font: where the text drawing looks for a character (column g % 16, row
// g / 16 from the top, g = code - 32) there must be that glyph and nothing of
// its neighbours.
namespace {
struct CellInk {
    int count = 0;           // pixels with any ink
    int top = 1 << 20;       // first inked row from the cell's top
    int bottom = -1;         // last inked row
    int left = 1 << 20, right = -1;
    int face = 0;            // near-white pixels
    int lightRim = 0;        // opaque pixels next to a cut-out one that are not dark
};

CellInk InkOfCell(const Decoded& font, int code) {
    const int cell = font.width / 16;
    const int g = code - 32;
    const int x0 = (g % 16) * cell;
    const int y0 = (g / 16) * (font.height / 8);
    CellInk ink;
    for (int y = 0; y < font.height / 8; ++y) {
        for (int x = 0; x < cell; ++x) {
            const std::uint8_t* p = font.FromTop(x0 + x, y0 + y);
            if (p[3] == 0) continue;
            ++ink.count;
            if (std::min({p[0], p[1], p[2]}) > 230) ++ink.face;
            bool rim = false;
            for (const auto& [dx, dy] : {std::pair{-1, 0}, std::pair{1, 0}, std::pair{0, -1}, std::pair{0, 1}}) {
                rim = rim || font.FromTop(x0 + x + dx, y0 + y + dy)[3] == 0;
            }
            if (rim && std::max({p[0], p[1], p[2]}) > 80) ++ink.lightRim;
            ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
            ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
        }
    }
    return ink;
}
}  // namespace

TEST(FontAtlas, EveryGlyphSitsInItsCellOnOneBaselineAndFillsThePitch) {
    const Decoded font = Decode(Overlay()[0]);
    const int cell = font.width / 16;
    ASSERT_EQ(cell, font.height / 8);
    ASSERT_EQ(cell, kFontCell);
    const int pitch = cell * 3 / 4;  // the text drawing's advance
    int letterInk = 0, letters = 0;
    for (int code = 33; code < 127; ++code) {
        SCOPED_TRACE(std::string(1, static_cast<char>(code)));
        const CellInk ink = InkOfCell(font, code);
        ASSERT_GT(ink.count, 0);
        // Off the cell's border, so linear filtering never pulls in a neighbour;
        // within the advance, so it never touches the next letter; centred, so
        // spacing looks even whatever the glyph's width.
        const int width = ink.right - ink.left + 1;
        EXPECT_GE(ink.left, 1);
        EXPECT_LE(ink.right, cell - 2);
        EXPECT_LE(width, pitch);
        EXPECT_NEAR((ink.left + ink.right) * 0.5, cell * 0.5, 2.0);
        // The countdown is drawn over white snow as well as the night sky: a light
        // pixel on the glyph's outer edge would melt into the snow.
        EXPECT_EQ(ink.lightRim, 0);
        EXPECT_GT(ink.face, ink.count / 8);
        // On one pitch a narrow letter ('i', 'l', 't') leaves a hole in the word
        // unless its glyph is drawn for a fixed pitch.
        if (std::isalnum(code)) {
            EXPECT_GE(width, pitch / 2);
            letterInk += width, ++letters;
        }
    }
    // On average the ink leaves only a few pixels of air to the next letter.
    EXPECT_GE(letterInk, letters * (pitch - 5));

    // Ink tall enough to read, inside the cell; 'A' and '0' stand on one baseline
    // (the round one overshooting by its anti-aliased pixel), 'g' hangs below.
    const CellInk a = InkOfCell(font, 'A'), g = InkOfCell(font, 'g'), zero = InkOfCell(font, '0');
    for (const CellInk* ink : {&a, &g, &zero}) {
        EXPECT_GT(ink->count, cell * cell / 12);
        EXPECT_GE(ink->bottom - ink->top, cell / 2);
        EXPECT_GE(ink->top, 1);
        EXPECT_LE(ink->bottom, cell - 2);
    }
    EXPECT_NEAR(a.bottom, zero.bottom, 1);
    EXPECT_GT(g.bottom, a.bottom + cell / 8);
    EXPECT_GT(g.top, a.top);  // 'g' has no ascender
    // ' ' and DEL have empty cells, as do the two unused rows.
    for (int code = 128; code < 160; ++code) EXPECT_EQ(InkOfCell(font, code).count, 0) << code;
    EXPECT_EQ(InkOfCell(font, ' ').count + InkOfCell(font, 127).count, 0);
}

TEST(FontAtlas, MissingOrNonFontFileIsNamedInTheError) {
    const std::string junk = testing::TempDir() + "not_a_font.ttf";
    std::ofstream(junk) << "this is not a font";
    for (const std::string& path : {std::string("/nonexistent/fonts/DejaVuSans-Bold.ttf"), junk}) {
        try {
            BuildFontAtlas(path.c_str());
            ADD_FAILURE() << "no error for " << path;
        } catch (const BakeError& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
    }
}

// ------------------------------------------------------------- painting kit

TEST(PaintKit, NoiseTilesAndStaysInRange) {
    float lo = 1.0f, hi = 0.0f;
    for (int i = 0; i < 200; ++i) {
        const float u = static_cast<float>(i) * 0.0137f;
        const float v = static_cast<float>(i) * 0.0291f;
        const float n = ValueNoise(3, u, v, 8);
        lo = std::min(lo, n), hi = std::max(hi, n);
        EXPECT_NEAR(ValueNoise(3, u + 1.0f, v, 8), n, 1e-4f);
        EXPECT_NEAR(ValueNoise(3, u, v - 1.0f, 8), n, 1e-4f);
        const float f = Fbm(5, u, v, 4, 4);
        EXPECT_NEAR(Fbm(5, u + 1.0f, v + 1.0f, 4, 4), f, 1e-4f);
        EXPECT_GE(f, 0.0f);
        EXPECT_LE(f, 1.0f);
    }
    EXPECT_GE(lo, 0.0f);
    EXPECT_LE(hi, 1.0f);
    EXPECT_GT(hi - lo, 0.3f);  // it is not flat
}

TEST(PaintKit, LightIsReproducedByTheBrightnessBlend) {
    // Stored colour T with alpha max(T): T * alpha over black must give the light back.
    Canvas light(4, 1);
    light.px = {{0.5f, 0.25f, 0.1f, 1}, {0.02f, 0.02f, 0.03f, 1}, {0, 0, 0, 1}, {2.0f, 1.0f, 0.0f, 1}};
    const Canvas stored = LightToBrightnessAlpha(light);
    for (int i = 0; i < 3; ++i) {
        const Colour& t = stored.px[static_cast<std::size_t>(i)];
        const float alpha = std::max({t.r, t.g, t.b});
        EXPECT_NEAR(t.r * alpha, light.px[static_cast<std::size_t>(i)].r, 1e-5f);
        EXPECT_NEAR(t.g * alpha, light.px[static_cast<std::size_t>(i)].g, 1e-5f);
        EXPECT_NEAR(t.b * alpha, light.px[static_cast<std::size_t>(i)].b, 1e-5f);
    }
    // Too bright: clipped to full opacity, hue kept.
    EXPECT_FLOAT_EQ(stored.px[3].r, 1.0f);
    EXPECT_FLOAT_EQ(stored.px[3].g, 0.5f);
}

// Solid pixels stay, even in the key colour; an anti-aliased edge is laid over
// the key at half coverage or more, and cut out below.
TEST(PaintKit, ColourKeyCutsOutOnlyWhatIsClear) {
    const Colour key = Hex(0x081026);
    Canvas c(4, 2, {0, 0, 0, 0});
    c.At(1, 0) = {key.r, key.g, key.b, 1.0f};
    c.At(2, 0) = Hex(0xFFFFFF, 0.6f);
    c.At(3, 0) = Hex(0xFFFFFF, 0.4f);
    c.At(0, 1) = Hex(0x00FF00);  // bottom-left: forced to the key
    const Decoded d = Decode(ImageLump(c, AlphaMode::ColourKey, key));
    EXPECT_EQ(d.FromTop(0, 1)[3], 0);
    EXPECT_EQ(d.FromTop(1, 0)[3], 255);
    EXPECT_EQ(d.FromTop(2, 0)[3], 255);
    EXPECT_NEAR(d.FromTop(2, 0)[0], 0.6 * 255 + 0.4 * 0x08, 1);  // 60 % white over the key
    EXPECT_EQ(d.FromTop(3, 0)[3], 0);
    EXPECT_EQ(d.FromTop(3, 1)[3], 0);
}

TEST(PaintKit, ShapesBlurAndDilate) {
    Canvas c(32, 32, {0, 0, 0, 1});
    FillDisc(c, 16.5f, 16.5f, 8, Hex(0xFFFFFF));
    EXPECT_FLOAT_EQ(c.At(16, 16).r, 1.0f);
    EXPECT_FLOAT_EQ(c.At(2, 2).r, 0.0f);
    EXPECT_NEAR(c.At(24, 16).r, 0.5f, 0.01f);  // its centre lies on the rim: half covered
    EXPECT_FLOAT_EQ(c.At(26, 16).r, 0.0f);
    EXPECT_NEAR(SdPolygon(5, 5, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}), -5.0f, 1e-5f);
    EXPECT_NEAR(SdPolygon(15, 5, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}), 5.0f, 1e-5f);

    // Blur keeps a flat field flat and the total (with wrapping) unchanged.
    Mask m(16, 16, 0.25f);
    m.At(3, 3) = 1.0f;
    float before = 0.0f, after = 0.0f;
    for (float v : m.v) before += v;
    Blur(m, 1.5f, true);
    for (float v : m.v) after += v;
    EXPECT_NEAR(before, after, 1e-3f);
    EXPECT_LT(m.At(3, 3), 1.0f);
    EXPECT_NEAR(m.At(12, 12), 0.25f, 1e-4f);

    Mask dot(9, 9);
    dot.At(4, 4) = 1.0f;
    const Mask grown = Dilate(dot, 2.0f);
    EXPECT_EQ(grown.At(4, 2), 1.0f);
    EXPECT_EQ(grown.At(6, 4), 1.0f);
    EXPECT_EQ(grown.At(6, 6), 0.0f);  // outside the round brush
    EXPECT_EQ(grown.At(4, 7), 0.0f);
}

// ------------------------------------------------------------- scene pictures

namespace {
struct Mean {
    double r = 0, g = 0, b = 0;
};
// Mean colour over a rectangle given as fractions of the picture, v from the top.
Mean MeanOver(const Decoded& d, const AtlasRect& rect) {
    Mean m;
    int n = 0;
    for (int y = static_cast<int>(rect.v0 * d.height); y < static_cast<int>(rect.v1 * d.height); ++y) {
        for (int x = static_cast<int>(rect.u0 * d.width); x < static_cast<int>(rect.u1 * d.width); ++x) {
            const std::uint8_t* p = d.FromTop(x, y);
            m.r += p[0], m.g += p[1], m.b += p[2];
            ++n;
        }
    }
    m.r /= n, m.g /= n, m.b /= n;
    return m;
}
}  // namespace

TEST(TreePictures, RegionsMatchTheLayoutTheModelsUseAndNeedlesTileRoundTheCone) {
    for (int index : {4, 6}) {
        SCOPED_TRACE("tex.brm lump " + std::to_string(index));
        const Decoded d = Decode(Scene()[static_cast<std::size_t>(index)]);
        // The middle band of the needles, clear of the snow cap and the rim.
        const Mean needles = MeanOver(d, {0.0f, 0.2f, 1.0f, 0.6f});
        EXPECT_GT(needles.g, needles.r);
        EXPECT_GT(needles.g, needles.b * 0.9);
        const Mean bark = MeanOver(d, kTreeBark);
        EXPECT_GT(bark.r, bark.b * 1.3);
        EXPECT_LT(bark.r, 160);
        const Mean snow = MeanOver(d, kTreeSnow);
        EXPECT_GT(std::min({snow.r, snow.g, snow.b}), 200);
        const Mean gold = MeanOver(d, kTreeGold);
        EXPECT_GT(gold.r, gold.g);
        EXPECT_GT(gold.g, gold.b * 1.5);

        // u wraps round each tier, so the first and last columns must meet as
        // smoothly as any two neighbouring columns do.
        const int rows = static_cast<int>(kTreeNeedles.v1 * d.height);
        auto step = [&](int xa, int xb) {
            double sum = 0;
            for (int y = 0; y < rows; ++y) {
                for (int c = 0; c < 3; ++c) sum += std::abs(d.FromTop(xa, y)[c] - d.FromTop(xb, y)[c]);
            }
            return sum / rows;
        };
        double typical = 0;
        for (int x = 0; x + 1 < d.width; ++x) typical += step(x, x + 1);
        typical /= d.width - 1;
        EXPECT_LT(step(d.width - 1, 0), typical * 2.0);
    }
}

TEST(ScenePictures, ReinStrapRunsTheFullLengthAlongTheTop) {
    const Decoded d = Decode(Scene()[3]);
    // Some row near the top is solid from end to end, so joined segments read as one rein.
    bool continuous = false;
    for (int y = 0; y < d.height / 3 && !continuous; ++y) {
        bool solid = true;
        for (int x = 0; x < d.width; ++x) solid = solid && d.FromTop(x, y)[3] == 255;
        continuous = solid;
    }
    EXPECT_TRUE(continuous);
    // The lowest rows are cut out: the ribbon hangs a full unit, the rein does not.
    for (int x = 0; x < d.width; ++x) EXPECT_EQ(d.FromTop(x, d.height - 1)[3], 0) << x;
}

TEST(ScenePictures, MoonIsBrightestInsideItsLimb) {
    const Decoded d = Decode(Scene()[0]);
    const auto light = [&d](int x, int y) { return d.Light(x, y); };
    const int c = d.width / 2;
    double centre = 0, limb = 0;
    for (int k = -3; k <= 3; ++k) {
        centre += light(c + k * 8, c) + light(c, c + k * 8);
        limb += light(c - static_cast<int>(d.width * 0.285), c + k) + light(c + static_cast<int>(d.width * 0.285), c + k);
    }
    EXPECT_GT(centre, limb * 1.15);  // limb darkening
    EXPECT_GT(centre / 14.0, 120.0);
    EXPECT_LT(light(c, static_cast<int>(d.height * 0.1)), 40.0);  // halo only, outside the disc
}

TEST(PaintKit, TextMaskHasInkOnTheBaselineAndClearPadding) {
    const Font font(kFontSansBold);
    float baseline = 0.0f;
    const Mask m = font.TextMask("Hi", 20.0f, 0.0f, 3, &baseline);
    ASSERT_GT(m.width, 0);
    float inkAbove = 0.0f, inkBelow = 0.0f;
    for (int y = 0; y < m.height; ++y) {
        for (int x = 0; x < m.width; ++x) {
            const float v = m.At(x, y);
            if (x < 3 || y < 3 || x >= m.width - 3 || y >= m.height - 3) {
                EXPECT_EQ(v, 0.0f) << x << "," << y;
            }
            (static_cast<float>(y) < baseline ? inkAbove : inkBelow) += v;
        }
    }
    EXPECT_GT(inkAbove, 50.0f);
    EXPECT_LT(inkBelow, 3.0f);  // "Hi" has no descender
    // Tracking spreads the letters.
    float unused = 0.0f;
    EXPECT_GT(font.TextMask("Hi", 20.0f, 6.0f, 3, &unused).width, m.width + 4);
}
