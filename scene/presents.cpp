// Presents: the elf picks them up and throws them at chimneys, timed by its
// looping flight animation; each flies a ballistic arc that homes in on its
// chimney, tumbles while seen, and vanishes when it drops below the chimney top.

#include <algorithm>
#include <cstdlib>
#include <new>
#include <string>

#include "assets/ms3d.h"
#include "assets/resource_contract.h"
#include "math/frustum.h"
#include "scene/xmasmain.h"

namespace {

constexpr const char* kPresentFile = kPresentsModel.file;
constexpr int kWrappings = kPresentWrappingsUsed;
constexpr float kThrowLift = 29.0f;     // units per second upwards
constexpr float kFlightTime = 5.0f;     // seconds of aimed flight
constexpr float kGravity = 14.0f;       // units per second squared
constexpr float kCandidateBehind = 50.0f;
constexpr float kCandidateAhead = 25.0f;
constexpr float kPresentCullRadius = 0.5f;

// Windows on the elf's clock (ms), open on both ends, with the bounds the
// clock has always been compared against.
struct Window {
    float from, to;
};
constexpr bool Spans(Window w, Clip c) { return AtFrame(w.from, c.first) && AtFrame(w.to, c.last); }
constexpr Window kHand1PickUp = {1125.0f, 1250.0f};
constexpr Window kHand2PickUp = {41.666668f, 166.66667f};
constexpr Window kHand1Throw = {1541.6667f, 1750.0f};
constexpr Window kHand2Throw = {458.33334f, 666.6667f};
static_assert(Spans(kHand1PickUp, elf::kHand1PickUp) && Spans(kHand2PickUp, elf::kHand2PickUp));
static_assert(Spans(kHand1Throw, elf::kHand1Throw) && Spans(kHand2Throw, elf::kHand2Throw));
bool Within(float t, Window w) { return t > w.from && t < w.to; }

}  // namespace

// Loads the present shapes (one display list per group) and the wrappings,
// and puts the first present ready in the sleigh. The wrappings 0-9 and at
// least one shape are indexed blindly later, so a file short of either is refused.
bool XMASMAIN::SetupPresents() {
    const std::string path = resourcePath + kPresentFile;
    MS3D model;
    if (!LoadModel(path.c_str(), &model, &presentTextures, context)) return false;
    if (model.numGroups == 0) {
        return NoteFailure(Error(), {.file = kPresentFile, .what = "has no present shape (the model has no groups)"});
    }
    if (static_cast<int>(presentTextures.size()) < kWrappings) {
        return NoteFailure(Error(), {.file = kPresentFile,
                                     .what = "has " + std::to_string(presentTextures.size()) + " images, needs " +
                                             std::to_string(kWrappings)});
    }
    model.Scale(kPresentsModel.scale);

    try {
        presentLists.assign(model.numGroups, 0);
    } catch (const std::bad_alloc&) {
        ERRORCLOSE(Error(), "Error allocating memory!");
        return false;
    }
    presentModelCount = model.numGroups;
    for (int g = 0; g < presentModelCount; ++g) {
        presentLists[static_cast<std::size_t>(g)] = CompileDisplayList([&model, g] { model.DrawGroup(g); });
        if (presentLists[static_cast<std::size_t>(g)] == 0) {
            return NoteFailure(Error(), {.file = kPresentFile, .what = "no display list for shape " + std::to_string(g)});
        }
    }

    PRESENT& first = presents[0];
    first.active = 1;
    first.stage = kPresentWaiting;
    first.modelIndex = std::rand() % presentModelCount;
    first.textureIndex = std::rand() % kWrappings;
    nextPresent = 0;
    return true;
}

