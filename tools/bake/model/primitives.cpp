#include "tools/bake/model/primitives.h"

#include <algorithm>
#include <cmath>

#include "math/vector.h"
#include "tools/bake/paint.h"

namespace {

float Radians(float degrees) { return degrees * kPiF / 180.0f; }

struct FaceAxes {
    V3 n, r, w;  // outward normal, picture right, picture up
};
// Box faces in BoxFace order; see BoxUv for the picture orientation.
const FaceAxes kFaces[6] = {
    {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}},  {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}}, {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},
    {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},  {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},  {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},
};

float HalfAlong(V3 half, V3 axis) { return std::fabs(Dot(half, axis)); }

// Picture coordinates of p on face f of a box of half size `half`.
V2 FaceUv(const FaceAxes& f, V3 half, V3 p, const UvRect& uv) {
    const float a = Dot(p, f.r) / (2.0f * HalfAlong(half, f.r)) + 0.5f;
    const float b = 0.5f - Dot(p, f.w) / (2.0f * HalfAlong(half, f.w));
    return uv.At(a, b);
}

float Cross2(V2 o, V2 a, V2 b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

bool InTriangle(V2 p, V2 a, V2 b, V2 c) {
    return Cross2(a, b, p) >= 0.0f && Cross2(b, c, p) >= 0.0f && Cross2(c, a, p) >= 0.0f;
}
}  // namespace

void AddBox(Mesh& mesh, const Xform& x, V3 size, const BoxUv& uv) {
    const V3 half = size * 0.5f;
    for (int f = 0; f < 6; ++f) {
        const FaceAxes& a = kFaces[f];
        const V3 c = a.n * HalfAlong(half, a.n);
        const V3 r = a.r * HalfAlong(half, a.r);
        const V3 w = a.w * HalfAlong(half, a.w);
        const UvRect& rect = uv.faces[static_cast<std::size_t>(f)];
        auto corner = [&](float s, float t) {
            const V3 p = c + r * s + w * t;
            return Corner{p, a.n, FaceUv(a, half, p, rect)};
        };
        mesh.AddQuad(x, corner(-1, -1), corner(1, -1), corner(1, 1), corner(-1, 1));
    }
}

