#include "tests/inspect_fixture.h"

#include <cstring>
#include <filesystem>
#include <numbers>

#include "assets/resfile.h"
#include "assets/tunes.h"
#include "tests/midi_builder.h"
#include "tests/model_fixtures.h"
#include "tests/scratch.h"
#include "tools/bake/bake.h"
#include "tools/bake/characters.h"
#include "tools/bake/models.h"

namespace {
constexpr float kQuarterTurn = static_cast<float>(std::numbers::pi / 2.0);

// A lump as the baker made it.
FixtureLump BakedLump(const Lump& baked) {
    FixtureLump lump;
    lump.raw = baked.bytes;
    lump.type = baked.type;
    lump.alphaMode = baked.alphaMode;
    return lump;
}

FixtureLump ModelLump(Ms3dModelDesc model, float scale) {
    FixtureLump lump;
    lump.model = std::move(model);
    lump.scale = scale;
    return lump;
}

Ms3dModelDesc NewModel(int groups, int materials) {
    Ms3dModelDesc m;
    m.groups.resize(static_cast<std::size_t>(groups));
    for (int g = 0; g < groups; ++g) {
        m.groups[static_cast<std::size_t>(g)].name = std::string(1, 'g').append(std::to_string(g));
        m.groups[static_cast<std::size_t>(g)].material = static_cast<std::int8_t>(materials > 0 ? g % materials : -1);
    }
    m.materials.resize(static_cast<std::size_t>(materials));
    return m;
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

Ms3dModelDesc House(float halfX, float halfZ) {
    Ms3dModelDesc m = NewModel(1, 1);
    m.joints = {Joint("root", "", {}, {0, 0, 0}), Joint("chimney", "root", {}, {0, 10, 0})};
    AddBox(&m, 0, {-halfX, -3, -halfZ}, {halfX, 9, halfZ}, 0);  // roof top at 9, a unit below the chimney top
    AddBox(&m, 0, {-0.5f, 9, -0.5f}, {0.5f, 10, 0.5f}, 0);
    return m;
}

// A flat top whose edges meet the next tile's, and a hollow in the middle.
Ms3dModelDesc Ground() {
    Ms3dModelDesc m = NewModel(1, 0);
    for (int i = 0; i < 4; ++i) {
        Ms3dVertexDesc v;
        v.position = {(i & 1) ? 60.0f : -60.0f, 0.0f, (i & 2) ? 60.0f : -60.0f};
        m.vertices.push_back(v);
    }
    AddFlatTriangle(&m, 0, {0, 2, 3}, {0, 0, 1}, {0, 1, 1});
    AddFlatTriangle(&m, 0, {0, 3, 1}, {0, 1, 1}, {0, 1, 0});
    AddBox(&m, 0, {-5, -1, -5}, {5, 0, 5});
    return m;
}

Ms3dModelDesc Tree(float height) {
    Ms3dModelDesc m = NewModel(1, 0);
    AddBox(&m, 0, {-2, -3, -2}, {2, height, 2});
    return m;
}

// A low-detail stand-in: the model less its last box face, the box unchanged.
Ms3dModelDesc FarOf(Ms3dModelDesc m) {
    m.triangles.resize(m.triangles.size() - 2);
    auto& last = m.groups.back().triangles;
    last.resize(last.size() - 2);
    return m;
}

Ms3dModelDesc Sleigh() {
    Ms3dModelDesc m = NewModel(2, 1);
    m.groups[1].name = "sack";
    AddBox(&m, 0, {2.4f, -3.3f, -5.0f}, {2.8f, -3.0f, 5.0f});    // runners
    AddBox(&m, 0, {-2.8f, -3.3f, -5.0f}, {-2.4f, -3.0f, 5.0f});
    AddBox(&m, 0, {-2.0f, -3.0f, -4.5f}, {2.0f, -2.2f, 4.5f});   // floor and Santa's seat
    AddBox(&m, 0, {-2.0f, -2.2f, 4.0f}, {2.0f, -0.8f, 4.5f});    // front board with the rein rings
    AddBox(&m, 1, {-1.5f, -2.2f, -2.0f}, {1.5f, 1.6f, 0.0f});    // sack, the elf on top
    return m;
}

Ms3dModelDesc Presents() {
    Ms3dModelDesc m = NewModel(3, 1);
    AddBox(&m, 0, {-0.4f, -0.4f, -0.4f}, {0.4f, 0.4f, 0.4f});
    AddBox(&m, 1, {-0.3f, -0.6f, -0.3f}, {0.3f, 0.6f, 0.3f});
    AddBox(&m, 2, {-0.5f, -0.2f, -0.5f}, {0.5f, 0.2f, 0.5f});
    return m;
}

// Joints: 0 body, 1 head, 2 harness, 3/4 front legs, 5/6 front hooves,
// 7/8 back legs, 9/10 back hooves, 11 nose. Hoof joints turn a quarter about
// x so their +z runs down the leg; legs lift 0.4 except while striking.
Ms3dModelDesc Reindeer() {
    Ms3dModelDesc m = NewModel(1, 2);
    m.totalFrames = 30;
    m.joints = {Joint("body", "", {}, {0, 0, 0}), Joint("head", "body", {}, {0, 3.0f, 2.2f}),
                Joint("harness", "body", {}, {0, 2.5f, 1.2f})};
    const P3 legs[4] = {{0.6f, 1, 1.8f}, {-0.6f, 1, 1.8f}, {0.6f, 1, -1.8f}, {-0.6f, 1, -1.8f}};
    m.joints.push_back(Joint("legFL", "body", {}, legs[0]));
    m.joints.push_back(Joint("legFR", "body", {}, legs[1]));
    m.joints.push_back(Joint("hoofFL", "legFL", {kQuarterTurn, 0, 0}, {0, 0, 0}));
    m.joints.push_back(Joint("hoofFR", "legFR", {kQuarterTurn, 0, 0}, {0, 0, 0}));
    m.joints.push_back(Joint("legBL", "body", {}, legs[2]));
    m.joints.push_back(Joint("legBR", "body", {}, legs[3]));
    m.joints.push_back(Joint("hoofBL", "legBL", {kQuarterTurn, 0, 0}, {0, 0, 0}));
    m.joints.push_back(Joint("hoofBR", "legBR", {kQuarterTurn, 0, 0}, {0, 0, 0}));
    m.joints.push_back(Joint("nose", "head", {}, {0, 0, 0.4f}));

    AddBox(&m, 0, {-1.0f, 1.5f, -2.3f}, {1.0f, 2.8f, 2.3f}, 0);
    AddBox(&m, 0, {-0.35f, 2.6f, 1.8f}, {0.35f, 3.4f, 2.6f}, 1);
    const int hooves[4] = {5, 6, 9, 10}, upper[4] = {3, 4, 7, 8};
    for (int i = 0; i < 4; ++i) {
        const P3& l = legs[i];
        AddBox(&m, 0, {l[0] - 0.15f, 1.0f, l[2] - 0.15f}, {l[0] + 0.15f, 1.6f, l[2] + 0.15f}, upper[i]);
        AddBox(&m, 0, {l[0] - 0.15f, 0.0f, l[2] - 0.15f}, {l[0] + 0.15f, 1.0f, l[2] + 0.15f}, hooves[i]);
    }
    const P3 up = {0, 0.4f, 0}, down = {0, 0, 0};
    for (int leg : {3, 4}) AddMoves(&m, leg, {{1, up}, {14, up}, {16, down}, {19, down}, {21, up}, {22, up}, {26, down}, {30, down}});
    for (int leg : {7, 8}) AddMoves(&m, leg, {{1, up}, {3, up}, {5, down}, {8, down}, {10, up}, {22, up}, {26, down}, {30, down}});
    return m;
}

// Joints 0-15; 9 the +x hand, 15 the -x hand, which climbs out, holds the
// present over (-5, y, 0) in both drop clips and ends each down in the flue.
Ms3dModelDesc Santa() {
    Ms3dModelDesc m = NewModel(1, 1);
    m.totalFrames = 194;
    m.joints.push_back(Joint("root", "", {}, {0, 0, 0}));
    for (int j = 1; j <= 15; ++j) {
        P3 at = {0, 1.0f, 0};
        if (j == 9) at = {1.0f, 1.3f, 0.6f};
        if (j == 15) at = {-1.0f, 1.3f, 0.6f};
        m.joints.push_back(Joint(("j" + std::to_string(j)).c_str(), "root", {}, at));
    }
    AddBox(&m, 0, {-0.8f, 0, -0.6f}, {0.8f, 2.4f, 0.6f}, 0);
    AddBox(&m, 0, {0.8f, 1.1f, 0.8f}, {1.2f, 1.5f, 1.2f}, 9);
    AddBox(&m, 0, {-1.5f, 1.1f, 0.8f}, {-0.8f, 1.5f, 1.2f}, 15);
    const P3 seat = {0, 0, 0}, out = {-2, 1, 0}, over = {-3.1f, -1.0f, -0.6f}, down = {-3.1f, -1.6f, -0.6f};
    AddMoves(&m, 15, {{1, seat}, {49, seat}, {60, {-1, 1, 0}}, {77, out}, {85, over}, {93, down}, {94, out},
                      {108, over}, {122, down}, {123, down}, {194, seat}});
    return m;
}

// Joints 0-9; 9 hand 1, 7 hand 2, each with a palm box where the grip offset
// puts the present; hands dip onto the sack to pick up and swing up to throw.
Ms3dModelDesc Elf() {
    Ms3dModelDesc m = NewModel(1, 1);
    m.totalFrames = 136;
    m.joints.push_back(Joint("root", "", {}, {0, 0, 0}));
    for (int j = 1; j <= 9; ++j) {
        P3 at = {0, 0.8f, 0};
        if (j == 7) at = {-0.5f, 0.8f, 0.2f};
        if (j == 9) at = {0.5f, 0.8f, 0.2f};
        m.joints.push_back(Joint(("j" + std::to_string(j)).c_str(), "root", {}, at));
    }
    AddBox(&m, 0, {-0.35f, 0, -0.25f}, {0.35f, 1.5f, 0.25f}, 0);
    AddBox(&m, 0, {1.1f, 0.7f, 0.55f}, {1.4f, 0.9f, 0.85f}, 9);
    AddBox(&m, 0, {-1.4f, 0.7f, 0.55f}, {-1.1f, 0.9f, 0.85f}, 7);
    const P3 rest = {0, 0, 0}, low = {0, -0.6f, 0}, high = {0, 0.3f, 0.2f}, wave = {0, 0.2f, 0};
    const P3 alongSack2 = {0.2f, -0.6f, 0}, alongSack1 = {-0.2f, -0.6f, 0};
    AddMoves(&m, 7, {{0, rest}, {1, low}, {4, alongSack2}, {11, low}, {16, high}, {20, rest}, {53, rest},
                     {86, wave}, {87, wave}, {136, rest}});
    AddMoves(&m, 9, {{0, rest}, {27, low}, {30, alongSack1}, {37, low}, {42, high}, {46, rest}, {53, rest},
                     {86, wave}, {87, wave}, {136, rest}});
    return m;
}

}  // namespace

void AddBox(Ms3dModelDesc* m, int group, P3 lo, P3 hi, int joint) {
    const auto base = static_cast<std::uint16_t>(m->vertices.size());
    for (int i = 0; i < 8; ++i) {
        Ms3dVertexDesc v;
        v.position = {(i & 1) ? hi[0] : lo[0], (i & 2) ? hi[1] : lo[1], (i & 4) ? hi[2] : lo[2]};
        v.joint = static_cast<std::int8_t>(joint);
        m->vertices.push_back(v);
    }
    // Each face as corner bits, counter-clockwise seen from outside.
    const int faces[6][4] = {{0, 4, 6, 2}, {1, 3, 7, 5}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 2, 3, 1}, {4, 5, 7, 6}};
    for (const auto& f : faces) {
        const auto at = [&](int k) { return static_cast<std::uint16_t>(base + f[k]); };
        AddFlatTriangle(m, group, {at(0), at(1), at(2)}, {0, 1, 1}, {0, 0, 1});
        AddFlatTriangle(m, group, {at(0), at(2), at(3)}, {0, 1, 0}, {0, 1, 1});
    }
}

