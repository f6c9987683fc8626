// "houses.brm": two snowy houses and five pictures that dress them.
//
// The sleigh lands beside the chimney whatever the house's turn, so the snow
// about 5 units from the chimney top in every direction must lie about 1 unit
// below it. A straight ridge cannot give that (along it the roof stays level,
// across it falls), so both houses hold their chimney in the middle of a roof
// that falls nearly alike every way round:
// - the cottage wears a hipped bonnet: a steep skirt at the eaves under a
//   gentle cap, the chimney at the top of the cap;
// - the long house wears a mansard: steep sides under a broad flat deck of
//   snow, the chimney standing on the deck; a gabled wing and two dormers
//   sit low enough to stay under it.
// The landing ring lies where each cap or deck is gentle, between the eave
// skirts, so the silhouettes can stay steep-sided.
// The saver rests the sleigh somewhat higher over the chimney than its fixed
// points say, so the chimneys are squat and broad: the ring lies just over 0.8
// down rather than a full unit, bringing the snow up under the runners.
//
// Every house is drawn with one picture bound, so each picture is an atlas: the
// walls of both models with their windows and doors painted in, gables, brick,
// trim boards and snow. Geometry and painting read the same layout below.
#include <array>
#include <cmath>
#include <string>

#include "tools/bake/model/painters.h"
#include "tools/bake/model/primitives.h"
#include "tools/bake/models.h"

