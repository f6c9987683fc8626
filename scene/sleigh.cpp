// The sleigh: it trails the lead reindeer, tilts with it, seats Santa and the
// elf, throws sparkles from its runners and, during a delivery, steers the
// whole world so that the target roof comes to lie under it and then back to
// the flight line.
//
// The sleigh frame: a point p of the sleigh (its model, the seats, the
// runner tips) is at sleighMatrix * (sleighPos + p) in the world. The rotation
// acts about the world origin after the translation, which is why DrawSleigh
// multiplies by the matrix before it translates.
#include <algorithm>
#include <cmath>
#include <new>

#include "assets/ms3d.h"
#include "assets/resource_contract.h"
#include "scene/xmasmain.h"

namespace {

constexpr float kCruiseSpeed = -25.0f;  // z of the world's velocity while cruising
constexpr float kSlowestApproach = -3.0f;
constexpr float kTakeoffThrust = 2.0f;  // units per second squared
constexpr float kBackOnLine = 0.025f;   // worldOffset x and y that count as zero
constexpr float kRunnerInterval = 0.05f;
constexpr int kRunnerBurst = 3;

using namespace sleigh;

float Clamp(float v, float lo, float hi) { return std::min(std::max(v, lo), hi); }

}  // namespace

// Needs the lead reindeer (SetupReindeers runs first) and a current context.
bool XMASMAIN::SetupSleigh() {
    MS3D model;
    if (!LoadModel((resourcePath + kSleighModel.file).c_str(), &model, &sleighTexture, context)) return false;
    model.Scale(kSleighModel.scale);

    // The sleigh's thin boards are seen from both sides; the list itself turns
    // face culling off and on again.
    sleighList = glGenLists(1);
    if (sleighList == 0) {
        return NoteFailure(Error(), {.file = "sleigh.brm", .what = "no display list could be made"});
    }
    glNewList(sleighList, GL_COMPILE);
    glDisable(GL_CULL_FACE);
    model.Render(sleighTexture);
    glEnable(GL_CULL_FACE);
    glEndList();
    model.Release();

    const VECTOR3D leadStart =
        reindeer.empty() ? MakePoint(0.0f, 0.0f, 0.0f) : reindeer[static_cast<std::size_t>(leadReindeer)].position;
    sleighOffset = SubtractVectors(sleighPos, leadStart);

    try {
        reinPoints.assign(static_cast<std::size_t>(std::max(reindeerCount, 0)), MakePoint(0.0f, 0.0f, 0.0f));
    } catch (const std::bad_alloc&) {
        ERRORCLOSE(Error(), "Error allocating memory!");
        return false;
    }
    return true;
}

// One update, after MoveReindeers. Issues no GL calls.
void XMASMAIN::MoveSleigh() {
    const float dt = static_cast<float>(frameTime);

    if (!reindeer.empty()) {
        const ONEREINDEER& lead = reindeer[static_cast<std::size_t>(leadReindeer)];
        const VECTOR3D target = AddVectors(lead.position, sleighOffset);
        sleighPos.x += (target.x - sleighPos.x) * dt;
        sleighPos.y += (target.y - sleighPos.y) * dt;
        sleighPos.z += (target.z - sleighPos.z) * dt;
        sleighAngles.x += (lead.angles.x - sleighAngles.x) * dt * 0.5f;
        sleighAngles.y += (lead.angles.y - sleighAngles.y) * dt * 0.5f;
        sleighAngles.z += (lead.angles.z - sleighAngles.z) * dt * 0.5f;
    }
    sleighMatrix = MatrixFromAngle(sleighAngles);

    // The riders sit in the sleigh frame, so they stay seated however it tilts.
    if (santa != nullptr) {
        santa->position = MatrixRotatePoint(sleighMatrix, AddVectors(sleighPos, kSantaSeat));
        santa->orientation = sleighMatrix;
    }
    if (elf != nullptr) {
        elf->position = MatrixRotatePoint(sleighMatrix, AddVectors(sleighPos, kElfSeat));
        elf->orientation = sleighMatrix;
    }

    // While the world stands still the timer keeps running down, so the first
    // update with forward motion throws sparkles at once.
    if (showSparkles) {
        runnerSparkleTimer -= static_cast<float>(frameTime);
        if (runnerSparkleTimer <= 0.0f && worldVelocity.z < 0.0f) {
            runnerSparkleTimer = kRunnerInterval;
            NewSparkles(kRunnerBurst, MatrixPointMultiply(sleighMatrix, AddVectors(sleighPos, kRunnerPlusX)));
            NewSparkles(kRunnerBurst, MatrixPointMultiply(sleighMatrix, AddVectors(sleighPos, kRunnerMinusX)));
        }
    }

    // Approach: move the world so that the roof comes to the sleigh, never
    // faster sideways or vertically than the limits the house update set from
    // the distance, and always forward at 3 to 25 units per second.
    if (targetHouse >= 0 && animState == ANIM_APPROACH && static_cast<std::size_t>(targetHouse) < houses.size()) {
        const ONEHOUSE& house = houses[static_cast<std::size_t>(targetHouse)];
        const VECTOR3D roof = AddVectors(AddVectors(house.position, house.chimney), kRoofFromChimney);
        worldVelocity = ScaleVector(roof, -1.0);
        worldVelocity.z = std::max(worldVelocity.z, kCruiseSpeed);
        worldVelocity.x = Clamp(worldVelocity.x, -speedLimit.x, speedLimit.x);
        worldVelocity.y = Clamp(worldVelocity.y, -speedLimit.y, speedLimit.y);
        worldVelocity.z = std::min(worldVelocity.z, kSlowestApproach);
        if (roof.z + worldVelocity.z * frameTime < 0.0) {
            // The roof would pass the sleigh in this update: land on it exactly.
            worldVelocity = ScaleVector(roof, -1.0);
            NewState(ANIM_DELIVER);
        }
        worldOffset = AddVectors(worldOffset, ScaleVector(worldVelocity, frameTime));
    }

    // Take-off: speed up to cruising and steer the world back to the flight
    // line, gently while climbing out, firmly once back at speed.
    if (animState == ANIM_TAKEOFF) {
        if (worldVelocity.z > kCruiseSpeed) worldVelocity.z -= kTakeoffThrust * dt;
        const float v = worldVelocity.z;
        if (v > -22.5f && v < -10.0f) {
            if (worldVelocity.y > -speedLimit.y) worldVelocity.y -= dt;
            if (worldVelocity.x > -speedLimit.x && worldOffset.x > 0.0f) worldVelocity.x -= dt;
            if (worldVelocity.x < speedLimit.x && worldOffset.x < 0.0f) worldVelocity.x += dt;
        }
        if (v < -22.5f) {
            worldVelocity.x = Clamp(-worldOffset.x, -speedLimit.x, speedLimit.x);
            worldVelocity.y = Clamp(-worldOffset.y, -speedLimit.y, speedLimit.y);
        }
        worldOffset = AddVectors(worldOffset, ScaleVector(worldVelocity, frameTime));
        if (std::fabs(worldOffset.x) < kBackOnLine && std::fabs(worldOffset.y) < kBackOnLine) {
            ResetGround();
            worldOffset = MakePoint(0.0f, 0.0f, 0.0f);
            NewState(ANIM_FLYING);
            cameraTimer = 0.0f;  // a new shot for the new flight
        }
    }
}

void XMASMAIN::DrawSleigh() {
    glPushMatrix();
    glMultMatrixd(sleighMatrix.m);
    glTranslatef(sleighPos.x, sleighPos.y, sleighPos.z);
    glCallList(sleighList);
    glPopMatrix();
}
