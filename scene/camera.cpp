// The camera: nine kinds of shot, each held for a random time, then a cut to
// the next one drawn at random.
//
//   0 free orbit around the origin        5 ahead of the lead reindeer, looking back
//   1 level orbit around the origin       6 behind the sleigh, watching a thrown present
//   2 in front of Santa, looking back     7 a point on the ground the sleigh flies past
//   3 over the sleigh, down at the team   8 riding on a thrown present
//   4 chase, behind the sleigh
#include <GL/glu.h>

#include <cstdlib>

#include "scene/xmasmain.h"

namespace {
constexpr float kShotSeconds = 20.0f;
// How far the orbit shots may sink below the ground scroll's height.
constexpr float kOrbitFloor = 50.0f;
// Shot 7's eye goes back ahead of the sleigh once the world has carried it this far behind.
constexpr float kGroundPointBehind = -400.0f;

VECTOR3D Plus(VECTOR3D a, float x, float y, float z) { return {a.x + x, a.y + y, a.z + z}; }

// A thrown present the camera can follow: in a hand or in flight.
bool Followable(const PRESENT& present) { return present.active != 0 && present.stage > 0; }
}  // namespace

void XMASMAIN::MoveCamera() {
    if (cameraCut) cameraCut = false;
    cameraTimer = static_cast<float>(cameraTimer - frameTime);

    if (cameraTimer < 0.0f) {
        int n = std::rand() % kCameraShots;
        // A chase shot straight after the present shot would look like the same shot.
        while (cameraMode == 6 && n == 4) n = std::rand() % kCameraShots;
        // A held shot still makes the draws above, so the rest of the run's
        // random sequence keeps its shape.
        if (inputs.heldShot >= 0 && inputs.heldShot < kCameraShots) n = inputs.heldShot;
        cameraMode = n;
        cameraUp = {0.0f, 1.0f, 0.0f};
        cameraTimer = kShotSeconds;
        cameraCut = true;

        switch (cameraMode) {
            case 0: {
                const float x = static_cast<float>(20 + std::rand() % 30);
                const float y = static_cast<float>(std::rand() % 20 - 10);
                cameraEye = {x, y, 0.0f};
                const float ax = static_cast<float>(std::rand() % 360);
                const float ay = static_cast<float>(std::rand() % 360);
                const float az = static_cast<float>(std::rand() % 360);
                Rotate(&cameraEye, ax, ay, az);
                const float sx = static_cast<float>(std::rand() % 40 - 20);
                const float sy = static_cast<float>(std::rand() % 40 - 20);
                const float sz = static_cast<float>(std::rand() % 40 - 20);
                cameraSpin = {sx, sy, sz};
                cameraTarget = {0.0f, 0.0f, 0.0f};
                break;
            }
            case 1: {
                const float x = static_cast<float>(20 + std::rand() % 30);
                const float y = static_cast<float>(std::rand() % 20 - 10);
                cameraEye = {x, y, 0.0f};
                Rotate(&cameraEye, 0.0f, static_cast<float>(std::rand() % 360), 0.0f);
                cameraSpin = {0.0f, static_cast<float>(std::rand() % 40 - 20), 0.0f};
                cameraTarget = {0.0f, 0.0f, 0.0f};
                break;
            }
            case 6:
            case 8: cameraTimer += static_cast<float>(std::rand() % 60); break;
            case 7: {
                const float x = static_cast<float>(std::rand() % 200 - 100);
                cameraEye = {x, worldOffset.y - 35.0f, -15.0f * worldVelocity.z};
                cameraTarget = {0.0f, 0.0f, 0.0f};
                cameraTimer += static_cast<float>(std::rand() % 60);
                break;
            }
            default: break;
        }
    }

    const VECTOR3D s = sleighPos;
    const PRESENT& present = presents[0];
    switch (cameraMode) {
        case 0:
        case 1: {
            const float t = static_cast<float>(frameTime);
            Rotate(&cameraEye, cameraSpin.x * t, cameraSpin.y * t, cameraSpin.z * t);
            const float floor = groundScroll.y - kOrbitFloor;
            if (cameraEye.y < floor) cameraEye.y = floor;
            break;
        }
        case 2:
            cameraEye = Plus(s, 0.0f, 2.0f, 10.0f);
            cameraTarget = Plus(cameraEye, 0.0f, 0.0f, -40.0f);
            break;
        case 3:
            cameraEye = Plus(s, 0.0f, 5.0f, -1.0f);
            cameraTarget = Plus(cameraEye, 0.0f, -10.0f, 40.0f);
            break;
        case 4:
            cameraEye = Plus(s, 0.0f, 4.0f, -10.0f);
            cameraTarget = Plus(cameraEye, 0.0f, 0.0f, 40.0f);
            break;
        case 5: {
            const bool haveLead = leadReindeer >= 0 && static_cast<std::size_t>(leadReindeer) < reindeer.size();
            const VECTOR3D lead = haveLead ? reindeer[static_cast<std::size_t>(leadReindeer)].position : s;
            cameraEye = Plus(lead, 0.0f, 4.0f, 10.0f);
            cameraTarget = Plus(cameraEye, 0.0f, -2.0f, -40.0f);
            break;
        }
        case 6:
            cameraEye = Plus(s, 0.0f, 4.0f, -10.0f);
            cameraTarget = Followable(present) ? present.position : Plus(cameraEye, 0.0f, 0.0f, 40.0f);
            break;
        case 7: {
            const float t = static_cast<float>(frameTime);
            cameraEye = Plus(cameraEye, worldVelocity.x * t, worldVelocity.y * t, worldVelocity.z * t);
            if (cameraEye.z < kGroundPointBehind) {
                const float x = static_cast<float>(std::rand() % 200 - 100);
                cameraEye = {x, worldOffset.y - 35.0f, -15.0f * worldVelocity.z};
            }
            cameraTarget = {0.0f, 0.0f, 0.0f};
            break;
        }
        case 8:
            if (Followable(present)) {
                const VECTOR3D offset = MatrixRotatePoint(present.matrix, {1.0f, -2.0f, 3.0f});
                cameraEye = AddVectors(present.position, offset);
                cameraTarget = present.position;
                cameraUp = MatrixRotatePoint(present.matrix, {0.0f, -1.0f, 0.0f});
            } else {
                cameraEye = Plus(s, 0.0f, 6.0f, -7.0f);
                cameraTarget = Plus(cameraEye, 0.0f, -5.0f, 5.0f);
                cameraUp = {0.0f, 1.0f, 0.0f};
            }
            break;
        default: break;
    }

    // The present shots only make sense in cruising flight.
    if ((cameraMode == 6 || cameraMode == 8) && animState != ANIM_FLYING) cameraTimer = 0.0f;

    gluLookAt(cameraEye.x, cameraEye.y, cameraEye.z, cameraTarget.x, cameraTarget.y, cameraTarget.z, cameraUp.x,
              cameraUp.y, cameraUp.z);
}