namespace {
constexpr float kSlope = 0.25f;         // gabled roofs (wing, dormers): rise per unit across the ridge
constexpr int kHouseGroup = 0;
constexpr int kSnowGroup = 1;
constexpr float kSnowDepth = 0.55f;     // snow lying on the roof boards
constexpr float kBoardDepth = 0.3f;     // roof boards
constexpr float kOverhang = 1.3f;       // eaves beyond the walls
constexpr float kFooting = -2.5f;       // walls go this far below the ground point, under the drifts
constexpr int kAtlas = 256;

// Wall picture regions of the atlas (pixels) and the walls they cover (units).
const PixelRect kChaletFront = {0, 0, 128, 84};     // 13 x 8.5
const PixelRect kSide = {128, 0, 236, 84};          // 11 x 8.5, also the long house's ends
const PixelRect kLongFront = {0, 84, 196, 168};     // 20 x 8.5, also its back
const PixelRect kWingFront = {196, 84, 256, 164};   // 6 x 8, also the wing's sides
const PixelRect kGable = {0, 168, 64, 200};
const PixelRect kBrick = {64, 168, 96, 200};
const PixelRect kFlue = {96, 168, 112, 184};
const PixelRect kCrown = {96, 184, 112, 200};
const PixelRect kBoard = {112, 168, 176, 200};
const PixelRect kRoofSnow = {0, 200, 128, 256};
const PixelRect kSnowEdge = {128, 200, 192, 256};
const PixelRect kCanopySnow = {192, 200, 256, 256};
const PixelRect kIce = {176, 168, 192, 200};
// Four bulb colours for the lights along the eaves, side by side.
const PixelRect kBulbs = {192, 168, 256, 200};
constexpr int kBulbColours = 4;
PixelRect Bulb(int k) { return {kBulbs.x0 + 16 * k, kBulbs.y0, kBulbs.x0 + 16 * (k + 1), kBulbs.y1}; }

UvRect Uv(const PixelRect& r) { return r.Uv(kAtlas, kAtlas); }

// A window or door on a wall: centre across the wall from its left end as seen
// from outside, bottom and size, all in units.
struct Opening {
    enum Kind { kWindow, kDoor, kRound } kind;
    float centre, bottom, width, height;
};

struct Wall {
    PixelRect rect;
    float width;         // units across
    float top;           // units above the ground point; the bottom is kFooting
    std::vector<Opening> openings;
};

// Chalet: 13 x 11, walls 6 high; the long house: 20 x 10 with a 6 x 7 wing, walls 5.5.
const Wall kChaletFrontWall = {kChaletFront, 13.0f, 6.0f,
                               {{Opening::kDoor, 6.5f, 0.0f, 2.2f, 3.5f},
                                {Opening::kWindow, 2.6f, 1.6f, 2.0f, 2.2f},
                                {Opening::kWindow, 10.4f, 1.6f, 2.0f, 2.2f}}};
const Wall kSideWall = {kSide, 11.0f, 6.0f,
                        {{Opening::kWindow, 3.2f, 1.6f, 2.0f, 2.2f}, {Opening::kWindow, 7.8f, 1.6f, 2.0f, 2.2f}}};
const Wall kLongFrontWall = {kLongFront, 20.0f, 6.0f,
                             {{Opening::kWindow, 9.6f, 1.6f, 1.8f, 2.2f},
                              {Opening::kDoor, 13.0f, 0.0f, 2.2f, 3.5f},
                              {Opening::kWindow, 17.2f, 1.6f, 1.8f, 2.2f}}};
const Wall kWingWall = {kWingFront, 6.0f, 5.5f, {{Opening::kWindow, 3.0f, 1.6f, 2.0f, 2.4f}}};

struct Look {
    enum Material { kBrickWall, kClapboard, kPlaster, kStone, kBoards } material;
    Colour wall, trim, door, shutter;
    std::array<std::uint32_t, kBulbColours> bulbs;  // the lights along the eaves
};
const Look kLooks[kHouseImages] = {
    {Look::kBrickWall, Hex(0x8F3B2E), Hex(0xF2EBDC), Hex(0x2E6B45), Hex(0x2E6B45), {0xFF4040, 0x50E060, 0xFFD040, 0x5090FF}},
    {Look::kClapboard, Hex(0x7B5637), Hex(0xE9DDBF), Hex(0xB3122B), Hex(0xB3122B), {0xFFE0A0, 0xFFD27A, 0xFFE0A0, 0xFFD27A}},
    {Look::kPlaster, Hex(0xE6D8C0), Hex(0x5A3A24), Hex(0xA8202E), Hex(0x3F6B4F), {0xFF4040, 0xFFD040, 0xFF4040, 0xFFD040}},
    {Look::kStone, Hex(0x6C7A89), Hex(0xF5F5F0), Hex(0x7E0A1E), Hex(0x2F4F7A), {0x80B0FF, 0xE8F0FF, 0x80B0FF, 0xE8F0FF}},
    {Look::kBoards, Hex(0x3F6B4F), Hex(0xF2EBDC), Hex(0xC8102E), Hex(0xC8102E), {0xFF4040, 0x50E060, 0xFFD040, 0xFF70D0}},
};

// ---- Painting ----

void PaintWallMaterial(Canvas& c, const PixelRect& r, const Look& look, std::uint32_t seed) {
    switch (look.material) {
        case Look::kBrickWall: PaintBricks(c, r, look.wall, Hex(0xC9BBA8), 9.0f, 4.0f, seed); break;
        case Look::kClapboard: PaintPlanks(c, r, look.wall, 5.0f, false, seed); break;
        case Look::kPlaster: {
            PaintPlaster(c, r, look.wall, seed);
            // Half-timbering: dark posts and braces.
            const Colour beam = look.trim;
            const float w = static_cast<float>(r.Width());
            for (int k = 0; k <= 4; ++k) {
                const float x = static_cast<float>(r.x0) + 2.0f + (w - 4.0f) * static_cast<float>(k) / 4.0f;
                StrokeSegment(c, x, static_cast<float>(r.y0), x, static_cast<float>(r.y1), 3.0f, beam);
            }
            StrokeSegment(c, static_cast<float>(r.x0), static_cast<float>(r.y0) + 2.0f, static_cast<float>(r.x1),
                          static_cast<float>(r.y0) + 2.0f, 3.5f, beam);
            break;
        }
        case Look::kStone: PaintStones(c, r, look.wall, Hex(0x3A4450), 7.0f, seed); break;
        case Look::kBoards: PaintPlanks(c, r, look.wall, 6.0f, true, seed); break;
    }
}

void PaintWall(Canvas& c, const Wall& wall, const Look& look, std::uint32_t seed) {
    const PixelRect& r = wall.rect;
    PaintWallMaterial(c, r, look, seed);
    const float sx = static_cast<float>(r.Width()) / wall.width;
    const float sy = static_cast<float>(r.Height()) / (wall.top - kFooting);
    auto px = [&](float u) { return static_cast<float>(r.x0) + u * sx; };
    auto py = [&](float y) { return static_cast<float>(r.y0) + (wall.top - y) * sy; };
    // Corner boards in the trim colour.
    FillRoundBox(c, static_cast<float>(r.x0), static_cast<float>(r.y0), static_cast<float>(r.x0) + 3.0f,
                 static_cast<float>(r.y1), 0.5f, Shade(look.trim, 0.9f));
    FillRoundBox(c, static_cast<float>(r.x1) - 3.0f, static_cast<float>(r.y0), static_cast<float>(r.x1),
                 static_cast<float>(r.y1), 0.5f, Shade(look.trim, 0.9f));
    // Stone footing below the ground point, then snow banked against it.
    const PixelRect footing = {r.x0, static_cast<int>(py(0.6f)), r.x1, r.y1};
    PaintStones(c, footing, Hex(0x6E6A66), Hex(0x2E2B2A), 5.0f, seed + 9u);
    // Snow banked against the wall: its wavy top between 0 and 0.45 above the
    // ground point, solid below (the drifts hide most of it anyway).
    const float bankTop = py(0.45f), bankLow = py(0.0f);
    ForEachPixel(c, {r.x0, static_cast<int>(bankTop), r.x1, r.y1}, [&](int x, int y, float a, float) {
        const float edge = bankTop + (bankLow - bankTop) * Fbm(seed + 5u, a * 3.0f, 0.0f, 6, 2);
        const float py0 = static_cast<float>(y) + 0.5f;
        const float cover = Coverage(edge - py0, 2.0f);
        BlendOver(c.At(x, y), Mix(Hex(0xEEF4FF), Hex(0xB9CCE8), SmoothStep(edge, edge + 12.0f, py0)), cover);
    });
    for (const Opening& o : wall.openings) {
        const float x0 = px(o.centre - o.width * 0.5f), x1 = px(o.centre + o.width * 0.5f);
        const float y0 = py(o.bottom + o.height), y1 = py(o.bottom);
        switch (o.kind) {
            case Opening::kWindow:
                PaintLitWindow(c, x0, y0, x1, y1, look.trim, look.shutter, look.material != Look::kPlaster);
                break;
            case Opening::kDoor: PaintDoor(c, x0, y0, x1, y1, look.door, look.trim); break;
            case Opening::kRound: PaintRoundWindow(c, (x0 + x1) * 0.5f, (y0 + y1) * 0.5f, (x1 - x0) * 0.5f, look.trim); break;
        }
    }
    // Painted shade: darker under the eaves and towards the corners.
    DarkenEdges(c, r, 10.0f, 0.35f, true, false, false);
    DarkenEdges(c, r, 5.0f, 0.15f, false, false, true);
}

}  // namespace

