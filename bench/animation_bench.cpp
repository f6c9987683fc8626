// Per-frame animation cost of characters, and model load time.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "assets/animation.h"
#include "assets/ms3d.h"
#include "assets/resfile.h"
#include "tools/common/lumpwriter.h"
#include "tools/common/ms3dwriter.h"

namespace {
// A character of `joints` joints in a chain, each carrying a grid of
// side x side vertices (flat, so corners share vertices), with rotation and
// translation keys over two seconds at 24 fps.
Ms3dModelDesc MakeCharacter(int joints, int side, int keys) {
    Ms3dModelDesc m;
    m.fps = 24.0f;
    m.totalFrames = 48;
    m.materials.resize(2);
    m.groups.resize(2);
    m.groups[0].material = 0;
    m.groups[1].material = 1;
    for (int j = 0; j < joints; ++j) {
        Ms3dJointDesc joint;
        joint.name = std::string(1, 'j').append(std::to_string(j));
        joint.parent = j == 0 ? std::string() : std::string(1, 'j').append(std::to_string(j - 1));
        joint.position = {0.0f, j == 0 ? 0.0f : 1.0f, 0.0f};
        joint.rotation = {0.05f * static_cast<float>(j % 3), 0.0f, 0.1f};
        for (int k = 0; k < keys; ++k) {
            const float t = 2.0f * static_cast<float>(k) / static_cast<float>(keys - 1);
            const float a = std::sin(static_cast<float>(k + j));
            joint.rotationKeys.push_back({t, {0.4f * a, 0.2f * a, -0.3f * a}});
            if (k % 2 == 0) joint.translationKeys.push_back({t, {0.0f, 0.1f * a, 0.0f}});
        }
        m.joints.push_back(joint);

        const auto base = static_cast<std::uint16_t>(m.vertices.size());
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                Ms3dVertexDesc v;
                v.position = {static_cast<float>(x) / static_cast<float>(side), static_cast<float>(j) + static_cast<float>(y) / static_cast<float>(side), 0.1f * static_cast<float>(j % 2)};
                v.joint = static_cast<std::int8_t>(j);
                m.vertices.push_back(v);
            }
        }
        const int group = j % 2;
        for (int y = 0; y + 1 < side; ++y) {
            for (int x = 0; x + 1 < side; ++x) {
                const auto a = static_cast<std::uint16_t>(base + y * side + x);
                const auto b = static_cast<std::uint16_t>(a + 1);
                const auto c = static_cast<std::uint16_t>(a + side + 1);
                const auto d = static_cast<std::uint16_t>(a + side);
                const float u0 = static_cast<float>(x) / static_cast<float>(side), u1 = static_cast<float>(x + 1) / static_cast<float>(side);
                const float v0 = static_cast<float>(y) / static_cast<float>(side), v1 = static_cast<float>(y + 1) / static_cast<float>(side);
                AddFlatTriangle(&m, group, {a, b, c}, {u0, u1, u1}, {v0, v0, v1});
                AddFlatTriangle(&m, group, {a, c, d}, {u0, u1, u0}, {v0, v1, v1});
            }
        }
    }
    return m;
}

struct Character {
    ANIMATIONTEMPLATE animTemplate;
    std::vector<ONEMODEL> instances;
};

// The 2,000-vertex, 20-joint character, scaled and set up as the scene does.
std::unique_ptr<Character> BuildCharacter(int instances) {
    const Bytes bytes = EncodeMs3d(MakeCharacter(20, 10, 12));
    BoundedReader reader(bytes.data(), bytes.size());
    MS3D model;
    if (!model.LoadFromFStream(&reader)) return nullptr;
    model.Scale(0.08f);
    model.InitialSetup();
    auto c = std::make_unique<Character>();
    if (!c->animTemplate.Setup(&model)) return nullptr;
    c->instances.resize(static_cast<std::size_t>(instances));
    for (int i = 0; i < instances; ++i) {
        ONEMODEL& m = c->instances[static_cast<std::size_t>(i)];
        if (!m.Setup(&c->animTemplate, &model, {})) return nullptr;
        // Like a reindeer team: one gallop, each at its own pace.
        m.SetAnimation(1, 22, 900 + (i * 37) % 200, true, false);
    }
    return c;
}

void BM_UpdateOneInstance(benchmark::State& state) {
    auto c = BuildCharacter(1);
    if (!c) {
        state.SkipWithError("character did not build");
        return;
    }
    ONEMODEL& m = c->instances[0];
    for (auto _ : state) {
        m.Update(1.0 / 60);
        benchmark::DoNotOptimize(m.groups[0].verts.data());
    }
    state.counters["vertices"] = static_cast<double>(m.groups[0].numVerts + m.groups[1].numVerts);
    state.counters["joints"] = m.numJoints;
}
BENCHMARK(BM_UpdateOneInstance)->Unit(benchmark::kMicrosecond);

// The largest reindeer team the settings allow: 43 instances of one template.
void BM_UpdateTeamOf43(benchmark::State& state) {
    auto c = BuildCharacter(43);
    if (!c) {
        state.SkipWithError("character did not build");
        return;
    }
    for (auto _ : state) {
        for (ONEMODEL& m : c->instances) m.Update(1.0 / 60);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_UpdateTeamOf43)->Unit(benchmark::kMicrosecond);

// One instance set-up (vertex regrouping included), as done per reindeer.
void BM_InstanceSetup(benchmark::State& state) {
    const Bytes bytes = EncodeMs3d(MakeCharacter(20, 10, 12));
    BoundedReader reader(bytes.data(), bytes.size());
    MS3D model;
    model.LoadFromFStream(&reader);
    model.InitialSetup();
    ANIMATIONTEMPLATE t;
    t.Setup(&model);
    for (auto _ : state) {
        ONEMODEL m;
        benchmark::DoNotOptimize(m.Setup(&t, &model, {}));
    }
}
BENCHMARK(BM_InstanceSetup)->Unit(benchmark::kMicrosecond);

// About 1 MB of model: 64 joints x 121 vertices, 200 triangles each.
const Bytes& MegabyteModel() {
    static const Bytes bytes = EncodeMs3d(MakeCharacter(64, 11, 24));
    return bytes;
}

void BM_LoadModelFromLumpFile(benchmark::State& state) {
    const Bytes& model = MegabyteModel();
    const std::string path = std::string(P_tmpdir) + "/fv-bench-" + std::to_string(getpid()) + ".brm";
    const Bytes file = BuildLumpFile({Lump{model, kLumpTypeModel, 0}});
    std::string error;
    if (!WriteFileAtomically(path, file, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state) {
        RESFILE res;
        MS3D m;
        if (!res.Open(path.c_str()) || !res.SeekLump(0)) {
            state.SkipWithError("lump file did not open");
            break;
        }
        BoundedReader lump = res.Lump();
        benchmark::DoNotOptimize(m.LoadFromFStream(&lump));
    }
    std::remove(path.c_str());
    state.counters["bytes"] = static_cast<double>(model.size());
}
BENCHMARK(BM_LoadModelFromLumpFile)->Unit(benchmark::kMillisecond);

void BM_LoadModelFromMemory(benchmark::State& state) {
    const Bytes& model = MegabyteModel();
    for (auto _ : state) {
        BoundedReader reader(model.data(), model.size());
        MS3D m;
        benchmark::DoNotOptimize(m.LoadFromFStream(&reader));
    }
    state.counters["bytes"] = static_cast<double>(model.size());
}
BENCHMARK(BM_LoadModelFromMemory)->Unit(benchmark::kMillisecond);
}  // namespace
