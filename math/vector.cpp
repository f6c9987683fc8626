#include "math/vector.h"

#include <cmath>

namespace {

float DegreesToRadians(float degrees) { return static_cast<float>(degrees * kPi / 180.0); }
}  // namespace

VECTOR3D MakePoint(float x, float y, float z) { return {x, y, z}; }

point2d Make2DPoint(float x, float y) { return {x, y}; }

VECTOR3D AddVectors(VECTOR3D a, VECTOR3D b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

VECTOR3D SubtractVectors(VECTOR3D a, VECTOR3D b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

VECTOR3D ScaleVector(VECTOR3D v, double s) {
    return {static_cast<float>(v.x * s), static_cast<float>(v.y * s), static_cast<float>(v.z * s)};
}

double VectorLength(VECTOR3D v) {
    const float sum = v.x * v.x + v.y * v.y + v.z * v.z;
    return std::sqrt(static_cast<double>(sum));
}

VECTOR3D NormalizeVector(VECTOR3D v) {
    const double length = VectorLength(v);
    return {static_cast<float>(v.x / length), static_cast<float>(v.y / length),
            static_cast<float>(v.z / length)};
}

VECTOR3D VectorCrossProduct(VECTOR3D a, VECTOR3D b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

void Rotate(VECTOR3D* p, float ax, float ay, float az) {
    if (ax == 0.0f && ay == 0.0f && az == 0.0f) return;
    const float a = DegreesToRadians(ax);
    const float b = DegreesToRadians(ay);
    const float g = DegreesToRadians(az);
    if (a != 0.0f) {
        const double c = std::cos(a), s = std::sin(a);
        const double y = p->y, z = p->z;
        p->y = static_cast<float>(c * y - s * z);
        p->z = static_cast<float>(s * y + c * z);
    }
    if (b != 0.0f) {
        const double c = std::cos(b), s = std::sin(b);
        const double x = p->x, z = p->z;
        p->x = static_cast<float>(c * x + s * z);
        p->z = static_cast<float>(c * z - s * x);
    }
    if (g != 0.0f) {
        const double c = std::cos(g), s = std::sin(g);
        const double x = p->x, y = p->y;
        p->x = static_cast<float>(c * x - s * y);
        p->y = static_cast<float>(c * y + s * x);
    }
}