Canvas HouseImage(int variant) {
    const Look& look = kLooks[variant];
    const std::uint32_t seed = 700u + static_cast<std::uint32_t>(variant) * 17u;
    Canvas c(kAtlas, kAtlas, Hex(0x000000));
    PaintWall(c, kChaletFrontWall, look, seed);
    PaintWall(c, kSideWall, look, seed + 1u);
    PaintWall(c, kLongFrontWall, look, seed + 2u);
    PaintWall(c, kWingWall, look, seed + 3u);
    // Gables: the wall material with a round attic window low in the middle
    // (the triangle covers the lower middle of this rectangle).
    PaintWallMaterial(c, kGable, look, seed + 4u);
    PaintRoundWindow(c, 32.0f, 189.0f, 5.0f, look.trim);
    DarkenEdges(c, kGable, 6.0f, 0.35f, true, false, false);
    // Chimney: brick whatever the walls, a sooty flue and a stone crown.
    PaintBricks(c, kBrick, Hex(0x8A3A2C), Hex(0xB8ADA0), 8.0f, 3.0f, seed + 6u);
    DarkenEdges(c, kBrick, 4.0f, 0.25f, false, false, true);
    ForEachPixel(c, kFlue, [&](int x, int y, float a, float b) {
        const float d = std::max(std::fabs(a - 0.5f), std::fabs(b - 0.5f));
        c.At(x, y) = d < 0.3f ? Shade(Hex(0x1A1512), 0.6f + d) : Mix(Hex(0xEEF4FF), Hex(0x9AA6B4), (0.5f - d) * 3.0f);
    });
    PaintStones(c, kCrown, Hex(0x9A958E), Hex(0x4A4743), 5.0f, seed + 7u);
    // Trim boards for fascias, soffits and the door canopy.
    PaintPlanks(c, kBoard, look.trim, 6.0f, false, seed + 8u);
    // Roof snow: lit, with soft hollows; edges shaded bluer.
    // Roof snow: soft lumps in long drifts along the ridge, bluer towards the eave.
    ForEachPixel(c, kRoofSnow, [&](int x, int y, float a, float b) {
        const float lumps = Fbm(seed + 10u, a * 1.5f, b * 0.5f, 6, 3);
        Colour p = Mix(Hex(0xEEF4FF), Hex(0xB9CCE8), SmoothStep(0.5f, 0.85f, lumps) * 0.55f);
        p = Mix(p, Hex(0xB9CCE8), SmoothStep(0.55f, 1.0f, a) * 0.45f);
        if (a < 0.06f) p = Mix(p, Hex(0xFFFFFF), 0.5f * (1.0f - a / 0.06f));
        c.At(x, y) = p;
    });
    PaintSnow(c, kSnowEdge, 0.7f, seed + 11u);
    PaintSnow(c, kCanopySnow, 0.3f, seed + 12u);
    // Ice: pale blue, lighter down the middle.
    ForEachPixel(c, kIce, [&](int x, int y, float a, float) {
        c.At(x, y) = Mix(Hex(0xA9C4E8), Hex(0xF4FAFF), 1.0f - std::fabs(a - 0.5f) * 2.0f);
    });
    // Bulbs: a hot centre in a saturated glow (drawn lit, so painted bright).
    for (int k = 0; k < kBulbColours; ++k) {
        const Colour glow = Hex(look.bulbs[static_cast<std::size_t>(k)]);
        ForEachPixel(c, Bulb(k), [&](int x, int y, float a, float b) {
            const float d = std::hypot(a - 0.5f, (b - 0.5f) * 0.5f) * 2.0f;
            c.At(x, y) = Mix(Mix(glow, Hex(0xFFFFFF), 0.6f), glow, SmoothStep(0.0f, 0.8f, d));
        });
    }
    return c;
}

