// The sleigh, the reindeer team, the sparkles and the nose glow.
//
// Tests that need the real team build it from the baked resource folder in an
// offscreen context; the steering and sparkle tests drive a bare scene's
// fields directly.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "math/frustum.h"
#include "math/frustum_gl.h"
#include "platform/egl_offscreen.h"
#include "scene/xmasmain.h"

namespace {

const std::string kBaked = std::string(FROSTVALE_BAKED_DIR) + "/";

// A frustum so large that every culling test passes.
FrustumPlanes Everything() {
    const float projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const float modelview[16] = {0.001f, 0, 0, 0, 0, 0.001f, 0, 0, 0, 0, 0.001f, 0, 0, 0, 0, 1};
    return ExtractFrustumFrom(projection, modelview);
}

int LiveSparkles(const XMASMAIN& scene) {
    int live = 0;
    for (const ONEPARTICLE& s : scene.sparkles) live += s.alpha > 0.0f;
    return live;
}

float Distance(VECTOR3D a, VECTOR3D b) { return static_cast<float>(VectorLength(SubtractVectors(a, b))); }

// A context plus a scene with its shared textures, templates, team and sleigh.
// The scene is declared after the context so that it is cleaned up first.
struct TeamScene {
    std::unique_ptr<OffscreenContext> context;
    std::string error;
    EngineContext setup;
    XMASMAIN scene{&setup};

    // The context and the baked textures, all that drawing needs.
    bool Open() {
        context = OffscreenContext::Create(64, 64, &error);
        return context != nullptr && LoadTexturesFromDataFile((kBaked + "tex.brm").c_str(), &scene.textures);
    }
    // Builds the baked team of `pairs` up to and including the sleigh; false
    // and a note in `error` when any step fails.
    bool Build(int pairs) {
        scene.resourcePath = kBaked;
        scene.reindeerCount = pairs;
        const bool built = Open() && scene.SetupAnims() && scene.SetupReindeers() && scene.SetupSleigh();
        if (!built && context != nullptr) error = setup.error.Line();
        return built;
    }
};

// ---- formation ----

TEST(ReindeerTeam, FormationForZeroOneAndTwentyPairs) {
    constexpr float kSideX[2] = {1.5f, -1.5f};  // pairs alternate sides, right first
    // Open-eyed coats the followers wear at the least: forty of them wear at
    // least three of the four but by a freak of chance.
    const struct {
        int pairs;
        std::size_t leastCoats;
    } cases[] = {{0, 1}, {1, 1}, {20, 3}};
    for (const auto [pairs, leastCoats] : cases) {
        SCOPED_TRACE(pairs);
        TeamScene t;
        std::srand(11);
        ASSERT_TRUE(t.Build(pairs)) << t.error;
        XMASMAIN& s = t.scene;
        const int count = 2 * pairs + 3;
        ASSERT_EQ(s.reindeerCount, count);
        ASSERT_EQ(static_cast<int>(s.reindeer.size()), count);
        EXPECT_EQ(s.leadReindeer, count - 1);
        EXPECT_EQ(s.reinPoints.size(), static_cast<std::size_t>(count));

        const ONEREINDEER& lead = s.reindeer.back();
        EXPECT_FLOAT_EQ(lead.position.x, 0.0f);
        EXPECT_FLOAT_EQ(lead.position.y, -1.0f);
        EXPECT_FLOAT_EQ(lead.position.z, 9.0f + 7.0f * (pairs + 1));
        for (int i = 0; i < count - 1; ++i) {
            const ONEREINDEER& d = s.reindeer[i];
            EXPECT_FLOAT_EQ(d.position.x, kSideX[i % 2]) << i;
            EXPECT_FLOAT_EQ(d.position.y, -1.0f) << i;
            EXPECT_FLOAT_EQ(d.position.z, 9.0f + 7.0f * (i / 2)) << i;
            EXPECT_FLOAT_EQ(d.slotOffset.x, d.position.x - lead.position.x) << i;
            EXPECT_FLOAT_EQ(d.slotOffset.z, d.position.z - lead.position.z) << i;
        }
        // The gallops are spread evenly over the cycle.
        for (int i = 0; i < count; ++i) {
            EXPECT_FLOAT_EQ(s.reindeer[i].currentTime, static_cast<float>(i) / count * s.reindeer[i].endTime);
        }
        // The sleigh starts where it should be: the lead's start plus its offset is the origin.
        EXPECT_FLOAT_EQ(s.sleighOffset.z, -lead.position.z);

        // The lead always wears coat 0; the others one of the four open-eyed coats after it.
        for (const ONEREINDEER& deer : s.reindeer) ASSERT_GE(deer.materials.size(), 1u);
        EXPECT_EQ(lead.materials[0].textureId, s.reindeerTexture[0].texID);
        std::set<GLuint> openEyed;
        for (std::size_t coat : {2, 4, 6, 8}) openEyed.insert(s.reindeerTexture[coat].texID);
        std::set<GLuint> worn;
        for (int i = 0; i < count - 1; ++i) {
            const GLuint id = s.reindeer[i].materials[0].textureId;
            EXPECT_EQ(openEyed.count(id), 1u) << i;
            worn.insert(id);
        }
        EXPECT_GE(worn.size(), leastCoats);
    }
}

// ---- the team in motion ----

// One pair and the lead, built and seen whatever the view.
class Team : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(t.Build(1)) << t.error;
        s.frustum = Everything();
    }
    TeamScene t;
    XMASMAIN& s = t.scene;
};

