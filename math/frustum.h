// View-frustum culling against the planes of the last extraction.
//
// The table is shared by every draw function of a frame: the frame driver
// extracts it once, after the camera is placed and before anything is drawn,
// so all tests are in world coordinates. Plane order: right, left, bottom,
// top, far, near; (A, B, C) is the unit normal pointing into the view volume.
#pragma once

#include "math/vector.h"

struct FrustumPlanes {
    float plane[6][4];
};

// From column-major projection and model-view matrices; ExtractFrustum
// (math/frustum_gl.h) reads them from GL.
void ExtractFrustumFrom(const float projection[16], const float modelview[16]);
const FrustumPlanes& CurrentFrustum();

// A point exactly on a plane counts as outside.
bool PointInFrustum(VECTOR3D p);
// False only when the sphere lies wholly outside some plane; conservative near
// the frustum's corners.
bool SphereInFrustum(VECTOR3D centre, float radius);
