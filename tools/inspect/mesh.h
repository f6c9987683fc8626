// Triangle soup of a model as the scene would place it (scaled, posed), for
// framing renders and for the geometric checks. No GL.
#pragma once

#include <optional>
#include <vector>

#include "math/vector.h"

struct MeshTri {
    VECTOR3D p[3];
    int joint[3] = {-1, -1, -1};  // joint of each corner, -1 unattached
    int group = 0;
};

struct Bounds {
    VECTOR3D lo = {0.0f, 0.0f, 0.0f};
    VECTOR3D hi = {0.0f, 0.0f, 0.0f};
    bool empty = true;

    void Add(VECTOR3D p);
    void Add(const Bounds& other);
    VECTOR3D Centre() const;
    VECTOR3D Size() const;  // zero when empty
};

struct Mesh {
    std::vector<MeshTri> tris;

    Bounds Box() const;
    // The mesh moved by `offset`.
    void Translate(VECTOR3D offset);
};

// The highest surface a vertical ray straight down from (x, fromY, z) meets:
// its y, or nothing when the ray misses every triangle.
std::optional<float> HitBelow(const Mesh& mesh, float x, float z, float fromY);

// Distance from `p` to the nearest point of any triangle; a large value for
// an empty mesh.
double DistanceToMesh(const Mesh& mesh, VECTOR3D p);