// Approaching a roof the lead's bob dies down to 0.5; cruising and taking off
// it swells back to 5; on the roof it is left alone.
TEST_F(Team, BobSettlesOverARoofAndSwellsInFlight) {
    s.frameTime = 0.5;
    const struct {
        int state;
        float from, to;
    } cases[] = {{ANIM_APPROACH, 5.0f, 4.8f}, {ANIM_APPROACH, 0.6f, 0.5f}, {ANIM_DELIVER, 0.5f, 0.5f},
                 {ANIM_FLYING, 0.5f, 0.6f},   {ANIM_TAKEOFF, 4.95f, 5.0f}};
    for (const auto& c : cases) {
        s.animState = c.state;
        s.bobHeight = c.from;
        s.MoveReindeers();
        EXPECT_FLOAT_EQ(s.bobHeight, c.to) << c.state << " from " << c.from;
    }
}

// The lead banks up to 25 degrees against the world's sideways motion and
// levels out once it is inside 3 either way; the followers turn with it.
TEST_F(Team, LeadBanksAgainstSidewaysMotionAndFollowersCatchUp) {
    s.frameTime = 0.1;
    ONEREINDEER& lead = s.reindeer.back();
    const struct {
        float sideways, bank;
    } cases[] = {{8.0f, -25.0f}, {-8.0f, 25.0f}};
    for (const auto [v, bank] : cases) {
        s.worldVelocity = MakePoint(v, 0.0f, -25.0f);
        for (int i = 0; i < 600; ++i) s.MoveReindeers();
        EXPECT_NEAR(lead.angles.z, bank, 0.01f);
        EXPECT_NEAR(s.reindeer[0].angles.z, lead.angles.z, 0.1f);
    }
    // Exactly 3 either way leaves the bank alone; inside it, the lead levels out.
    for (const float v : {3.0f, -3.0f}) {
        s.worldVelocity.x = v;
        const float before = lead.angles.z;
        s.MoveReindeers();
        EXPECT_EQ(lead.angles.z, before);
    }
    s.worldVelocity.x = 0.0f;
    for (int i = 0; i < 100; ++i) s.MoveReindeers();
    EXPECT_NEAR(lead.angles.z, 0.0f, 0.01f);

    // Followers chase their slot behind the lead: the rear pair most slowly.
    s.sceneTime = 1.5;  // the lead at the top of its bob
    s.frameTime = 0.01;
    s.MoveReindeers();
    const float target = lead.position.y + s.reindeer[0].slotOffset.y;
    EXPECT_LT(std::fabs(s.reindeer[2].position.y - target), std::fabs(s.reindeer[0].position.y - target));
}

// Only reindeer in view are posed (those out of view are skipped only to save
// time), so the hooves strike and throw their sparkles when the team is seen.
TEST_F(Team, HoovesThrowSparklesBelowTheBodyOnlyWhenSwitchedOn) {
    s.frameTime = 1.0 / 60.0;
    s.showSparkles = false;
    for (int i = 0; i < 60; ++i) s.MoveReindeers();
    EXPECT_EQ(LiveSparkles(s), 0);
    for (const ONEREINDEER& d : s.reindeer) EXPECT_EQ(d.sparkleTimer, 0.0f);

    s.showSparkles = true;
    for (int i = 0; i < 60; ++i) s.MoveReindeers();  // more than one gallop
    const int live = LiveSparkles(s);
    EXPECT_GT(live, 0);
    EXPECT_EQ(live % 3, 0);
    // The hoof tips lie under the bodies and beside them, never out in the sky.
    for (const ONEPARTICLE& p : s.sparkles) {
        if (p.alpha <= 0.0f) continue;
        const ONEREINDEER* nearest = &s.reindeer[0];
        for (const ONEREINDEER& d : s.reindeer) {
            if (Distance(p.position, d.position) < Distance(p.position, nearest->position)) nearest = &d;
        }
        EXPECT_LT(Distance(p.position, nearest->position), 4.0f);
        EXPECT_LT(p.position.y, nearest->position.y);
    }
}

