// "santa.brm": a rigged Santa in a red suit with white trim, a black belt and
// boots, a big white beard and mittens.
//
// Skeleton (origin on his seat, facing +z, seated with the reins):
//   0 hips   1 belly   2 head   3 hat   4, 6 thighs (+x, -x)   5, 10 shins
//   7, 8, 9 the +x arm (shoulder, elbow, hand)   11 bobble   12 beard
//   13, 14, 15 the -x arm (shoulder, elbow, hand)
// The hands' joints sit at the wrists. A mitten reaches half a unit along
// +z (where the reins leave the fists) and bulges to the thumb's side, so the
// present the scene hangs 0.9 out along the -x hand's -x rests on its palm.
//
// Clips: 1-49 seated with the reins (looped slowly); 49-77 climbing out onto
// the roof, the -x hand held out where the present appears at frame 65 and
// carried over the chimney (5 units to -x of his seat); 77-93 lowering it
// into the chimney; 94-122 lifting it high and dropping it in; 123-194 back to
// the seat. Frames 77 and 94 are one pose, as are 93, 122 and 123, and 194 and 1.
#include <cmath>

#include "tools/bake/characters.h"
#include "tools/bake/model/painters.h"
#include "tools/bake/model/primitives.h"
#include "tools/bake/model/rig.h"

namespace {
using namespace santa;

constexpr int kSize = 128;
const PixelRect kSuit = {0, 0, 64, 64};       // v: top lit, bottom in shadow
const PixelRect kTrim = {64, 0, 96, 32};
const PixelRect kBelt = {96, 0, 128, 16};
const PixelRect kBuckle = {96, 16, 112, 32};
const PixelRect kBoot = {112, 16, 128, 32};
const PixelRect kSkin = {64, 32, 96, 64};
const PixelRect kMitten = {96, 32, 128, 64};
const PixelRect kFace = {0, 64, 128, 128};    // the head: u round, v top to bottom

UvRect Uv(const PixelRect& r) { return r.Uv(kSize, kSize); }

Canvas PaintSanta(bool eyesOpen) {
    const Colour red = Hex(0xC8102E), shadow = Hex(0x7E0A1E), trim = Hex(0xF5F5F0), skin = Hex(0xF2C6A0);
    Canvas c(kSize, kSize, red);
    PaintSoft(c, kSuit, Mix(red, Hex(0xE8304A), 0.3f), Mix(red, shadow, 0.6f), 0.12f, 41u);
    PaintSoft(c, kTrim, trim, Hex(0xD9DCE2), 0.25f, 42u);
    PaintSoft(c, kBelt, Hex(0x2A2A2A), Hex(0x1B1B1B), 0.1f, 43u);
    PaintSoft(c, kBuckle, Hex(0xF0C75A), Hex(0xC9962A), 0.05f, 44u);
    PaintSoft(c, kBoot, Hex(0x2A2A2A), Hex(0x121212), 0.1f, 45u);
    PaintSoft(c, kSkin, skin, Mix(skin, Hex(0xE89A84), 0.4f), 0.05f, 46u);
    PaintSoft(c, kMitten, Hex(0x2E6B3F), Hex(0x1E4A2B), 0.15f, 47u);
    // The face on the front of the head, beard below it painted white too.
    PaintSoft(c, kFace, skin, Mix(skin, trim, 0.8f), 0.06f, 48u);
    const float x0 = static_cast<float>(kFace.x0), y0 = static_cast<float>(kFace.y0);
    const float w = static_cast<float>(kFace.Width()), h = static_cast<float>(kFace.Height());
    ForEachPixel(c, kFace, [&](int x, int y, float, float b) {
        // The crown under the hat and the back of the head: white hair.
        const float hair = SmoothStep(0.2f, 0.3f, 1.0f - b) + 0.0f;
        c.At(x, y) = Mix(c.At(x, y), trim, Clamp01(hair));
    });
    for (float side : {-1.0f, 1.0f}) {
        const float cx = x0 + w * (0.5f + side * 0.085f), cy = y0 + h * 0.44f;
        FillDisc(c, cx, cy + 7.0f, 5.0f, Mix(skin, Hex(0xE0606A), 0.5f), 4.0f);  // rosy cheeks
        PaintEye(c, cx, cy, 2.8f, 3.6f, eyesOpen);
        StrokeSegment(c, cx - 4.0f, cy - 6.5f, cx + 4.0f, cy - 7.5f + side * 0.0f, 2.5f, trim, 1.0f);  // brows
    }
    return c;
}

// A mitten for the hand at `wrist` bulging to `side` (-1 or +1 in x), the
// thumb on that side, and a white cuff.
void AddMitten(Mesh& m, V3 wrist, float side) {
    AddBlob(m, wrist + V3{side * 0.14f, 0, 0.26f}, {0.26f, 0.2f, 0.28f}, Uv(kMitten), 0, 12, 7);
    AddBlob(m, wrist + V3{side * 0.3f, 0.08f, 0.12f}, {0.1f, 0.1f, 0.14f}, Uv(kMitten), 0, 8, 5);
    AddBlob(m, wrist + V3{0, 0, -0.04f}, {0.2f, 0.2f, 0.1f}, Uv(kTrim), 0, 10, 5);
}

struct Joints {
    int hips, belly, head, hat, thigh[2], shin[2], shoulder[2], elbow[2], hand[2], bobble, beard;
};  // [0] the +x side, [1] the -x side

// Rotation whose -x axis points along `palm` and +z along `fingers` (body
// axes, before the turn `turnY` about y), as Euler degrees for Orient.
V3 HandFacing(V3 palm, V3 fingers, float turnY) {
    const V3 x = Normalised(-palm);
    const V3 z = Normalised(fingers - x * Dot(fingers, x));
    const V3 y = Cross(z, x);
    const std::array<double, 9> r = {x.x, y.x, z.x, x.y, y.y, z.y, x.z, y.z, z.z};
    const std::array<double, 9> turn = RotationFromEuler({0, turnY, 0});
    std::array<double, 9> out{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            for (int k = 0; k < 3; ++k) out[i * 3 + j] += turn[i * 3 + k] * r[k * 3 + j];
        }
    }
    return EulerDegrees(out);
}

