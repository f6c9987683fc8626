// The baker's modelling kit: a mesh description that generators fill with
// triangles, grouped by material, with joints, and that becomes an MS3D file.
//
// Conventions:
// - Generators model in scene units (what the saver shows after it scales the
//   model); ToMs3d divides by the scale the engine will apply.
// - y is up; a model's front faces +z unless its file says otherwise.
// - Triangles are wound counter-clockwise seen from outside. AddTriangle takes
//   the corner normals as the truth: a triangle whose winding disagrees with
//   them is flipped, so primitives only have to get their normals right.
// - Texture coordinates (u, v) are fractions of the picture with v measured
//   down from its top row, which is what the file stores as t (the drawing
//   flips t), so a picture painted top row first shows upright.
// - Every corner carries a joint (-1: none). A rigged character binds each
//   vertex rigidly to one joint; the vertex positions are the bind pose in
//   model space, as the file wants them.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/common/ms3dwriter.h"

struct V3 {
    float x = 0, y = 0, z = 0;
};
inline V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator-(V3 a) { return {-a.x, -a.y, -a.z}; }
inline V3 operator*(V3 a, float k) { return {a.x * k, a.y * k, a.z * k}; }
inline V3 operator*(float k, V3 a) { return a * k; }
inline float Dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline V3 Cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline float Length(V3 a) { return std::sqrt(Dot(a, a)); }
// Unit vector along `a`; the zero vector stays zero.
V3 Normalised(V3 a);
// Point on the segment a..b, t = 0 at a.
inline V3 Lerp(V3 a, V3 b, float t) { return a + (b - a) * t; }

struct V2 {
    float x = 0, y = 0;
};

// An affine map p -> m p + t (m row-major 3 x 3). Normals go through the
// inverse transpose, so non-uniform scales keep them perpendicular.
struct Xform {
    std::array<float, 9> m = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    V3 t;

    static Xform Translate(V3 offset);
    static Xform Scale(V3 factors);
    static Xform RotateX(float degrees);
    static Xform RotateY(float degrees);
    static Xform RotateZ(float degrees);
    // `a * b` applies b first, then a.
    friend Xform operator*(const Xform& a, const Xform& b);

    V3 Point(V3 p) const;
    V3 Vector(V3 v) const;  // no translation
    V3 Normal(V3 n) const;  // unit length
    float Determinant() const;
};
inline Xform Move(float x, float y, float z) { return Xform::Translate({x, y, z}); }

// A rectangle of the picture, in fractions; v down from the top row.
struct UvRect {
    float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
    // (a, b) in 0..1 across the rectangle to picture coordinates.
    V2 At(float a, float b) const { return {u0 + a * (u1 - u0), v0 + b * (v1 - v0)}; }
};

struct Corner {
    V3 position;
    V3 normal;
    V2 uv;
};

struct MeshTriangle {
    std::array<Corner, 3> corners;
    int group = 0;
    int joint = -1;
};

struct MeshGroup {
    std::string name;
    int material = -1;
};

// A joint: its bind pose relative to its parent, and key frames for an
// animated character (times in seconds, angles in radians, as in the file).
struct MeshJoint {
    std::string name;
    int parent = -1;
    V3 position;  // scene units, relative to the parent
    V3 rotation;  // radians, x then y then z
    std::vector<Ms3dKeyDesc> rotationKeys;
    std::vector<Ms3dKeyDesc> translationKeys;  // scene units
};

class Mesh {
public:
    int AddMaterial(const Ms3dMaterialDesc& material);
    int AddGroup(const std::string& name, int material);
    int AddJoint(const std::string& name, int parent, V3 position, V3 rotation = {});

    // Where the next triangles go: a group (made with AddGroup) and a joint
    // (-1: none). Both stay until changed.
    void Use(int group, int joint = -1);
    int CurrentGroup() const { return group_; }
    int CurrentJoint() const { return joint_; }

    // Adds one triangle through the map `x`. It is turned so its winding agrees
    // with the corner normals; a triangle with no area is dropped.
    void AddTriangle(const Xform& x, Corner a, Corner b, Corner c);
    // Two triangles a-b-c and a-c-d.
    void AddQuad(const Xform& x, Corner a, Corner b, Corner c, Corner d);

    const std::vector<MeshTriangle>& Triangles() const { return triangles_; }
    const std::vector<MeshGroup>& Groups() const { return groups_; }
    const std::vector<MeshJoint>& Joints() const { return joints_; }
    std::vector<MeshJoint>& Joints() { return joints_; }

    // How finely the rig's rounded solids (AddLimb, AddBlob) are cut: 1 for a
    // model seen close, less for the same model drawn a few dozen pixels tall,
    // where the extra sides cost time and show nothing.
    float detail = 1.0f;
    // `full` sides (or rings) at this mesh's detail, never fewer than `least`.
    int Sides(int full, int least) const {
        return detail >= 1.0f ? full : std::max(least, static_cast<int>(std::lround(static_cast<float>(full) * detail)));
    }

    // Animation block for characters; static models keep the defaults.
    float fps = 24.0f;
    int totalFrames = 0;

    // The model for the file, every length divided by `engineScale` (the scale
    // the saver applies after loading). Corners that share a position and a joint
    // share a vertex; joint positions are relative to the parent, as the file wants.
    Ms3dModelDesc ToMs3d(float engineScale) const;

    // World-space (model, unscaled) position of joint `index` in the bind pose,
    // for generators that want to place parts at a marker. Rotations are ignored
    // on the way down, which holds for the unrotated markers of static models.
    V3 JointBindPosition(int index) const;

private:
    std::vector<Ms3dMaterialDesc> materials_;
    std::vector<MeshGroup> groups_;
    std::vector<MeshJoint> joints_;
    std::vector<MeshTriangle> triangles_;
    int group_ = 0;
    int joint_ = -1;
};

// A plain material named `name`; the picture of the same index in the lump
// file is its texture.
Ms3dMaterialDesc PlainMaterial(const std::string& name);

// The mesh as lump 0 of a model file, scaled for `engineScale`.
Lump ModelLump(const Mesh& mesh, float engineScale);