void AddBevelBox(Mesh& mesh, const Xform& x, V3 size, float bevel, const UvRect& uv) {
    const V3 half = size * 0.5f;
    const float h[3] = {half.x, half.y, half.z};
    if (!(bevel > 0.0f) || bevel * 2.0f >= std::min({size.x, size.y, size.z})) {
        throw BakeError("bevel must be positive and less than half the smallest side");
    }
    // A point with axis `full` at its full extent and the others pulled in by the bevel.
    auto point = [&](int full, const int sign[3]) {
        float c[3];
        for (int k = 0; k < 3; ++k) c[k] = static_cast<float>(sign[k]) * (k == full ? h[k] : h[k] - bevel);
        return V3{c[0], c[1], c[2]};
    };
    auto uvOf = [&](V3 p, V3 n) {
        // Project along the normal's main axis, with that axis's box face orientation.
        const float ax[3] = {std::fabs(n.x), std::fabs(n.y), std::fabs(n.z)};
        const int axis = ax[0] >= ax[1] && ax[0] >= ax[2] ? 0 : (ax[1] >= ax[2] ? 1 : 2);
        const float s = axis == 0 ? n.x : (axis == 1 ? n.y : n.z);
        const int face = axis * 2 + (s >= 0.0f ? 0 : 1);
        static const int kOrder[6] = {kRight, kLeft, kTop, kBottom, kFront, kBack};
        return FaceUv(kFaces[kOrder[face]], half, p, uv);
    };
    auto poly = [&](const std::vector<V3>& pts, V3 n) {
        std::vector<Corner> c;
        for (V3 p : pts) c.push_back({p, n, uvOf(p, n)});
        for (std::size_t i = 1; i + 1 < c.size(); ++i) mesh.AddTriangle(x, c[0], c[i], c[i + 1]);
    };
    // Main faces.
    for (int a = 0; a < 3; ++a) {
        for (int sa = -1; sa <= 1; sa += 2) {
            const int b = (a + 1) % 3, c = (a + 2) % 3;
            std::vector<V3> pts;
            const int cyc[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
            for (const auto& k : cyc) {
                int sign[3];
                sign[a] = sa;
                sign[b] = k[0];
                sign[c] = k[1];
                pts.push_back(point(a, sign));
            }
            float n[3] = {0, 0, 0};
            n[a] = static_cast<float>(sa);
            poly(pts, {n[0], n[1], n[2]});
        }
    }
    // Edge chamfers between faces a and b, running along c.
    for (int a = 0; a < 3; ++a) {
        const int b = (a + 1) % 3, c = (a + 2) % 3;
        for (int sa = -1; sa <= 1; sa += 2) {
            for (int sb = -1; sb <= 1; sb += 2) {
                std::vector<V3> pts;
                const int order[4][2] = {{a, -1}, {a, 1}, {b, 1}, {b, -1}};
                for (const auto& k : order) {
                    int sign[3];
                    sign[a] = sa;
                    sign[b] = sb;
                    sign[c] = k[1];
                    pts.push_back(point(k[0], sign));
                }
                float n[3] = {0, 0, 0};
                n[a] = static_cast<float>(sa);
                n[b] = static_cast<float>(sb);
                poly(pts, Normalised({n[0], n[1], n[2]}));
            }
        }
    }
    // Corner triangles.
    for (int sx = -1; sx <= 1; sx += 2) {
        for (int sy = -1; sy <= 1; sy += 2) {
            for (int sz = -1; sz <= 1; sz += 2) {
                const int sign[3] = {sx, sy, sz};
                poly({point(0, sign), point(1, sign), point(2, sign)},
                     Normalised({static_cast<float>(sx), static_cast<float>(sy), static_cast<float>(sz)}));
            }
        }
    }
}

void AddLathe(Mesh& mesh, const Xform& x, const std::vector<V2>& profile, const UvRect& uv, const LatheOptions& o) {
    const std::size_t n = profile.size();
    if (n < 2 || o.segments < 3) throw BakeError("a lathe needs two profile points and three segments");
    std::vector<V2> segNormal(n - 1);
    std::vector<float> along(n, 0.0f);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const float dr = profile[i + 1].x - profile[i].x;
        const float dy = profile[i + 1].y - profile[i].y;
        const float l = std::hypot(dr, dy);
        segNormal[i] = l > 0.0f ? V2{dy / l, -dr / l} : V2{0, 0};
        along[i + 1] = along[i] + l;
    }
    const float total = along[n - 1] > 0.0f ? along[n - 1] : 1.0f;
    auto crease = [&](std::size_t i) {
        return std::find(o.creases.begin(), o.creases.end(), static_cast<int>(i)) != o.creases.end();
    };
    // The profile normal at point i for the segment `seg` that uses it.
    auto normalAt = [&](std::size_t i, std::size_t seg) {
        if (crease(i)) return segNormal[seg];
        const std::size_t lo = i == 0 ? 0 : i - 1;
        const std::size_t hi = i + 1 < n ? i : n - 2;
        const V2 a = segNormal[lo], b = segNormal[hi];
        const float l = std::hypot(a.x + b.x, a.y + b.y);
        return l > 0.0f ? V2{(a.x + b.x) / l, (a.y + b.y) / l} : segNormal[seg];
    };
    auto corner = [&](std::size_t i, std::size_t seg, float theta, float u) {
        const V2 p = profile[i];
        const V2 nn = normalAt(i, seg);
        const float s = std::sin(theta), c = std::cos(theta);
        const float v = o.vStart + (o.vEnd - o.vStart) * along[i] / total;
        return Corner{{p.x * s, p.y, p.x * c}, Normalised({nn.x * s, nn.y, nn.x * c}), uv.At(u, v)};
    };
    if (o.uRepeats < 1 || o.segments % o.uRepeats != 0) throw BakeError("picture repeats must divide the segments");
    const int perRepeat = o.segments / o.uRepeats;
    for (int j = 0; j < o.segments; ++j) {
        const float u0 = static_cast<float>(j % perRepeat) / static_cast<float>(perRepeat);
        const float u1 = static_cast<float>(j % perRepeat + 1) / static_cast<float>(perRepeat);
        const float t0 = Radians(o.phaseDegrees) + 2.0f * kPiF * static_cast<float>(j) / static_cast<float>(o.segments);
        // The last column comes back to exactly the first angle, so the seam welds.
        const float t1 =
            Radians(o.phaseDegrees) + 2.0f * kPiF * static_cast<float>((j + 1) % o.segments) / static_cast<float>(o.segments);
        const float tm = t0 + kPiF / static_cast<float>(o.segments);
        for (std::size_t i = 0; i + 1 < n; ++i) {
            const bool pole0 = profile[i].x <= 0.0f;
            const bool pole1 = profile[i + 1].x <= 0.0f;
            if (pole0 && pole1) continue;
            const float um = 0.5f * (u0 + u1);
            if (pole0) {
                mesh.AddTriangle(x, corner(i, i, tm, um), corner(i + 1, i, t0, u0), corner(i + 1, i, t1, u1));
            } else if (pole1) {
                mesh.AddTriangle(x, corner(i, i, t0, u0), corner(i, i, t1, u1), corner(i + 1, i, tm, um));
            } else {
                mesh.AddQuad(x, corner(i, i, t0, u0), corner(i, i, t1, u1), corner(i + 1, i, t1, u1),
                             corner(i + 1, i, t0, u0));
            }
        }
    }
}

