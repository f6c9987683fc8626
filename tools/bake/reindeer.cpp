// "reindeer.brm": a rigged reindeer with five coats.
//
// Skeleton (origin at the middle of the body, facing +z):
//   0 body          1 chest        2 harness (collar at the shoulders)
//   3, 4 front upper legs (+x, -x)  5, 6 front lower legs and hooves
//   7, 8 hind upper legs (+x, -x)   9, 10 hind lower legs and hooves
//   11 tail         12 neck        13 head        14 nose tip (last)
// Each lower leg is exactly one unit from its knee to the hoof's tip and its
// joint's +z runs down it, which is where the scene throws hoof sparkles.
//
// Clips: frames 1-22 a bounding gallop that loops (hind hooves strike at
// frames 6-7, the front ones at 17-18, each pair a frame apart); frames 26-30
// standing on a roof with the legs gathered under the body.
#include <cmath>

#include "math/vector.h"
#include "tools/bake/characters.h"
#include "tools/bake/model/painters.h"
#include "tools/bake/model/primitives.h"
#include "tools/bake/model/rig.h"

namespace {
using namespace reindeer;

// Picture layout (128 x 128): the head's face fills the lower half.
constexpr int kSize = 128;
const PixelRect kBody = {0, 0, 64, 64};       // v: back (dark) to belly (pale)
const PixelRect kLeg = {64, 0, 96, 32};       // v: down the leg
const PixelRect kPale = {96, 0, 128, 32};     // muzzle, tail, chest fur
const PixelRect kNoseArea = {64, 32, 80, 48};
const PixelRect kAntler = {80, 32, 96, 48};
const PixelRect kHoof = {96, 32, 112, 48};
const PixelRect kLeather = {112, 32, 128, 48};
const PixelRect kGold = {64, 48, 80, 64};
const PixelRect kFace = {0, 64, 128, 128};    // the head: u round, v top to bottom

struct Coat {
    std::uint32_t fur;
    std::uint32_t nose;
};
// The lead first, with the red nose.
const Coat kCoatColours[kCoats] = {
    {0x7A4E2D, 0xFF2A2A}, {0x8E5B34, 0x2A1A14}, {0x5E3B22, 0x24160F}, {0xB08B63, 0x3A2618}, {0x6F6258, 0x201814},
};

UvRect Uv(const PixelRect& r) { return r.Uv(kSize, kSize); }

Canvas PaintCoat(int coat, bool eyesOpen) {
    const Colour fur = Hex(kCoatColours[coat].fur);
    const Colour pale = Mix(fur, Hex(0xF3E6CF), 0.65f);
    const std::uint32_t seed = 700u + static_cast<std::uint32_t>(coat) * 31u;
    Canvas c(kSize, kSize, fur);
    PaintSoft(c, kBody, Shade(fur, 0.78f), pale, 0.18f, seed);
    // Keep the belly pale only in the lower fifth of the body's picture.
    ForEachPixel(c, kBody, [&](int x, int y, float, float b) {
        const float t = SmoothStep(0.15f, 0.7f, b);
        c.At(x, y) = Mix(c.At(x, y), Shade(fur, 0.95f), 0.6f * (1.0f - std::fabs(2.0f * t - 1.0f)));
    });
    PaintSoft(c, kLeg, fur, Shade(fur, 0.7f), 0.15f, seed + 1);
    PaintSoft(c, kPale, pale, Shade(pale, 0.9f), 0.1f, seed + 2);
    PaintSoft(c, kNoseArea, Hex(kCoatColours[coat].nose), Shade(Hex(kCoatColours[coat].nose), 0.8f), 0.05f, seed + 3);
    PaintSoft(c, kAntler, Hex(0xE8D9B5), Hex(0xC9B48A), 0.12f, seed + 4);
    PaintSoft(c, kHoof, Hex(0x2B211C), Hex(0x1A1411), 0.1f, seed + 5);
    PaintSoft(c, kLeather, Hex(0xA3182C), Hex(0x7E0A1E), 0.1f, seed + 6);
    PaintSoft(c, kGold, Hex(0xF2CF62), Hex(0xC9962A), 0.05f, seed + 7);
    // The head: fur above, paler round the jaw, the eyes a little above the middle.
    PaintSoft(c, kFace, Shade(fur, 0.85f), pale, 0.12f, seed + 8);
    const float w = static_cast<float>(kFace.Width()), h = static_cast<float>(kFace.Height());
    for (float side : {-1.0f, 1.0f}) {
        const float cx = static_cast<float>(kFace.x0) + w * (0.5f + side * 0.15f);
        const float cy = static_cast<float>(kFace.y0) + h * 0.42f;
        FillDisc(c, cx, cy, 5.5f, Shade(pale, 1.05f), 1.5f);  // a pale ring round the eye
        PaintEye(c, cx, cy, 3.2f, 4.2f, eyesOpen);
    }
    return c;
}

// One leg: upper piece from `hip` to `knee`, lower from the knee straight down
// one unit to the hoof's tip.
void AddLeg(Mesh& m, int body, int upper, int lower, V3 hip, V3 knee, float hipRadius) {
    m.Use(body, upper);
    AddLimb(m, hip, knee, hipRadius, 0.11f, Uv(kLeg));
    m.Use(body, lower);
    const V3 tip = knee + V3{0, -1.0f, 0};
    AddBlob(m, knee, {0.12f, 0.12f, 0.12f}, Uv(kLeg), 0, 8, 5);
    AddLimb(m, knee, tip + V3{0, 0.2f, 0}, 0.1f, 0.075f, Uv(kLeg), 8);
    AddBlob(m, tip + V3{0, 0.1f, 0.03f}, {0.13f, 0.1f, 0.15f}, Uv(kHoof), 0, 8, 5);
}

// The gallop's leg angles for a leg that strikes at frame `strike`: the upper
// leg swings back through the vertical as the hoof strikes, the lower leg
// straight round the strike and folded back at the far end of the stride.
void GallopLeg(Pose& p, int upper, int lower, float frame, float strike, float swing, float fold) {
    const float d = 2.0f * kPiF * (frame - strike) / static_cast<float>(kGallop.last - kGallop.first);
    p[upper].rotation = {swing * std::sin(d), 0, 0};
    const float bent = 0.5f * (1.0f - std::cos(d));
    p[lower].rotation = {fold * bent * bent * bent, 0, 0};
}
}  // namespace

