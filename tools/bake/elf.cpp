// "elf.brm": a rigged elf in a green tunic with a pointed red hat, pointed
// ears, striped stockings and curled shoes.
//
// Skeleton (origin on its bench, facing +z):
//   0 hips   1 body   2 head   3 hat   4, 5 thighs (+x, -x)   6 hat tip
//   7 left arm (+x, hand 2)   8 bobble   9 right arm (-x, hand 1)   10, 11 shins
// The arms are rigid from the shoulder to the palm, long and bent like a
// puppet's, so the whole arm swings from the shoulder joint; both arm joints
// turn their axes half round z, so the grip offsets the scene uses,
// (0.75, 0, 0.5) for hand 1 and (-0.75, 0, 0.5) for hand 2, land in the palms.
//
// The sack sits low behind the bench, so the chase view sees over it: seen from
// the elf's seat its crown lies about 0.4 up and 1.5 behind. To reach it the
// elf slides back on the bench and turns round.
//
// Clips (cruising loops 0-53 in real time): hand 2 in the sack at frames 0-4,
// swung out to the +x side at 11-16; hand 1 in the sack at 27-30, swung out to
// the -x side at 37-42. 54-66 bracing for the landing; 66-86 standing on the
// bench watching Santa; 87-136 a wave and back to the seat.
#include <cmath>

#include "tools/bake/characters.h"
#include "tools/bake/model/painters.h"
#include "tools/bake/model/primitives.h"
#include "tools/bake/model/rig.h"