void AddDisc(Mesh& mesh, const Xform& x, float radius, float y, bool facingUp, int segments, const UvRect& uv) {
    const V3 n = {0, facingUp ? 1.0f : -1.0f, 0};
    auto at = [&](float px, float pz) {
        return Corner{{px, y, pz}, n, uv.At(0.5f + 0.5f * px / radius, 0.5f + 0.5f * pz / radius)};
    };
    const Corner centre = at(0, 0);
    for (int j = 0; j < segments; ++j) {
        const float a0 = 2.0f * kPiF * static_cast<float>(j) / static_cast<float>(segments);
        const float a1 = 2.0f * kPiF * static_cast<float>((j + 1) % segments) / static_cast<float>(segments);
        mesh.AddTriangle(x, centre, at(radius * std::sin(a0), radius * std::cos(a0)),
                         at(radius * std::sin(a1), radius * std::cos(a1)));
    }
}

void AddCylinder(Mesh& mesh, const Xform& x, float bottomRadius, float topRadius, float height, int segments,
                 const UvRect& side, const UvRect& cap) {
    LatheOptions o;
    o.segments = segments;
    o.vStart = 1.0f;
    o.vEnd = 0.0f;
    AddLathe(mesh, x, {{bottomRadius, 0.0f}, {topRadius, height}}, side, o);
    if (bottomRadius > 0.0f) AddDisc(mesh, x, bottomRadius, 0.0f, false, segments, cap);
    if (topRadius > 0.0f) AddDisc(mesh, x, topRadius, height, true, segments, cap);
}

void AddSphere(Mesh& mesh, const Xform& x, float radius, int segments, int rings, const UvRect& uv) {
    std::vector<V2> profile;
    for (int i = 0; i <= rings; ++i) {
        const float phi = kPiF * static_cast<float>(i) / static_cast<float>(rings);
        profile.push_back({i == 0 || i == rings ? 0.0f : radius * std::sin(phi), -radius * std::cos(phi)});
    }
    LatheOptions o;
    o.segments = segments;
    o.vStart = 1.0f;
    o.vEnd = 0.0f;
    AddLathe(mesh, x, profile, uv, o);
}

float SignedArea(const std::vector<V2>& outline) {
    float a = 0.0f;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const V2 p = outline[i], q = outline[(i + 1) % outline.size()];
        a += p.x * q.y - q.x * p.y;
    }
    return 0.5f * a;
}