TEST(Reins, BothSidesEndAtTheLeadAndHandsHoldStillOnTheRoof) {
    TeamScene t;
    ASSERT_TRUE(t.Build(2)) << t.error;
    XMASMAIN& s = t.scene;
    ASSERT_TRUE(s.SetupScene()) << t.setup.error.Line();
    s.frustum = Everything();
    s.frameTime = 1.0 / 60.0;
    s.MoveReindeers();
    s.MoveSleigh();
    s.santa->Update(s.frameTime);

    // The plus-x side is traced last: the sleigh, the three +x followers from
    // the back, then the lead, whose harness it reaches 1.1 to the side.
    s.DrawReigns();
    const ONEREINDEER& lead = s.reindeer.back();
    EXPECT_NEAR(s.reinPoints[0].x, 1.75f, 1e-5f);
    EXPECT_NEAR(s.reinPoints[0].z, 4.4f, 1e-5f);
    for (int p = 1; p <= 3; ++p) EXPECT_NEAR(s.reinPoints[p].z, s.reindeer[2 * (p - 1)].position.z + 0.75f, 0.5f);
    const VECTOR3D leadPoint = s.reinPoints[4];
    EXPECT_NEAR(leadPoint.x, 1.1f, 1e-4f);
    EXPECT_NEAR(leadPoint.z, lead.position.z + 0.75f, 0.5f);
    EXPECT_NEAR(leadPoint.y, lead.position.y, 0.5f);

    // The hand reins leave Santa's fists, either side of him and above his seat.
    const VECTOR3D plus = s.reinAnchorPlusX, minus = s.reinAnchorMinusX;
    EXPECT_GT(plus.x, 0.0f);
    EXPECT_LT(minus.x, 0.0f);
    EXPECT_GT(plus.y, s.santa->position.y);
    EXPECT_LT(Distance(plus, s.santa->position), 2.5f);

    // On a roof the anchors stay where the hands were when the sleigh landed.
    s.NewState(ANIM_DELIVER);
    s.santa->position.x += 5.0f;
    s.DrawReigns();
    EXPECT_EQ(s.reinAnchorPlusX.x, plus.x) << "moved with the hands";
    EXPECT_EQ(s.reinAnchorMinusX.z, minus.z) << "moved with the hands";
    s.NewState(ANIM_TAKEOFF);
    s.DrawReigns();
    EXPECT_NEAR(s.reinAnchorPlusX.x, plus.x + 5.0f, 1e-4f);
}

// ---- sleigh ----

// The sleigh closes on the lead's height at a rate of 1 a second, and its
// riders keep their places in it however it tilts.
TEST_F(Team, SleighFollowsTheLeadAndSeatsTheRiders) {
    s.santa = std::make_unique<ONEMODEL>();
    s.elf = std::make_unique<ONEMODEL>();
    ONEREINDEER& lead = s.reindeer.back();
    s.frameTime = 1.0 / 60.0;
    s.MoveSleigh();
    EXPECT_FLOAT_EQ(s.sleighPos.y, 0.0f);
    const float seatGap = Distance(s.santa->position, s.elf->position);

    lead.position.y += 2.0f;
    for (int i = 0; i < 60; ++i) s.MoveSleigh();
    EXPECT_NEAR(s.sleighPos.y, 2.0f * (1.0f - std::pow(1.0f - 1.0f / 60.0f, 60.0f)), 1e-4f);
    for (int i = 0; i < 600; ++i) s.MoveSleigh();
    EXPECT_NEAR(s.sleighPos.y, 2.0f, 1e-3f);

    lead.angles = MakePoint(10.0f, 5.0f, -20.0f);
    for (int i = 0; i < 120; ++i) s.MoveSleigh();
    EXPECT_GT(std::fabs(s.sleighAngles.z), 1.0f);
    EXPECT_NEAR(Distance(s.santa->position, s.elf->position), seatGap, 1e-4f);
    EXPECT_EQ(s.santa->orientation.m[1], s.sleighMatrix.m[1]);
}

