#include "tools/inspect/mesh.h"

#include <algorithm>
#include <cmath>
#include <limits>


namespace {
struct D3 {
    double x, y, z;
};
D3 ToD(VECTOR3D v) { return {v.x, v.y, v.z}; }
D3 Sub(D3 a, D3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
D3 Add(D3 a, D3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
D3 Mul(D3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double Dot(D3 a, D3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Closest point of triangle abc to p (Voronoi regions of the corners, edges
// and face, in that order).
D3 ClosestOnTriangle(D3 p, D3 a, D3 b, D3 c) {
    const D3 ab = Sub(b, a), ac = Sub(c, a), ap = Sub(p, a);
    const double d1 = Dot(ab, ap), d2 = Dot(ac, ap);
    if (d1 <= 0 && d2 <= 0) return a;
    const D3 bp = Sub(p, b);
    const double d3 = Dot(ab, bp), d4 = Dot(ac, bp);
    if (d3 >= 0 && d4 <= d3) return b;
    const double vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0) return Add(a, Mul(ab, d1 / (d1 - d3)));
    const D3 cp = Sub(p, c);
    const double d5 = Dot(ab, cp), d6 = Dot(ac, cp);
    if (d6 >= 0 && d5 <= d6) return c;
    const double vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0) return Add(a, Mul(ac, d2 / (d2 - d6)));
    const double va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) {
        return Add(b, Mul(Sub(c, b), (d4 - d3) / ((d4 - d3) + (d5 - d6))));
    }
    const double denom = va + vb + vc;
    if (denom == 0.0) return a;  // degenerate: every corner coincides
    return Add(a, Add(Mul(ab, vb / denom), Mul(ac, vc / denom)));
}
}  // namespace

void Bounds::Add(VECTOR3D p) {
    if (empty) {
        lo = hi = p;
        empty = false;
        return;
    }
    lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
    hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
}

void Bounds::Add(const Bounds& other) {
    if (other.empty) return;
    Add(other.lo);
    Add(other.hi);
}

VECTOR3D Bounds::Centre() const { return {(lo.x + hi.x) * 0.5f, (lo.y + hi.y) * 0.5f, (lo.z + hi.z) * 0.5f}; }

VECTOR3D Bounds::Size() const {
    if (empty) return {0.0f, 0.0f, 0.0f};
    return {hi.x - lo.x, hi.y - lo.y, hi.z - lo.z};
}

Bounds Mesh::Box() const {
    Bounds b;
    for (const MeshTri& t : tris) {
        for (const VECTOR3D& p : t.p) b.Add(p);
    }
    return b;
}

void Mesh::Translate(VECTOR3D offset) {
    for (MeshTri& t : tris) {
        for (VECTOR3D& p : t.p) p = AddVectors(p, offset);
    }
}

std::optional<float> HitBelow(const Mesh& mesh, float x, float z, float fromY) {
    std::optional<float> best;
    for (const MeshTri& t : mesh.tris) {
        // Barycentric coordinates of (x, z) in the triangle's footprint.
        const double x0 = t.p[0].x, z0 = t.p[0].z;
        const double e1x = t.p[1].x - x0, e1z = t.p[1].z - z0;
        const double e2x = t.p[2].x - x0, e2z = t.p[2].z - z0;
        const double det = e1x * e2z - e2x * e1z;
        if (std::fabs(det) < 1e-12) continue;  // seen edge-on from above
        const double px = x - x0, pz = z - z0;
        const double u = (px * e2z - e2x * pz) / det;
        const double v = (e1x * pz - px * e1z) / det;
        constexpr double kSlack = -1e-6;
        if (u < kSlack || v < kSlack || u + v > 1.0 - kSlack) continue;
        const double y = t.p[0].y + u * (t.p[1].y - t.p[0].y) + v * (t.p[2].y - t.p[0].y);
        if (y > fromY) continue;
        if (!best || y > *best) best = static_cast<float>(y);
    }
    return best;
}

double DistanceToMesh(const Mesh& mesh, VECTOR3D p) {
    double best = std::numeric_limits<double>::max();
    const D3 q = ToD(p);
    for (const MeshTri& t : mesh.tris) {
        const D3 c = ClosestOnTriangle(q, ToD(t.p[0]), ToD(t.p[1]), ToD(t.p[2]));
        const D3 d = Sub(q, c);
        best = std::min(best, Dot(d, d));
    }
    return std::sqrt(best);
}
