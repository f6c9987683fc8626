// What the resource check cannot see in the baked characters: their pictures
// side by side, and the elf's throws played the way the scene plays them (its
// ranges and speeds, 60 updates a second). The rigging kit is checked against
// the engine too.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <string>

#include "tests/model_fixtures.h"
#include "tools/bake/characters.h"
#include "tools/bake/model/primitives.h"
#include "tools/bake/model/rig.h"

namespace {
constexpr double kStep = 1.0 / 60.0;

std::string Baked(const char* name) { return std::string(FROSTVALE_BAKED_DIR) + "/" + name; }

// Updates at 60 a second for `seconds`, calling `each` after every update.
template <typename Each>
void Play(ONEMODEL& m, double seconds, Each each) {
    for (int i = 0; i < static_cast<int>(seconds / kStep); ++i) {
        m.Update(kStep);
        each();
    }
}

// Open and shut pictures of a pair differ only in the face (the lower half of
// every character's layout), so swapping them blinks without touching the body.
void ExpectBlinkPair(const Canvas& open, const Canvas& shut, const std::string& what) {
    ASSERT_EQ(open.width, shut.width);
    ASSERT_EQ(open.height, shut.height);
    int differ = 0, differAbove = 0;
    for (int y = 0; y < open.height; ++y) {
        for (int x = 0; x < open.width; ++x) {
            const Colour a = open.At(x, y), b = shut.At(x, y);
            if (std::fabs(a.r - b.r) + std::fabs(a.g - b.g) + std::fabs(a.b - b.b) > 1e-4f) {
                ++differ;
                if (y < open.height / 2) ++differAbove;
            }
        }
    }
    EXPECT_GT(differ, 20) << what << ": no blink";
    EXPECT_EQ(differAbove, 0) << what << ": the blink changes the body";
}

TEST(CharacterPictures, PairsDifferOnlyRoundTheEyesAndTheLeadHasTheRedNose) {
    const std::vector<Canvas> coats = ReindeerImages();
    ASSERT_EQ(coats.size(), 2u * reindeer::kCoats);
    for (int coat = 0; coat < reindeer::kCoats; ++coat) {
        ExpectBlinkPair(coats[2 * coat], coats[2 * coat + 1], "coat " + std::to_string(coat));
    }
    const std::vector<Canvas> santa = SantaImages(), elf = ElfImages();
    ASSERT_EQ(santa.size(), 2u);
    ASSERT_EQ(elf.size(), 2u);
    ExpectBlinkPair(santa[0], santa[1], "santa");
    ExpectBlinkPair(elf[0], elf[1], "elf");
    // The lead's nose (its picture's nose cell) is red, the others' dark.
    auto nose = [&](int image) { return coats[static_cast<std::size_t>(image)].At(72, 40); };
    EXPECT_GT(nose(0).r, 0.8f);
    EXPECT_LT(nose(0).g, 0.3f);
    for (int coat = 1; coat < reindeer::kCoats; ++coat) EXPECT_LT(nose(2 * coat).r, 0.4f);
}

// ---------------------------------------------------------------- elf

class Elf : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(elf.Load(Baked(kElfModel.file), kElfModel.scale)); }
    VECTOR3D Hand1() const { return elf.Point(elf::kHand1, elf::kHand1Grip); }
    VECTOR3D Hand2() const { return elf.Point(elf::kHand2, elf::kHand2Grip); }
    Character elf;
};

