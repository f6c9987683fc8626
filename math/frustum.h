// View-frustum culling against a table of six planes.
//
// Each scene keeps its own table (XMASMAIN::frustum): its frame driver
// extracts it once a frame, after the camera is placed and before anything
// is drawn, so all tests are in world coordinates. Plane order: right, left,
// bottom, top, far, near; (A, B, C) is the unit normal pointing into the view
// volume. An all-zero table, before the first extraction, holds no point and
// every sphere of positive radius.
#pragma once

#include "math/vector.h"

struct FrustumPlanes {
    float plane[6][4] = {};
    bool operator==(const FrustumPlanes&) const = default;  // exact compare
};

// From column-major projection and model-view matrices; ExtractFrustum
// (math/frustum_gl.h) reads them from GL.
FrustumPlanes ExtractFrustumFrom(const float projection[16], const float modelview[16]);

// A point exactly on a plane counts as outside.
bool PointInFrustum(const FrustumPlanes& frustum, VECTOR3D p);
// False only when the sphere lies wholly outside some plane; conservative near
// the frustum's corners.
bool SphereInFrustum(const FrustumPlanes& frustum, VECTOR3D centre, float radius);
