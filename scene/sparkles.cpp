// Magic dust from the runners, the hooves and the presents, and the lead
// reindeer's glowing nose. Every emitter shares one fixed pool of
// kSparklePool particles: nothing is allocated, and a full pool simply makes
// fewer sparkles.
#include <cmath>
#include <cstdlib>

#include "assets/resource_contract.h"
#include "math/frustum.h"
#include "math/vector.h"
#include "scene/xmasmain.h"

namespace {

constexpr int kSparkleTexture = scene_image::kSparkle;
constexpr int kGlowTexture = scene_image::kNoseGlow;
constexpr float kSparkleSize = 0.1f;
constexpr float kSparkleGravity = 2.0f;  // units per second squared

// Corners of a camera-facing quad and their texture coordinates, in the order
// they are emitted.

}  // namespace

// Fills free slots (alpha <= 0) from the bottom of the pool. The caller has
// already checked showSparkles. Two rand() draws per sparkle, x then z.
void XMASMAIN::NewSparkles(int count, VECTOR3D position) {
    int made = 0;
    for (int i = 0; i < kSparklePool && made < count; ++i) {
        ONEPARTICLE& s = sparkles[i];
        if (s.alpha > 0.0f) continue;
        s.position = position;
        s.alpha = 1.0f;
        const float vx = static_cast<float>(std::rand() % 40 - 20) / 10.0f;
        const float vz = static_cast<float>(std::rand() % 40 - 20) / 10.0f;
        s.velocity = MakePoint(vx, 0.0f, vz);
        s.size = kSparkleSize;
        ++made;
    }
}

// A sparkle lives one second (its alpha), falls under a gentle gravity and is
// carried along with the world. With sparkles switched off they freeze.
void XMASMAIN::MoveSparkles() {
    if (!showSparkles) return;
    const float dt = static_cast<float>(frameTime);
    for (ONEPARTICLE& s : sparkles) {
        if (s.alpha <= 0.0f) continue;
        s.alpha -= dt;
        s.velocity.y -= kSparkleGravity * dt;
        s.position = AddVectors(s.position, ScaleVector(s.velocity, frameTime));
        s.position = AddVectors(s.position, ScaleVector(worldVelocity, frameTime));
    }
}

// One texture bind, one basis and one quad batch for the whole pool, handed
// to the driver in one buffer.
void XMASMAIN::DrawSparkles() {
    if (!showSparkles) return;
    const MATRIX basis = MatrixAngleBetweenVectors(cameraTarget, cameraEye);
    VECTOR3D corners[4];
    for (int c = 0; c < 4; ++c) corners[c] = MatrixRotatePoint(basis, kQuad[c].at);

    STREAM_VERTEX* to = sparkleStream.Map(4 * kSparklePool);
    if (to == nullptr) return;
    std::size_t n = 0;
    for (const ONEPARTICLE& s : sparkles) {
        if (!SphereInFrustum(frustum, s.position, s.size) || s.alpha <= 0.0f) continue;
        for (int c = 0; c < 4; ++c) {
            to[n++] = {s.position.x + corners[c].x * s.size, s.position.y + corners[c].y * s.size,
                       s.position.z + corners[c].z * s.size, kQuad[c].s, kQuad[c].t, 1.0f, 0.0f,
                       1.0f, s.alpha};
        }
    }
    DrawParticleQuads(&sparkleStream, TextureName(textures, kSparkleTexture), n);
}

// A red glow that swells and shrinks twice every two seconds. Only the nose
// point is tested against the view: a nose just off screen shows no glow.
void XMASMAIN::DoNoseGlow(VECTOR3D nose) {
    if (!PointInFrustum(frustum, nose)) return;
    const float s = static_cast<float>(1.5 * std::sin(static_cast<float>(kPi * sceneTime)));
    const MATRIX basis = MatrixAngleBetweenVectors(nose, cameraEye);

    glEnable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glDepthMask(GL_FALSE);
    glBindTexture(GL_TEXTURE_2D, TextureName(textures, kGlowTexture));
    glBegin(GL_QUADS);
    for (int c = 0; c < 4; ++c) {
        const VECTOR3D offset = MatrixRotatePoint(basis, ScaleVector(kQuad[c].at, s));
        glColor4f(1.0f, 0.0f, 0.0f, 0.5f * std::fabs(s));
        glTexCoord2f(kQuad[c].s, kQuad[c].t);
        glVertex3f(nose.x + offset.x, nose.y + offset.y, nose.z + offset.z);
    }
    glEnd();
    glDepthMask(GL_TRUE);
    glEnable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}
