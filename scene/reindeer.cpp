// The reindeer team and its reins.
//
// Formation, with N reindeer pairs: 2N + 3 reindeer. Index i < 2N + 2 is a
// follower, even i on the +x side and odd i on the -x side, pair i / 2 at
// z = 9 + 7 * (i / 2); the last index is the lead, centred in front of them.
// The lead bobs on a slow sine and banks into the world's sideways motion;
// every follower chases its slot beside and behind the lead with its own lag
// (the further forward, the quicker), so the bob runs down the team as a wave.
//
// Fixed joints of the reindeer model (assets/resource_contract.h, checked at
// set-up): the harness, where the reins meet the body 1.1 to either side; the
// front and hind hooves, whose joint +z runs one unit down to the hoof's tip;
// the last joint the tip of the nose.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>
#include <span>
#include <string>

#include "assets/ms3d.h"
#include "assets/resource_contract.h"
#include "math/frustum.h"
#include "math/vector.h"
#include "scene/xmasmain.h"

namespace {

using namespace reindeer;
constexpr int kCoatImages = 2 * kCoats;
constexpr int kFrontHoofJoints[2] = {kFrontHoofPlusX, kFrontHoofMinusX};
constexpr int kHindHoofJoints[2] = {kHindHoofPlusX, kHindHoofMinusX};
constexpr int kJointsNeeded = std::max({kHarness, kFrontHoofMinusX, kHindHoofMinusX}) + 1;
constexpr float kReinSide = 1.1f;  // from the harness joint to either side
constexpr float kHoofSparkleInterval = 0.05f;
constexpr float kVisibleRadius = 2.0f;

// Gallop moments (animation milliseconds) at which the hooves strike, as the
// clock has always compared them.
constexpr float kHindStrikeFrom = 208.33334f, kHindStrikeTo = 333.33334f;
constexpr float kFrontStrikeFrom = 666.6667f, kFrontStrikeTo = 791.6667f;
static_assert(AtFrame(kHindStrikeFrom, kHindStrike.first) && AtFrame(kHindStrikeTo, kHindStrike.last));
static_assert(AtFrame(kFrontStrikeFrom, kFrontStrike.first) && AtFrame(kFrontStrikeTo, kFrontStrike.last));

// A point given in a joint's own axes, carried into the world the way the
// model is drawn (translation, then orientation).
VECTOR3D JointPoint(const ONEMODEL& model, int joint, VECTOR3D local) {
    const VECTOR3D inModel = MatrixPointMultiply(model.joints[static_cast<std::size_t>(joint)].absolute, local);
    return AddVectors(model.position, MatrixPointMultiply(model.orientation, inModel));
}

// Where a side's rein meets a reindeer's harness.
VECTOR3D HarnessPoint(const ONEMODEL& model, float side) {
    const VECTOR3D harness =
        MatrixPointMultiply(model.joints[kHarness].absolute, MakePoint(0.0f, 0.0f, 0.0f));
    return AddVectors(model.position, MatrixPointMultiply(model.orientation, AddVectors(harness, MakePoint(side, 0.0f, 0.0f))));
}

// A ribbon one unit deep hanging down from the line A-B.
void DrawRibbon(VECTOR3D a, VECTOR3D b) {
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(a.x, a.y, a.z);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(a.x, a.y - 1.0f, a.z);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(b.x, b.y, b.z);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(b.x, b.y - 1.0f, b.z);
    glEnd();
}

}  // namespace

