#include "tools/bake/model/mesh.h"

#include <cstring>
#include <map>
#include <stdexcept>
#include <tuple>

#include "math/vector.h"
#include "tools/bake/paint.h"

namespace {

float Radians(float degrees) { return degrees * kPiF / 180.0f; }
}  // namespace

V3 Normalised(V3 a) {
    const float l = Length(a);
    return l > 1e-12f ? a * (1.0f / l) : V3{};
}

Xform Xform::Translate(V3 offset) {
    Xform x;
    x.t = offset;
    return x;
}

Xform Xform::Scale(V3 f) {
    Xform x;
    x.m = {f.x, 0, 0, 0, f.y, 0, 0, 0, f.z};
    return x;
}

Xform Xform::RotateX(float degrees) {
    const float c = std::cos(Radians(degrees)), s = std::sin(Radians(degrees));
    Xform x;
    x.m = {1, 0, 0, 0, c, -s, 0, s, c};
    return x;
}

Xform Xform::RotateY(float degrees) {
    const float c = std::cos(Radians(degrees)), s = std::sin(Radians(degrees));
    Xform x;
    x.m = {c, 0, s, 0, 1, 0, -s, 0, c};
    return x;
}

Xform Xform::RotateZ(float degrees) {
    const float c = std::cos(Radians(degrees)), s = std::sin(Radians(degrees));
    Xform x;
    x.m = {c, -s, 0, s, c, 0, 0, 0, 1};
    return x;
}

Xform operator*(const Xform& a, const Xform& b) {
    Xform r;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            r.m[i * 3 + j] = a.m[i * 3] * b.m[j] + a.m[i * 3 + 1] * b.m[3 + j] + a.m[i * 3 + 2] * b.m[6 + j];
        }
    }
    r.t = a.Point(b.t);
    return r;
}

V3 Xform::Vector(V3 v) const {
    return {m[0] * v.x + m[1] * v.y + m[2] * v.z, m[3] * v.x + m[4] * v.y + m[5] * v.z,
            m[6] * v.x + m[7] * v.y + m[8] * v.z};
}

V3 Xform::Point(V3 p) const { return Vector(p) + t; }

float Xform::Determinant() const {
    return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) + m[2] * (m[3] * m[7] - m[4] * m[6]);
}

V3 Xform::Normal(V3 n) const {
    // The cofactor matrix is the inverse transpose times the determinant; its
    // sign is put right so mirrored maps keep normals outward.
    const std::array<float, 9> c = {m[4] * m[8] - m[5] * m[7], m[5] * m[6] - m[3] * m[8], m[3] * m[7] - m[4] * m[6],
                                    m[2] * m[7] - m[1] * m[8], m[0] * m[8] - m[2] * m[6], m[1] * m[6] - m[0] * m[7],
                                    m[1] * m[5] - m[2] * m[4], m[2] * m[3] - m[0] * m[5], m[0] * m[4] - m[1] * m[3]};
    const V3 r = {c[0] * n.x + c[1] * n.y + c[2] * n.z, c[3] * n.x + c[4] * n.y + c[5] * n.z,
                  c[6] * n.x + c[7] * n.y + c[8] * n.z};
    return Normalised(Determinant() < 0.0f ? -r : r);
}

int Mesh::AddMaterial(const Ms3dMaterialDesc& material) {
    materials_.push_back(material);
    return static_cast<int>(materials_.size()) - 1;
}

int Mesh::AddGroup(const std::string& name, int material) {
    groups_.push_back({name, material});
    return static_cast<int>(groups_.size()) - 1;
}

int Mesh::AddJoint(const std::string& name, int parent, V3 position, V3 rotation) {
    if (parent >= static_cast<int>(joints_.size())) throw BakeError("joint \"" + name + "\" names a later parent");
    MeshJoint j;
    j.name = name;
    j.parent = parent;
    j.position = position;
    j.rotation = rotation;
    joints_.push_back(j);
    return static_cast<int>(joints_.size()) - 1;
}

void Mesh::Use(int group, int joint) {
    if (group < 0 || group >= static_cast<int>(groups_.size())) throw BakeError("no such group");
    if (joint >= static_cast<int>(joints_.size())) throw BakeError("no such joint");
    group_ = group;
    joint_ = joint;
}

