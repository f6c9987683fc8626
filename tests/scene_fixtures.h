// Cut-down copies of the baked resource files, for the scene's set-up tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "assets/resfile.h"
#include "tools/common/lumpwriter.h"
#include "tools/common/ms3dwriter.h"

// The lumps of a resource file as the lump writer takes them; none when unreadable.
inline std::vector<Lump> ReadLumps(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    RESFILE file;
    std::vector<Lump> lumps;
    if (!file.Open(path.c_str())) return lumps;
    for (const RESENTRY& e : file.directory) {
        lumps.push_back({Bytes(bytes.begin() + e.offset, bytes.begin() + e.offset + e.size), e.type, e.alphaMode});
    }
    return lumps;
}

// A one-triangle model with `joints` chained joints and `groups` groups (the
// triangle only when there is a group to hold it).
inline Bytes TinyModel(int joints, int groups) {
    Ms3dModelDesc m;
    for (int i = 0; i < 3; ++i) {
        Ms3dVertexDesc v;
        v.position = {static_cast<float>(i == 1), static_cast<float>(i == 2), 0.0f};
        v.joint = joints > 0 ? 0 : -1;
        m.vertices.push_back(v);
    }
    for (int g = 0; g < groups; ++g) m.groups.push_back({"g" + std::to_string(g), {}, -1, 0});
    if (groups > 0) AddFlatTriangle(&m, 0, {0, 1, 2}, {0, 1, 0}, {0, 0, 1});
    for (int j = 0; j < joints; ++j) {
        Ms3dJointDesc joint;
        joint.name = "j" + std::to_string(j);
        joint.parent = j == 0 ? "" : "j0";
        m.joints.push_back(joint);
    }
    return EncodeMs3d(m);
}

// A fresh copy of the baked folder under the tests' temporary folder.
inline std::filesystem::path CopyOfBaked(const std::string& name) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("fv-" + std::to_string(::getpid()) + "-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const auto& entry : fs::directory_iterator(FROSTVALE_BAKED_DIR)) {
        if (entry.is_regular_file()) fs::copy_file(entry.path(), dir / entry.path().filename());
    }
    return dir;
}

// Writes `lumps` as the resource file `name` in `dir`.
inline bool WriteLumps(const std::filesystem::path& dir, const std::string& name, const std::vector<Lump>& lumps) {
    std::string error;
    return WriteFileAtomically((dir / name).string(), BuildLumpFile(lumps), &error);
}