// The throws as the scene times them: each hand swings out to its own side and
// up, so the present flies clear of the sleigh, and the wave on the roof lifts
// hand 2 above the head. (That the hands reach the sack to pick up is the
// resource check's.)
TEST_F(Elf, ThrowsToEachSideInItsWindowsAndWavesAboveTheHead) {
    elf.instance.SetAnimation(elf::kCruise.first, elf::kCruise.last, 1000, true, false);
    int throws1 = 0, throws2 = 0;
    Play(elf.instance, 4.6, [&] {
        const double t = elf.instance.currentTime;
        if (t > FrameMs(elf::kHand2Throw.first) && t < FrameMs(elf::kHand2Throw.last)) {
            ++throws2;
            ASSERT_GT(Hand2().x, 0.6f) << "hand 2 does not swing out to +x at " << t << " ms";
            ASSERT_GT(Hand2().y, 0.6f);
        }
        if (t > FrameMs(elf::kHand1Throw.first) && t < FrameMs(elf::kHand1Throw.last)) {
            ++throws1;
            ASSERT_LT(Hand1().x, -0.6f) << "hand 1 does not swing out to -x at " << t << " ms";
            ASSERT_GT(Hand1().y, 0.6f);
        }
    });
    // Both loops ran through every window more than once.
    EXPECT_GE(throws1, 20);
    EXPECT_GE(throws2, 20);
    elf.instance.SetAnimation(elf::kWave.first, elf::kWave.last, 500, false, false);
    float highest = -1e9f;
    Play(elf.instance, 3.0, [&] { highest = std::max(highest, Hand2().y); });
    EXPECT_GT(highest, 1.3f);
}

// ---------------------------------------------------------------- rigging kit

using M3 = std::array<double, 9>;

TEST(RigEuler, RoundTripsThroughTheEnginesOrder) {
    const V3 cases[] = {{10, 20, 30}, {-170, 45, 100}, {0, 90, 0}, {0, -90, 30}, {90, 0, 180}, {33, -60, -140}};
    for (const V3& e : cases) {
        const M3 a = RotationFromEuler(e);
        const M3 b = RotationFromEuler(EulerDegrees(a));
        for (int i = 0; i < 9; ++i) EXPECT_NEAR(a[i], b[i], 1e-5) << e.x << " " << e.y << " " << e.z;
    }
}

// A small rigged arm written to a file and played by the engine lands where
// the kit says, with turned joint axes and offsets.
TEST(RigAgainstEngine, PosedPointsMatchTheEnginesJoints) {
    Mesh m;
    m.Use(m.AddGroup("g", m.AddMaterial(PlainMaterial("g"))), -1);
    Rig rig(m);
    const int root = rig.AddJoint("root", -1, {0, 1, 0});
    const int mid = rig.AddJoint("mid", root, {1, 1, 0}, {0, 0, 180});
    const int tip = rig.AddJoint("tip", mid, {1, 0, 1}, {90, 0, 0});
    m.Use(0, tip);
    AddBox(m, Move(1, -0.5f, 1), {0.2f, 0.2f, 0.2f}, BoxUv::All({}));
    Pose rest;
    Pose bent;
    bent[root].rotation = {0, 30, 0};
    bent[root].offset = {0.5f, 0, -0.25f};
    bent[mid].rotation = {-40, 10, 0};
    bent[mid].offset = {0, 0.3f, 0};
    bent[tip].rotation = {20, 0, 60};
    rig.Key(0, rest);
    rig.Key(10, bent, Ease::Linear);
    rig.Finish();
    EXPECT_EQ(m.totalFrames, 10);

    Character arm;
    ASSERT_TRUE(arm.Load(EncodeMs3d(m.ToMs3d(0.5f)), 0.5f));
    ONEMODEL& inst = arm.instance;
    inst.SetAnimation(10, 11, 1000, false, false);
    inst.Update(0.0);
    for (int j : {root, mid, tip}) {
        for (const V3 local : {V3{0, 0, 0}, V3{0, 0, 1}, V3{-0.75f, 0.2f, 0.5f}}) {
            const V3 want = rig.PosedPoint(bent, j, local);
            const VECTOR3D got = arm.Point(j, {local.x, local.y, local.z});
            EXPECT_LT(Length(V3{got.x, got.y, got.z} - want), 1e-3f) << "joint " << j;
        }
    }
    // Halfway the linear in-between keys put the tip halfway round.
    inst.SetAnimation(5, 6, 1000, false, false);
    inst.Update(0.0);
    Pose half;
    half[root].rotation = {0, 15, 0};
    half[root].offset = {0.25f, 0, -0.125f};
    const V3 want = rig.PosedPoint(half, root, {0, 0, 1});
    const VECTOR3D got = arm.Point(root, {0, 0, 1});
    EXPECT_NEAR(got.x, want.x, 1e-3);
    EXPECT_NEAR(got.z, want.z, 1e-3);
}

