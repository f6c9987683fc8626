#include "math/matrix.h"

#include <cmath>

namespace {
double Radians(float degrees) { return degrees * kPi / 180.0; }
}  // namespace

void MATRIX::Zero() {
    for (double& e : m) e = 0.0;
}

void MATRIX::Identity() {
    Zero();
    m[0] = m[5] = m[10] = m[15] = 1.0;
}

void MATRIX::SetTranslation(VECTOR3D t) {
    m[12] = t.x;
    m[13] = t.y;
    m[14] = t.z;
}

MATRIX MultiplyMatrix(const MATRIX& a, const MATRIX& b) {
    MATRIX r;
    for (int c = 0; c < 4; ++c) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += a[4 * k + row] * b[4 * c + k];
            r[4 * c + row] = sum;
        }
    }
    return r;
}

VECTOR3D MatrixPointMultiply(const MATRIX& m, VECTOR3D p) {
    return {static_cast<float>(m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12]),
            static_cast<float>(m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13]),
            static_cast<float>(m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14])};
}

MATRIX MatrixFromAngle(VECTOR3D angles) {
    const double ax = Radians(angles.x), ay = Radians(angles.y), az = Radians(angles.z);
    const double cx = std::cos(ax), sx = std::sin(ax);
    const double cy = std::cos(ay), sy = std::sin(ay);
    const double cz = std::cos(az), sz = std::sin(az);
    MATRIX r;
    r[0] = cy * cz;
    r[1] = -cy * sz;
    r[2] = -sy;
    r[4] = cx * sz - sx * sy * cz;
    r[5] = sx * sy * sz + cx * cz;
    r[6] = -sx * cy;
    r[8] = cx * sy * cz + sx * sz;
    r[9] = sx * cz - cx * sy * sz;
    r[10] = cx * cy;
    return r;
}

MATRIX MatrixAngleBetweenVectors(VECTOR3D a, VECTOR3D b) {
    VECTOR3D f = SubtractVectors(a, b);
    if (f.x == 0.0f && f.y == 0.0f && f.z == 0.0f) f.z = 1.0f;
    f = NormalizeVector(f);
    // Straight up or down: the usual +y reference would be parallel to f.
    const VECTOR3D h = (f.x == 0.0f && f.z == 0.0f) ? MakePoint(-f.y, 0.0f, 0.0f)
                                                    : MakePoint(0.0f, 1.0f, 0.0f);
    const VECTOR3D s = NormalizeVector(VectorCrossProduct(h, f));
    const VECTOR3D u = ScaleVector(NormalizeVector(VectorCrossProduct(s, f)), -1.0);
    MATRIX r;
    r[0] = s.x; r[1] = s.y; r[2] = s.z;
    r[4] = u.x; r[5] = u.y; r[6] = u.z;
    r[8] = f.x; r[9] = f.y; r[10] = f.z;
    return r;
}

MATRIX QuatToRotationMatrix(const QUAT& q) {
    MATRIX r;
    r[0] = 1.0 - 2.0 * (q.y * q.y + q.z * q.z);
    r[1] = 2.0 * (q.x * q.y + q.z * q.w);
    r[2] = 2.0 * (q.x * q.z - q.y * q.w);
    r[4] = 2.0 * (q.x * q.y - q.z * q.w);
    r[5] = 1.0 - 2.0 * (q.x * q.x + q.z * q.z);
    r[6] = 2.0 * (q.y * q.z + q.x * q.w);
    r[8] = 2.0 * (q.x * q.z + q.y * q.w);
    r[9] = 2.0 * (q.y * q.z - q.x * q.w);
    r[10] = 1.0 - 2.0 * (q.x * q.x + q.y * q.y);
    return r;
}

QUAT RotationToQuat(VECTOR3D angles) {
    const double hx = angles.x * kPi / 180.0 * 0.5;
    const double hy = angles.y * kPi / 180.0 * 0.5;
    const double hz = angles.z * kPi / 180.0 * 0.5;
    const double cx = std::cos(hx), sx = std::sin(hx);
    const double cy = std::cos(hy), sy = std::sin(hy);
    const double cz = std::cos(hz), sz = std::sin(hz);
    QUAT q;
    q.x = sx * cy * cz - cx * sy * sz;
    q.y = cx * sy * cz + sx * cy * sz;
    q.z = cx * cy * sz - sx * sy * cz;
    q.w = cx * cy * cz + sx * sy * sz;
    return q;
}

QUAT QuatSlerp(const QUAT* a, const QUAT* b, double t) {
    QUAT to = *b;
    double cosom = a->x * to.x + a->y * to.y + a->z * to.z + a->w * to.w;
    if (cosom < 0.0) {
        cosom = -cosom;
        to.x = -to.x; to.y = -to.y; to.z = -to.z; to.w = -to.w;
    }
    double k0, k1;
    if (1.0 - cosom > 0.00001) {
        const double omega = std::acos(cosom);
        const double sinom = std::sin(omega);
        k0 = std::sin((1.0 - t) * omega) / sinom;
        k1 = std::sin(t * omega) / sinom;
    } else {
        k0 = 1.0 - t;
        k1 = t;
    }
    QUAT r;
    r.x = k0 * a->x + k1 * to.x;
    r.y = k0 * a->y + k1 * to.y;
    r.z = k0 * a->z + k1 * to.z;
    r.w = k0 * a->w + k1 * to.w;
    return r;
}