// Builds 2N + 3 reindeer from "reindeer.brm" with animation template 0.
// Draws one rand() per reindeer, in index order, for its coat.
bool XMASMAIN::SetupReindeers() {
    // A negative pair count would size the team below the lead; treat it as none.
    const int pairs = std::max(reindeerCount, 0);
    reindeerCount = static_cast<int>(2.0 * pairs + 3.0);
    leadReindeer = reindeerCount - 1;
    try {
        reindeer.clear();
        reindeer.resize(static_cast<std::size_t>(reindeerCount));
    } catch (const std::bad_alloc&) {
        ERRORCLOSE(Error(), "Error allocating memory!");
        return false;
    }

    MS3D model;
    if (!LoadModel((resourcePath + kReindeerModel.file).c_str(), &model, &reindeerTexture, context,
                   kReindeerModelFar.lump))
        return false;
    if (reindeerTexture.size() < static_cast<std::size_t>(kCoatImages)) {
        return NoteFailure(Error(), {.file = "reindeer.brm",
                                     .what = "has " + std::to_string(reindeerTexture.size()) + " images, needs " +
                                             std::to_string(kCoatImages)});
    }
    if (model.numJoints < kJointsNeeded) {
        return NoteFailure(Error(), {.file = "reindeer.brm",
                                     .what = "has " + std::to_string(model.numJoints) + " joints, needs " +
                                             std::to_string(kJointsNeeded)});
    }
    if (animTemplates.empty()) {
        return NoteFailure(Error(), {.file = "reindeer.brm", .what = "no animation template to build the team on"});
    }
    model.Scale(kReindeerModel.scale);
    model.InitialSetup();
    limbReach[0] = ModelReach(model);
    MS3D farModel;
    if (!LoadFarCharacter(kReindeerModelFar, animTemplates[0], &farModel)) return false;
    limbReach[0] = std::max(limbReach[0], ModelReach(farModel));

    const std::span<const Texture> coats(reindeerTexture);
    for (int i = 0; i < reindeerCount; ++i) {
        ONEREINDEER& deer = reindeer[static_cast<std::size_t>(i)];
        const int r = std::rand();
        // The lead wears coat 0; followers one of the other four.
        const std::size_t coat = i == leadReindeer ? 0 : static_cast<std::size_t>(2 * (r % 4) + 2);
        if (!deer.Setup(&animTemplates[0], &model, coats.subspan(coat), Error()) || deer.numJoints < kJointsNeeded ||
            !deer.far.Setup(&animTemplates[0], &farModel, coats.subspan(coat), Error())) {
            return NoteFailure(Error(), {.file = "reindeer.brm", .what = "the model does not fit its animation template"});
        }
        const int k = static_cast<int>(i * 0.5);
        deer.position = MakePoint(i % 2 == 0 ? 1.5f : -1.5f, -1.0f, static_cast<float>(9 + 7 * k));
        deer.followRate = k + 2;
        // Spread the gallops evenly over the cycle.
        deer.SetAnimation(kGallop.first, kGallop.last, 1000, true, false);
        deer.currentTime = (static_cast<float>(i) / static_cast<float>(reindeerCount)) * deer.endTime;
        if (i == leadReindeer) deer.position.x = 0.0f;
    }
    const VECTOR3D leadStart = reindeer[static_cast<std::size_t>(leadReindeer)].position;
    for (int i = 0; i < leadReindeer; ++i) {
        ONEREINDEER& deer = reindeer[static_cast<std::size_t>(i)];
        deer.slotOffset = SubtractVectors(deer.position, leadStart);
    }
    return true;
}

// First in every update. Issues no GL calls; the visibility test reads the
// frustum of the last drawn frame.
void XMASMAIN::MoveReindeers() {
    if (reindeer.empty()) return;
    const float dt = static_cast<float>(frameTime);
    ONEREINDEER& lead = reindeer[static_cast<std::size_t>(leadReindeer)];

    // A six-second bob, calmed while approaching a roof and restored after.
    lead.position.y = static_cast<float>(std::sin(sceneTime * kPi / 3.0) * bobHeight);
    if (animState == ANIM_APPROACH) {
        if (bobHeight > 0.5f) bobHeight = std::max(bobHeight - 0.4f * dt, 0.5f);
    } else if (animState == ANIM_FLYING || animState == ANIM_TAKEOFF) {
        if (bobHeight < 5.0f) bobHeight = std::min(bobHeight + 0.2f * dt, 5.0f);
    }

    // Bank into the world's sideways motion; level out when it is small.
    const float v = worldVelocity.x;
    float& bank = lead.angles.z;
    if (v > 3.0f) {
        if (bank > -25.0f) bank += (-25.0f - bank) * dt * 0.25f;
    } else if (v < -3.0f) {
        if (bank < 25.0f) bank += (25.0f - bank) * dt * 0.25f;
    } else if (v > -3.0f && v < 3.0f) {
        if (bank != 0.0f) bank += 2.0f * (0.0f - bank) * dt;
    }

    for (int i = 0; i < leadReindeer; ++i) {
        ONEREINDEER& deer = reindeer[static_cast<std::size_t>(i)];
        const float gain = dt * static_cast<float>(deer.followRate);
        const VECTOR3D target = AddVectors(lead.position, deer.slotOffset);
        deer.position.x += (target.x - deer.position.x) * gain;
        deer.position.y += (target.y - deer.position.y) * gain;
        deer.position.z += (target.z - deer.position.z) * gain;
        deer.angles.x += (lead.angles.x - deer.angles.x) * gain * 0.5f;
        deer.angles.y += (lead.angles.y - deer.angles.y) * gain * 0.5f;
        deer.angles.z += (lead.angles.z - deer.angles.z) * gain * 0.5f;
    }

    // Only reindeer in view are posed; one out of view keeps its pose and
    // picks its gallop up where it stopped.
    for (ONEREINDEER& deer : reindeer) {
        deer.visible = SphereInFrustum(frustum, deer.position, kVisibleRadius);
        if (!deer.visible) continue;
        deer.orientation = MatrixFromAngle(deer.angles);
        deer.Pose(frameTime);
        if (!showSparkles) continue;
        deer.sparkleTimer -= dt;
        if (deer.sparkleTimer > 0.0f) continue;
        deer.sparkleTimer = kHoofSparkleInterval;
        const float t = deer.currentTime;
        const VECTOR3D hoofTip = MakePoint(0.0f, 0.0f, 1.0f);
        if (t > kHindStrikeFrom && t < kHindStrikeTo) {
            for (int joint : kHindHoofJoints) NewSparkles(3, JointPoint(deer, joint, hoofTip));
        }
        if (t > kFrontStrikeFrom && t < kFrontStrikeTo) {
            for (int joint : kFrontHoofJoints) NewSparkles(3, JointPoint(deer, joint, hoofTip));
        }
    }
}