namespace {

// ---- Modelling ----

void AddWallBox(Mesh& m, float x0, float x1, float z0, float z1, float top, const PixelRect& front,
                const PixelRect& back, const PixelRect& side) {
    BoxUv uv = BoxUv::All(Uv(side));
    uv.faces[kFront] = Uv(front);
    uv.faces[kBack] = Uv(back);
    uv.faces[kTop] = uv.faces[kBottom] = Uv(kBoard);
    AddBox(m, Move((x0 + x1) * 0.5f, (top + kFooting) * 0.5f, (z0 + z1) * 0.5f), {x1 - x0, top - kFooting, z1 - z0}, uv);
}

// The snow top of a roof whose walls are `halfSpan` from the ridge line and `top` high.
float RidgeSnow(float halfSpan, float top) { return top + kSlope * halfSpan + kBoardDepth + kSnowDepth; }

// Icicles under both eave lips (at x = +-eave, y = lip) and a string of lights
// sagging between hooks below them, from z0 to z1. Lengths vary from a seed
// taken from the position, so each roof is the same on every bake.
void AddEaveTrimmings(Mesh& m, const Xform& x, float eave, float lip, float z0, float z1) {
    Rng rng(static_cast<std::uint64_t>(std::lround((z1 - z0) * 100.0f + eave * 1000.0f)));
    for (int side = -1; side <= 1; side += 2) {
        const float ex = static_cast<float>(side) * (eave + 0.15f);
        for (float z = z0; z <= z1; z += rng.Range(0.6f, 1.1f)) {
            const float length = rng.Range(0.3f, 0.9f);
            // A cone pointing down: mirrored in y, which the kit keeps outward.
            // Three sides are plenty for a spike a few pixels long, and a
            // village draws some thousand icicles a frame.
            AddCylinder(m, x * Move(ex, lip + 0.05f, z) * Xform::Scale({1.0f, -1.0f, 1.0f}), 0.12f, 0.0f, length, 3,
                        Uv(kIce), Uv(kIce));
        }
        const float hook = 2.0f;
        int bulb = 0;
        // Each bulb a lit diamond: few pixels across from anywhere the camera goes.
        for (float z = z0 + 0.2f; z <= z1; z += 0.7f, ++bulb) {
            const float along = std::fmod(z - z0, hook) / hook;
            const float sag = 0.3f * std::sin(3.14159265f * along);
            AddSphere(m, x * Move(ex + static_cast<float>(side) * 0.2f, lip - 0.15f - sag, z) * Xform::Scale({1.0f, 1.3f, 1.0f}),
                      0.17f, 4, 2, Uv(Bulb(bulb % kBulbColours)));
        }
    }
}

// A gabled roof over walls `halfSpan` either side of the ridge and `top` high, its
// ridge along z from z0 to z1 (overhangs included), placed by `x`: boards in the trim
// colour under a blanket of snow with a rounded lip at the eaves; and the two
// gable triangles filling the wall ends from gz0 to gz1.
void AddGabledRoof(Mesh& m, const Xform& x, float halfSpan, float top, float z0, float z1, float gz0, float gz1,
                   bool trimmed) {
    const float eave = halfSpan + 1.3f;
    const float ridge = RidgeSnow(halfSpan, top);
    const float k = kSlope;
    auto snowTop = [&](float d) { return ridge - k * d; };
    // Snow blanket, counter-clockwise from the ridge over the left eave and back.
    const float e = snowTop(eave);
    std::vector<V2> snow = {{0.0f, ridge},
                            {-eave, e},
                            {-eave - 0.3f, e - 0.12f},
                            {-eave - 0.38f, e - 0.42f},
                            {-eave - 0.2f, e - kSnowDepth - 0.2f},
                            {-(eave - 0.25f), snowTop(eave - 0.25f) - kSnowDepth},
                            {0.0f, ridge - kSnowDepth},
                            {eave - 0.25f, snowTop(eave - 0.25f) - kSnowDepth},
                            {eave + 0.2f, e - kSnowDepth - 0.2f},
                            {eave + 0.38f, e - 0.42f},
                            {eave + 0.3f, e - 0.12f},
                            {eave, e}};
    // Both slopes run across the roof-snow picture from the ridge (u = 0) to the eave.
    std::vector<UvRect> snowSides(snow.size(), Uv(kSnowEdge));
    const UvRect slope = Uv(kRoofSnow);
    snowSides[0] = slope;
    snowSides[snow.size() - 1] = {slope.u1, slope.v0, slope.u0, slope.v1};
    const float length = z1 - z0;
    m.Use(kSnowGroup);
    AddExtrusion(m, x * Move(0, 0, (z0 + z1) * 0.5f), snow, length + 0.3f, Uv(kSnowEdge), snowSides, false);
    m.Use(kHouseGroup);
    // Boards under the snow.
    const float b = eave - 0.05f;
    const float bt = ridge - kSnowDepth;
    std::vector<V2> board = {{0.0f, bt},         {-b, bt - k * b},           {-b, bt - k * b - kBoardDepth},
                             {0.0f, bt - kBoardDepth}, {b, bt - k * b - kBoardDepth}, {b, bt - k * b}};
    AddExtrusion(m, x * Move(0, 0, (z0 + z1) * 0.5f), board, length, Uv(kBoard), {Uv(kBoard)}, false);
    if (trimmed) AddEaveTrimmings(m, x, eave, e - kSnowDepth - 0.2f, z0 + 0.4f, z1 - 0.4f);
    // Gable triangles under the boards.
    const float gy = top - 0.02f;
    std::vector<V2> gable = {{-halfSpan, gy}, {halfSpan, gy}, {0.0f, gy + k * halfSpan}};
    AddExtrusion(m, x * Move(0, 0, (gz0 + gz1) * 0.5f), gable, gz1 - gz0, Uv(kGable), {Uv(kBoard)}, false);
}

// A hipped roof over walls `halfX` by `halfZ` from the centre and `top` high,
// placed by `x`: a slab of trim boards (its underside the soffit), and on it a
// blanket of snow with a rounded lip drooping over the eaves. `pitch` lists
// (inset from the eaves, rise above the eave snow) from the eaves inwards;
// every point but the last is a soft bend, and the last closes the roof (a
// ridge, a point, or a flat deck when it leaves area). Icicles and lights hang
// under the eaves all round. Returns the height of the snow at the last point.
float AddHippedRoof(Mesh& m, const Xform& x, float halfX, float halfZ, float top, const std::vector<V2>& pitch,
                    bool trimmed) {
    const float ex = halfX + kOverhang, ez = halfZ + kOverhang;
    const float soffit = top - 0.25f;
    const float snowDepth = 0.85f;  // thicker than on the small gables: a heavy blanket
    const float e = soffit + kBoardDepth + snowDepth;  // snow top at the eaves
    AddHipSolid(m, x, ex - 0.05f, ez - 0.05f, {{0.0f, soffit}, {0.0f, soffit + kBoardDepth, true}},
                {Uv(kBoard)}, Uv(kBoard));
    std::vector<HipLevel> snow = {{0.25f, e - snowDepth + 0.02f, true},
                                  {-0.2f, e - snowDepth - 0.22f},
                                  {-0.45f, e - snowDepth * 0.6f},
                                  {-0.42f, e - 0.2f},
                                  {-0.25f, e - 0.04f},
                                  {0.0f, e}};
    // The lip runs along the snow-edge picture's light upper part: that picture
    // deepens downwards, which here would darken one end of every side.
    UvRect lipUv = Uv(kSnowEdge);
    lipUv.v1 = lipUv.v0 + 0.4f * (lipUv.v1 - lipUv.v0);
    std::vector<UvRect> bands(snow.size() - 1, lipUv);
    // The roof-snow picture runs from the top (u = 0) to the eaves (u = 1)
    // over the whole pitch, each band taking its share.
    const UvRect slope = Uv(kRoofSnow);
    const float reach = pitch.back().x;
    float from = 0.0f;
    for (const V2& p : pitch) {
        snow.push_back({p.x, e + p.y});
        const float a0 = 1.0f - from / reach, a1 = 1.0f - p.x / reach;
        const float w = slope.u1 - slope.u0;
        bands.push_back({slope.u0 + a1 * w, slope.v0, slope.u0 + a0 * w, slope.v1});
        from = p.x;
    }
    m.Use(kSnowGroup);
    AddHipSolid(m, x, ex, ez, snow, bands, Uv(kRoofSnow));
    m.Use(kHouseGroup);
    const float lip = e - snowDepth - 0.22f;
    if (trimmed) {
        AddEaveTrimmings(m, x * Xform::RotateY(90.0f), ez, lip, -ex + 0.6f, ex - 0.6f);
        AddEaveTrimmings(m, x, ex, lip, -ez + 0.6f, ez - 0.6f);
    }
    return e + pitch.back().y;
}

// A brick chimney whose top centre is `top`; returns nothing, the caller sets the joint.
void AddChimney(Mesh& m, V3 top, float from) {
    const float crown = 0.35f;
    BoxUv brick = BoxUv::All(Uv(kBrick));
    AddBox(m, Move(top.x, (from + top.y - crown) * 0.5f, top.z), {2.2f, top.y - crown - from, 2.2f}, brick);
    BoxUv cap = BoxUv::All(Uv(kCrown));
    cap.faces[kTop] = Uv(kFlue);
    AddBox(m, Move(top.x, top.y - crown * 0.5f, top.z), {2.6f, crown, 2.6f}, cap);
}

// A small roof over a door: a board with snow on it, leaning out from the wall.
void AddCanopy(Mesh& m, const Xform& x, float width) {
    AddBox(m, x * Xform::RotateX(14.0f) * Move(0, 0, 0.75f), {width, 0.18f, 1.5f}, BoxUv::All(Uv(kBoard)));
    m.Use(kSnowGroup);
    AddBevelBox(m, x * Xform::RotateX(14.0f) * Move(0, 0.22f, 0.8f), {width + 0.2f, 0.32f, 1.6f}, 0.1f,
                Uv(kCanopySnow));
    m.Use(kHouseGroup);
}

Mesh StartHouse(const char* name) {
    Mesh m;
    // White, so the picture shows as painted; the snow on the roofs has its own
    // group in the snow's light (kSnowGroup), so it matches the ground.
    Ms3dMaterialDesc house = PlainMaterial(name);
    house.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    m.Use(m.AddGroup(name, m.AddMaterial(house)));
    m.AddGroup("snow", m.AddMaterial(SnowMaterial()));
    return m;
}

// Cottage: 13 by 11 under a hipped bonnet, chimney at the top of the cap.
// The cap's ridge runs 2 along x; the landing ring lies wholly on the cap,
// falling 3 to 5 times its pitch below the ridge (least towards the hip
// corners), so a gentle cap and a squat chimney keep it 0.82 to 0.95 down.
Mesh Chalet(bool trimmed) {
    Mesh m = StartHouse("chalet");
    const float hx = 6.5f, hz = 5.5f, top = 6.0f;
    AddWallBox(m, -hx, hx, -hz, hz, top, kChaletFront, kChaletFront, kSide);
    const float skirt = 1.6f, steep = 1.3f, cap = 0.08f, least = hz + kOverhang;
    const float bend = steep * skirt;
    const float ridge = AddHippedRoof(m, Xform(), hx, hz, top, {{skirt, bend}, {least, bend + cap * (least - skirt)}}, trimmed);
    AddCanopy(m, Move(0.0f, 3.9f, hz), 3.4f);
    const V3 chimney = {0.0f, ridge + 0.57f, 0.0f};
    AddChimney(m, chimney, top);
    m.AddJoint("house", -1, {});
    m.AddJoint("chimney", 0, chimney);
    return m;
}

// Long house: 20 by 11 under a mansard whose flat deck reaches 5.2 to the
// front and back of the middle and 9.7 to either end, so the landing ring
// round the chimney (3.5 right of the middle, 0.82 above the deck snow)
// lies wholly on the deck. A gabled wing to the front on the left, the door
// under a canopy on the right, and two dormers in the front slope.
Mesh LongHouse(bool trimmed) {
    Mesh m = StartHouse("longhouse");
    const float hx = 10.0f, hz = 5.5f, top = 6.0f;
    AddWallBox(m, -hx, hx, -hz, hz, top, kLongFront, kLongFront, kSide);
    const float rise = 2.8f;
    const float deck = AddHippedRoof(m, Xform(), hx, hz, top,
                                     {{1.15f, rise * 0.85f}, {1.4f, rise * 0.97f}, {1.6f, rise}}, trimmed);
    // The wing: 6 wide, reaching 4 out from the front wall.
    const float wingTop = 5.5f, wx = -5.0f, wingFront = hz + 4.0f;
    AddWallBox(m, wx - 3.0f, wx + 3.0f, 1.0f, wingFront, wingTop, kWingFront, kWingFront, kWingFront);
    AddGabledRoof(m, Move(wx, 0, 0), 3.0f, wingTop, 1.5f, wingFront + 1.0f, 1.0f, wingFront, trimmed);
    // Dormers over the front windows: boxes standing on the wall head and
    // out through the front slope, their ridges below the deck. The face shows
    // the wing's window with a little wall round it.
    const PixelRect dormerFace = {kWingFront.x0 + 6, kWingFront.y0 + 6, kWingFront.x1 - 6, kWingFront.y0 + 48};
    const PixelRect dormerSide = {kWingFront.x0 + 1, kWingFront.y0 + 2, kWingFront.x0 + 9, kWingFront.y0 + 36};
    for (float dx : {1.0f, 7.2f}) {
        const float dormerTop = 8.4f, bottom = 6.5f, back = hz - 0.6f, front = hz + kOverhang + 0.2f;
        BoxUv uv = BoxUv::All(Uv(dormerSide));
        uv.faces[kFront] = Uv(dormerFace);
        uv.faces[kTop] = uv.faces[kBottom] = uv.faces[kBack] = Uv(kBoard);
        AddBox(m, Move(dx, (bottom + dormerTop) * 0.5f, (back + front) * 0.5f),
               {2.2f, dormerTop - bottom, front - back}, uv);
        AddGabledRoof(m, Move(dx, 0, 0), 1.1f, dormerTop, back, front + 0.5f, back, front, trimmed);
    }
    AddCanopy(m, Move(-hx + 13.0f, 3.9f, hz), 3.4f);
    const V3 chimney = {3.5f, deck + 0.82f, 0.0f};
    AddChimney(m, chimney, top);
    m.AddJoint("house", -1, {});
    m.AddJoint("chimney", 0, chimney);
    return m;
}
}  // namespace

Mesh HouseMesh(int model) { return model == 0 ? Chalet(true) : LongHouse(true); }

// Icicles and the bulbs along the eaves are nearly all of a house's triangles
// and under a pixel each from where the far model is drawn: it is the same
// house without them.
Mesh FarHouseMesh(int model) { return model == 0 ? Chalet(false) : LongHouse(false); }

std::vector<Lump> BuildHouses() {
    std::vector<Lump> lumps(kFirstHouseImage + kHouseImages + kHouseModelCount);
    for (int k = 0; k < kHouseModelCount; ++k) {
        lumps[static_cast<std::size_t>(kHouseModels[k].lump)] = ModelLump(HouseMesh(k), kHouseModels[k].scale);
        lumps[static_cast<std::size_t>(kHouseModelsFar[k].lump)] = ModelLump(FarHouseMesh(k), kHouseModelsFar[k].scale);
    }
    for (int v = 0; v < kHouseImages; ++v) {
        lumps[static_cast<std::size_t>(kFirstHouseImage + v)] = ImageLump(HouseImage(v), AlphaMode::Opaque);
    }
    return lumps;
}