void Stand(Pose& p, const Joints& j) {
    for (int s = 0; s < 2; ++s) {
        p[j.thigh[s]].rotation = {90, 0, 0};
        p[j.shin[s]].rotation = {-90, 0, 0};
    }
}

// Puts the present point of the -x hand at `target` with the hand turned as
// `facing` (world Euler degrees); throws when the arm cannot reach.
void HoldAt(const Rig& rig, Pose& p, const Joints& j, V3 target, V3 facing) {
    rig.Orient(p, j.hand[1], facing);
    const float miss = rig.Reach(p, {j.shoulder[1], j.elbow[1]}, j.hand[1], {-0.9f, 0, 0}, target, {{j.hand[1], facing}});
    if (miss > 0.08f) throw BakeError("santa's hand misses its mark by " + std::to_string(miss));
}
}  // namespace

Mesh SantaMesh(float detail) {
    Mesh m;
    m.detail = detail;
    const int headGroup = m.AddGroup("head", m.AddMaterial(PlainMaterial("santa_head")));
    const int body = m.AddGroup("body", m.AddMaterial(PlainMaterial("santa_suit")));
    Rig rig(m);
    Joints j{};
    const V3 shoulder[2] = {{0.6f, 1.3f, 0.0f}, {-0.6f, 1.3f, 0.0f}};
    // The fists held up at chest height, so the reins run level to the dash and
    // the arms read over the sleigh's low front.
    const V3 elbow[2] = {{0.8f, 0.98f, 0.45f}, {-0.8f, 0.98f, 0.45f}};
    const V3 wrist[2] = {{0.5f, 1.42f, 1.02f}, {-0.5f, 1.42f, 1.02f}};
    const V3 hip[2] = {{0.32f, 0.3f, 0.05f}, {-0.32f, 0.3f, 0.05f}};
    const V3 knee[2] = {{0.34f, 0.3f, 0.72f}, {-0.34f, 0.3f, 0.72f}};
    const V3 ankle[2] = {{0.34f, -0.28f, 0.8f}, {-0.34f, -0.28f, 0.8f}};
    j.hips = rig.AddJoint("hips", -1, {0, 0.3f, 0});
    j.belly = rig.AddJoint("belly", j.hips, {0, 0.45f, 0});
    j.head = rig.AddJoint("head", j.belly, {0, 1.55f, 0.05f});
    j.hat = rig.AddJoint("hat", j.head, {0, 2.05f, 0.05f});
    j.thigh[0] = rig.AddJoint("thigh_l", j.hips, hip[0]);
    j.shin[0] = rig.AddJoint("shin_l", j.thigh[0], knee[0]);
    j.thigh[1] = rig.AddJoint("thigh_r", j.hips, hip[1]);
    j.shoulder[0] = rig.AddJoint("arm_l", j.belly, shoulder[0]);
    j.elbow[0] = rig.AddJoint("forearm_l", j.shoulder[0], elbow[0]);
    j.hand[0] = rig.AddJoint("hand_l", j.elbow[0], wrist[0]);
    j.shin[1] = rig.AddJoint("shin_r", j.thigh[1], knee[1]);
    j.bobble = rig.AddJoint("bobble", j.hat, {0, 2.42f, -0.3f});
    j.beard = rig.AddJoint("beard", j.head, {0, 1.7f, 0.3f});
    j.shoulder[1] = rig.AddJoint("arm_r", j.belly, shoulder[1]);
    j.elbow[1] = rig.AddJoint("forearm_r", j.shoulder[1], elbow[1]);
    j.hand[1] = rig.AddJoint("hand_r", j.elbow[1], wrist[1]);
    if (j.hand[0] != kHandPlusX || j.hand[1] != kHandMinusX || j.hand[1] + 1 != kJoints) {
        throw BakeError("santa joints out of order");
    }

    // Body: round trousers on the seat, a big belly with a belt, fur hem and a
    // trim line down the front, shoulders and a fur collar.
    m.Use(body, j.hips);
    AddBlob(m, {0, 0.3f, 0.05f}, {0.62f, 0.35f, 0.55f}, Uv(kSuit));
    m.Use(body, j.belly);
    AddBlob(m, {0, 0.85f, 0.1f}, {0.72f, 0.62f, 0.62f}, Uv(kSuit));
    AddBlob(m, {0, 1.25f, 0.02f}, {0.6f, 0.42f, 0.5f}, Uv(kSuit));
    AddBlob(m, {0, 0.5f, 0.08f}, {0.7f, 0.13f, 0.6f}, Uv(kTrim));                // hem
    AddBlob(m, {0, 0.76f, 0.1f}, {0.75f, 0.09f, 0.65f}, Uv(kBelt));              // belt
    AddBox(m, Move(0, 0.76f, 0.74f), {0.24f, 0.2f, 0.06f}, BoxUv::All(Uv(kBuckle)));
    AddBox(m, Move(0, 1.05f, 0.68f) * Xform::RotateX(-18.0f), {0.14f, 0.42f, 0.08f}, BoxUv::All(Uv(kTrim)));
    AddBlob(m, {0, 1.52f, 0.05f}, {0.42f, 0.12f, 0.38f}, Uv(kTrim));             // collar
    for (int s = 0; s < 2; ++s) {
        m.Use(body, j.shoulder[s]);
        AddLimb(m, shoulder[s], elbow[s], 0.21f, 0.17f, Uv(kSuit));
        m.Use(body, j.elbow[s]);
        AddLimb(m, elbow[s], wrist[s], 0.17f, 0.15f, Uv(kSuit));
        m.Use(body, j.hand[s]);
        AddMitten(m, wrist[s], s == 0 ? 1.0f : -1.0f);
        m.Use(body, j.thigh[s]);
        AddLimb(m, hip[s], knee[s], 0.25f, 0.21f, Uv(kSuit));
        m.Use(body, j.shin[s]);
        AddLimb(m, knee[s], ankle[s], 0.2f, 0.17f, Uv(kSuit));
        AddBlob(m, ankle[s] + V3{0, -0.1f, 0.12f}, {0.18f, 0.14f, 0.28f}, Uv(kBoot), 0, 10, 6);
        AddBlob(m, ankle[s] + V3{0, 0.08f, 0}, {0.2f, 0.08f, 0.2f}, Uv(kTrim), 0, 10, 5);
    }

    // Head group: face, nose, beard and hat, everything drawn with the eyes' picture.
    m.Use(headGroup, j.head);
    AddBlob(m, {0, 1.82f, 0.1f}, {0.32f, 0.33f, 0.31f}, Uv(kFace));
    AddBlob(m, {0, 1.78f, 0.42f}, {0.075f, 0.07f, 0.07f}, Uv(kSkin), 0, 8, 5);
    AddBlob(m, {0, 2.06f, 0.08f}, {0.37f, 0.09f, 0.35f}, Uv(kTrim), 0, 12, 5);  // hat brim
    m.Use(headGroup, j.beard);
    AddBlob(m, {0, 1.6f, 0.28f}, {0.36f, 0.36f, 0.2f}, Uv(kTrim));
    for (float side : {-1.0f, 1.0f}) {
        AddBlob(m, {side * 0.12f, 1.71f, 0.4f}, {0.14f, 0.055f, 0.06f}, Uv(kTrim), side * 15.0f, 8, 5);
    }
    m.Use(headGroup, j.hat);
    AddLimb(m, {0, 2.06f, 0.06f}, {0, 2.42f, -0.3f}, 0.3f, 0.05f, Uv(kSuit));
    m.Use(headGroup, j.bobble);
    AddBlob(m, {0, 2.44f, -0.33f}, {0.11f, 0.11f, 0.11f}, Uv(kTrim), 0, 8, 5);

    // Seated with the reins: breathing, looking about, a flick of the reins.
    const Pose seated;
    rig.Key(kSeated.first, seated);
    Pose look;
    look[j.head].rotation = {-4, 14, 0};
    look[j.belly].rotation = {-2, 0, 0};
    look[j.bobble].rotation = {0, 0, 20};
    rig.Key(13, look);
    Pose flick;
    for (int s = 0; s < 2; ++s) flick[j.elbow[s]].rotation = {-14, 0, 0};
    flick[j.belly].rotation = {2, 0, 0};
    flick[j.head].rotation = {4, 0, 0};
    rig.Key(21, flick);
    Pose flick2 = flick;
    for (int s = 0; s < 2; ++s) flick2[j.elbow[s]].rotation = {4, 0, 0};
    rig.Key(25, flick2);
    Pose other;
    other[j.head].rotation = {-2, -12, 0};
    other[j.beard].rotation = {0, 0, 0};
    other[j.bobble].rotation = {0, 0, -20};
    rig.Key(37, other);
    rig.Key(kSeated.last, seated);

    // Climbing out: lean forward, stand, sit on the sleigh's side, hop down.
    Pose lean;
    lean[j.belly].rotation = {22, 0, 0};
    lean[j.head].rotation = {-12, -20, 0};
    for (int s = 0; s < 2; ++s) {
        lean[j.shoulder[s]].rotation = {20, 0, s == 0 ? 20.0f : -20.0f};
        lean[j.elbow[s]].rotation = {30, 0, 0};
    }
    rig.Key(53, lean);
    Pose up;
    Stand(up, j);
    up[j.hips].offset = {0, 0.64f, 0.1f};
    up[j.hips].rotation = {0, -45, 0};
    up[j.belly].rotation = {8, 0, 0};
    up[j.head].rotation = {0, -20, 0};
    for (int s = 0; s < 2; ++s) up[j.shoulder[s]].rotation = {30, 0, s == 0 ? 35.0f : -35.0f};
    rig.Key(57, up);
    Pose perch;  // sitting on the side panel beside the seat, legs over the edge
    perch[j.hips].offset = {-2.1f, 0.27f, 0.1f};  // on the low waist of the side panel
    perch[j.hips].rotation = {0, -90, 0};
    perch[j.belly].rotation = {-6, 0, 0};
    perch[j.thigh[0]].rotation = {30, 0, 0};
    perch[j.thigh[1]].rotation = {15, 0, 0};
    perch[j.shoulder[0]].rotation = {40, 0, 50};
    perch[j.shoulder[1]].rotation = {-40, 0, -30};
    rig.Key(61, perch);
    // On the roof, the -x hand held out, palm forward: the present appears in it.
    Pose offer;
    Stand(offer, j);
    offer[j.hips].offset = {-2.9f, 0.18f, 0};
    offer[j.hips].rotation = {0, -90, 0};
    offer[j.belly].rotation = {6, 0, 0};
    offer[j.head].rotation = {10, 15, 0};
    offer[j.shoulder[0]].rotation = {0, 0, 25};
    HoldAt(rig, offer, j, {-4.2f, 1.75f, -0.45f}, HandFacing({0, 0.3f, 1}, {0, 1, 0.2f}, -90));
    rig.Key(kPresentFrame, offer, Ease::Out);
    Pose carry = offer;
    carry[j.hips].offset = {-3.2f, 0.18f, 0};
    carry[j.thigh[0]].rotation = {70, 0, 0};
    carry[j.shin[0]].rotation = {-60, 0, 0};
    carry[j.belly].rotation = {12, 0, 0};
    HoldAt(rig, carry, j, {-4.5f, 1.5f, -0.2f}, HandFacing({0, -0.3f, 1}, {0, 0.8f, 0.6f}, -90));
    rig.Key(71, carry);
    // Over the chimney, palm down, the present hanging under the mitten.
    Pose hold;
    Stand(hold, j);
    hold[j.hips].offset = {-3.3f, 0.18f, 0};
    hold[j.hips].rotation = {20, -90, 0};
    for (int s = 0; s < 2; ++s) hold[j.thigh[s]].rotation = {70, 0, 0};
    hold[j.belly].rotation = {15, 0, 0};
    hold[j.head].rotation = {20, 0, 0};
    hold[j.shoulder[0]].rotation = {10, 0, 30};
    HoldAt(rig, hold, j, {-4.95f, 1.0f, 0}, HandFacing({0, -1, 0.25f}, {0, 0, 1}, -90));
    rig.Key(kClimb.last, hold);

    // Into the chimney: bend over it and push the present down into the flue,
    // the +x hand on the crown.
    Pose in = hold;
    in[j.hips].rotation = {35, -90, 0};
    for (int s = 0; s < 2; ++s) in[j.thigh[s]].rotation = {55, 0, 0};
    in[j.belly].rotation = {25, 0, 0};
    in[j.shoulder[0]].rotation = {-50, 0, 20};
    HoldAt(rig, in, j, {-4.98f, -0.45f, 0}, HandFacing({0, -1, 0}, {0, 0, 1}, -90));
    rig.Key(85, in);
    Pose done = in;
    done[j.head].rotation = {30, 0, 10};
    done[j.bobble].rotation = {0, 0, 25};
    rig.Key(kLower.last, done);

    // The other way: lift it high, drop it in, a little hop of joy.
    rig.Key(kDrop.first, hold);
    Pose lift;
    Stand(lift, j);
    lift[j.hips].offset = {-3.3f, 0.18f, 0};
    lift[j.hips].rotation = {-5, -90, 0};
    lift[j.belly].rotation = {-8, 0, 0};
    lift[j.head].rotation = {-20, 0, 0};
    lift[j.shoulder[0]].rotation = {-60, 0, 60};
    HoldAt(rig, lift, j, {-4.3f, 2.6f, 0}, HandFacing({0, 0.7f, 0.7f}, {0, 1, -0.3f}, -90));
    rig.Key(101, lift, Ease::Out);
    Pose swing = hold;
    HoldAt(rig, swing, j, {-4.9f, 0.7f, 0}, HandFacing({0, -1, 0.4f}, {0, 0, 1}, -90));
    rig.Key(107, swing, Ease::In);
    rig.Key(112, in);
    Pose hop = in;
    hop[j.hips].offset = {-3.3f, 0.3f, 0};
    hop[j.bobble].rotation = {0, 0, -30};
    HoldAt(rig, hop, j, {-4.98f, -0.4f, 0}, HandFacing({0, -1, 0}, {0, 0, 1}, -90));
    rig.Key(116, hop);
    rig.Key(kDrop.last, done);

    // Back to the seat: straighten, turn, climb over the side and sit down.
    rig.Key(kReturn.first, done);
    Pose straighten;
    Stand(straighten, j);
    straighten[j.hips].offset = {-3.3f, 0.18f, 0};
    straighten[j.hips].rotation = {0, -45, 0};
    straighten[j.head].rotation = {0, 20, 0};
    straighten[j.shoulder[0]].rotation = {0, 0, 20};
    straighten[j.shoulder[1]].rotation = {0, 0, -20};
    rig.Key(135, straighten);
    Pose turn = straighten;
    turn[j.hips].offset = {-3.0f, 0.18f, 0.1f};
    turn[j.hips].rotation = {0, 30, 0};
    turn[j.thigh[1]].rotation = {60, 0, 0};
    turn[j.shin[1]].rotation = {-40, 0, 0};
    rig.Key(145, turn);
    Pose walk = straighten;
    walk[j.hips].offset = {-2.5f, 0.2f, 0.1f};
    walk[j.hips].rotation = {0, 90, 0};
    walk[j.thigh[0]].rotation = {50, 0, 0};
    walk[j.shin[0]].rotation = {-20, 0, 0};
    rig.Key(155, walk);
    Pose climb = perch;
    climb[j.hips].rotation = {0, 90, 0};
    climb[j.shoulder[0]].rotation = {-40, 0, 30};
    climb[j.shoulder[1]].rotation = {40, 0, -50};
    rig.Key(167, climb);
    Pose standIn = up;
    standIn[j.hips].rotation = {0, 40, 0};
    standIn[j.head].rotation = {0, 0, 0};
    rig.Key(177, standIn);
    Pose sitDown = lean;
    sitDown[j.hips].offset = {0, 0.06f, 0};
    sitDown[j.belly].rotation = {14, 0, 0};
    sitDown[j.head].rotation = {0, 10, 0};
    rig.Key(186, sitDown);
    Pose settle;
    settle[j.belly].rotation = {-4, 0, 0};
    settle[j.head].rotation = {-6, 0, 0};
    settle[j.bobble].rotation = {0, 0, 15};
    rig.Key(190, settle);
    rig.Key(kReturn.last, seated);
    rig.Finish();
    return m;
}

std::vector<Canvas> SantaImages() { return {PaintSanta(true), PaintSanta(false)}; }

std::vector<Lump> BuildSanta() {
    std::vector<Lump> lumps = {ModelLump(SantaMesh(), kSantaModel.scale)};
    for (const Canvas& c : SantaImages()) lumps.push_back(ImageLump(c, AlphaMode::Opaque));
    if (lumps.size() != static_cast<std::size_t>(kSantaModelFar.lump)) throw BakeError("santa.brm's far model out of place");
    lumps.push_back(ModelLump(SantaMesh(kFarCharacterDetail), kSantaModelFar.scale));
    return lumps;
}