void AddMoves(Ms3dModelDesc* m, int joint, const std::vector<std::pair<double, P3>>& keys) {
    auto& j = m->joints[static_cast<std::size_t>(joint)];
    j.translationKeys.clear();
    for (const auto& [frame, value] : keys) j.translationKeys.push_back({static_cast<float>(frame / 24.0), value});
}

namespace {
// The baker's file with its models, in order, swapped for the stand-ins.
std::vector<FixtureLump> WithModels(const std::vector<Lump>& baked, const std::vector<FixtureLump>& models) {
    std::vector<FixtureLump> lumps;
    auto next = models.begin();
    for (const Lump& lump : baked) {
        if (lump.type != kLumpTypeModel) {
            lumps.push_back(BakedLump(lump));
        } else if (next != models.end()) {
            lumps.push_back(*next++);
        }
    }
    return lumps;
}
}  // namespace

Fixture GoodFixture() {
    // The pictures are the baker's own; the models are small stand-ins.
    static const std::map<std::string, std::vector<Lump>> baked = {
        {"tex.brm", BuildSceneTextures()}, {"bramble.works", BuildOverlayTextures()}, {"houses.brm", BuildHouses()},
        {"sleigh.brm", BuildSleigh()},     {"presents.brm", BuildPresents()},         {"reindeer.brm", BuildReindeer()},
        {"santa.brm", BuildSanta()},       {"elf.brm", BuildElf()}};
    Fixture f;
    f.files["tex.brm"] = WithModels(baked.at("tex.brm"), {});
    f.files["bramble.works"] = WithModels(baked.at("bramble.works"), {});
    f.files["houses.brm"] = WithModels(baked.at("houses.brm"),
                                       {ModelLump(House(8, 7), 0.41f), ModelLump(House(7, 7), 0.41f),
                                        ModelLump(FarOf(House(8, 6)), 0.41f), ModelLump(FarOf(House(7, 7)), 0.41f)});
    f.files["other.brm"] = {ModelLump(Ground(), 3.0f), ModelLump(Tree(16), 0.1f), ModelLump(Tree(14), 0.3f),
                            ModelLump(FarOf(Tree(16)), 0.1f), ModelLump(FarOf(Tree(14)), 0.3f)};
    f.files["sleigh.brm"] = WithModels(baked.at("sleigh.brm"), {ModelLump(Sleigh(), 0.175f)});
    f.files["presents.brm"] = WithModels(baked.at("presents.brm"), {ModelLump(Presents(), 0.075f)});
    f.files["reindeer.brm"] =
        WithModels(baked.at("reindeer.brm"), {ModelLump(Reindeer(), 0.08f), ModelLump(FarOf(Reindeer()), 0.08f)});
    f.files["santa.brm"] =
        WithModels(baked.at("santa.brm"), {ModelLump(Santa(), 0.1f), ModelLump(FarOf(Santa()), 0.1f)});
    f.files["elf.brm"] = WithModels(baked.at("elf.brm"), {ModelLump(Elf(), 0.05f), ModelLump(FarOf(Elf()), 0.05f)});

    // Every tune file the saver plays, by its name under music/.
    for (const char* file : MusicFiles) f.tunes.push_back(std::string(file).substr(std::strlen("music/")));
    return f;
}

void Fixture::Write(const std::string& dir) const {
    std::filesystem::create_directories(dir + "/music");
    for (const auto& [name, entries] : files) {
        std::vector<Lump> lumps;
        for (const FixtureLump& e : entries) {
            Lump lump;
            lump.bytes = e.raw ? *e.raw : EncodeMs3d(Unscaled(*e.model, e.scale));
            lump.type = e.type.value_or(e.model ? kLumpTypeModel : kLumpTypeImage);
            lump.alphaMode = e.alphaMode;
            lumps.push_back(std::move(lump));
        }
        WriteBytes(dir + "/" + name, BuildLumpFile(lumps));
    }
    const Bytes noNotes = BuildMidi(0, 96, {TrackBuilder().End()});
    for (const std::string& tune : tunes) {
        const auto it = tuneBytes.find(tune);
        WriteBytes(dir + "/music/" + tune, it != tuneBytes.end() ? it->second : noNotes);
    }
}