// Two bursts of three, one at each runner, as soon as the world moves forward
// and then at most one pair per 0.05 s; none while standing still (nor switched
// off, on the approach below).
TEST(Sleigh, RunnerSparklesComeInPairsOfBurstsWhileMovingForward) {
    XMASMAIN s;
    s.frameTime = 0.01;
    s.worldVelocity = MakePoint(0.0f, 0.0f, 0.0f);
    for (int i = 0; i < 10; ++i) s.MoveSleigh();
    EXPECT_EQ(LiveSparkles(s), 0);

    s.worldVelocity = MakePoint(0.0f, 0.0f, -25.0f);
    s.MoveSleigh();
    ASSERT_EQ(LiveSparkles(s), 6);
    int plusX = 0;
    for (const ONEPARTICLE& p : s.sparkles) plusX += p.alpha > 0.0f && p.position.x > 0.0f;
    EXPECT_EQ(plusX, 3);

    int lastCount = 6;
    double lastPair = 0.0, now = 0.0;
    for (int i = 0; i < 100; ++i) {
        s.MoveSleigh();
        now += s.frameTime;
        const int count = LiveSparkles(s);
        if (count != lastCount) {
            EXPECT_EQ(count - lastCount, 6);
            EXPECT_GE(now - lastPair, 0.05 - 1e-6);
            lastPair = now;
            lastCount = count;
        }
    }
    EXPECT_GE(lastCount, 6 + 6 * 19);
}

// A scene about to steer towards one hand-placed house.
void AimAt(XMASMAIN& s, VECTOR3D position, VECTOR3D chimney, VECTOR3D limit) {
    s.showSparkles = false;
    s.houses.resize(1);
    s.houses[0].position = position;
    s.houses[0].chimney = chimney;
    s.targetHouse = 0;
    s.speedLimit = limit;
    s.NewState(ANIM_APPROACH);
}

TEST(Sleigh, ApproachBringsTheRoofUnderTheSleighWithinTheLimits) {
    XMASMAIN s;
    AimAt(s, MakePoint(40.0f, -30.0f, 300.0f), MakePoint(1.0f, 12.0f, -2.0f), MakePoint(2.0f, 1.0f, -25.0f));
    s.frameTime = 1.0 / 60.0;

    // The roof point is the chimney top moved by (5, 2.2, -1.2).
    s.MoveSleigh();
    EXPECT_FLOAT_EQ(s.worldVelocity.x, -2.0f);
    EXPECT_FLOAT_EQ(s.worldVelocity.y, 1.0f);
    EXPECT_FLOAT_EQ(s.worldVelocity.z, -25.0f);
    EXPECT_FLOAT_EQ(s.worldOffset.z, -25.0f / 60.0f);

    // Let the world carry the house as the house update would.
    int updates = 1;
    while (s.animState == ANIM_APPROACH && updates < 10000) {
        s.houses[0].position = AddVectors(s.houses[0].position, ScaleVector(s.worldVelocity, s.frameTime));
        s.MoveSleigh();
        ++updates;
        if (s.animState != ANIM_APPROACH) break;
        EXPECT_LE(std::fabs(s.worldVelocity.x), 2.0f);
        EXPECT_LE(std::fabs(s.worldVelocity.y), 1.0f);
        EXPECT_LE(s.worldVelocity.z, -3.0f);
        EXPECT_GE(s.worldVelocity.z, -25.0f);
    }
    ASSERT_EQ(s.animState, ANIM_DELIVER);
    EXPECT_EQ(s.animStep, 0);
    EXPECT_EQ(LiveSparkles(s), 0) << "the runners threw sparkles switched off";
    // The last step lands exactly: the world's velocity is minus the roof point.
    const VECTOR3D roof = AddVectors(AddVectors(s.houses[0].position, s.houses[0].chimney), MakePoint(5.0f, 2.2f, -1.2f));
    EXPECT_FLOAT_EQ(s.worldVelocity.z, -roof.z);
    EXPECT_GT(roof.z, 0.0f);
    EXPECT_LT(roof.z, 3.0f / 60.0f);
}