void AddHipSolid(Mesh& mesh, const Xform& x, float halfX, float halfZ, const std::vector<HipLevel>& levels,
                 const std::vector<UvRect>& bands, const UvRect& cap) {
    const std::size_t n = levels.size();
    if (n < 2 || bands.size() != n - 1) throw BakeError("a hipped solid needs two levels and a picture per band");
    const float least = std::min(halfX, halfZ);
    for (const HipLevel& l : levels) {
        if (l.inset > least + 1e-5f) {
            throw BakeError("a hipped solid's level is inset past its ridge");
        }
    }
    // Profile normals per band, as (outward, up), from the walk bottom to top.
    std::vector<V2> bandNormal(n - 1);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const float dIn = levels[i + 1].inset - levels[i].inset;
        const float dy = levels[i + 1].y - levels[i].y;
        const float l = std::hypot(dIn, dy);
        bandNormal[i] = l > 0.0f ? V2{dy / l, dIn / l} : V2{0, 1};
    }
    auto normalAt = [&](std::size_t level, std::size_t band) {
        if (levels[level].crease || level == 0 || level + 1 == n) return bandNormal[band];
        const V2 a = bandNormal[level - 1], b = bandNormal[level];
        const float l = std::hypot(a.x + b.x, a.y + b.y);
        return l > 0.0f ? V2{(a.x + b.x) / l, (a.y + b.y) / l} : bandNormal[band];
    };
    // The four sides, counter-clockwise seen from above: +z, -x, -z, +x. Each
    // runs from corner s to corner s + 1 of a level's rectangle.
    const V3 outward[4] = {{0, 0, 1}, {-1, 0, 0}, {0, 0, -1}, {1, 0, 0}};
    const float signX[4] = {1, -1, -1, 1}, signZ[4] = {1, 1, -1, -1};
    auto cornerAt = [&](std::size_t level, int c) {
        const float hx = std::max(halfX - levels[level].inset, 0.0f), hz = std::max(halfZ - levels[level].inset, 0.0f);
        return V3{signX[c] * hx, levels[level].y, signZ[c] * hz};
    };
    for (int s = 0; s < 4; ++s) {
        const int e = (s + 1) % 4;
        const V3 out = outward[s];
        // Along the side from corner s to e: v runs over the bottom level's length.
        const V3 dir = Normalised(cornerAt(0, e) - cornerAt(0, s));
        const float half = 0.5f * Length(cornerAt(0, e) - cornerAt(0, s));
        for (std::size_t i = 0; i + 1 < n; ++i) {
            auto corner = [&](std::size_t level, int c, float a) {
                const V3 p = cornerAt(level, c);
                const V2 pn = normalAt(level, i);
                const float b = half > 0.0f ? 0.5f + Dot(p, dir) / (2.0f * half) : 0.5f;
                return Corner{p, Normalised(out * pn.x + V3{0, pn.y, 0}), bands[i].At(a, b)};
            };
            mesh.AddQuad(x, corner(i, s, 1.0f), corner(i, e, 1.0f), corner(i + 1, e, 0.0f), corner(i + 1, s, 0.0f));
        }
    }
    auto capCorner = [&](std::size_t level, int c, float ny) {
        const V3 p = cornerAt(level, c);
        const float rx = std::max(halfX, 1e-6f), rz = std::max(halfZ, 1e-6f);
        return Corner{p, {0, ny, 0}, cap.At(0.5f + p.x / (2.0f * rx), 0.5f + p.z / (2.0f * rz))};
    };
    mesh.AddQuad(x, capCorner(0, 0, -1.0f), capCorner(0, 1, -1.0f), capCorner(0, 2, -1.0f), capCorner(0, 3, -1.0f));
    mesh.AddQuad(x, capCorner(n - 1, 0, 1.0f), capCorner(n - 1, 1, 1.0f), capCorner(n - 1, 2, 1.0f),
                 capCorner(n - 1, 3, 1.0f));
}

std::vector<std::array<int, 3>> Triangulate(const std::vector<V2>& outline) {
    std::vector<int> left(outline.size());
    for (std::size_t i = 0; i < left.size(); ++i) left[i] = static_cast<int>(i);
    std::vector<std::array<int, 3>> out;
    while (left.size() > 3) {
        const std::size_t m = left.size();
        std::size_t best = m;
        for (std::size_t i = 0; i < m && best == m; ++i) {
            const int a = left[(i + m - 1) % m], b = left[i], c = left[(i + 1) % m];
            const V2 pa = outline[static_cast<std::size_t>(a)], pb = outline[static_cast<std::size_t>(b)],
                     pc = outline[static_cast<std::size_t>(c)];
            if (Cross2(pa, pb, pc) <= 0.0f) continue;  // reflex or flat: not an ear
            bool empty = true;
            for (int k : left) {
                if (k == a || k == b || k == c) continue;
                const V2 pk = outline[static_cast<std::size_t>(k)];
                if (InTriangle(pk, pa, pb, pc)) {
                    empty = false;
                    break;
                }
            }
            if (empty) best = i;
        }
        if (best == m) {
            // Only flat corners are left (collinear points): drop one without a triangle.
            for (std::size_t i = 0; i < m && best == m; ++i) {
                const V2 pa = outline[static_cast<std::size_t>(left[(i + m - 1) % m])];
                const V2 pb = outline[static_cast<std::size_t>(left[i])];
                const V2 pc = outline[static_cast<std::size_t>(left[(i + 1) % m])];
                if (std::fabs(Cross2(pa, pb, pc)) < 1e-9f) best = i;
            }
            if (best == m) throw BakeError("outline is not a simple counter-clockwise polygon");
            left.erase(left.begin() + static_cast<std::ptrdiff_t>(best));
            continue;
        }
        out.push_back({left[(best + m - 1) % m], left[best], left[(best + 1) % m]});
        left.erase(left.begin() + static_cast<std::ptrdiff_t>(best));
    }
    if (left.size() == 3) out.push_back({left[0], left[1], left[2]});
    return out;
}

