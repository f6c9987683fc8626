// Model files the MS3D and animation tests share, made with our own writer.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "assets/animation.h"
#include "assets/ms3d.h"
#include "assets/resfile.h"
#include "tests/scratch.h"
#include "tools/common/lumpwriter.h"
#include "tools/common/ms3dwriter.h"

inline bool LoadFromBytes(const Bytes& bytes, MS3D* model, SetupError* error = nullptr) {
    BoundedReader reader(bytes.data(), bytes.size());
    return model->LoadFromFStream(&reader, error);
}

// A model, its animation template and one instance, set up as the scene sets
// up a character; the model is kept for the tests that look back at it.
struct Character {
    MS3D model;
    ANIMATIONTEMPLATE animTemplate;
    ONEMODEL instance;

    bool Load(BoundedReader* reader, float scale, std::span<const Texture> textures = {}) {
        if (!model.LoadFromFStream(reader)) return false;
        model.Scale(scale);
        model.InitialSetup();
        return animTemplate.Setup(&model) && instance.Setup(&animTemplate, &model, textures);
    }
    bool Load(const Bytes& bytes, float scale, std::span<const Texture> textures = {}) {
        BoundedReader reader(bytes.data(), bytes.size());
        return Load(&reader, scale, textures);
    }
    // From a lump of a resource file.
    bool Load(const std::string& path, float scale, int index = 0) {
        RESFILE file;
        if (!file.Open(path.c_str()) || !file.SeekLump(index)) return false;
        BoundedReader lump = file.Lump();
        return Load(&lump, scale);
    }
    VECTOR3D Point(int joint, VECTOR3D local) const {
        return MatrixPointMultiply(instance.joints[static_cast<std::size_t>(joint)].absolute, local);
    }
};

// One quad of four vertices bound to `joint`, centred at (x, y, z) in the
// xy plane, as two triangles of group `group`. Corners shared by the two
// triangles carry the same normal and texture coordinates.
inline void AddQuad(Ms3dModelDesc* model, int group, std::int8_t joint, float x, float y, float z) {
    const auto base = static_cast<std::uint16_t>(model->vertices.size());
    const float corners[4][2] = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {0.5f, 0.5f}, {-0.5f, 0.5f}};
    for (const auto& c : corners) {
        Ms3dVertexDesc v;
        v.position = {x + c[0], y + c[1], z};
        v.joint = joint;
        model->vertices.push_back(v);
    }
    AddFlatTriangle(model, group, {base, static_cast<std::uint16_t>(base + 1), static_cast<std::uint16_t>(base + 2)},
                    {0.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 1.0f});
    AddFlatTriangle(model, group, {base, static_cast<std::uint16_t>(base + 2), static_cast<std::uint16_t>(base + 3)},
                    {0.0f, 1.0f, 0.0f}, {0.0f, 1.0f, 1.0f});
}

inline Ms3dJointDesc Joint(const char* name, const char* parent, std::array<float, 3> rotation,
                           std::array<float, 3> position) {
    Ms3dJointDesc j;
    j.name = name;
    j.parent = parent;
    j.rotation = rotation;
    j.position = position;
    return j;
}

// A four-joint chain (root, arm, hand, tip) with rotation and translation
// keys spread unevenly over 1.5 s at 24 fps, rotations large enough that
// neighbouring keys lie more than 90 degrees apart; one quad per joint and
// one unattached quad, in two groups with two materials (the second
// sphere-mapped).
inline Ms3dModelDesc MakeChainModel() {
    Ms3dModelDesc m;
    m.fps = 24.0f;
    m.totalFrames = 40;

    Ms3dJointDesc root = Joint("root", "", {0.0f, 0.3f, 0.0f}, {0.0f, 1.0f, 0.0f});
    root.rotationKeys = {{0.0f, {0.0f, 0.0f, 0.0f}},
                         {0.5f, {0.0f, 1.2f, 0.2f}},
                         {1.0f, {0.3f, 2.8f, -0.4f}},
                         {1.5f, {0.0f, -2.9f, 0.0f}}};
    root.translationKeys = {{0.0f, {0.0f, 0.0f, 0.0f}}, {0.75f, {0.0f, 0.5f, 1.0f}}, {1.5f, {0.0f, 0.0f, 0.0f}}};
    Ms3dJointDesc arm = Joint("arm", "root", {0.0f, 0.0f, 0.4f}, {0.0f, 2.0f, 0.0f});
    arm.rotationKeys = {{0.25f, {0.0f, 0.0f, -1.0f}}, {0.5f, {0.5f, 0.0f, 1.5f}}, {1.25f, {-2.5f, 0.4f, 0.0f}}};
    Ms3dJointDesc hand = Joint("hand", "arm", {0.2f, 0.0f, 0.0f}, {0.0f, 1.5f, 0.5f});
    hand.translationKeys = {{0.1f, {0.2f, 0.0f, 0.0f}}, {0.9f, {-0.3f, 0.6f, 0.0f}}};
    Ms3dJointDesc tip = Joint("tip", "hand", {0.0f, 0.0f, 0.0f}, {0.0f, 0.5f, 0.0f});
    m.joints = {root, arm, hand, tip};

    m.groups.resize(2);
    m.groups[0].name = "body";
    m.groups[0].material = 0;
    m.groups[1].name = "hands";
    m.groups[1].material = 1;
    AddQuad(&m, 0, 0, 0.0f, 1.0f, 0.0f);
    AddQuad(&m, 0, 1, 0.0f, 3.0f, 0.0f);
    AddQuad(&m, 1, 2, 0.0f, 4.5f, 0.5f);
    AddQuad(&m, 1, 3, 0.0f, 5.0f, 0.5f);
    AddQuad(&m, 1, -1, 2.0f, 0.0f, 0.0f);

    m.materials.resize(2);
    m.materials[0].name = "coat";
    m.materials[1].name = "shine";
    m.materials[1].mode = 0x80;
    return m;
}

// A lump file with `model` as lump 0 and the given extra lumps.
inline Bytes ModelLumpFile(const Bytes& model, std::vector<Lump> images = {}) {
    std::vector<Lump> lumps;
    lumps.push_back({model, kLumpTypeModel, 0});
    for (Lump& l : images) lumps.push_back(std::move(l));
    return BuildLumpFile(lumps);
}