TEST(RigReach, BendsAChainOntoReachableTargetsAndReportsTheRest) {
    Mesh m;
    Rig rig(m);
    const int a = rig.AddJoint("a", -1, {0, 0, 0});
    const int b = rig.AddJoint("b", a, {0, -1, 0});
    Pose p;
    EXPECT_LT(rig.Reach(p, {a, b}, b, {0, -1, 0}, {1.2f, -1.0f, 0.6f}), 0.01f);
    // Two units of arm cannot reach three units away: the rest is reported.
    Pose q;
    EXPECT_NEAR(rig.Reach(q, {a, b}, b, {0, -1, 0}, {0.3f, 3, 0}), std::sqrt(9.09f) - 2.0f, 0.02f);
    // Orient sets the joint's turn whatever its parent does.
    Pose r;
    r[a].rotation = {0, 0, 50};
    rig.Orient(r, b, {0, 0, -20});
    const V3 tip = rig.PosedPoint(r, b, {0, -1, 0}) - rig.PosedPoint(r, b, {0, 0, 0});
    EXPECT_NEAR(tip.x, -std::sin(20.0 * M_PI / 180.0), 1e-4);  // Rz(-20) of (0, -1, 0)
    EXPECT_NEAR(tip.y, -std::cos(20.0 * M_PI / 180.0), 1e-4);
}
}  // namespace

// The scene poses a character every frame but skins only the model it draws:
// a model left unskinned for frames, and the low-detail model following the
// near one's pose, must come back where skinning every frame would put them.
TEST(CharacterDetail, ModelsSkinnedAfterFramesAwayComeBackInThePose) {
    Character deer;
    ASSERT_TRUE(deer.Load(Baked(kReindeerModel.file), kReindeerModel.scale));
    Character farDeer;  // only its model is used, with the near model's template
    ASSERT_TRUE(farDeer.Load(Baked(kReindeerModelFar.file), kReindeerModelFar.scale, kReindeerModelFar.lump));
    MS3D& farModel = farDeer.model;
    ONEMODEL lazy, far;
    ASSERT_TRUE(lazy.Setup(&deer.animTemplate, &deer.model, {}));
    ASSERT_TRUE(far.Setup(&deer.animTemplate, &farModel, {}));
    ONEMODEL& every = deer.instance;
    const auto apart = [](const ONEMODEL& a, const ONEMODEL& b) {
        float worst = 0.0f;
        for (std::size_t g = 0; g < a.groups.size(); ++g) {
            for (std::size_t v = 0; v < a.groups[g].verts.size(); ++v) {
                const VECTOR3D d = SubtractVectors(a.groups[g].verts[v].position, b.groups[g].verts[v].position);
                worst = std::max(worst, static_cast<float>(VectorLength(d)));
            }
        }
        return worst;
    };
    for (ONEMODEL* m : {&every, &lazy}) m->SetAnimation(reindeer::kGallop.first, reindeer::kGallop.last, 1000, true, false);
    for (int frame = 1; frame <= 120; ++frame) {
        every.Update(kStep);
        lazy.Pose(kStep);
        if (frame % 37 == 0) {
            lazy.Skin();
            EXPECT_LT(apart(every, lazy), 1e-4f) << "frame " << frame;
        }
        if (frame % 23 == 0) {
            far.Skin(every.joints);
            ONEMODEL fresh;  // skinned once, straight from joint-local vertices
            ASSERT_TRUE(fresh.Setup(&deer.animTemplate, &farModel, {}));
            ONEMODEL unskinned;
            ASSERT_TRUE(unskinned.Setup(&deer.animTemplate, &farModel, {}));
            fresh.Skin(every.joints);
            EXPECT_GT(apart(fresh, unskinned), 0.5f);  // the pose moves it
            EXPECT_LT(apart(far, fresh), 1e-4f) << "frame " << frame;
            far.Skin(std::span(every.joints).first(3));  // another skeleton's pose is ignored
            EXPECT_LT(apart(far, fresh), 1e-4f) << "frame " << frame;
        }
    }
}
