// The small records the scene's elements are made of.
#pragma once

#include <GL/gl.h>

#include "assets/animation.h"
#include "math/matrix.h"
#include "math/vector.h"

// One particle: a star, a snowflake, a smoke puff or a sparkle. Each kind
// gives `rate` and `size` its own meaning; `alpha` <= 0 marks a free slot.
struct ONEPARTICLE {
    VECTOR3D position = {0.0f, 0.0f, 0.0f};
    VECTOR3D velocity = {0.0f, 0.0f, 0.0f};
    float rate = 1.0f;
    float alpha = 0.0f;
    float size = 0.0f;
};

// The billboards' quad (stars, moon, snow, smoke, sparkles): corners of a
// unit square facing +z, in drawing order, each with its picture's coordinate.
struct QUADCORNER {
    VECTOR3D at;
    float s, t;
};
inline constexpr QUADCORNER kQuad[4] = {{{-1.0f, -1.0f, 0.0f}, 0.0f, 0.0f},
                                        {{-1.0f, 1.0f, 0.0f}, 0.0f, 1.0f},
                                        {{1.0f, 1.0f, 0.0f}, 1.0f, 1.0f},
                                        {{1.0f, -1.0f, 0.0f}, 1.0f, 0.0f}};

inline constexpr int kSmokePerHouse = 100;

struct ONEHOUSE {
    VECTOR3D position = {0.0f, 0.0f, 0.0f};  // ground point, world units
    float angle = 0.0f;                      // 0, 90, 180 or 270 degrees about y
    int model = 0;                           // 0 or 1
    int texture = 0;                         // 0 to 4
    bool smoking = false;
    ONEPARTICLE particles[kSmokePerHouse];   // positions relative to `position`
    float smokeTimer = 0.0f;
    VECTOR3D chimney = {0.0f, 0.0f, 0.0f};   // chimney top from `position`, turned by `angle`

    void MoveSmoke(double frameTime, VECTOR3D wind);
};

struct TREESLOT {
    VECTOR3D position = {0.0f, 0.0f, 0.0f};
    float angle = 0.0f;
    GLuint list = 0;
};

// A reindeer is an animated model with a place in the team's formation.
class ONEREINDEER : public ONEMODEL {
public:
    VECTOR3D slotOffset = {0.0f, 0.0f, 0.0f};  // from the lead reindeer
    int followRate = 0;                         // per second
    bool visible = true;                        // last frustum test
    float sparkleTimer = 0.0f;
    ONEMODEL far;                               // the same coat in low detail
};

// Present stages.
inline constexpr int kPresentUnused = -1;
inline constexpr int kPresentWaiting = 0;   // in the sleigh
inline constexpr int kPresentHand1 = 1;     // the elf's first hand
inline constexpr int kPresentHand2 = 2;     // the elf's second hand
inline constexpr int kPresentThrown = 3;

struct PRESENT {
    int active = 0;
    VECTOR3D position = {0.0f, 0.0f, 0.0f};
    VECTOR3D velocity = {0.0f, 0.0f, 0.0f};  // relative to the moving world
    VECTOR3D targetPoint = {0.0f, 0.0f, 0.0f};
    int houseIndex = 0;
    MATRIX matrix;                            // rotation only
    VECTOR3D spin = {0.0f, 0.0f, 0.0f};       // degrees per second about x, y, z
    int stage = kPresentUnused;
    int modelIndex = 0;
    int textureIndex = 0;
    float flightTimer = 0.0f;
    int visible = 0;
    float sparkleTimer = 0.0f;
};
