// The village elements of the scene: snow, houses and their smoke (near and
// far models), trees and the elf's presents. Motion is tested on hand-built
// records without GL; set-up and drawing on the baked resources in an
// offscreen context.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "assets/texture.h"
#include "math/frustum.h"
#include "math/frustum_gl.h"
#include "platform/egl_offscreen.h"
#include "scene/xmasmain.h"

namespace {

const std::string kBaked = FROSTVALE_BAKED_DIR;

// ---------------------------------------------------------------- snow ----

// A scene with only what the snow reads: the flakes and three (unbuilt)
// scene pictures, so that no GL is needed.
std::unique_ptr<XMASMAIN> SnowScene(int count) {
    auto scene = std::make_unique<XMASMAIN>();
    scene->textures.resize(3);
    scene->snowCount = count;
    return scene;
}

bool NoZeroComponent(const VECTOR3D& v) { return v.x != 0.0f && v.y != 0.0f && v.z != 0.0f; }

TEST(Snow, FlakesNeverHaveAZeroVelocityComponentAtSetUpOrRebirth) {
    std::srand(11);
    auto scene = SnowScene(3000);
    ASSERT_TRUE(scene->SetupSnow());
    ASSERT_EQ(scene->snowFlakes.size(), 3000u);
    for (const ONEPARTICLE& f : scene->snowFlakes) {
        ASSERT_TRUE(NoZeroComponent(f.velocity));
        EXPECT_LE(f.velocity.y, -1.0f);  // every flake falls
        EXPECT_EQ(f.alpha, 1.0f);
        EXPECT_GE(f.position.y, -30.0f);
        EXPECT_LE(f.position.y, 49.0f);
    }

    // Every flake has faded out below the box: each is reborn on the top face.
    scene->cameraMode = 7;
    scene->cameraEye = {10.0f, 20.0f, 30.0f};
    scene->snowCentre = scene->cameraEye;
    scene->frameTime = 0.001;
    for (ONEPARTICLE& f : scene->snowFlakes) {
        f.position = {10.0f, -40.0f, 30.0f};
        f.alpha = 0.0005f;
    }
    scene->MoveSnow();
    for (const ONEPARTICLE& f : scene->snowFlakes) {
        ASSERT_TRUE(NoZeroComponent(f.velocity));
        EXPECT_EQ(f.alpha, 0.0f) << "reborn faded out, to fade in";
        EXPECT_EQ(f.rate, 1.0f) << "reborn faded out, to fade in";
        EXPECT_EQ(f.position.y, 70.0f);
        EXPECT_GE(f.position.x, 10.0f - 50.0f);
        EXPECT_LT(f.position.x, 10.0f + 50.0f);
    }
}

TEST(Snow, NoFlakesStillSetsUpAndMoves) {
    auto scene = std::make_unique<XMASMAIN>();  // not even a picture
    scene->snowCount = 0;
    EXPECT_TRUE(scene->SetupSnow());
    scene->frameTime = 0.1;
    scene->MoveSnow();
    EXPECT_TRUE(scene->snowFlakes.empty());
}

// One still flake in the ground shot (no drift, box on the camera).
std::unique_ptr<XMASMAIN> OneFlake(VECTOR3D position, float alpha) {
    auto scene = SnowScene(1);
    EXPECT_TRUE(scene->SetupSnow());
    scene->cameraMode = 7;
    scene->cameraEye = {0.0f, 0.0f, 0.0f};
    scene->snowCentre = scene->cameraEye;
    ONEPARTICLE& f = scene->snowFlakes[0];
    f.position = position;
    f.velocity = {0.0f, 0.0f, 0.0f};
    f.alpha = alpha;
    return scene;
}

// The box is 100 across: a flake on a face fades but stays; one past it is
// wrapped by 100 less the world's motion (125 along z while cruising),
// faded out; inside, a flake fades in at 0.5 a second up to 1.
TEST(Snow, FlakesFadeAtTheBoxFacesAndWrapBeyondThem) {
    const struct {
        const char* name;
        VECTOR3D start;
        float alpha;
        VECTOR3D end;
        float endAlpha;
    } cases[] = {
        {"on a face", {50.0f, 0.0f, 0.0f}, 0.25f, {50.0f, 0.0f, 0.0f}, -0.25f},
        {"past x", {50.5f, 0.0f, 0.0f}, 0.25f, {-49.5f, 0.0f, 0.0f}, 0.0f},
        {"past -z", {0.0f, 0.0f, -50.5f}, 0.25f, {0.0f, 0.0f, 74.5f}, 0.0f},
        {"inside", {0.0f, 0.0f, 0.0f}, 0.5f, {0.0f, 0.0f, 0.0f}, 0.75f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto scene = OneFlake(c.start, c.alpha);
        scene->frameTime = 0.5;
        scene->MoveSnow();
        const ONEPARTICLE& f = scene->snowFlakes[0];
        EXPECT_FLOAT_EQ(f.alpha, c.endAlpha);
        EXPECT_FLOAT_EQ(f.position.x, c.end.x);
        EXPECT_FLOAT_EQ(f.position.z, c.end.z);
    }

    // A negative rate carries a flake up through the top; it wraps down faded out.
    auto scene = OneFlake({0.0f, 49.5f, 0.0f}, 0.05f);
    ONEPARTICLE& f = scene->snowFlakes[0];
    f.velocity = {0.1f, -2.0f, 0.1f};
    f.rate = -5.0f;
    scene->frameTime = 0.1;
    scene->MoveSnow();
    EXPECT_EQ(f.alpha, 0.0f);
    EXPECT_EQ(f.rate, 1.0f);
    EXPECT_NEAR(f.position.y, 50.5f - 100.0f, 0.05f);
}

// The ground shots carry the flakes with the box (on the eye); the others set
// the box on the target ahead of the world's motion (25 along z) and let the
// world drift the flakes (-2.5 in 0.1 s), except on a cut, when they jump with it.
TEST(Snow, GroundShotsCarryTheFlakesWithTheBoxAndOthersLetTheWorldDriftThem) {
    const struct {
        int shot;
        bool cut;
        VECTOR3D eye, target, end;
        float centreZ;
    } cases[] = {
        {7, false, {10, 5, 40}, {0, 0, 0}, {15, 10, 25}, 40},
        {8, false, {10, 5, 40}, {0, 0, 0}, {15, 10, 25}, 40},
        {4, false, {0, 0, 0}, {0, 0, 0}, {5, 5, 2.5f}, 25},
        {4, true, {0, 0, 0}, {100, 0, 0}, {105, 5, 7.5f}, 25},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "shot " << c.shot << " cut " << c.cut);
        auto scene = OneFlake({5.0f, 5.0f, 5.0f}, 1.0f);
        scene->snowCentre = {0.0f, 0.0f, 20.0f};
        scene->cameraMode = c.shot;
        scene->cameraCut = c.cut;
        scene->cameraEye = c.eye;
        scene->cameraTarget = c.target;
        scene->frameTime = 0.1;
        scene->MoveSnow();
        const VECTOR3D p = scene->snowFlakes[0].position;
        EXPECT_EQ(scene->snowCentre.z, c.centreZ);
        EXPECT_FLOAT_EQ(p.x, c.end.x);
        EXPECT_FLOAT_EQ(p.y, c.end.y);
        EXPECT_FLOAT_EQ(p.z, c.end.z);
    }
}

// -------------------------------------------------------------- houses ----

// Depth along the view, not distance, decides, as it does for the fog; and
// only a model wholly past the fog's start (300) goes to low detail.
TEST(FarDetail, OnlyWhatLiesWhollyPastTheFogStart) {
    XMASMAIN scene;
    const struct {
        VECTOR3D eye, target, origin;
        bool far;
    } cases[] = {
        {{0, 0, 0}, {0, 0, 10}, {0, 0, 316}, true},
        {{0, 0, 0}, {0, 0, 10}, {0, 0, 314}, false},     // its near side still short of the fog
        {{0, 0, 0}, {0, 0, 10}, {250, 0, 200}, false},   // 320 away, but only 200 deep
        {{0, 0, 0}, {0, 0, 10}, {0, 0, -400}, false},    // behind the camera
        {{10, 5, 0}, {10, 5, -1}, {10, 5, -330}, true},  // looking down -z from elsewhere
        {{0, 0, 0}, {0, 0, 0}, {0, 0, 380}, false},      // no view direction: keep the detail
    };
    for (const auto& c : cases) {
        scene.cameraEye = c.eye;
        scene.cameraTarget = c.target;
        EXPECT_EQ(scene.PastFogStart(c.origin, 15.0f), c.far) << c.origin.x << ", " << c.origin.z;
    }
}

// A village of hand-placed houses; no GL.
std::unique_ptr<XMASMAIN> Village(int count) {
    auto scene = std::make_unique<XMASMAIN>();
    scene->houseCount = count;
    scene->houses.resize(static_cast<std::size_t>(count));
    scene->chimneyOffsets[0] = {1.0f, 2.0f, 0.0f};
    scene->chimneyOffsets[1] = {1.0f, 2.0f, 0.0f};
    return scene;
}

// A recycled house smokes one time in ten, and never with smoke off.
TEST(Houses, RecycledOnlyBelowMinus400AndOnTheirOwnSide) {
    auto scene = Village(2);
    scene->worldVelocity = {0.0f, 0.0f, 0.0f};
    scene->frameTime = 0.016;
    int smoked = 0, smokedSwitchedOff = 0;
    for (int trial = 0; trial < 800; ++trial) {
        scene->showSmoke = trial % 2 == 0;
        scene->houses[0].position = {-50.0f, -54.5f, -400.0f};
        scene->houses[1].position = {50.0f, -60.0f, -400.01f};
        scene->MoveHouses();
        const ONEHOUSE& h = scene->houses[1];
        EXPECT_EQ(scene->houses[0].position.z, -400.0f);
        EXPECT_EQ(scene->houses[0].position.x, -50.0f);
        EXPECT_EQ(h.position.z, 400.0f);
        EXPECT_EQ(h.position.y, -60.0f);  // y is kept
        EXPECT_GE(h.position.x, 20.0f);
        EXPECT_LE(h.position.x, 219.9f + 1e-4f);
        EXPECT_LE(h.model, 1);
        EXPECT_LE(h.texture, 4);
        (scene->showSmoke ? smoked : smokedSwitchedOff) += h.smoking;
    }
    EXPECT_EQ(smokedSwitchedOff, 0);
    EXPECT_GT(smoked, 20);
    EXPECT_LT(smoked, 65);
}

// A recycled house within 100 of the flight line becomes the target, unless
// a present is in hand, the cruise has time left or a target is already set.
TEST(Houses, OnlyARecycledHouseNearTheLineWithNothingElseGoingOnBecomesTheTarget) {
    auto scene = Village(1);
    scene->worldVelocity = {0.0f, 0.0f, -25.0f};
    scene->frameTime = 0.02;
    scene->worldOffset = {3.0f, 4.0f, 0.0f};
    std::srand(5);
    enum Blocker { kNone, kHand, kTimer, kTarget };
    std::map<Blocker, int> chosenWith, nearWith;
    for (Blocker blocker : {kNone, kHand, kTimer, kTarget}) {
        SCOPED_TRACE(blocker);
        int& chosen = chosenWith[blocker];
        int& near = nearWith[blocker];
        for (int trial = 0; trial < 200; ++trial) {
            scene->targetHouse = blocker == kTarget ? 7 : -1;
            scene->animTimer = blocker == kTimer ? 0.0f : -0.5f;
            scene->handPresent = blocker == kHand ? 2 : -1;
            scene->animState = ANIM_FLYING;
            scene->animStep = 1;
            scene->houses[0].position = {-30.0f, -54.5f, -399.9f};
            scene->MoveHouses();
            const ONEHOUSE& h = scene->houses[0];
            ASSERT_EQ(h.position.z, 400.0f);
            near += std::fabs(h.position.x) < 100.0f;
            if (scene->animState != ANIM_APPROACH) continue;
            ++chosen;
            EXPECT_EQ(scene->targetHouse, 0);
            EXPECT_LT(std::fabs(h.position.x), 100.0f);
            EXPECT_EQ(scene->animStep, 0);
        }
        EXPECT_GT(near, 40);  // about 40 % land within 100 of the line
    }
    EXPECT_EQ(chosenWith[kNone], nearWith[kNone]);
    for (Blocker blocker : {kHand, kTimer, kTarget}) EXPECT_EQ(chosenWith[blocker], 0) << blocker;

    // A house merely passing near the line is not chosen: only recycling chooses.
    scene->targetHouse = -1;
    scene->animTimer = -0.5f;
    scene->handPresent = -1;
    scene->houses[0].position = {10.0f, -54.5f, 0.0f};
    scene->MoveHouses();
    EXPECT_EQ(scene->targetHouse, -1);
}

ONEHOUSE SmokingHouse() {
    ONEHOUSE house;
    house.smoking = true;
    house.chimney = {1.0f, 10.0f, -2.0f};
    return house;
}

int LivePuffs(const ONEHOUSE& house) {
    int live = 0;
    for (const ONEPARTICLE& p : house.particles) live += p.alpha > 0.0f;
    return live;
}

TEST(Smoke, ALongFrameStillGivesOnlyFourPuffs) {
    ONEHOUSE house = SmokingHouse();
    house.MoveSmoke(0.7, {0.0f, 0.0f, 0.0f});
    EXPECT_EQ(LivePuffs(house), 4);
    EXPECT_FLOAT_EQ(house.smokeTimer, 0.2f);
    for (int i = 0; i < 4; ++i) EXPECT_GT(house.particles[i].velocity.y, 0.0f) << "smoke rises";
    house.MoveSmoke(0.1, {0.0f, 0.0f, 0.0f});  // timer 0.1 left: no puff
    EXPECT_EQ(LivePuffs(house), 4);
    house.MoveSmoke(0.1, {0.0f, 0.0f, 0.0f});  // timer reaches 0: a puff
    EXPECT_EQ(LivePuffs(house), 8);
}

// A puff lives 3 s, growing from 0.5 to 3.5; the wind bends it sideways
// only; a house that does not smoke puffs nothing.
TEST(Smoke, APuffLivesThreeSecondsAndTheWindBendsItHorizontallyOnly) {
    ONEHOUSE house = SmokingHouse();
    house.MoveSmoke(0.0, {3.0f, 0.0f, 0.0f});
    ASSERT_EQ(house.particles[0].alpha, 0.75f);
    ASSERT_EQ(house.particles[0].size, 0.5f);
    const VECTOR3D before = house.particles[0].velocity;
    house.MoveSmoke(0.25, {3.0f, 7.0f, 0.0f});
    const VECTOR3D after = house.particles[0].velocity;
    EXPECT_FLOAT_EQ(after.x, before.x + 0.75f);
    EXPECT_EQ(after.y, before.y) << "bent sideways only";
    EXPECT_EQ(after.z, before.z) << "bent sideways only";
    for (int step = 1; step < 11; ++step) house.MoveSmoke(0.25, {0.0f, 0.0f, 0.0f});
    EXPECT_GT(house.particles[0].alpha, 0.0f);  // 2.75 s: still there
    house.MoveSmoke(0.25, {0.0f, 0.0f, 0.0f});
    EXPECT_LE(house.particles[0].alpha, 0.0f);  // 3 s: gone
    EXPECT_FLOAT_EQ(house.particles[0].size, 3.5f);

    ONEHOUSE still = SmokingHouse();
    still.smoking = false;
    still.MoveSmoke(1.0, {3.0f, 0.0f, 0.0f});
    EXPECT_EQ(LivePuffs(still), 0);
}

// ---------------------------------------------------------------- trees ----

TEST(Trees, ReplantedOnlyBelowMinus400OnTheirOwnSide) {
    auto scene = std::make_unique<XMASMAIN>();
    scene->treeList = 7;
    scene->rareTreeList = 8;
    scene->worldVelocity = {0.0f, 0.0f, 0.0f};
    scene->frameTime = 0.02;
    std::set<GLuint> lists;
    int rare = 0;
    for (int trial = 0; trial < 100; ++trial) {
        for (int i = 0; i < kTreeCount; ++i) {
            scene->trees[i].position = {0.0f, -50.0f, i == 0 ? -400.0f : -400.01f};
        }
        scene->MoveTrees();
        EXPECT_EQ(scene->trees[0].position.z, -400.0f);
        for (int i = 1; i < kTreeCount; ++i) {
            const TREESLOT& t = scene->trees[i];
            ASSERT_EQ(t.position.z, 400.0f);
            EXPECT_EQ(t.position.y, -50.0f);
            const float outwards = i % 2 == 0 ? -t.position.x : t.position.x;  // even trees on the -x side
            EXPECT_GE(outwards, 0.0f) << i << ": " << t.position.x;
            EXPECT_LE(outwards, 199.9f + 1e-4f) << i << ": " << t.position.x;
            lists.insert(t.list);
            rare += t.list == 8;
            EXPECT_LT(t.angle, 360.0f);
        }
    }
    EXPECT_EQ(lists, (std::set<GLuint>{7, 8}));
    EXPECT_GT(rare, 200);  // one in ten of 3900
    EXPECT_LT(rare, 600);

    scene->showTrees = false;
    scene->trees[5].position = {1.0f, -54.5f, -450.0f};
    scene->MoveTrees();
    EXPECT_EQ(scene->trees[5].position.z, -450.0f);
    scene->treeList = scene->rareTreeList = 0;  // not real lists
}

// ------------------------------------------------------------- presents ----

// A scene with an elf whose hands are at known places, and a present model count.
std::unique_ptr<XMASMAIN> PresentScene() {
    auto scene = std::make_unique<XMASMAIN>();
    scene->elf = std::make_unique<ONEMODEL>();
    scene->elf->joints.resize(10);
    scene->elf->position = {0.0f, 1.6f, -1.0f};
    scene->elf->joints[9].absolute.SetTranslation({1.0f, 2.0f, 3.0f});
    scene->elf->joints[7].absolute.SetTranslation({-1.0f, 2.0f, 3.0f});
    scene->presentModelCount = 3;
    scene->presentLists.assign(3, 0);
    scene->presents[0].active = 1;
    scene->presents[0].stage = kPresentWaiting;
    scene->nextPresent = 0;
    return scene;
}

TEST(Presents, PickUpWindowsAreOpenAtBothEnds) {
    // Outside both windows, their ends included: the hand stays empty and the
    // same present waits.
    for (const float t : {1125.0f, 1250.0f, 41.666668f, 166.66667f, 600.0f}) {
        auto scene = PresentScene();
        scene->elf->currentTime = t;
        scene->ThrowPresents();
        EXPECT_EQ(scene->handPresent, -1) << t;
        EXPECT_EQ(scene->nextPresent, 0) << t;
    }
    // Inside them: the present goes to the window's hand, gripped at
    // (+-0.75, 0, 0.5) from the hand joint plus the elf's position.
    const struct {
        float t;
        int stage;
        float x;
    } taken[] = {{1125.5f, 1, 1.75f}, {1249.9f, 1, 1.75f}, {42.0f, 2, -1.75f}, {166.0f, 2, -1.75f}};
    for (const auto& c : taken) {
        auto scene = PresentScene();
        scene->elf->currentTime = c.t;
        scene->ThrowPresents();
        ASSERT_EQ(scene->handPresent, 0) << c.t;
        // A taken present is replaced by the next one in the sleigh.
        EXPECT_EQ(scene->nextPresent, 1) << c.t;
        const PRESENT& p = scene->presents[0];
        EXPECT_EQ(p.stage, c.stage);
        EXPECT_FLOAT_EQ(p.position.x, c.x);
        EXPECT_FLOAT_EQ(p.position.y, 3.6f);
        EXPECT_FLOAT_EQ(p.position.z, 2.5f);
        EXPECT_EQ(p.matrix[12], 0.0);
        EXPECT_EQ(scene->presents[1].stage, kPresentWaiting);
        EXPECT_EQ(scene->presents[1].active, 1);
        EXPECT_LT(scene->presents[1].modelIndex, 3);
        EXPECT_LT(scene->presents[1].textureIndex, 10);
    }
}

// The throw step at elf time `t` with the present in hand `stage`, the next
// one waiting, among houses on both sides near the sleigh (at z 0, or far
// ahead of it) and beyond.
std::unique_ptr<XMASMAIN> ThrowAt(int stage, float t, bool far = false) {
    auto scene = PresentScene();
    scene->houses.resize(8);
    const VECTOR3D places[8] = {{-40.0f, -54.5f, 0.0f},  {40.0f, -54.5f, 10.0f},  {-60.0f, -54.5f, -49.0f},
                                {60.0f, -54.5f, 24.0f},  {-40.0f, -54.5f, 25.0f}, {40.0f, -54.5f, -50.0f},
                                {-70.0f, -54.5f, 200.0f}, {70.0f, -54.5f, -300.0f}};
    for (int i = 0; i < 8; ++i) {
        scene->houses[static_cast<std::size_t>(i)].position = places[i];
        scene->houses[static_cast<std::size_t>(i)].chimney = {1.0f, 12.0f, 2.0f};
    }
    scene->houseCount = 8;
    if (far) scene->sleighPos = {0.0f, 0.0f, 1000.0f};
    scene->handPresent = 0;
    scene->presents[0].stage = stage;
    scene->nextPresent = 1;
    scene->presents[1].active = 1;
    scene->elf->currentTime = t;
    scene->ThrowPresents();
    return scene;
}

TEST(Presents, ThrowWindowsAndTheHouseAimedAt) {
    const float inWindow[] = {1541.7f, 1749.9f, 458.4f, 666.6f};
    for (float t : {1541.6667f, 1750.0f, 458.33334f, 666.6667f, 1000.0f}) {  // outside them
        auto scene = ThrowAt(kPresentHand1, t);
        EXPECT_EQ(scene->handPresent, 0) << t;
        EXPECT_EQ(scene->presents[0].stage, kPresentHand1) << t;
        EXPECT_FLOAT_EQ(scene->presents[0].position.x, 1.75f);  // held at the hand
    }

    // The first hand throws to the -x row, the second to +x, within z -50..25
    // of the sleigh (both ends open): every candidate gets its turn. With no
    // candidate near (the sleigh far ahead) any house may be the target.
    std::srand(3);
    std::set<int> aimed[3], anywhere;
    for (int round = 0; round < 240; ++round) {
        for (int stage : {kPresentHand1, kPresentHand2}) {
            const bool far = round >= 120;
            auto scene = ThrowAt(stage, inWindow[round % 4], far);
            const PRESENT& p = scene->presents[0];
            ASSERT_EQ(p.stage, kPresentThrown);
            EXPECT_EQ(scene->handPresent, -1);
            (far ? anywhere : aimed[stage]).insert(p.houseIndex);
            // Aimed to be over the chimney in 5 s, on the arc the landing test flies.
            const ONEHOUSE& h = scene->houses[static_cast<std::size_t>(p.houseIndex)];
            const VECTOR3D top = AddVectors(h.position, h.chimney);
            EXPECT_FLOAT_EQ(p.velocity.x, (top.x - p.position.x) / 5.0f);
            EXPECT_FLOAT_EQ(p.velocity.z, (top.z - p.position.z) / 5.0f);
            EXPECT_FLOAT_EQ(p.velocity.y, 29.0f);
        }
    }
    EXPECT_EQ(aimed[kPresentHand1], (std::set<int>{0, 2}));
    EXPECT_EQ(aimed[kPresentHand2], (std::set<int>{1, 3}));
    EXPECT_EQ(anywhere.size(), 8u);
}

TEST(Presents, WithEverySlotInFlightNoneIsMadeReady) {
    auto scene = PresentScene();
    for (PRESENT& p : scene->presents) {
        p.active = 1;
        p.stage = kPresentThrown;
    }
    scene->nextPresent = -1;
    scene->elf->currentTime = 1200.0f;  // a pick-up window: hands stay empty
    scene->ThrowPresents();
    EXPECT_EQ(scene->nextPresent, -1);
    EXPECT_EQ(scene->handPresent, -1);

    scene->presents[13].active = 0;
    scene->presents[6].active = 0;
    scene->elf->currentTime = 900.0f;
    scene->ThrowPresents();
    EXPECT_EQ(scene->nextPresent, 6);  // the lowest free slot
    EXPECT_EQ(scene->presents[6].stage, kPresentWaiting);
    EXPECT_EQ(scene->presents[13].active, 0);
}

// One thrown present in slot `slot` aimed at house 0, the world standing still.
std::unique_ptr<XMASMAIN> Flight(int slot, float chimneyTop) {
    auto scene = PresentScene();
    scene->houses.resize(1);
    scene->houses[0].position = {-20.0f, chimneyTop - 12.0f, 10.0f};
    scene->houses[0].chimney = {0.0f, 12.0f, 0.0f};
    scene->worldVelocity = {0.0f, 0.0f, 0.0f};
    scene->showSparkles = false;
    PRESENT& p = scene->presents[slot];
    p.active = 1;
    p.stage = kPresentThrown;
    p.houseIndex = 0;
    p.position = {0.0f, 0.0f, 0.0f};
    p.velocity = {-4.0f, 29.0f, 2.0f};
    p.flightTimer = 5.0f;
    p.spin = {90.0f, 0.0f, 0.0f};
    p.sparkleTimer = 0.5f;
    return scene;
}

TEST(Presents, APresentLandsBelowItsChimneyTopOnlyOnTheWayDown) {
    for (float top : {-40.0f, 10.0f}) {
        auto scene = Flight(1, top);
        scene->frameTime = 0.01;
        float highest = 0.0f, landedAt = -1.0f;
        for (int step = 1; step < 1000 && landedAt < 0.0f; ++step) {
            scene->MovePresents();
            highest = std::max(highest, scene->presents[1].position.y);
            if (scene->presents[1].active == 0) landedAt = step * 0.01f;
        }
        // Rises for about 2.1 s to about 30 above the hand, then falls to the top.
        EXPECT_NEAR(highest, 29.0f * 29.0f / 28.0f, 0.3f) << top;
        const float expected = (29.0f + std::sqrt(29.0f * 29.0f - 28.0f * top)) / 14.0f;
        EXPECT_NEAR(landedAt, expected, 0.05f) << top;
        // Aimed to be over the chimney after 5 s, and homing on it after that.
        EXPECT_NEAR(scene->presents[1].position.x, std::max(-20.0f, -4.0f * landedAt), 0.1f) << top;
        EXPECT_EQ(scene->presents[1].sparkleTimer, 0.5f);  // sparkles off: untouched
        for (const ONEPARTICLE& s : scene->sparkles) EXPECT_LE(s.alpha, 0.0f);
    }
}

TEST(Presents, SparkleTimerRunsOnlyWithSparklesOn) {
    auto scene = Flight(1, -40.0f);
    scene->showSparkles = true;
    scene->frameTime = 0.1;
    scene->MovePresents();
    EXPECT_FLOAT_EQ(scene->presents[1].sparkleTimer, 0.4f);
    scene->frameTime = 0.45;
    scene->MovePresents();
    EXPECT_GE(scene->presents[1].sparkleTimer, 0.025f);  // fell below 0: a burst, re-armed
    EXPECT_LT(scene->presents[1].sparkleTimer, 0.075f);
    int burst = 0;
    for (const ONEPARTICLE& s : scene->sparkles) burst += s.alpha > 0.0f;
    EXPECT_GE(burst, 1);  // one to four sparkles where the present is
    EXPECT_LE(burst, 4);
}

TEST(Presents, OnlyVisiblePresentsTumbleButTheFirstAlwaysIsVisible) {
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const struct {
        int slot;
        int visible;
        bool turned;
    } cases[] = {{0, 1, true}, {1, 0, false}};
    for (const auto& c : cases) {
        auto scene = Flight(c.slot, -40.0f);
        scene->frustum = ExtractFrustumFrom(identity, identity);  // the cube -1..1
        scene->presents[c.slot].position = {50.0f, 0.0f, 0.0f};  // far outside the cube
        scene->frameTime = 0.01;
        scene->MovePresents();
        const PRESENT& p = scene->presents[c.slot];
        EXPECT_EQ(p.visible, c.visible) << c.slot;
        EXPECT_EQ(p.matrix[5] != 1.0, c.turned) << c.slot;
    }
    // Presents not in flight count as visible.
    auto waiting = PresentScene();
    waiting->MovePresents();
    EXPECT_EQ(waiting->presents[0].visible, 1);
}

// -------------------------------------------------- set-up with real files ----

class VillageSetUp : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        context_ = OffscreenContext::Create(160, 120, &error);
        if (context_ == nullptr) GTEST_SKIP() << "no offscreen GL: " << error;
        scene = std::make_unique<XMASMAIN>(&setup);
        scene->resourcePath = kBaked + "/";
        ASSERT_TRUE(LoadTexturesFromDataFile((kBaked + "/tex.brm").c_str(), &scene->textures));
    }
    void TearDown() override {
        scene.reset();  // GL names go while the context is current
        context_.reset();
    }
    // The set-up's line, forgotten for the next step.
    std::string Failure() { return std::exchange(setup.error, {}).Line(); }

    EngineContext setup;
    std::unique_ptr<XMASMAIN> scene;