void Mesh::AddTriangle(const Xform& x, Corner a, Corner b, Corner c) {
    if (groups_.empty()) throw BakeError("a triangle before any group");
    MeshTriangle t;
    t.group = group_;
    t.joint = joint_;
    t.corners = {a, b, c};
    for (Corner& k : t.corners) {
        k.position = x.Point(k.position);
        k.normal = x.Normal(k.normal);
    }
    const V3 face = Cross(t.corners[1].position - t.corners[0].position, t.corners[2].position - t.corners[0].position);
    if (Length(face) < 1e-9f) return;
    const V3 said = t.corners[0].normal + t.corners[1].normal + t.corners[2].normal;
    if (Dot(face, said) < 0.0f) std::swap(t.corners[1], t.corners[2]);
    triangles_.push_back(t);
}

void Mesh::AddQuad(const Xform& x, Corner a, Corner b, Corner c, Corner d) {
    AddTriangle(x, a, b, c);
    AddTriangle(x, a, c, d);
}

V3 Mesh::JointBindPosition(int index) const {
    V3 p;
    for (int j = index; j >= 0; j = joints_[static_cast<std::size_t>(j)].parent) {
        p = p + joints_[static_cast<std::size_t>(j)].position;
    }
    return p;
}

Ms3dModelDesc Mesh::ToMs3d(float engineScale) const {
    if (!(engineScale > 0.0f)) throw BakeError("scale must be positive");
    const float k = 1.0f / engineScale;
    Ms3dModelDesc out;
    out.fps = fps;
    out.totalFrames = totalFrames;
    out.materials = materials_;
    for (const MeshGroup& g : groups_) {
        Ms3dGroupDesc d;
        d.name = g.name;
        d.material = static_cast<std::int8_t>(g.material);
        out.groups.push_back(d);
    }
    // Weld corners by their exact bits and joint, so a shared edge shares vertices.
    std::map<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, int>, std::uint16_t> welded;
    auto bits = [](float f) {
        if (f == 0.0f) f = 0.0f;  // -0 and +0 are one place
        std::uint32_t u;
        std::memcpy(&u, &f, 4);
        return u;
    };
    for (const MeshTriangle& t : triangles_) {
        Ms3dTriangleDesc d;
        d.group = static_cast<std::uint8_t>(t.group);
        for (int c = 0; c < 3; ++c) {
            const Corner& corner = t.corners[static_cast<std::size_t>(c)];
            const V3 p = corner.position * k;
            const auto key = std::make_tuple(bits(p.x), bits(p.y), bits(p.z), t.joint);
            auto it = welded.find(key);
            if (it == welded.end()) {
                if (out.vertices.size() >= 65535) throw BakeError("more than 65535 vertices");
                Ms3dVertexDesc v;
                v.position = {p.x, p.y, p.z};
                v.joint = static_cast<std::int8_t>(t.joint);
                out.vertices.push_back(v);
                it = welded.emplace(key, static_cast<std::uint16_t>(out.vertices.size() - 1)).first;
            }
            Ms3dVertexDesc& v = out.vertices[it->second];
            if (v.referenceCount < 255) ++v.referenceCount;
            d.vertices[static_cast<std::size_t>(c)] = it->second;
            d.normals[static_cast<std::size_t>(c)] = {corner.normal.x, corner.normal.y, corner.normal.z};
            d.s[static_cast<std::size_t>(c)] = corner.uv.x;
            d.t[static_cast<std::size_t>(c)] = corner.uv.y;
        }
        if (out.triangles.size() >= 65535) throw BakeError("more than 65535 triangles");
        out.groups[static_cast<std::size_t>(t.group)].triangles.push_back(static_cast<std::uint16_t>(out.triangles.size()));
        out.triangles.push_back(d);
    }
    for (const MeshJoint& j : joints_) {
        Ms3dJointDesc d;
        d.name = j.name;
        if (j.parent >= 0) d.parent = joints_[static_cast<std::size_t>(j.parent)].name;
        d.position = {j.position.x * k, j.position.y * k, j.position.z * k};
        d.rotation = {j.rotation.x, j.rotation.y, j.rotation.z};
        d.rotationKeys = j.rotationKeys;
        d.translationKeys = j.translationKeys;
        for (Ms3dKeyDesc& key : d.translationKeys) {
            for (float& v : key.value) v *= k;
        }
        out.joints.push_back(d);
    }
    return out;
}

Ms3dMaterialDesc PlainMaterial(const std::string& name) {
    Ms3dMaterialDesc m;
    m.name = name;
    m.ambient = {0.2f, 0.2f, 0.2f, 1.0f};
    m.diffuse = {0.8f, 0.8f, 0.8f, 1.0f};
    m.texture = name + ".tga";
    return m;
}

Lump ModelLump(const Mesh& mesh, float engineScale) {
    Lump lump;
    lump.bytes = EncodeMs3d(mesh.ToMs3d(engineScale));
    lump.type = kLumpTypeModel;
    return lump;
}