namespace {
using namespace elf;

constexpr int kSize = 128;
const PixelRect kTunic = {0, 0, 64, 64};
const PixelRect kHat = {64, 0, 96, 32};
const PixelRect kWhite = {96, 0, 128, 32};
const PixelRect kSkin = {64, 32, 96, 64};
const PixelRect kBelt = {96, 32, 112, 48};
const PixelRect kBuckle = {112, 32, 128, 48};
const PixelRect kStripes = {96, 48, 128, 64};
const PixelRect kFace = {0, 64, 128, 128};

UvRect Uv(const PixelRect& r) { return r.Uv(kSize, kSize); }

// Grip offsets in each arm joint's own axes.
const V3 kGrip1 = {0.75f, 0, 0.5f};
const V3 kGrip2 = {-0.75f, 0, 0.5f};

Canvas PaintElf(bool eyesOpen) {
    const Colour green = Hex(0x2E8B3E), red = Hex(0xC8102E), skin = Hex(0xF2C6A0), white = Hex(0xF5F5F0);
    Canvas c(kSize, kSize, green);
    PaintSoft(c, kTunic, Mix(green, Hex(0x5DBB63), 0.25f), Shade(green, 0.7f), 0.12f, 61u);
    PaintSoft(c, kHat, Mix(red, Hex(0xE8304A), 0.3f), Hex(0x7E0A1E), 0.1f, 62u);
    PaintSoft(c, kWhite, white, Hex(0xD9DCE2), 0.2f, 63u);
    PaintSoft(c, kSkin, skin, Mix(skin, Hex(0xE89A84), 0.3f), 0.05f, 64u);
    PaintSoft(c, kBelt, Hex(0x4A2E1A), Hex(0x2E1C10), 0.1f, 65u);
    PaintSoft(c, kBuckle, Hex(0xF0C75A), Hex(0xC9962A), 0.05f, 66u);
    ForEachPixel(c, kStripes, [&](int x, int y, float, float b) {
        const float band = 0.5f + 0.5f * std::sin(b * 6.2831853f * 4.0f);
        c.At(x, y) = Mix(red, white, SmoothStep(0.4f, 0.6f, band));
    });
    PaintSoft(c, kFace, skin, Mix(skin, Hex(0xE8A090), 0.25f), 0.05f, 67u);
    const float x0 = static_cast<float>(kFace.x0), y0 = static_cast<float>(kFace.y0);
    const float w = static_cast<float>(kFace.Width()), h = static_cast<float>(kFace.Height());
    for (float side : {-1.0f, 1.0f}) {
        const float cx = x0 + w * (0.5f + side * 0.09f), cy = y0 + h * 0.48f;
        FillDisc(c, cx, cy + 8.0f, 4.5f, Mix(skin, Hex(0xE0606A), 0.5f), 4.0f);
        PaintEye(c, cx, cy, 3.0f, 4.0f, eyesOpen);
    }
    // A smile under the nose.
    for (float t = -1.0f; t <= 1.0f; t += 0.1f) {
        const float mx = x0 + w * 0.5f + t * 7.0f, my = y0 + h * 0.62f + (1.0f - t * t) * 2.5f;
        FillDisc(c, mx, my, 1.1f, Hex(0x8A3A2E), 1.0f);
    }
    return c;
}

struct Joints {
    int hips, body, head, hat, hatTip, bobble, thigh[2], shin[2], arm1, arm2;
};  // thigh and shin [0] the +x side

// Swings `arm` so its palm (grip `grip`) comes to `target`, turning the body
// as `chain` allows; throws when it stays further than `slack` away.
void PalmAt(const Rig& rig, Pose& p, std::vector<int> chain, int arm, V3 grip, V3 target, float slack) {
    chain.push_back(arm);
    const float miss = rig.Reach(p, chain, arm, grip, target);
    if (miss > slack) throw BakeError("the elf's palm misses (" + std::to_string(target.x) + ", " + std::to_string(target.y) + ", " +
                                       std::to_string(target.z) + ") by " + std::to_string(miss));
}

// Sitting, both palms on the bench beside the hips.
Pose Seated(const Rig& rig, const Joints& j) {
    Pose p;
    PalmAt(rig, p, {}, j.arm2, kGrip2, {0.6f, -0.15f, 0.3f}, 0.3f);
    PalmAt(rig, p, {}, j.arm1, kGrip1, {-0.6f, -0.15f, 0.3f}, 0.3f);
    return p;
}

// Turned round on the bench towards the sack, the other palm on a knee.
Pose AtSack(const Rig& rig, const Joints& j, bool hand2, V3 target) {
    const float side = hand2 ? 1.0f : -1.0f;
    Pose p;
    p[j.hips].offset = {0, 0.05f, -0.4f};
    p[j.hips].rotation = {0, side * 50.0f, 0};
    p[j.body].rotation = {-12, side * 45.0f, 0};
    p[j.head].rotation = {15, side * 30.0f, 0};
    PalmAt(rig, p, {j.body}, hand2 ? j.arm2 : j.arm1, hand2 ? kGrip2 : kGrip1, target, 0.12f);
    PalmAt(rig, p, {}, hand2 ? j.arm1 : j.arm2, hand2 ? kGrip1 : kGrip2, {-side * 0.6f, -0.1f, 0.0f}, 0.4f);
    return p;
}

// Facing front again with the throwing palm at `target`.
Pose Throwing(const Rig& rig, const Joints& j, bool hand2, V3 target, float twist) {
    const float side = hand2 ? 1.0f : -1.0f;
    Pose p;
    p[j.hips].offset = {0, 0.05f, -0.2f};
    p[j.hips].rotation = {0, side * twist * 0.4f, 0};
    p[j.body].rotation = {-5, side * twist * 0.6f, side * -10.0f};
    p[j.head].rotation = {-10, side * 25.0f, 0};
    PalmAt(rig, p, {j.body}, hand2 ? j.arm2 : j.arm1, hand2 ? kGrip2 : kGrip1, target, 0.12f);
    PalmAt(rig, p, {}, hand2 ? j.arm1 : j.arm2, hand2 ? kGrip1 : kGrip2, {-side * 0.6f, -0.1f, 0.3f}, 0.4f);
    return p;
}
}  // namespace