private:
    std::unique_ptr<OffscreenContext> context_;
};

// Forty houses stand twenty apart from -400, on alternating sides; no
// houses is refused rather than divided by. (A lone house's recycling is
// the target tests'.)
TEST_F(VillageSetUp, HousesStandTwentyApartFromMinus400AndNoneIsRefused) {
    scene->houseCount = 0;
    EXPECT_FALSE(scene->SetupHouses());
    EXPECT_NE(Failure().find("at least 1 house"), std::string::npos);

    scene->houseCount = 40;
    ASSERT_TRUE(scene->SetupHouses()) << Failure();
    ASSERT_EQ(scene->houses.size(), 40u);
    for (int k = 0; k < 2; ++k) EXPECT_GT(scene->chimneyOffsets[k].y, 5.0f);  // a chimney well above the ground
    EXPECT_NEAR(std::hypot(scene->smokeWind.x, scene->smokeWind.z), 3.0, 1e-4);
    for (int i = 0; i < 40; ++i) {
        const ONEHOUSE& h = scene->houses[static_cast<std::size_t>(i)];
        EXPECT_FLOAT_EQ(h.position.z, -400.0f + 20.0f * i);
        EXPECT_EQ(h.position.y, -54.5f);
        EXPECT_GE(std::fabs(h.position.x), 20.0f);
        EXPECT_EQ(h.position.x < 0.0f, i % 2 == 0);
        EXPECT_NE(scene->houseTextures[h.texture].texID, 0u);
    }
}

