// Vector value types and the scalar helpers every other module builds on.
//
// Conventions (pinned by tests/math_test.cpp):
//  - Scene units; +y is up; the sleigh flies towards +z while the world scrolls past.
//  - Angles are degrees everywhere in the engine.
//  - Components are single-precision; where a step works in double precision the
//    result is rounded to float when stored.
#pragma once

#include <numbers>

inline constexpr double kPi = std::numbers::pi;
// The same number for code that works in float throughout.
inline constexpr float kPiF = std::numbers::pi_v<float>;

struct VECTOR3D {
    float x, y, z;
};

struct point2d {
    float x, y;
};

VECTOR3D MakePoint(float x, float y, float z);
point2d Make2DPoint(float x, float y);
VECTOR3D AddVectors(VECTOR3D a, VECTOR3D b);
VECTOR3D SubtractVectors(VECTOR3D a, VECTOR3D b);
VECTOR3D ScaleVector(VECTOR3D v, double s);
double VectorLength(VECTOR3D v);
// No guard against a zero vector: callers must never pass one.
VECTOR3D NormalizeVector(VECTOR3D v);
VECTOR3D VectorCrossProduct(VECTOR3D a, VECTOR3D b);

// Turns p about the origin: first about x, then y, then z, each right-handed
// (counter-clockwise seen from the positive end of its axis). An angle of
// exactly 0 skips its step, so Rotate(p, 0, 0, 0) leaves p bit-for-bit alone.
void Rotate(VECTOR3D* p, float ax, float ay, float az);

struct SetupError;
// The engine's fatal-error hook: set-up code calls it where it is about to
// return failure. It shows nothing; the caller's false result is what stops
// the set-up. The message is kept in `error` (math/failure.h) for the host.
void ERRORCLOSE(SetupError* error, const char* message);