void XMASMAIN::DrawReindeers() {
    for (int i = 0; i < static_cast<int>(reindeer.size()); ++i) {
        ONEREINDEER& deer = reindeer[static_cast<std::size_t>(i)];
        if (!deer.visible) continue;
        DrawCharacter(deer, &deer.far, limbReach[0]);
        if (i == leadReindeer && deer.numJoints > 0) {
            DoNoseGlow(JointPoint(deer, deer.numJoints - 1, MakePoint(0.0f, 0.0f, 0.0f)));
        }
    }
}

// Last of the scene: dark green ribbons from the front of the sleigh along
// both sides of the team to the lead, and from Santa's hands to the rear pair.
// The hand anchors stay put while Santa is out on a roof.
void XMASMAIN::DrawReigns() {
    if (reindeer.size() < 2) return;
    if (animState != ANIM_DELIVER && santa != nullptr && santa->numJoints > santa::kHandMinusX) {
        reinAnchorMinusX = JointPoint(*santa, santa::kHandMinusX, santa::kFist);
        reinAnchorPlusX = JointPoint(*santa, santa::kHandPlusX, santa::kFist);
    }

    glColor4f(0.0f, 0.4f, 0.0f, 1.0f);
    glEnable(GL_BLEND);
    glDepthMask(GL_FALSE);
    glDisable(GL_CULL_FACE);
    glBindTexture(GL_TEXTURE_2D, TextureName(textures, scene_image::kReins));

    // One trace per side: the sleigh, then every reindeer on that side (the
    // lead stands on both) from the back of the team to the front.
    for (const float side : {-1.0f, 1.0f}) {
        const VECTOR3D sleighPoint = side < 0.0f ? sleigh::kReinMinusX : sleigh::kReinPlusX;
        std::size_t count = 0;
        if (count < reinPoints.size()) reinPoints[count++] = MatrixPointMultiply(sleighMatrix, AddVectors(sleighPos, sleighPoint));
        for (const ONEREINDEER& deer : reindeer) {
            const bool onSide = side < 0.0f ? deer.position.x <= 0.0f : deer.position.x >= 0.0f;
            if (onSide && count < reinPoints.size()) reinPoints[count++] = HarnessPoint(deer, side * kReinSide);
        }
        glNormal3f(side, 0.0f, 0.0f);
        for (std::size_t p = 1; p < count; ++p) DrawRibbon(reinPoints[p - 1], reinPoints[p]);
    }

    glNormal3f(-1.0f, 0.0f, 0.0f);
    DrawRibbon(reinAnchorMinusX, HarnessPoint(reindeer[1], -kReinSide));
    glNormal3f(1.0f, 0.0f, 0.0f);
    DrawRibbon(reinAnchorPlusX, HarnessPoint(reindeer[0], kReinSide));
    glNormal3f(0.0f, 0.0f, -1.0f);
    DrawRibbon(reinAnchorPlusX, reinAnchorMinusX);

    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glEnable(GL_CULL_FACE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}