Mesh ReindeerMesh(float detail) {
    Mesh m;
    m.detail = detail;
    const int head = m.AddGroup("head", m.AddMaterial(PlainMaterial("reindeer_head")));
    const int body = m.AddGroup("body", m.AddMaterial(PlainMaterial("reindeer_coat")));
    Rig rig(m);
    const V3 downFrame = {90.0f, 0, 0};  // +z down the leg
    const int root = rig.AddJoint("body", -1, {0, 0, 0});
    const int chest = rig.AddJoint("chest", root, {0, 0.05f, 0.3f});
    const int harness = rig.AddJoint("harness", chest, {0, 0.05f, 0.75f});
    const V3 frontHip[2] = {{0.42f, -0.1f, 0.85f}, {-0.42f, -0.1f, 0.85f}};
    const V3 hindHip[2] = {{0.45f, 0.0f, -1.05f}, {-0.45f, 0.0f, -1.05f}};
    const V3 frontKnee[2] = {{0.42f, -0.95f, 0.9f}, {-0.42f, -0.95f, 0.9f}};
    const V3 hindKnee[2] = {{0.45f, -0.95f, -1.15f}, {-0.45f, -0.95f, -1.15f}};
    const int frontUpper[2] = {rig.AddJoint("front_leg_l", chest, frontHip[0]),
                               rig.AddJoint("front_leg_r", chest, frontHip[1])};
    const int frontLower[2] = {rig.AddJoint("front_hoof_l", frontUpper[0], frontKnee[0], downFrame),
                               rig.AddJoint("front_hoof_r", frontUpper[1], frontKnee[1], downFrame)};
    const int hindUpper[2] = {rig.AddJoint("hind_leg_l", root, hindHip[0]),
                              rig.AddJoint("hind_leg_r", root, hindHip[1])};
    const int hindLower[2] = {rig.AddJoint("hind_hoof_l", hindUpper[0], hindKnee[0], downFrame),
                              rig.AddJoint("hind_hoof_r", hindUpper[1], hindKnee[1], downFrame)};
    const int tail = rig.AddJoint("tail", root, {0, 0.35f, -1.7f});
    const int neck = rig.AddJoint("neck", chest, {0, 0.4f, 1.15f});
    const int skull = rig.AddJoint("head", neck, {0, 1.25f, 1.75f});
    const int nose = rig.AddJoint("nose", skull, {0, 1.22f, 2.69f});
    if (harness != kHarness || frontLower[0] != kFrontHoofPlusX || frontLower[1] != kFrontHoofMinusX ||
        hindLower[0] != kHindHoofPlusX || hindLower[1] != kHindHoofMinusX || nose != kNose || nose + 1 != kJoints) {
        throw BakeError("reindeer joints out of order");
    }

    // Body: a rump and a deeper chest that overlap, so the spine can flex.
    m.Use(body, root);
    AddBlob(m, {0, 0.1f, -0.75f}, {0.72f, 0.66f, 1.05f}, Uv(kBody));
    m.Use(body, chest);
    AddBlob(m, {0, 0.05f, 0.55f}, {0.78f, 0.74f, 0.95f}, Uv(kBody));
    AddBlob(m, {0, -0.05f, 1.2f}, {0.45f, 0.5f, 0.3f}, Uv(kPale), 0, 10, 6);  // chest ruff

    // Harness: a red collar round the shoulders with a gold bell on either side.
    m.Use(body, harness);
    std::vector<V3> ring;
    const int ringPoints = m.Sides(16, 8);
    for (int i = 0; i < ringPoints; ++i) {
        const float a = 2.0f * kPiF * static_cast<float>(i) / static_cast<float>(ringPoints);
        ring.push_back({0.84f * std::cos(a), 0.05f + 0.8f * std::sin(a), 0.75f});
    }
    SweepOptions closed;
    closed.closed = true;
    AddSweep(m, Xform(), ring, {0, 0, 1}, RegularPolygon(m.Sides(6, 4), 0.1f, 0.1f), Uv(kLeather), closed);
    for (float side : {-1.0f, 1.0f}) AddBlob(m, {side * 0.97f, 0.05f, 0.75f}, {0.14f, 0.14f, 0.14f}, Uv(kGold), 0, 10, 6);

    for (int s = 0; s < 2; ++s) {
        AddLeg(m, body, frontUpper[s], frontLower[s], frontHip[s], frontKnee[s], 0.24f);
        AddLeg(m, body, hindUpper[s], hindLower[s], hindHip[s], hindKnee[s], 0.3f);
    }

    m.Use(body, tail);
    AddBlob(m, {0, 0.42f, -1.82f}, {0.14f, 0.22f, 0.12f}, Uv(kPale), -0.0f, 8, 5);

    m.Use(body, neck);
    AddLimb(m, {0, 0.3f, 1.1f}, {0, 1.2f, 1.72f}, 0.34f, 0.22f, Uv(kBody));

    // Head group: everything that shows the eyes' picture.
    m.Use(head, skull);
    AddBlob(m, {0, 1.32f, 2.0f}, {0.28f, 0.28f, 0.38f}, Uv(kFace));
    AddBlob(m, {0, 1.2f, 2.38f}, {0.19f, 0.18f, 0.24f}, Uv(kPale), 0, 10, 6);
    AddBlob(m, {0, 1.22f, 2.61f}, {0.1f, 0.085f, 0.08f}, Uv(kNoseArea), 0, 8, 5);
    for (float side : {-1.0f, 1.0f}) {
        AddBlob(m, {side * 0.3f, 1.48f, 1.85f}, {0.16f, 0.06f, 0.08f}, Uv(kLeg), side * 20.0f, 8, 5);
        // Antlers: a beam sweeping up, out and back, with three tines forward.
        const UvRect a = Uv(kAntler);
        const V3 b0 = {side * 0.12f, 1.52f, 1.88f}, b1 = {side * 0.33f, 1.85f, 1.72f}, b2 = {side * 0.46f, 2.05f, 1.5f},
                 b3 = {side * 0.44f, 2.15f, 1.26f};
        AddLimb(m, b0, b1, 0.065f, 0.055f, a, 7);
        AddLimb(m, b1, b2, 0.055f, 0.045f, a, 7);
        AddLimb(m, b2, b3, 0.045f, 0.03f, a, 7);
        AddLimb(m, Lerp(b0, b1, 0.35f), {side * 0.2f, 1.78f, 2.05f}, 0.04f, 0.025f, a, 6);
        AddLimb(m, b1, {side * 0.42f, 2.08f, 1.92f}, 0.04f, 0.025f, a, 6);
        AddLimb(m, b2, {side * 0.62f, 2.18f, 1.6f}, 0.035f, 0.02f, a, 6);
    }

    // The gallop, keyed every frame so the legs follow their curves.
    for (int f = kGallop.first; f <= kGallop.last; ++f) {
        const float x = static_cast<float>(f);
        Pose p;
        GallopLeg(p, hindUpper[0], hindLower[0], x, 6.0f, 36.0f, 100.0f);
        GallopLeg(p, hindUpper[1], hindLower[1], x, 7.0f, 36.0f, 100.0f);
        GallopLeg(p, frontUpper[0], frontLower[0], x, 17.0f, 34.0f, 120.0f);
        GallopLeg(p, frontUpper[1], frontLower[1], x, 18.0f, 34.0f, 120.0f);
        const float d = 2.0f * kPiF * (x - 6.5f) / static_cast<float>(kGallop.last - kGallop.first);
        // Lowest as either pair strikes, highest between.
        p[root].offset = {0, -0.08f * std::cos(2.0f * d), 0};
        p[root].rotation = {4.0f * std::sin(d), 0, 0};
        p[chest].rotation = {-4.0f * std::sin(d), 0, 0};
        p[neck].rotation = {6.0f * std::sin(d + 0.8f), 0, 0};
        p[skull].rotation = {-4.0f * std::sin(d + 0.8f), 0, 0};
        p[tail].rotation = {-20.0f + 15.0f * std::sin(d), 0, 0};
        rig.Key(f, p, Ease::Linear);
    }

    // Standing on the roof: legs gathered under the body, the head raised and turning.
    Pose stand;
    for (int s = 0; s < 2; ++s) {
        stand[frontUpper[s]].rotation = {7.0f, 0, 0};
        stand[frontLower[s]].rotation = {-7.0f, 0, 0};
        stand[hindUpper[s]].rotation = {-7.0f, 0, 0};
        stand[hindLower[s]].rotation = {7.0f, 0, 0};
    }
    stand[root].offset = {0, -0.01f, 0};
    stand[neck].rotation = {-8.0f, 0, 0};
    stand[tail].rotation = {-30.0f, 0, 0};
    rig.Key(kStand.first, stand);
    stand[neck].rotation = {-6.0f, -10.0f, 0};
    stand[skull].rotation = {4.0f, -12.0f, 5.0f};
    stand[tail].rotation = {-10.0f, 0, 0};
    rig.Key(kStand.last, stand);
    rig.Finish();
    return m;
}

std::vector<Canvas> ReindeerImages() {
    std::vector<Canvas> images;
    for (int coat = 0; coat < kCoats; ++coat) {
        images.push_back(PaintCoat(coat, true));
        images.push_back(PaintCoat(coat, false));
    }
    return images;
}

std::vector<Lump> BuildReindeer() {
    std::vector<Lump> lumps = {ModelLump(ReindeerMesh(), kReindeerModel.scale)};
    for (const Canvas& c : ReindeerImages()) lumps.push_back(ImageLump(c, AlphaMode::Opaque));
    if (lumps.size() != static_cast<std::size_t>(kReindeerModelFar.lump)) throw BakeError("reindeer.brm's far model out of place");
    lumps.push_back(ModelLump(ReindeerMesh(kFarCharacterDetail), kReindeerModelFar.scale));
    return lumps;
}
