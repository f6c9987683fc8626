#include "math/frustum.h"

#include <cmath>

namespace {
void SetPlane(FrustumPlanes* frustum, int index, float a, float b, float c, float d) {
    const float sum = a * a + b * b + c * c;
    const float t = static_cast<float>(std::sqrt(static_cast<double>(sum)));
    float* p = frustum->plane[index];
    p[0] = a / t;
    p[1] = b / t;
    p[2] = c / t;
    p[3] = d / t;
}

float Distance(const float* plane, VECTOR3D p) {
    return plane[0] * p.x + plane[1] * p.y + plane[2] * p.z + plane[3];
}
}  // namespace

FrustumPlanes ExtractFrustumFrom(const float P[16], const float M[16]) {
    float C[16];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            C[4 * i + j] = M[4 * i + 0] * P[j] + M[4 * i + 1] * P[4 + j] + M[4 * i + 2] * P[8 + j] +
                           M[4 * i + 3] * P[12 + j];
        }
    }
    FrustumPlanes f;
    SetPlane(&f, 0, C[3] - C[0], C[7] - C[4], C[11] - C[8], C[15] - C[12]);
    SetPlane(&f, 1, C[3] + C[0], C[7] + C[4], C[11] + C[8], C[15] + C[12]);
    SetPlane(&f, 2, C[3] + C[1], C[7] + C[5], C[11] + C[9], C[15] + C[13]);
    SetPlane(&f, 3, C[3] - C[1], C[7] - C[5], C[11] - C[9], C[15] - C[13]);
    SetPlane(&f, 4, C[3] - C[2], C[7] - C[6], C[11] - C[10], C[15] - C[14]);
    SetPlane(&f, 5, C[3] + C[2], C[7] + C[6], C[11] + C[10], C[15] + C[14]);
    return f;
}

bool PointInFrustum(const FrustumPlanes& frustum, VECTOR3D p) {
    for (const auto& plane : frustum.plane) {
        if (Distance(plane, p) <= 0.0f) return false;
    }
    return true;
}

bool SphereInFrustum(const FrustumPlanes& frustum, VECTOR3D centre, float radius) {
    for (const auto& plane : frustum.plane) {
        if (Distance(plane, centre) <= -radius) return false;
    }
    return true;
}
