// Snowfall: camera-facing flakes drifting inside a 100-unit box that follows
// the camera. A flake that leaves the box fades out, is moved to the opposite
// face (or reborn on the top face) and fades in again, so the snow never thins.

#include <cstdlib>
#include <new>

#include "assets/resource_contract.h"
#include "math/frustum.h"
#include "scene/xmasmain.h"

namespace {

constexpr float kSnowHalfBox = 50.0f;
constexpr float kSnowBox = 100.0f;
constexpr float kFlakeSize = 0.3f;  // half the quad's side, and the culling radius
constexpr float kFadeIn = 0.5f;     // per second
constexpr float kFadeOut = 1.0f;    // per second
constexpr int kFlakeImage = scene_image::kGlow;

// x and z in -2.0..1.9, y in -5.9..-1.0, drawn in that order; no component is
// ever exactly 0, so no flake hangs still on an axis.
VECTOR3D RandomFlakeVelocity() {
    for (;;) {
        VECTOR3D v;
        v.x = static_cast<float>(std::rand() % 40 - 20) / 10.0f;
        v.y = -1.0f - static_cast<float>(std::rand() % 50) / 10.0f;
        v.z = static_cast<float>(std::rand() % 40 - 20) / 10.0f;
        if (v.x != 0.0f && v.y != 0.0f && v.z != 0.0f) return v;
    }
}

float RandomAcrossBox() { return static_cast<float>(std::rand() % 1000 - 500) / 10.0f; }

}  // namespace

// Sizes the flake array once and scatters the flakes through the first box
// (absolute positions, not relative to snowCentre). False only when memory
// runs out or the flake image is missing from "tex.brm".
bool XMASMAIN::SetupSnow() {
    const int count = snowCount > 0 ? snowCount : 0;
    if (count > 0 && static_cast<int>(textures.size()) <= kFlakeImage) {
        return NoteFailure(Error(), {.file = "tex.brm",
                                     .what = "has " + std::to_string(textures.size()) + " images, needs " +
                                             std::to_string(kFlakeImage + 1) + " for the snow"});
    }
    try {
        snowFlakes.assign(static_cast<std::size_t>(count), ONEPARTICLE{});
    } catch (const std::bad_alloc&) {
        ERRORCLOSE(Error(), "Error allocating memory!");
        return false;
    }
    for (ONEPARTICLE& flake : snowFlakes) {
        flake.alpha = 1.0f;
        flake.rate = 1.0f;
        flake.position.x = RandomAcrossBox();
        flake.position.y = static_cast<float>(std::rand() % 80 - 30);
        flake.position.z = RandomAcrossBox();
        flake.velocity = RandomFlakeVelocity();
    }
    return true;
}

// Once per drawn frame, after MoveCamera: re-centres the box on the current
// shot, moves, fades and wraps the flakes. No GL.
void XMASMAIN::MoveSnow() {
    const float dt = static_cast<float>(frameTime);
    const VECTOR3D oldCentre = snowCentre;
    if (cameraMode == 7 || cameraMode == 8) {
        snowCentre = cameraEye;
    } else if (cameraMode == 6) {
        snowCentre = SubtractVectors(cameraEye, worldVelocity);
    } else {
        snowCentre = SubtractVectors(cameraTarget, worldVelocity);
    }
    // In the ground shots the cloud rides with the camera; on a cut it jumps
    // with it, so the new shot does not open on an empty box.
    const bool carried = cameraMode == 7 || cameraMode == 8 || cameraCut;
    const bool drifts = cameraMode >= 0 && cameraMode <= 6;
    const VECTOR3D lo = {snowCentre.x - kSnowHalfBox, snowCentre.y - kSnowHalfBox, snowCentre.z - kSnowHalfBox};
    const VECTOR3D hi = {snowCentre.x + kSnowHalfBox, snowCentre.y + kSnowHalfBox, snowCentre.z + kSnowHalfBox};

    for (ONEPARTICLE& flake : snowFlakes) {
        VECTOR3D& p = flake.position;
        if (carried) p = AddVectors(SubtractVectors(p, oldCentre), snowCentre);

        const int r = std::rand() % 200 - 100;
        flake.rate -= (static_cast<float>(r) / 50.0f) * dt;  // a random walk, deliberately unclamped
        p = AddVectors(p, ScaleVector(flake.velocity, dt * flake.rate));
        if (drifts) p = AddVectors(p, ScaleVector(worldVelocity, dt));

        const bool inside = p.x > lo.x && p.x < hi.x && p.y > lo.y && p.y < hi.y && p.z > lo.z && p.z < hi.z;
        if (inside) {
            flake.alpha = flake.alpha >= 1.0f ? 1.0f : flake.alpha + kFadeIn * dt;
        } else {
            flake.alpha -= kFadeOut * dt;
        }
        if (flake.alpha >= 0.0f) continue;

        // Faded out: move it across the box. A flake exactly on a face has
        // faded but is wrapped on no axis, and fades back in from there.
        const auto wrap = [&flake](float& c, float low, float high, float drift) {
            if (c < low) {
                c += kSnowBox - drift;
            } else if (c > high) {
                c -= kSnowBox - drift;
            } else {
                return;
            }
            flake.alpha = 0.0f;
            flake.rate = 1.0f;
        };
        wrap(p.x, lo.x, hi.x, worldVelocity.x);
        wrap(p.z, lo.z, hi.z, worldVelocity.z);
        if (p.y > hi.y) {
            flake.alpha = 0.0f;
            flake.rate = 1.0f;
            p.y -= kSnowBox - worldVelocity.y;
        }
        if (p.y < lo.y) {
            flake.alpha = 0.0f;
            flake.rate = 1.0f;
            p.x = RandomAcrossBox();
            p.y = kSnowHalfBox;
            p.z = RandomAcrossBox();
            p = AddVectors(p, snowCentre);
            flake.velocity = RandomFlakeVelocity();
        }
    }
}

// One quad batch, one bind: the corners are turned to face the camera once
// and added to every flake's position; the quads go to the driver in one
// buffer. Changes no simulation state.
void XMASMAIN::DrawSnow() {
    if (snowFlakes.empty()) return;
    const MATRIX basis = MatrixAngleBetweenVectors(cameraTarget, cameraEye);
    VECTOR3D corners[4];
    for (int c = 0; c < 4; ++c) corners[c] = MatrixRotatePoint(basis, ScaleVector(kQuad[c].at, kFlakeSize));

    STREAM_VERTEX* to = snowStream.Map(4 * snowFlakes.size());
    if (to == nullptr) return;
    std::size_t n = 0;
    for (const ONEPARTICLE& flake : snowFlakes) {
        if (flake.alpha <= 0.0f || !SphereInFrustum(frustum, flake.position, kFlakeSize)) continue;
        for (int c = 0; c < 4; ++c) {
            to[n++] = {flake.position.x + corners[c].x, flake.position.y + corners[c].y,
                       flake.position.z + corners[c].z, kQuad[c].s, kQuad[c].t, 1.0f, 1.0f, 1.0f, flake.alpha};
        }
    }
    DrawParticleQuads(&snowStream, textures[kFlakeImage].texID, n);
}