TEST_F(VillageSetUp, SmokeOffDrawsNothingWhereSmokeOnDoesAndNoHouseSmokes) {
    glViewport(0, 0, 160, 120);
    glMatrixMode(GL_PROJECTION);
    glFrustum(-1, 1, -0.75, 0.75, 1, 100);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_CULL_FACE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    scene->frustum = ExtractFrustum();
    // Sets the houses up with smoke on or off, then draws a big puff right in
    // front of the camera, facing it: how many houses smoke, and the red of
    // the picture's centre.
    struct Drawn {
        int smoking;
        int red;
    };
    auto drawPuff = [this](bool smoke) -> Drawn {
        scene->showSmoke = smoke;
        scene->houseCount = 40;
        EXPECT_TRUE(scene->SetupHouses());
        int smoking = 0;
        for (const ONEHOUSE& h : scene->houses) smoking += h.smoking;
        ONEHOUSE& h = scene->houses[0];
        h.position = {0.0f, 0.0f, 0.0f};
        h.smoking = true;
        h.particles[0].alpha = 1.0f;
        h.particles[0].size = 2.0f;
        h.particles[0].position = {0.0f, 0.0f, -10.0f};
        scene->cameraEye = {0.0f, 0.0f, 0.0f};
        scene->cameraTarget = {0.0f, 0.0f, -10.0f};
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene->DrawAllSmoke();
        GLubyte centre[4];
        glReadPixels(80, 60, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, centre);
        return {smoking, centre[0]};
    };
    const Drawn off = drawPuff(false);
    EXPECT_EQ(off.smoking, 0);
    EXPECT_EQ(off.red, 0);
    const Drawn on = drawPuff(true);
    EXPECT_GT(on.red, 60);
}

