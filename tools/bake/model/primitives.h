// Primitive shapes for the modelling kit. Each adds closed (or, where said,
// open) geometry to the mesh's current group and joint, through the map `x`,
// with per-corner normals: hard edges get one normal per face, curved
// surfaces share smooth normals. All lengths are scene units; angles degrees.
#pragma once

#include <array>
#include <vector>

#include "tools/bake/model/mesh.h"

// Faces of a box, in the order of BoxUv::faces.
enum BoxFace { kRight = 0, kLeft, kTop, kBottom, kFront, kBack };  // +x -x +y -y +z -z

// One picture rectangle per face. Side faces run u along the face (left to
// right as seen from outside) and v from the top edge down; the top runs u
// along +x and v along +z; the bottom u along +x and v along -z.
struct BoxUv {
    std::array<UvRect, 6> faces;
    static BoxUv All(const UvRect& r) { return {{r, r, r, r, r, r}}; }
};

// An axis-aligned box of `size` centred on the origin.
void AddBox(Mesh& mesh, const Xform& x, V3 size, const BoxUv& uv);

// A box of `size` centred on the origin whose twelve edges are cut by a
// chamfer `bevel` wide (smaller than half the smallest side). Every face maps
// the picture rectangle by projection along its main axis.
void AddBevelBox(Mesh& mesh, const Xform& x, V3 size, float bevel, const UvRect& uv);

// A surface of revolution about the y axis. `profile` holds (radius, height)
// points in order from bottom to top (so the outward side is to the right of the
// walk); a radius of 0 closes the end at a point. u runs once round from angle
// 0 at +z towards +x; v runs from vStart at the first profile point to vEnd at the
// last, by arc length. Smooth normals round and along the profile, except at
// indices listed in `creases`, where the profile gets a hard edge.
struct LatheOptions {
    int segments = 12;
    float vStart = 0.0f;
    float vEnd = 1.0f;
    std::vector<int> creases;
    float phaseDegrees = 0.0f;  // turns the seam
    int uRepeats = 1;           // the picture repeats this often round (divides segments)
};
void AddLathe(Mesh& mesh, const Xform& x, const std::vector<V2>& profile, const UvRect& uv, const LatheOptions& options);

// A flat disc of `radius` at height y, facing up (or down), as a fan; the
// picture rectangle is mapped over the disc's bounding square.
void AddDisc(Mesh& mesh, const Xform& x, float radius, float y, bool facingUp, int segments, const UvRect& uv);

// A cylinder (or a cone when topRadius is 0) standing on y = 0, `height` tall,
// closed with flat caps. The side uses `side` (u round, v down from the top), the
// caps `cap`.
void AddCylinder(Mesh& mesh, const Xform& x, float bottomRadius, float topRadius, float height, int segments,
                 const UvRect& side, const UvRect& cap);

// A sphere of `radius` centred on the origin; u round, v from the top pole down.
void AddSphere(Mesh& mesh, const Xform& x, float radius, int segments, int rings, const UvRect& uv);

// A prism: `outline` (x, y points, counter-clockwise, simple, not necessarily
// convex) extruded along z from -depth/2 to +depth/2. Both caps map the
// outline's bounding box onto `cap` with x across and y up (the back cap is not
// mirrored, so a picture painted over the outline fits both); the sides run v across the depth (from +z down to
// -z) and u along the outline: over the whole of `sides[0]` once round when
// `sides` holds one rectangle, or across `sides[i]` for edge i (from point i to
// i + 1) when it holds one per edge. `smoothSides` shares normals between
// neighbouring side faces (for rounded outlines).
void AddExtrusion(Mesh& mesh, const Xform& x, const std::vector<V2>& outline, float depth, const UvRect& cap,
                  const std::vector<UvRect>& sides, bool smoothSides);

// A hipped solid over the rectangle |x| <= halfX, |z| <= halfZ: a stack of
// rectangles, each inset from that one by `inset` (negative reaches outside it)
// at height `y`, listed from the bottom up, joined by planar faces that slope
// the same on all four sides (a hipped roof, a mansard, a snow cap with a lip).
// Insets may not exceed the smaller half size; the top level closes at a ridge
// along the longer side, a point, or a flat cap when it still has area. The
// bottom level is closed by a flat cap facing down; both caps map `cap` over
// the rectangle (u along +x, v along +z). Band i (from level i to i + 1) maps
// `bands[i]` with u from its top edge (0) down to its bottom (1) and v along
// the side. The hips are hard edges; levels are smooth unless `crease`d.
struct HipLevel {
    float inset = 0.0f;
    float y = 0.0f;
    bool crease = false;
};
void AddHipSolid(Mesh& mesh, const Xform& x, float halfX, float halfZ, const std::vector<HipLevel>& levels,
                 const std::vector<UvRect>& bands, const UvRect& cap);

// A tube with `section` (points of a convex polygon about its centre,
// counter-clockwise, in the plane spanned by `across` and the in-plane normal)
// swept along `path`. The path lies in a plane whose normal is `across`; the
// section's x runs along `across`, its y along the path's left normal in that
// plane. Ends are capped unless the path closes on itself (`closed`). u runs
// round the section, v along the path by length, both over `uv` (v repeating
// every `vRepeat` units when positive).
struct SweepOptions {
    bool closed = false;
    bool smoothSection = true;
    float vRepeat = 0.0f;
};
void AddSweep(Mesh& mesh, const Xform& x, const std::vector<V3>& path, V3 across, const std::vector<V2>& section,
              const UvRect& uv, const SweepOptions& options);

// A strip `thickness` wide along the polyline `line`, on its right-hand side
// (walking the line), as a counter-clockwise outline for AddExtrusion.
std::vector<V2> ThickLine(const std::vector<V2>& line, float thickness);

// Regular polygon of `count` points of radius `r` (and `ry` across), starting at
// angle `phaseDegrees` from +x, counter-clockwise: sections and outlines.
std::vector<V2> RegularPolygon(int count, float r, float ry, float phaseDegrees = 0.0f);

// Ear-clipping triangulation of a simple counter-clockwise polygon: index
// triples into `outline`. Collinear points are allowed.
std::vector<std::array<int, 3>> Triangulate(const std::vector<V2>& outline);

// Signed area of a polygon (positive when counter-clockwise).
float SignedArea(const std::vector<V2>& outline);
