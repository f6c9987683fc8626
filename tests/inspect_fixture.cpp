#include "tests/inspect_fixture.h"

#include <cstring>
#include <filesystem>
#include <utility>

#include "assets/resource_contract.h"
#include "assets/tunes.h"
#include "tests/midi_builder.h"
#include "tests/scratch.h"
#include "tools/bake/bake.h"
#include "tools/bake/characters.h"
#include "tools/bake/models.h"

namespace {
// The baker's lumps, its models (each with the contract's place and scale) as descriptions.
using Models = std::vector<std::pair<ModelRef, Mesh>>;
std::vector<FixtureLump> Baked(const std::vector<Lump>& baked, const Models& models) {
    std::vector<FixtureLump> lumps;
    for (const Lump& lump : baked) lumps.push_back({lump, {}, 1.0f});
    for (const auto& [ref, mesh] : models) {
        FixtureLump& lump = lumps.at(static_cast<std::size_t>(ref.lump));
        lump.model = mesh.ToMs3d(1.0f);
        lump.scale = ref.scale;
    }
    return lumps;
}

Fixture BakedFixture() {
    const float far = kFarCharacterDetail;
    Fixture f;
    f.files["tex.brm"] = Baked(BuildSceneTextures(), {});
    f.files["bramble.works"] = Baked(BuildOverlayTextures(), {});
    f.files["houses.brm"] = Baked(BuildHouses(), {{kHouseModels[0], HouseMesh(0)},
                                                  {kHouseModels[1], HouseMesh(1)},
                                                  {kHouseModelsFar[0], FarHouseMesh(0)},
                                                  {kHouseModelsFar[1], FarHouseMesh(1)}});
    f.files["other.brm"] = Baked(BuildOther(), {{kGroundModel, GroundMesh()},
                                                {kRareTreeModel, RareTreeMesh()},
                                                {kTreeModel, TreeMesh()},
                                                {kRareTreeModelFar, FarRareTreeMesh()},
                                                {kTreeModelFar, FarTreeMesh()}});
    f.files["sleigh.brm"] = Baked(BuildSleigh(), {{kSleighModel, SleighMesh()}});
    f.files["presents.brm"] = Baked(BuildPresents(), {{kPresentsModel, PresentsMesh()}});
    f.files["reindeer.brm"] =
        Baked(BuildReindeer(), {{kReindeerModel, ReindeerMesh()}, {kReindeerModelFar, ReindeerMesh(far)}});
    f.files["santa.brm"] = Baked(BuildSanta(), {{kSantaModel, SantaMesh()}, {kSantaModelFar, SantaMesh(far)}});
    f.files["elf.brm"] = Baked(BuildElf(), {{kElfModel, ElfMesh()}, {kElfModelFar, ElfMesh(far)}});

    // Every tune file the saver plays, by its name under music/.
    for (const char* file : MusicFiles) f.tunes.push_back(std::string(file).substr(std::strlen("music/")));
    return f;
}

// Scene units -> file units.
Ms3dModelDesc Unscaled(Ms3dModelDesc m, float scale) {
    const float k = 1.0f / scale;
    for (auto& v : m.vertices) {
        for (float& c : v.position) c *= k;
    }
    for (auto& j : m.joints) {
        for (float& c : j.position) c *= k;
        for (auto& key : j.translationKeys) {
            for (float& c : key.value) c *= k;
        }
    }
    return m;
}
}  // namespace

Fixture GoodFixture() {
    static const Fixture good = BakedFixture();  // baked once; each test breaks its own copy
    return good;
}

void Fixture::Write(const std::string& dir) const {
    std::filesystem::create_directories(dir + "/music");
    for (const auto& [name, entries] : files) {
        std::vector<Lump> lumps;
        for (const FixtureLump& e : entries) {
            lumps.push_back(e.baked);
            if (e.model) lumps.back().bytes = EncodeMs3d(Unscaled(*e.model, e.scale));
        }
        WriteBytes(dir + "/" + name, BuildLumpFile(lumps));
    }
    const Bytes noNotes = BuildMidi(0, 96, {TrackBuilder().End()});
    for (const std::string& tune : tunes) {
        const auto it = tuneBytes.find(tune);
        WriteBytes(dir + "/music/" + tune, it != tuneBytes.end() ? it->second : noNotes);
    }
}
