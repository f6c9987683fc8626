#include "tools/common/ms3dwriter.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace {
constexpr std::size_t kMaxCount = 0xFFFF;

void PutU8(Bytes& out, std::uint32_t v) { out.push_back(static_cast<std::uint8_t>(v)); }
void PutU16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutU32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void PutF32(Bytes& out, float v) { PutU32(out, std::bit_cast<std::uint32_t>(v)); }
template <std::size_t N>
void PutFloats(Bytes& out, const std::array<float, N>& values) {
    for (float v : values) PutF32(out, v);
}
// A fixed-size, NUL-padded name field; the last byte always stays NUL.
void PutName(Bytes& out, const std::string& name, std::size_t size) {
    const std::size_t kept = std::min(name.size(), size - 1);
    out.insert(out.end(), name.begin(), name.begin() + static_cast<std::ptrdiff_t>(kept));
    out.insert(out.end(), size - kept, 0);
}
std::size_t Count(std::size_t size) { return std::min(size, kMaxCount); }
void PutKeys(Bytes& out, const std::vector<Ms3dKeyDesc>& keys, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        PutF32(out, keys[i].time);
        PutFloats(out, keys[i].value);
    }
}
}  // namespace

Bytes EncodeMs3d(const Ms3dModelDesc& model) {
    static constexpr char kIdentifier[] = "MS3D000000";
    Bytes out(kIdentifier, kIdentifier + 10);
    PutU32(out, static_cast<std::uint32_t>(model.version));

    const std::size_t vertexCount = Count(model.vertices.size());
    PutU16(out, static_cast<std::uint32_t>(vertexCount));
    for (std::size_t i = 0; i < vertexCount; ++i) {
        const Ms3dVertexDesc& v = model.vertices[i];
        PutU8(out, v.flags);
        PutFloats(out, v.position);
        PutU8(out, static_cast<std::uint8_t>(v.joint));
        PutU8(out, v.referenceCount);
    }

    const std::size_t triangleCount = Count(model.triangles.size());
    PutU16(out, static_cast<std::uint32_t>(triangleCount));
    for (std::size_t i = 0; i < triangleCount; ++i) {
        const Ms3dTriangleDesc& t = model.triangles[i];
        PutU16(out, t.flags);
        for (std::uint16_t index : t.vertices) PutU16(out, index);
        for (const auto& normal : t.normals) PutFloats(out, normal);
        PutFloats(out, t.s);
        PutFloats(out, t.t);
        PutU8(out, t.smoothingGroup);
        PutU8(out, t.group);
    }

    const std::size_t groupCount = Count(model.groups.size());
    PutU16(out, static_cast<std::uint32_t>(groupCount));
    for (std::size_t i = 0; i < groupCount; ++i) {
        const Ms3dGroupDesc& g = model.groups[i];
        PutU8(out, g.flags);
        PutName(out, g.name, 32);
        const std::size_t n = Count(g.triangles.size());
        PutU16(out, static_cast<std::uint32_t>(n));
        for (std::size_t k = 0; k < n; ++k) PutU16(out, g.triangles[k]);
        PutU8(out, static_cast<std::uint8_t>(g.material));
    }

    const std::size_t materialCount = Count(model.materials.size());
    PutU16(out, static_cast<std::uint32_t>(materialCount));
    for (std::size_t i = 0; i < materialCount; ++i) {
        const Ms3dMaterialDesc& m = model.materials[i];
        PutName(out, m.name, 32);
        PutFloats(out, m.ambient);
        PutFloats(out, m.diffuse);
        PutFloats(out, m.specular);
        PutFloats(out, m.emissive);
        PutF32(out, m.shininess);
        PutF32(out, m.transparency);
        PutU8(out, m.mode);
        PutName(out, m.texture, 128);
        PutName(out, m.alphamap, 128);
    }

    PutF32(out, model.fps);
    PutF32(out, model.editorTime);
    PutU32(out, static_cast<std::uint32_t>(model.totalFrames));

    const std::size_t jointCount = Count(model.joints.size());
    PutU16(out, static_cast<std::uint32_t>(jointCount));
    for (std::size_t i = 0; i < jointCount; ++i) {
        const Ms3dJointDesc& j = model.joints[i];
        PutU8(out, j.flags);
        PutName(out, j.name, 32);
        PutName(out, j.parent, 32);
        PutFloats(out, j.rotation);
        PutFloats(out, j.position);
        const std::size_t r = Count(j.rotationKeys.size());
        const std::size_t t = Count(j.translationKeys.size());
        PutU16(out, static_cast<std::uint32_t>(r));
        PutU16(out, static_cast<std::uint32_t>(t));
        PutKeys(out, j.rotationKeys, r);
        PutKeys(out, j.translationKeys, t);
    }
    return out;
}

std::uint16_t AddFlatTriangle(Ms3dModelDesc* model, int group, std::array<std::uint16_t, 3> vertices,
                              std::array<float, 3> s, std::array<float, 3> t) {
    Ms3dTriangleDesc triangle;
    triangle.vertices = vertices;
    triangle.s = s;
    triangle.t = t;
    triangle.group = static_cast<std::uint8_t>(group);
    const auto& a = model->vertices[vertices[0]].position;
    const auto& b = model->vertices[vertices[1]].position;
    const auto& c = model->vertices[vertices[2]].position;
    const float ux = b[0] - a[0], uy = b[1] - a[1], uz = b[2] - a[2];
    const float vx = c[0] - a[0], vy = c[1] - a[1], vz = c[2] - a[2];
    std::array<float, 3> n = {uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (length > 0.0f) {
        for (float& e : n) e /= length;
    }
    triangle.normals = {n, n, n};
    const auto index = static_cast<std::uint16_t>(model->triangles.size());
    model->triangles.push_back(triangle);
    model->groups[static_cast<std::size_t>(group)].triangles.push_back(index);
    return index;
}