void AddExtrusion(Mesh& mesh, const Xform& x, const std::vector<V2>& outline, float depth, const UvRect& cap,
                  const std::vector<UvRect>& sides, bool smoothSides) {
    const std::size_t n = outline.size();
    if (n < 3 || SignedArea(outline) <= 0.0f) throw BakeError("an extrusion needs a counter-clockwise outline");
    if (sides.size() != 1 && sides.size() != n) throw BakeError("an extrusion needs one side rectangle or one per edge");
    const bool perEdge = sides.size() == n;
    float x0 = outline[0].x, x1 = x0, y0 = outline[0].y, y1 = y0;
    for (V2 p : outline) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    const float hz = depth * 0.5f;
    for (const auto& tri : Triangulate(outline)) {
        for (int facing = -1; facing <= 1; facing += 2) {
            std::array<Corner, 3> c;
            for (int k = 0; k < 3; ++k) {
                const V2 p = outline[static_cast<std::size_t>(tri[static_cast<std::size_t>(k)])];
                // Both caps use the same (unmirrored) map, so a picture painted from the
                // outline lines up with the shape on either side.
                const float a = (p.x - x0) / (x1 - x0);
                c[static_cast<std::size_t>(k)] = {{p.x, p.y, hz * static_cast<float>(facing)},
                                                  {0, 0, static_cast<float>(facing)},
                                                  cap.At(a, (y1 - p.y) / (y1 - y0))};
            }
            mesh.AddTriangle(x, c[0], c[1], c[2]);
        }
    }
    std::vector<V2> edgeNormal(n);
    std::vector<float> along(n + 1, 0.0f);
    for (std::size_t i = 0; i < n; ++i) {
        const V2 p = outline[i], q = outline[(i + 1) % n];
        const float l = std::hypot(q.x - p.x, q.y - p.y);
        edgeNormal[i] = l > 0.0f ? V2{(q.y - p.y) / l, -(q.x - p.x) / l} : V2{0, 0};
        along[i + 1] = along[i] + l;
    }
    auto pointNormal = [&](std::size_t i, std::size_t edge) {
        if (!smoothSides) return edgeNormal[edge];
        const V2 a = edgeNormal[(i + n - 1) % n], b = edgeNormal[i % n];
        const float l = std::hypot(a.x + b.x, a.y + b.y);
        return l > 0.0f ? V2{(a.x + b.x) / l, (a.y + b.y) / l} : edgeNormal[edge];
    };
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + 1) % n;
        const V2 ni = pointNormal(i, i), nj = pointNormal(j, i);
        const float ui = perEdge ? 0.0f : along[i] / along[n];
        const float uj = perEdge ? 1.0f : along[i + 1] / along[n];
        const UvRect& side = sides[perEdge ? i : 0];
        auto corner = [&](V2 p, V2 nn, float u, float z) {
            return Corner{{p.x, p.y, z}, {nn.x, nn.y, 0}, side.At(u, z > 0.0f ? 0.0f : 1.0f)};
        };
        mesh.AddQuad(x, corner(outline[i], ni, ui, hz), corner(outline[j], nj, uj, hz), corner(outline[j], nj, uj, -hz),
                     corner(outline[i], ni, ui, -hz));
    }
}

std::vector<V2> RegularPolygon(int count, float r, float ry, float phaseDegrees) {
    std::vector<V2> out;
    for (int i = 0; i < count; ++i) {
        const float a = Radians(phaseDegrees) + 2.0f * kPiF * static_cast<float>(i) / static_cast<float>(count);
        out.push_back({r * std::cos(a), ry * std::sin(a)});
    }
    return out;
}

