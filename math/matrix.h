// 4x4 matrices and quaternions in double precision.
//
// MATRIX is column-major exactly as OpenGL expects (element = column * 4 + row),
// so it is handed to glMultMatrixd unchanged. The translation lives in elements
// 12, 13, 14. Points are column vectors: MultiplyMatrix(a, b) applies b first.
#pragma once

#include "math/vector.h"

struct MATRIX {
    double m[16];

    MATRIX() { Identity(); }
    void Zero();
    void Identity();
    void SetTranslation(VECTOR3D t);

    double& operator[](int i) { return m[i]; }
    double operator[](int i) const { return m[i]; }
};

struct QUAT {
    double x = 0.0, y = 0.0, z = 0.0, w = 1.0;

    void Identity() { x = y = z = 0.0; w = 1.0; }
};

MATRIX MultiplyMatrix(const MATRIX& a, const MATRIX& b);
VECTOR3D MatrixPointMultiply(const MATRIX& m, VECTOR3D p);        // full affine transform
// The per-vertex functions are inline: skinning calls them for every vertex
// of every animated model twice a frame, and a call each cost more than the sums.
// 3x3 part only.
inline VECTOR3D MatrixRotatePoint(const MATRIX& m, VECTOR3D p) {
    return {static_cast<float>(m[0] * p.x + m[4] * p.y + m[8] * p.z),
            static_cast<float>(m[1] * p.x + m[5] * p.y + m[9] * p.z),
            static_cast<float>(m[2] * p.x + m[6] * p.y + m[10] * p.z)};
}
// The transposed 3x3 part.
inline VECTOR3D MatrixInverseRotatePoint(const MATRIX& m, VECTOR3D p) {
    return {static_cast<float>(m[0] * p.x + m[1] * p.y + m[2] * p.z),
            static_cast<float>(m[4] * p.x + m[5] * p.y + m[6] * p.z),
            static_cast<float>(m[8] * p.x + m[9] * p.y + m[10] * p.z)};
}
// p + translation.
inline VECTOR3D MatrixTranslatePoint(const MATRIX& m, VECTOR3D p) {
    return {static_cast<float>(p.x + m[12]), static_cast<float>(p.y + m[13]), static_cast<float>(p.z + m[14])};
}
inline VECTOR3D MatrixInverseTranslatePoint(const MATRIX& m, VECTOR3D p) {
    return {static_cast<float>(p.x - m[12]), static_cast<float>(p.y - m[13]), static_cast<float>(p.z - m[14])};
}

// Rz(-z) * Ry(+y) * Rx(-x), angles in degrees. The x and z signs are the
// opposite of Rotate's on purpose: the sleigh, reindeer and presents were
// posed with this pattern, so changing it would turn them the wrong way.
MATRIX MatrixFromAngle(VECTOR3D angles);

// Basis whose third column points from b towards a (a zero difference gives
// +z). Camera-facing quads pass (camera eye, camera target) and rotate their
// corner offsets by it.
MATRIX MatrixAngleBetweenVectors(VECTOR3D a, VECTOR3D b);

// q must be a unit quaternion; it is not normalised here.
MATRIX QuatToRotationMatrix(const QUAT& q);
// Rotation about x first, then y, then z, angles in degrees: the same order
// and sense as Rotate.
QUAT RotationToQuat(VECTOR3D angles);
// Shorter-arc interpolation from a (t = 0) to b (t = 1); not renormalised.
QUAT QuatSlerp(const QUAT* a, const QUAT* b, double t);