TEST(Sleigh, RoofAlreadyBehindLandsAtOnce) {
    XMASMAIN s;
    AimAt(s, MakePoint(10.0f, -30.0f, -20.0f), MakePoint(0.0f, 12.0f, 0.0f), MakePoint(1.0f, 1.0f, -25.0f));
    s.frameTime = 1.0 / 60.0;
    s.MoveSleigh();
    EXPECT_EQ(s.animState, ANIM_DELIVER);
    EXPECT_FLOAT_EQ(s.worldVelocity.x, -15.0f);  // unlimited on the landing step
    EXPECT_FLOAT_EQ(s.worldVelocity.z, 21.2f);

    // A target that is not a house steers nothing.
    XMASMAIN bad;
    AimAt(bad, MakePoint(0.0f, 0.0f, 100.0f), MakePoint(0.0f, 0.0f, 0.0f), MakePoint(1.0f, 1.0f, -25.0f));
    bad.targetHouse = 5;
    bad.frameTime = 0.1;
    bad.MoveSleigh();
    EXPECT_EQ(bad.animState, ANIM_APPROACH);
    EXPECT_FLOAT_EQ(bad.worldVelocity.z, -25.0f);
}

// Take-off from `offset` off the flight line, flown to its end (at most five
// minutes). Every step keeps within the sideways limit.
struct Takeoff {
    std::unique_ptr<XMASMAIN> s = std::make_unique<XMASMAIN>();
    int updates = 0;
    bool climbed = false;  // the world once sank below the sleigh, short of cruising speed
};
Takeoff FlyTakeoff(VECTOR3D offset) {
    Takeoff run;
    XMASMAIN& s = *run.s;
    s.showSparkles = false;
    s.NewState(ANIM_TAKEOFF);
    s.worldVelocity = MakePoint(0.0f, 0.0f, 0.0f);
    s.worldOffset = offset;
    s.speedLimit = MakePoint(2.0f, 0.6f, -25.0f);
    s.cameraTimer = 4.0f;
    s.frameTime = 1.0 / 60.0;
    while (s.animState == ANIM_TAKEOFF && run.updates < 60 * 300) {
        s.MoveSleigh();
        ++run.updates;
        if (s.animState != ANIM_TAKEOFF) break;
        // Climbing out, a step may carry it one frame's worth past the limit.
        EXPECT_LE(std::fabs(s.worldVelocity.x), 2.0f + 1.0f / 60.0f + 1e-4f);
        run.climbed |= s.worldVelocity.z < -10.0f && s.worldVelocity.z > -22.5f && s.worldVelocity.y < 0.0f;
    }
    return run;
}

// Take-off ends back on the flight line, offsets and the camera's timer
// zeroed: at once when already near it.
TEST(Sleigh, TakeoffNearTheFlightLineEndsAtOnce) {
    const Takeoff run = FlyTakeoff(MakePoint(0.02f, -0.02f, 80.0f));
    ASSERT_EQ(run.s->animState, ANIM_FLYING);
    EXPECT_EQ(run.s->animStep, 0);
    EXPECT_EQ(VectorLength(run.s->worldOffset), 0.0);
    EXPECT_EQ(run.s->cameraTimer, 0.0f);
    EXPECT_EQ(run.updates, 1);
}

// Far from it, the sleigh climbs out within the limits and accelerates
// (12.5 s alone) to cruising speed.
TEST(Sleigh, TakeoffFarFromTheFlightLineClimbsOutToCruisingSpeed) {
    const Takeoff run = FlyTakeoff(MakePoint(-30.0f, 8.0f, 250.0f));
    ASSERT_EQ(run.s->animState, ANIM_FLYING);
    EXPECT_EQ(run.s->animStep, 0);
    EXPECT_EQ(VectorLength(run.s->worldOffset), 0.0);
    EXPECT_EQ(run.s->cameraTimer, 0.0f);
    EXPECT_TRUE(run.climbed);
    EXPECT_GT(run.updates, 60 * 10);
    EXPECT_LE(run.s->worldVelocity.z, -25.0f);
    EXPECT_GT(run.s->worldVelocity.z, -25.0f - 2.0f / 60.0f - 1e-4f);
}

// ---- sparkles ----