TEST_F(VillageSetUp, TreesStandOnTheirSidesAndTreesOffNeedsNoFile) {
    constexpr float kOutwardX[2] = {-1.0f, 1.0f};
    ASSERT_TRUE(scene->SetupTrees()) << Failure();
    for (int i = 0; i < kTreeCount; ++i) {
        const TREESLOT& t = scene->trees[i];
        EXPECT_EQ(t.position.z, 20.0f * i - 385.0f);
        EXPECT_EQ(t.position.y, -54.5f);
        // Even firs on the -x side, odd ones on the +x side.
        const float outwards = kOutwardX[i % 2] * t.position.x;
        EXPECT_GE(outwards, 0.0f) << i;
    }

    auto bare = std::make_unique<XMASMAIN>(&setup);
    bare->resourcePath = "/nonexistent/";
    bare->showTrees = false;
    EXPECT_TRUE(bare->SetupTrees());
    EXPECT_EQ(bare->treeList, 0u);
    bare->showTrees = true;
    bare->textures.resize(7);
    EXPECT_FALSE(bare->SetupTrees());
    EXPECT_NE(Failure().find("other.brm"), std::string::npos);
}

// The low-detail houses and firs load beside the near models, each its own
// list, without touching the placement: slots name the near models, and the
// switch is made at drawing only.
TEST_F(VillageSetUp, FarModelsLoadBesideTheNearOnes) {
    ASSERT_TRUE(scene->SetupHouses()) << Failure();
    ASSERT_TRUE(scene->SetupTrees()) << Failure();
    const GLuint lists[] = {scene->houseLists[0], scene->houseLists[1], scene->houseListsFar[0],
                            scene->houseListsFar[1], scene->treeList,   scene->rareTreeList,
                            scene->treeListFar,      scene->rareTreeListFar};
    for (GLuint a : lists) EXPECT_NE(a, 0u);
    EXPECT_EQ(std::set<GLuint>(std::begin(lists), std::end(lists)).size(), std::size(lists)) << "each its own";
    // About 20 across with the chimney on top; firs about 15 high.
    EXPECT_GT(scene->houseReach, 10.0f);
    EXPECT_LT(scene->houseReach, 25.0f);
    EXPECT_GT(scene->treeReach, 14.0f);
    EXPECT_LT(scene->treeReach, 25.0f);
    const auto naming = [this](const TREESLOT& tree) {
        return tree.list == scene->treeList || tree.list == scene->rareTreeList;
    };
    EXPECT_EQ(std::count_if(std::begin(scene->trees), std::end(scene->trees), naming), kTreeCount)
        << "every slot names a near model";
}

TEST_F(VillageSetUp, PresentsGetOneListPerShapeAndTheFirstPresentIsReady) {
    ASSERT_TRUE(scene->SetupPresents()) << Failure();
    ASSERT_GT(scene->presentModelCount, 0);
    EXPECT_EQ(static_cast<int>(scene->presentLists.size()), scene->presentModelCount);
    for (GLuint list : scene->presentLists) EXPECT_NE(list, 0u);
    EXPECT_GE(scene->presentTextures.size(), 10u);  // a wrapping for every index a throw may draw
    EXPECT_EQ(scene->nextPresent, 0);
    EXPECT_EQ(scene->presents[0].active, 1);
    EXPECT_EQ(scene->presents[0].stage, kPresentWaiting);
    EXPECT_LT(scene->presents[0].modelIndex, scene->presentModelCount);
    for (int i = 1; i < kPresentPool; ++i) EXPECT_EQ(scene->presents[i].active, 0);
}

}  // namespace
