// MS3D writer: an in-memory model description to the bytes of an MS3D file
// (version 4 unless told otherwise), as the engine's reader expects them.
//
// The description is written as it stands: counts come from the vectors and
// indices are not checked, so tests can also make deliberately broken files.
// Angles are radians and key times seconds, as in the file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/common/lumpwriter.h"

struct Ms3dVertexDesc {
    std::array<float, 3> position = {0.0f, 0.0f, 0.0f};
    std::int8_t joint = -1;  // -1: not attached
    std::uint8_t flags = 0;
    std::uint8_t referenceCount = 0;
};

struct Ms3dTriangleDesc {
    std::array<std::uint16_t, 3> vertices = {0, 0, 0};
    std::array<std::array<float, 3>, 3> normals = {};  // one per corner
    std::array<float, 3> s = {0.0f, 0.0f, 0.0f};
    std::array<float, 3> t = {0.0f, 0.0f, 0.0f};
    std::uint16_t flags = 0;
    std::uint8_t smoothingGroup = 1;
    std::uint8_t group = 0;
};

struct Ms3dGroupDesc {
    std::string name;  // at most 31 characters are kept
    std::vector<std::uint16_t> triangles;
    std::int8_t material = -1;  // -1: none
    std::uint8_t flags = 0;
};

struct Ms3dMaterialDesc {
    std::string name;
    std::array<float, 4> ambient = {0.2f, 0.2f, 0.2f, 1.0f};
    std::array<float, 4> diffuse = {0.8f, 0.8f, 0.8f, 1.0f};
    std::array<float, 4> specular = {0.0f, 0.0f, 0.0f, 1.0f};
    std::array<float, 4> emissive = {0.0f, 0.0f, 0.0f, 1.0f};
    float shininess = 0.0f;
    float transparency = 1.0f;
    std::uint8_t mode = 0;  // 0x80: sphere-mapped
    std::string texture;    // at most 127 characters are kept
    std::string alphamap;
};

struct Ms3dKeyDesc {
    float time = 0.0f;  // seconds
    std::array<float, 3> value = {0.0f, 0.0f, 0.0f};  // radians or a position
};

struct Ms3dJointDesc {
    std::string name;
    std::string parent;  // empty: a root
    std::array<float, 3> rotation = {0.0f, 0.0f, 0.0f};  // radians
    std::array<float, 3> position = {0.0f, 0.0f, 0.0f};  // relative to the parent
    std::vector<Ms3dKeyDesc> rotationKeys;
    std::vector<Ms3dKeyDesc> translationKeys;
    std::uint8_t flags = 8;
};

struct Ms3dModelDesc {
    std::int32_t version = 4;
    std::vector<Ms3dVertexDesc> vertices;
    std::vector<Ms3dTriangleDesc> triangles;
    std::vector<Ms3dGroupDesc> groups;
    std::vector<Ms3dMaterialDesc> materials;
    float fps = 24.0f;
    float editorTime = 0.0f;
    std::int32_t totalFrames = 0;
    std::vector<Ms3dJointDesc> joints;
};

// The file's bytes. Vectors longer than 65535 entries are cut to 65535.
Bytes EncodeMs3d(const Ms3dModelDesc& model);

// Convenience for generators: appends a triangle over three existing
// vertices with a flat normal (from the winding, counter-clockwise front)
// and the given texture coordinates, and adds it to group `group` (which
// must exist already). Returns the triangle's index.
std::uint16_t AddFlatTriangle(Ms3dModelDesc* model, int group, std::array<std::uint16_t, 3> vertices,
                              std::array<float, 3> s, std::array<float, 3> t);