TEST(Sparkles, ABurstTakesOnlyTheFreeSlots) {
    XMASMAIN s;
    for (ONEPARTICLE& p : s.sparkles) p.alpha = 0.5f;
    s.sparkles[100].alpha = 0.0f;   // exactly 0 is free
    s.sparkles[499].alpha = -0.2f;  // so is below 0
    s.NewSparkles(3, MakePoint(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(s.sparkles[100].alpha, 1.0f);
    EXPECT_EQ(s.sparkles[499].alpha, 1.0f);
    EXPECT_FLOAT_EQ(s.sparkles[499].position.z, 3.0f);
    EXPECT_FLOAT_EQ(s.sparkles[499].size, 0.1f);
    EXPECT_EQ(s.sparkles[499].velocity.y, 0.0f);
    EXPECT_LE(std::fabs(s.sparkles[499].velocity.x), 2.0f);
    EXPECT_EQ(LiveSparkles(s), 500);
    s.NewSparkles(3, MakePoint(0.0f, 0.0f, 0.0f));  // nothing free: nothing happens
    EXPECT_EQ(s.sparkles[0].alpha, 0.5f);
}

TEST(Sparkles, LiveOneSecondFallAndDriftWithTheWorld) {
    XMASMAIN s;
    s.NewSparkles(1, MakePoint(0.0f, 10.0f, 0.0f));
    ONEPARTICLE& p = s.sparkles[0];
    p.velocity.x = 0.0f;
    p.velocity.z = 0.0f;
    s.worldVelocity = MakePoint(0.0f, 0.0f, -25.0f);
    s.frameTime = 0.25;
    s.MoveSparkles();
    EXPECT_FLOAT_EQ(p.alpha, 0.75f);
    EXPECT_FLOAT_EQ(p.velocity.y, -0.5f);
    EXPECT_FLOAT_EQ(p.position.y, 10.0f - 0.125f);
    EXPECT_FLOAT_EQ(p.position.z, -6.25f);
    for (int i = 0; i < 3; ++i) s.MoveSparkles();
    EXPECT_LE(p.alpha, 0.0f);
    const VECTOR3D dead = p.position;
    s.MoveSparkles();
    EXPECT_EQ(p.position.z, dead.z);  // a free slot stays put

    // Switched off, live sparkles freeze.
    s.NewSparkles(1, MakePoint(0.0f, 0.0f, 0.0f));
    s.showSparkles = false;
    s.MoveSparkles();
    EXPECT_EQ(s.sparkles[0].alpha, 1.0f);
}

// A scene drawn from (0, 0, 5) looking at the origin.
class Drawing : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(team.Open()) << team.error;
        glViewport(0, 0, 64, 64);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, 1.0, 1.0, 400.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        team.scene.cameraEye = MakePoint(0.0f, 0.0f, 5.0f);
        team.scene.cameraTarget = MakePoint(0.0f, 0.0f, 0.0f);
        gluLookAt(0, 0, 5, 0, 0, 0, 0, 1, 0);
        team.scene.frustum = ExtractFrustum();
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_CULL_FACE);
        glEnable(GL_DEPTH_TEST);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        Clear();
    }
    void Clear() {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    int RedPixels() {
        glFinish();
        const auto pixels = team.context->ReadPixels();
        int red = 0;
        for (std::size_t i = 0; i < pixels.size(); i += 4) red += pixels[i] > 20;
        return red;
    }
    TeamScene team;
    XMASMAIN& s = team.scene;
};

TEST_F(Drawing, SparklesFaceTheCameraAndFreeOnesAreNotDrawn) {
    s.NewSparkles(1, MakePoint(0.0f, 0.0f, 0.0f));
    s.sparkles[0].size = 0.5f;
    s.DrawSparkles();
    EXPECT_GT(RedPixels(), 20);

    Clear();
    s.sparkles[0].alpha = 0.0f;
    s.DrawSparkles();
    EXPECT_EQ(RedPixels(), 0);
}

// Full size at the half seconds (at 1.5 turned half round, covering the
// same pixels), nothing at whole seconds, and nothing when the nose itself
// is just out of view though part of the quad would show.
TEST_F(Drawing, NoseGlowPulsesAndHidesWhenTheNoseIsOutOfView) {
    const struct {
        double time;
        float x;
    } cases[] = {{0.5, 0.0f}, {1.5, 0.0f}, {2.0, 0.0f}, {0.5, 2.2f}};
    std::vector<int> lit;
    for (const auto& c : cases) {
        Clear();
        s.sceneTime = c.time;
        s.DoNoseGlow(MakePoint(c.x, 0.0f, 0.0f));
        lit.push_back(RedPixels());
    }
    EXPECT_GT(lit[0], 100);
    EXPECT_EQ(lit, (std::vector<int>{lit[0], lit[0], 0, 0}));
}

}  // namespace