Mesh ElfMesh(float detail) {
    Mesh m;
    m.detail = detail;
    const int headGroup = m.AddGroup("head", m.AddMaterial(PlainMaterial("elf_head")));
    const int body = m.AddGroup("body", m.AddMaterial(PlainMaterial("elf_tunic")));
    Rig rig(m);
    Joints j{};
    const V3 halfTurn = {0, 0, 180.0f};
    const V3 hip[2] = {{0.11f, 0.1f, 0.05f}, {-0.11f, 0.1f, 0.05f}};
    const V3 knee[2] = {{0.12f, 0.1f, 0.33f}, {-0.12f, 0.1f, 0.33f}};
    const V3 ankle[2] = {{0.12f, 0.04f, 0.58f}, {-0.12f, 0.04f, 0.58f}};
    const V3 shoulder2 = {0.24f, 0.56f, 0.0f}, shoulder1 = {-0.24f, 0.56f, 0.0f};
    j.hips = rig.AddJoint("hips", -1, {0, 0.12f, 0});
    j.body = rig.AddJoint("body", j.hips, {0, 0.18f, 0});
    j.head = rig.AddJoint("head", j.body, {0, 0.66f, 0});
    j.hat = rig.AddJoint("hat", j.head, {0, 1.0f, 0});
    j.thigh[0] = rig.AddJoint("thigh_l", j.hips, hip[0]);
    j.thigh[1] = rig.AddJoint("thigh_r", j.hips, hip[1]);
    j.hatTip = rig.AddJoint("hat_tip", j.hat, {0, 1.22f, -0.04f});
    j.arm2 = rig.AddJoint("arm_l", j.body, shoulder2, halfTurn);
    j.bobble = rig.AddJoint("bobble", j.hatTip, {0, 1.42f, -0.12f});
    j.arm1 = rig.AddJoint("arm_r", j.body, shoulder1, halfTurn);
    j.shin[0] = rig.AddJoint("shin_l", j.thigh[0], knee[0]);
    j.shin[1] = rig.AddJoint("shin_r", j.thigh[1], knee[1]);
    if (j.arm2 != kHand2 || j.arm1 != kHand1 || j.shin[1] + 1 != kJoints) throw BakeError("elf joints out of order");

    // Body: a belted tunic with a white hem and collar.
    m.Use(body, j.hips);
    AddBlob(m, {0, 0.12f, 0.0f}, {0.22f, 0.13f, 0.2f}, Uv(kTunic));
    m.Use(body, j.body);
    AddBlob(m, {0, 0.4f, 0.0f}, {0.23f, 0.27f, 0.19f}, Uv(kTunic));
    AddBlob(m, {0, 0.2f, 0.0f}, {0.27f, 0.07f, 0.23f}, Uv(kWhite), 0, 12, 5);   // hem
    AddBlob(m, {0, 0.3f, 0.0f}, {0.245f, 0.045f, 0.205f}, Uv(kBelt), 0, 12, 5);
    AddBox(m, Move(0, 0.3f, 0.2f), {0.09f, 0.08f, 0.04f}, BoxUv::All(Uv(kBuckle)));
    AddBlob(m, {0, 0.62f, 0.0f}, {0.17f, 0.06f, 0.15f}, Uv(kWhite), 0, 10, 5);  // collar
    // Arms: shoulder, a bent upper arm and forearm, a small hand at the palm.
    for (int s = 0; s < 2; ++s) {
        const float x = s == 0 ? 1.0f : -1.0f;
        const V3 from = s == 0 ? shoulder2 : shoulder1;
        const V3 palm = from + V3{x * 0.75f, 0, 0.5f};
        const V3 elbow = from + V3{x * 0.48f, -0.08f, 0.08f};
        m.Use(body, s == 0 ? j.arm2 : j.arm1);
        AddLimb(m, from, elbow, 0.085f, 0.07f, Uv(kTunic), 8);
        AddLimb(m, elbow, palm - V3{x * 0.05f, 0, 0.07f}, 0.07f, 0.06f, Uv(kTunic), 8);
        AddBlob(m, palm - V3{x * 0.09f, 0, 0.12f}, {0.075f, 0.05f, 0.075f}, Uv(kWhite), 0, 8, 4);  // cuff
        AddBlob(m, palm, {0.085f, 0.06f, 0.095f}, Uv(kSkin), 0, 8, 5);
        AddBlob(m, palm + V3{0, 0.05f, -0.03f}, {0.03f, 0.05f, 0.03f}, Uv(kSkin), 0, 6, 4);  // thumb
        // Legs: striped stockings, a shoe curling up at the toe.
        m.Use(body, j.thigh[s]);
        AddLimb(m, hip[s], knee[s], 0.085f, 0.07f, Uv(kStripes), 8);
        m.Use(body, j.shin[s]);
        AddLimb(m, knee[s], ankle[s], 0.07f, 0.055f, Uv(kStripes), 8);
        AddBlob(m, ankle[s] + V3{0, 0.02f, 0.08f}, {0.08f, 0.06f, 0.14f}, Uv(kTunic), 0, 8, 5);
        AddLimb(m, ankle[s] + V3{0, 0.03f, 0.18f}, ankle[s] + V3{0, 0.12f, 0.28f}, 0.04f, 0.015f, Uv(kTunic), 6);
    }

    // Head group: face, ears and hat.
    m.Use(headGroup, j.head);
    AddBlob(m, {0, 0.86f, 0.02f}, {0.2f, 0.21f, 0.19f}, Uv(kFace));
    AddBlob(m, {0, 0.84f, 0.22f}, {0.04f, 0.04f, 0.05f}, Uv(kSkin), 0, 6, 4);
    for (float side : {-1.0f, 1.0f}) {
        AddLimb(m, {side * 0.16f, 0.88f, 0.0f}, {side * 0.36f, 1.0f, -0.08f}, 0.055f, 0.01f, Uv(kSkin), 6);
    }
    m.Use(headGroup, j.hat);
    AddBlob(m, {0, 1.0f, 0.0f}, {0.22f, 0.06f, 0.21f}, Uv(kWhite), 0, 12, 5);
    AddLimb(m, {0, 1.0f, 0.0f}, {0, 1.22f, -0.04f}, 0.19f, 0.1f, Uv(kHat), 10);
    m.Use(headGroup, j.hatTip);
    AddLimb(m, {0, 1.2f, -0.04f}, {0, 1.4f, -0.11f}, 0.1f, 0.02f, Uv(kHat), 8);
    m.Use(headGroup, j.bobble);
    AddBlob(m, {0, 1.42f, -0.12f}, {0.06f, 0.06f, 0.06f}, Uv(kWhite), 0, 8, 5);

    // Cruising: two picks from the sack and two throws, one to each side.
    auto flop = [&](Pose p, float a) {
        p[j.hatTip].rotation = {a, 0, a * 0.5f};
        p[j.bobble].rotation = {a, 0, 0};
        return p;
    };
    const Pose sack2 = flop(AtSack(rig, j, true, {0.3f, 0.25f, -1.5f}), -20);
    rig.Key(kCruise.first, sack2);
    rig.Key(2, flop(AtSack(rig, j, true, {0.2f, 0.1f, -1.6f}), -10), Ease::Linear);
    rig.Key(kHand2PickUp.last, flop(AtSack(rig, j, true, {0.28f, 0.33f, -1.5f}), 0), Ease::Linear);
    rig.Key(8, flop(Throwing(rig, j, true, {0.75f, 1.1f, -0.65f}, 40), 20), Ease::Smooth);
    rig.Key(kHand2Throw.first, flop(Throwing(rig, j, true, {1.0f, 1.0f, 0.0f}, 10), 10), Ease::In);
    rig.Key(14, flop(Throwing(rig, j, true, {0.95f, 1.15f, 0.3f}, -10), -15), Ease::Linear);
    rig.Key(kHand2Throw.last, flop(Throwing(rig, j, true, {0.85f, 0.95f, 0.55f}, -15), -20), Ease::Out);
    rig.Key(20, flop(Seated(rig, j), 10));
    rig.Key(24, flop(AtSack(rig, j, false, {-0.4f, 0.45f, -1.2f}), 15));
    rig.Key(kHand1PickUp.first, flop(AtSack(rig, j, false, {-0.3f, 0.25f, -1.5f}), 0), Ease::Out);
    rig.Key(29, flop(AtSack(rig, j, false, {-0.2f, 0.1f, -1.6f}), -10), Ease::Linear);
    rig.Key(kHand1PickUp.last, flop(AtSack(rig, j, false, {-0.28f, 0.33f, -1.5f}), -5), Ease::Linear);
    rig.Key(34, flop(Throwing(rig, j, false, {-0.75f, 1.1f, -0.65f}, 40), 15), Ease::Smooth);
    rig.Key(kHand1Throw.first, flop(Throwing(rig, j, false, {-1.0f, 1.0f, 0.0f}, 10), 10), Ease::In);
    rig.Key(40, flop(Throwing(rig, j, false, {-0.95f, 1.15f, 0.3f}, -10), -15), Ease::Linear);
    rig.Key(kHand1Throw.last, flop(Throwing(rig, j, false, {-0.85f, 0.95f, 0.55f}, -15), -20), Ease::Out);
    rig.Key(46, flop(Seated(rig, j), 10));
    rig.Key(50, flop(AtSack(rig, j, true, {0.4f, 0.8f, -1.4f}), -15));
    rig.Key(kCruise.last, sack2, Ease::Out);

    // Bracing for the landing: lean back, grip the bench, feet up.
    Pose rest = Seated(rig, j);
    rig.Key(kBrace.first, rest);
    Pose brace;
    brace[j.hips].rotation = {-12, 0, 0};
    brace[j.body].rotation = {-15, 0, 0};
    brace[j.head].rotation = {18, 0, 0};
    for (int s = 0; s < 2; ++s) brace[j.thigh[s]].rotation = {-25, 0, 0};
    PalmAt(rig, brace, {}, j.arm2, kGrip2, {0.6f, -0.15f, -0.3f}, 0.3f);
    PalmAt(rig, brace, {}, j.arm1, kGrip1, {-0.6f, -0.15f, -0.3f}, 0.3f);
    rig.Key(60, flop(brace, 25), Ease::Out);
    rig.Key(kBrace.last, flop(brace, -10));

    // On the roof: stand up on the bench and watch Santa at the chimney (-x).
    Pose watch;
    watch[j.hips].offset = {0, 0.3f, 0};
    for (int s = 0; s < 2; ++s) {
        watch[j.thigh[s]].rotation = {70, 0, 0};
        watch[j.shin[s]].rotation = {-70, 0, 0};
    }
    watch[j.body].rotation = {0, -25, 0};
    watch[j.head].rotation = {5, -35, 0};
    PalmAt(rig, watch, {}, j.arm1, kGrip1, {-1.0f, 1.2f, 0.3f}, 0.3f);  // pointing at Santa
    PalmAt(rig, watch, {}, j.arm2, kGrip2, {0.75f, 0.2f, 0.2f}, 0.3f);
    rig.Key(72, flop(watch, 15));
    Pose lean = watch;
    lean[j.body].rotation = {8, -45, -8};
    lean[j.head].rotation = {10, -30, 0};
    rig.Key(79, flop(lean, -5));
    rig.Key(kWatch.last, flop(watch, 10));

    // A wave and back to the seat.
    rig.Key(kWave.first, flop(watch, 10));
    Pose wave = watch;
    wave[j.body].rotation = {0, 10, 0};
    wave[j.head].rotation = {-10, 15, 0};
    PalmAt(rig, wave, {}, j.arm1, kGrip1, {-0.7f, 0.2f, 0.35f}, 0.3f);
    for (int k = 0; k < 6; ++k) {
        Pose w = wave;
        PalmAt(rig, w, {}, j.arm2, kGrip2, k % 2 == 0 ? V3{0.85f, 1.45f, 0.3f} : V3{0.45f, 1.65f, 0.3f}, 0.2f);
        rig.Key(92 + 4 * k, flop(w, k % 2 == 0 ? 20.0f : -20.0f));
    }
    Pose sit = rest;
    sit[j.hips].offset = {0, 0.06f, 0};
    sit[j.head].rotation = {10, 0, 0};
    rig.Key(124, flop(sit, 15));
    rig.Key(kWave.last, flop(rest, 0));
    rig.Finish();
    return m;
}

std::vector<Canvas> ElfImages() { return {PaintElf(true), PaintElf(false)}; }

std::vector<Lump> BuildElf() {
    std::vector<Lump> lumps = {ModelLump(ElfMesh(), kElfModel.scale)};
    for (const Canvas& c : ElfImages()) lumps.push_back(ImageLump(c, AlphaMode::Opaque));
    if (lumps.size() != static_cast<std::size_t>(kElfModelFar.lump)) throw BakeError("elf.brm's far model out of place");
    lumps.push_back(ModelLump(ElfMesh(kFarCharacterDetail), kElfModelFar.scale));
    return lumps;
}