void AddSweep(Mesh& mesh, const Xform& x, const std::vector<V3>& path, V3 across, const std::vector<V2>& section,
              const UvRect& uv, const SweepOptions& o) {
    const std::size_t m = path.size();
    const std::size_t s = section.size();
    if (m < 2 || s < 3) throw BakeError("a sweep needs two path points and three section points");
    const V3 a = Normalised(across);
    std::vector<V3> tangent(m), left(m);
    std::vector<float> along(m, 0.0f);
    for (std::size_t k = 0; k < m; ++k) {
        V3 prev, next;
        if (o.closed) {
            prev = path[(k + m - 1) % m];
            next = path[(k + 1) % m];
        } else {
            prev = path[k == 0 ? 0 : k - 1];
            next = path[k + 1 < m ? k + 1 : m - 1];
        }
        tangent[k] = Normalised(next - prev);
        left[k] = Normalised(Cross(a, tangent[k]));
        if (k > 0) along[k] = along[k - 1] + Length(path[k] - path[k - 1]);
    }
    const float closing = o.closed ? Length(path[0] - path[m - 1]) : 0.0f;
    const float total = along[m - 1] + closing;
    auto vAt = [&](float d) { return o.vRepeat > 0.0f ? d / o.vRepeat : d / total; };
    std::vector<float> round(s + 1, 0.0f);
    for (std::size_t i = 0; i < s; ++i) {
        const V2 p = section[i], q = section[(i + 1) % s];
        round[i + 1] = round[i] + std::hypot(q.x - p.x, q.y - p.y);
    }
    auto place = [&](std::size_t k, V2 p) { return path[k] + a * p.x + left[k] * p.y; };
    auto dir = [&](std::size_t k, V2 n) { return Normalised(a * n.x + left[k] * n.y); };
    const std::size_t spans = o.closed ? m : m - 1;
    for (std::size_t k = 0; k < spans; ++k) {
        const std::size_t k1 = (k + 1) % m;
        const float v0 = vAt(along[k]);
        const float v1 = vAt(k + 1 < m ? along[k + 1] : total);
        for (std::size_t i = 0; i < s; ++i) {
            const std::size_t i1 = (i + 1) % s;
            const V2 p = section[i], q = section[i1];
            V2 np, nq;
            if (o.smoothSection) {
                np = p;
                nq = q;
            } else {
                np = nq = V2{q.y - p.y, -(q.x - p.x)};
            }
            const float u0 = round[i] / round[s], u1 = round[i + 1] / round[s];
            mesh.AddQuad(x, {place(k, p), dir(k, np), uv.At(u0, v0)}, {place(k, q), dir(k, nq), uv.At(u1, v0)},
                         {place(k1, q), dir(k1, nq), uv.At(u1, v1)}, {place(k1, p), dir(k1, np), uv.At(u0, v1)});
        }
    }
    if (o.closed) return;
    for (const auto& tri : Triangulate(section)) {
        for (int end = 0; end < 2; ++end) {
            const std::size_t k = end == 0 ? 0 : m - 1;
            const V3 n = end == 0 ? -tangent[k] : tangent[k];
            std::array<Corner, 3> c;
            for (int j = 0; j < 3; ++j) {
                const V2 p = section[static_cast<std::size_t>(tri[static_cast<std::size_t>(j)])];
                c[static_cast<std::size_t>(j)] = {place(k, p), n, uv.At(0.5f, vAt(along[k]))};
            }
            mesh.AddTriangle(x, c[0], c[1], c[2]);
        }
    }
}

std::vector<V2> ThickLine(const std::vector<V2>& line, float thickness) {
    const std::size_t n = line.size();
    if (n < 2) throw BakeError("a thick line needs two points");
    std::vector<V2> out(line);
    std::vector<V2> inner;
    for (std::size_t i = 0; i < n; ++i) {
        const V2 a = line[i == 0 ? 0 : i - 1], b = line[i + 1 < n ? i + 1 : n - 1];
        const float dx = b.x - a.x, dy = b.y - a.y, l = std::hypot(dx, dy);
        inner.push_back({line[i].x + dy / l * thickness, line[i].y - dx / l * thickness});
    }
    out.insert(out.end(), inner.rbegin(), inner.rend());
    if (SignedArea(out) < 0.0f) std::reverse(out.begin(), out.end());
    return out;
}