// While cruising: the elf's pick-ups and throws, then a new present put ready
// once the last one has been taken. Called only while no roof is targeted. No GL.
void XMASMAIN::ThrowPresents() {
    if (elf == nullptr || static_cast<int>(elf->joints.size()) <= std::max(elf::kHand1, elf::kHand2)) return;

    // Puts present p into the hand its stage names: at the joint's grip point,
    // turned as the joint is (the elf's own orientation is not applied).
    auto placeInHand = [this](PRESENT& p) {
        const bool first = p.stage == kPresentHand1;
        const MATRIX& joint = elf->joints[first ? elf::kHand1 : elf::kHand2].absolute;
        p.position = AddVectors(elf->position, MatrixPointMultiply(joint, first ? elf::kHand1Grip : elf::kHand2Grip));
        p.matrix = joint;
        p.matrix.SetTranslation(VECTOR3D{0.0f, 0.0f, 0.0f});
    };
    auto pickUp = [this, &placeInHand](int stage) {
        handPresent = nextPresent;
        nextPresent = -1;
        if (handPresent == -1) return;
        PRESENT& p = presents[handPresent];
        p.stage = stage;
        placeInHand(p);
    };

    if (handPresent == -1) {
        if (Within(elf->currentTime, kHand1PickUp)) pickUp(kPresentHand1);
        if (Within(elf->currentTime, kHand2PickUp)) pickUp(kPresentHand2);
    } else {
        PRESENT& p = presents[handPresent];
        placeInHand(p);
        const float t = elf->currentTime;
        if ((Within(t, kHand1Throw) || Within(t, kHand2Throw)) && !houses.empty()) {
            p.spin.x = static_cast<float>(std::rand() % 200 - 10);
            p.spin.y = static_cast<float>(std::rand() % 200 - 10);
            p.spin.z = static_cast<float>(std::rand() % 200 - 10);

            // The hand's side of the village, near the sleigh: the first hand
            // throws to the -x row, the second to the +x row.
            const bool leftSide = p.stage == kPresentHand1;
            const float zLo = sleighPos.z - kCandidateBehind;
            const float zHi = sleighPos.z + kCandidateAhead;
            auto isCandidate = [&](const ONEHOUSE& h) {
                return h.position.z > zLo && h.position.z < zHi && (leftSide ? h.position.x < 0.0f : h.position.x > 0.0f);
            };
            int candidates = 0;
            for (const ONEHOUSE& h : houses) candidates += isCandidate(h) ? 1 : 0;
            const int k = std::rand() % (candidates > 0 ? candidates : 1);
            int chosen = -1;
            for (int i = 0, seen = 0; i < static_cast<int>(houses.size()); ++i) {
                if (!isCandidate(houses[static_cast<std::size_t>(i)])) continue;
                if (seen++ == k) {
                    chosen = i;
                    break;
                }
            }
            if (chosen == -1) chosen = std::rand() % static_cast<int>(houses.size());

            const ONEHOUSE& house = houses[static_cast<std::size_t>(chosen)];
            p.houseIndex = chosen;
            p.stage = kPresentThrown;
            p.targetPoint = AddVectors(house.position, house.chimney);
            p.velocity = VECTOR3D{(p.targetPoint.x - p.position.x) / kFlightTime, kThrowLift,
                                  (p.targetPoint.z - p.position.z) / kFlightTime};
            p.flightTimer = kFlightTime;
            handPresent = -1;
        }
    }

    if (nextPresent == -1 && presentModelCount > 0) {
        for (int i = 0; i < kPresentPool; ++i) {
            PRESENT& p = presents[i];
            if (p.active != 0) continue;
            nextPresent = i;
            p.active = 1;
            p.stage = kPresentWaiting;
            p.position = VECTOR3D{0.0f, 0.0f, 0.0f};
            p.modelIndex = std::rand() % presentModelCount;
            p.textureIndex = std::rand() % kWrappings;
            break;
        }
    }
}

// Every update: the presents in flight fall, home in on their chimneys after
// the aimed flight, travel with the world and land below the chimney top. No GL.
void XMASMAIN::MovePresents() {
    const float dt = static_cast<float>(frameTime);
    for (int i = 0; i < kPresentPool; ++i) {
        PRESENT& p = presents[i];
        if (p.active == 0) continue;
        if (p.stage != kPresentThrown) {
            p.visible = 1;
            continue;
        }
        if (showSparkles) {
            p.sparkleTimer -= dt;
            if (p.sparkleTimer < 0.0f) {
                p.sparkleTimer = static_cast<float>(std::rand() % 50) / 1000.0f + 0.025f;
                NewSparkles(std::rand() % 4 + 1, p.position);
            }
        }
        p.flightTimer -= dt;
        if (p.houseIndex >= 0 && p.houseIndex < static_cast<int>(houses.size())) {
            const ONEHOUSE& house = houses[static_cast<std::size_t>(p.houseIndex)];
            p.targetPoint = AddVectors(house.position, house.chimney);
        }
        if (p.flightTimer < 0.0f) {
            p.velocity.x = p.targetPoint.x - p.position.x;
            p.velocity.z = p.targetPoint.z - p.position.z;
        }
        p.velocity.y -= kGravity * dt;
        p.position = AddVectors(p.position, ScaleVector(p.velocity, dt));
        p.position = AddVectors(p.position, ScaleVector(worldVelocity, dt));
        // It lands only on its way down: one that starts below its chimney top
        // (the world shifted during a delivery) first rises over it.
        if (p.velocity.y < 0.0f && p.position.y < p.targetPoint.y) p.active = 0;
        p.visible = (i == 0 || SphereInFrustum(frustum, p.position, kPresentCullRadius)) ? 1 : 0;
        if (p.visible != 0) {
            const VECTOR3D turn = ScaleVector(p.spin, dt);
            p.matrix = MultiplyMatrix(MatrixFromAngle(turn), p.matrix);
        }
    }
}

// Presents in a hand or in flight that were seen by the last move; both
// faces drawn, since the shapes are thin in places and tumble.
void XMASMAIN::DrawPresents() {
    glDisable(GL_CULL_FACE);
    for (const PRESENT& p : presents) {
        if (p.active == 0 || p.stage <= 0 || p.visible == 0) continue;
        glPushMatrix();
        glTranslatef(p.position.x, p.position.y, p.position.z);
        glMultMatrixd(p.matrix.m);
        glBindTexture(GL_TEXTURE_2D, presentTextures[static_cast<std::size_t>(p.textureIndex)].texID);
        glCallList(presentLists[static_cast<std::size_t>(p.modelIndex)]);
        glPopMatrix();
    }
    glEnable(GL_CULL_FACE);
}
