// frostvale-inspect render, sheet and check, run as the command they are,
// on resource folders made with our own writers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <sstream>

#include <stb/stb_image.h>

#include "assets/resource_contract.h"
#include "tests/inspect_fixture.h"
#include "tests/midi_builder.h"
#include "tests/scratch.h"
#include "tools/bake/model/primitives.h"

namespace {
// What the inspector prints on stdout, or with `errors` what it says on stderr.
std::string Inspect(const std::string& args, int* status, bool errors = false) {
    const std::string command = std::string(FROSTVALE_INSPECT) + " " + args;
    return RunCommand(command + (errors ? " 2>&1 >/dev/null" : " 2>/dev/null"), status);
}

std::vector<std::string> FailLines(const std::string& out) {
    std::vector<std::string> fails;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("FAIL ", 0) == 0) fails.push_back(line);
    }
    return fails;
}

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;
    const unsigned char* At(int x, int y) const { return &rgba[(static_cast<std::size_t>(y) * width + x) * 4]; }
    std::uint32_t Rgb(int x, int y) const { return At(x, y)[0] << 16 | At(x, y)[1] << 8 | At(x, y)[2]; }
    bool Background(int x, int y) const { return Rgb(x, y) == 0x0B1633; }
    int Brightness(int x, int y) const { return (At(x, y)[0] + At(x, y)[1] + At(x, y)[2]) / 3; }
    // Share of the rectangle [x0, x1) x [y0, y1), rows from the top, that is not
    // background, or with `rgb` given, that is that colour.
    double Covered(int x0, int y0, int x1, int y1, std::optional<std::uint32_t> rgb = {}) const {
        int hit = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) hit += rgb ? Rgb(x, y) == *rgb : !Background(x, y);
        }
        return static_cast<double>(hit) / ((x1 - x0) * (y1 - y0));
    }
};

Picture ReadPng(const std::string& path) {
    Picture p;
    int channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &p.width, &p.height, &channels, 4);
    if (data != nullptr) {
        p.rgba.assign(data, data + static_cast<std::size_t>(p.width) * p.height * 4);
        stbi_image_free(data);
    }
    return p;
}
}  // namespace

// ---------------------------------------------------------------------------
// check

TEST(InspectCheck, GoodFolderPassesAndAMissingFileOrFolderFails) {
    TempDir dir;
    GoodFixture().Write(dir.path());
    int status = -1;
    const std::string good = Inspect("check " + dir.path(), &status);
    EXPECT_EQ(status, 0) << good;
    EXPECT_TRUE(FailLines(good).empty()) << good;

    std::filesystem::remove(dir / "santa.brm");
    const std::string out = Inspect("check " + dir.path(), &status);
    EXPECT_EQ(status, 1);
    const auto fails = FailLines(out);
    ASSERT_EQ(fails.size(), 1u) << out;
    EXPECT_EQ(fails[0], "FAIL santa.brm present: missing");
    EXPECT_EQ(out.find("santa.brm frames"), std::string::npos);
    // No folder at all, or none named, fails the same way.
    Inspect("check /nonexistent/folder", &status);
    EXPECT_EQ(status, 1);
    Inspect("check", &status);
    EXPECT_EQ(status, 1);
}

namespace {
struct Breakage {
    const char* expected;  // "FAIL FILE ROW"
    std::function<void(Fixture&)> apply;
};

void Lift(Ms3dModelDesc& m, float dy) {
    for (auto& v : m.vertices) v.position[1] += dy;
}

// Every vertex's coordinate `axis` (0 x, 1 y, 2 z) times `k`.
void Stretch(Ms3dModelDesc& m, int axis, float k) {
    for (auto& v : m.vertices) v.position[static_cast<std::size_t>(axis)] *= k;
}

// The vertices bound to `joint` moved 5 along x, away from the hand they belong to.
void TearOff(Ms3dModelDesc& m, int joint) {
    for (auto& v : m.vertices) v.position[0] += v.joint == joint ? 5.0f : 0.0f;
}

// Through `clip` every joint keeps its last key from before the clip: nothing moves.
void Hold(Ms3dModelDesc& m, Clip clip) {
    const auto hold = [&](std::vector<Ms3dKeyDesc>& keys) {
        const Ms3dKeyDesc* held = nullptr;
        for (Ms3dKeyDesc& k : keys) {
            const double frame = k.time * kAnimationFps;
            if (frame < clip.first + 1e-3) {
                held = &k;
            } else if (frame < clip.last + 1e-3 && held != nullptr) {
                k.value = held->value;
            }
        }
    };
    for (auto& j : m.joints) {
        hold(j.rotationKeys);
        hold(j.translationKeys);
    }
}

FixtureLump& LumpOf(Fixture& f, const char* file, int i) { return f.files.at(file)[static_cast<std::size_t>(i)]; }

// Baked picture `i` of `file` repainted all `grey`, or replaced by a blank of another size.
void Repaint(Fixture& f, const char* file, int i, std::uint8_t grey, std::optional<Image> blank = {}) {
    FixtureLump& lump = LumpOf(f, file, i);
    const Bytes& tga = lump.baked.bytes;
    Image image = blank.value_or(Image(tga.at(12) | tga.at(13) << 8, tga.at(14) | tga.at(15) << 8));
    std::fill(image.rgba.begin(), image.rgba.end(), grey);
    lump.baked.bytes = EncodeTga(image, 24, TgaEncoding::Uncompressed);
}

// One broken thing per entry; the named row must fail.
const std::vector<Breakage>& Breakages() {
    static const std::vector<Breakage> list = {
        {"FAIL tex.brm lumps", [](Fixture& f) { f.files["tex.brm"].resize(5); }},
        {"FAIL tex.brm image-types", [](Fixture& f) { LumpOf(f, "tex.brm", 3).baked.type = 2; }},
        {"FAIL tex.brm image-sizes", [](Fixture& f) { Repaint(f, "tex.brm", 0, 0, Image(12, 8)); }},
        {"FAIL tex.brm glow-alpha", [](Fixture& f) { LumpOf(f, "tex.brm", 2).baked.alphaMode = 0; }},
        {"FAIL tex.brm reins-cut-out", [](Fixture& f) { Repaint(f, "tex.brm", 3, 0); }},
        {"FAIL tex.brm glow-edges", [](Fixture& f) { Repaint(f, "tex.brm", 5, 255); }},
        {"FAIL bramble.works font-grid", [](Fixture& f) { Repaint(f, "bramble.works", 0, 0, Image(128, 32)); }},
        {"FAIL bramble.works banner-shape", [](Fixture& f) { Repaint(f, "bramble.works", 1, 0, Image(64, 16)); }},
        {"FAIL houses.brm model-types", [](Fixture& f) { LumpOf(f, "houses.brm", 1).baked.type = 1; }},
        {"FAIL houses.brm models-load", [](Fixture& f) {
             LumpOf(f, "houses.brm", 1) = {{Bytes(40, 7), kLumpTypeModel, 0}, {}, 1.0f};  // bytes that are no model
         }},
        {"FAIL houses.brm joints", [](Fixture& f) { f.Model("houses.brm").joints.resize(1); }},
        {"FAIL houses.brm chimney", [](Fixture& f) { f.Model("houses.brm", 1).joints[1].position[1] += 2; }},
        {"FAIL houses.brm landing", [](Fixture& f) {
             auto& m = f.Model("houses.brm");  // the roof round the chimney sinks a unit
             const float top = m.joints[0].position[1] + m.joints[kHouseChimneyJoint].position[1];
             for (auto& v : m.vertices) {
                 if (v.position[1] > top - 3 && v.position[1] < top - 0.5f) v.position[1] -= 1;
             }
         }},
        {"FAIL houses.brm size", [](Fixture& f) { LumpOf(f, "houses.brm", 0).scale *= 2; }},
        {"FAIL houses.brm footing", [](Fixture& f) { Lift(f.Model("houses.brm", 1), 1.0f); }},
        {"FAIL other.brm ground-seams", [](Fixture& f) {
             for (auto& v : f.Model("other.brm").vertices) {
                 if (v.position[0] == 60.0f) v.position[1] -= 0.3f;  // the +x edge sinks
             }
         }},
        {"FAIL other.brm tree-width", [](Fixture& f) { Stretch(f.Model("other.brm", 2), 0, 4.0f); }},
        {"FAIL other.brm tree-uv", [](Fixture& f) { f.Model("other.brm", 2).triangles[0].s[1] = 1.5f; }},
        {"FAIL sleigh.brm centred", [](Fixture& f) {
             f.Model("sleigh.brm").vertices[0].position[0] = -3.5f;  // a corner sticks out to one side
         }},
        {"FAIL other.brm ground-size", [](Fixture& f) { Stretch(f.Model("other.brm"), 0, 0.8f); }},
        {"FAIL other.brm ground-top", [](Fixture& f) { Lift(f.Model("other.brm"), 2.0f); }},
        {"FAIL other.brm tree-height", [](Fixture& f) { LumpOf(f, "other.brm", 2).scale /= 2; }},
        {"FAIL houses.brm far-model", [](Fixture& f) { f.Model("houses.brm", 7) = f.Model("houses.brm", 0); }},
        {"FAIL other.brm far-model", [](Fixture& f) { LumpOf(f, "other.brm", 4).scale = 0.2f; }},
        {"FAIL sleigh.brm runners", [](Fixture& f) { Lift(f.Model("sleigh.brm"), 0.5f); }},
        {"FAIL sleigh.brm runner-ends", [](Fixture& f) { Stretch(f.Model("sleigh.brm"), 2, 0.8f); }},
        {"FAIL sleigh.brm elf-seat", [](Fixture& f) {
             for (auto& v : f.Model("sleigh.brm").vertices) v.position[1] = std::min(v.position[1], 1.0f);
         }},
        {"FAIL sleigh.brm materials", [](Fixture& f) {
             f.Model("sleigh.brm").materials.resize(f.files["sleigh.brm"].size());  // one more than the pictures
         }},
        {"FAIL presents.brm shapes", [](Fixture& f) { f.Model("presents.brm").groups.resize(2); }},
        {"FAIL presents.brm wrappings", [](Fixture& f) { f.files["presents.brm"].resize(9); }},
        {"FAIL presents.brm centred", [](Fixture& f) {
             auto& m = f.Model("presents.brm");  // one present moved 0.3 sideways
             std::set<std::uint16_t> corners;
             for (std::uint16_t t : m.groups[1].triangles) corners.insert(m.triangles[t].vertices.begin(), m.triangles[t].vertices.end());
             for (std::uint16_t i : corners) m.vertices[i].position[0] += 0.3f;
         }},
        {"FAIL presents.brm size", [](Fixture& f) { LumpOf(f, "presents.brm", 0).scale = 0.03f; }},
        {"FAIL reindeer.brm frames", [](Fixture& f) { f.Model("reindeer.brm").fps = 30.0f; }},
        {"FAIL reindeer.brm length", [](Fixture& f) { Stretch(f.Model("reindeer.brm"), 2, 1.5f); }},
        {"FAIL reindeer.brm nose", [](Fixture& f) {
             f.Model("reindeer.brm").joints[reindeer::kNose].position = {0, 0, -0.8f};
         }},
        {"FAIL reindeer.brm harness", [](Fixture& f) { Stretch(f.Model("reindeer.brm"), 0, 0.5f); }},
        {"FAIL reindeer.brm hoof-tips", [](Fixture& f) {
             f.Model("reindeer.brm").joints[reindeer::kHindHoofPlusX].rotation = {0, 0, 0};
         }},
        {"FAIL reindeer.brm front-hooves", [](Fixture& f) { Hold(f.Model("reindeer.brm"), {15, 20}); }},
        {"FAIL reindeer.brm standing", [](Fixture& f) {
             f.Model("reindeer.brm").joints[reindeer::kHindHoofMinusX].position[1] += 0.3f;
         }},
        {"FAIL santa.brm height", [](Fixture& f) { Stretch(f.Model("santa.brm"), 1, 2.0f); }},
        {"FAIL santa.brm far-skeleton", [](Fixture& f) { f.Model("santa.brm", 3).joints[1].position[0] += 0.5f; }},
        {"FAIL elf.brm far-skeleton", [](Fixture& f) { f.Model("elf.brm", 3).totalFrames += 1; }},
        {"FAIL reindeer.brm far-skeleton", [](Fixture& f) {
             for (int axis : {0, 1, 2}) Stretch(f.Model("reindeer.brm", 11), axis, 1.08f);  // reaches 8% further
         }},
        {"FAIL elf.brm far-model", [](Fixture& f) { f.Model("elf.brm", 3).materials[0].diffuse[0] += 0.5f; }},
        {"FAIL santa.brm hands", [](Fixture& f) {
             auto& hand = f.Model("santa.brm").joints[santa::kHandMinusX];  // the -x hand on the +x side
             hand.parent.clear();
             hand.position = {1.0f, 1.0f, 0.0f};
         }},
        {"FAIL santa.brm fists", [](Fixture& f) { TearOff(f.Model("santa.brm"), santa::kHandPlusX); }},
        {"FAIL santa.brm present-hand", [](Fixture& f) {
             TearOff(f.Model("santa.brm"), santa::kHandMinusX);
         }},
        // The present stops above the chimney and would vanish in mid-air.
        {"FAIL santa.brm first-drop", [](Fixture& f) { Hold(f.Model("santa.brm"), santa::kLower); }},
        {"FAIL santa.brm second-drop", [](Fixture& f) { Hold(f.Model("santa.brm"), santa::kDrop); }},
        {"FAIL santa.brm seated-loop", [](Fixture& f) {
             for (auto& k : f.Model("santa.brm").joints[santa::kHandMinusX].rotationKeys) {
                 if (std::lround(k.time * kAnimationFps) == santa::kSeated.last) k.value[0] += 0.5f;
             }
         }},
        {"FAIL elf.brm hand1-pick-up", [](Fixture& f) { Hold(f.Model("elf.brm"), elf::kHand1PickUp); }},
        {"FAIL elf.brm hand2-at-sack", [](Fixture& f) {
             for (auto& g : f.Model("sleigh.brm").groups) {
                 if (g.name == sleigh::kSackGroup) g.name = "bag";
             }
         }},
        {"FAIL music/ present", [](Fixture& f) { f.tunes.clear(); }},
        {"FAIL music/ tunes", [](Fixture& f) { f.tunes.pop_back(); }},
        {"FAIL music/ midi", [](Fixture& f) { f.tuneBytes["joy.mid"] = Bytes{'R', 'I', 'F', 'F'}; }},
    };
    return list;
}
}  // namespace

// Each row reads only its own file (the elf's also the sleigh's sack), and passed
// on the whole good folder; the other files are left out, so their rows are skipped.
TEST(InspectCheck, EachBrokenRowFails) {
    for (const Breakage& b : Breakages()) {
        TempDir dir;
        Fixture f = GoodFixture();
        b.apply(f);
        const std::string expected = b.expected, file = expected.substr(5, expected.find(' ', 5) - 5);
        std::erase_if(f.files, [&](const auto& e) { return e.first != file && e.first != "sleigh.brm"; });
        f.Write(dir.path());
        if (expected == "FAIL music/ present") std::filesystem::remove_all(dir.path() + "/music");
        int status = -1;
        const std::string out = Inspect("check " + dir.path(), &status);
        EXPECT_EQ(status, 1) << b.expected;
        const auto fails = FailLines(out);
        const bool found = std::any_of(fails.begin(), fails.end(), [&](const std::string& line) {
            return line.rfind(expected + ":", 0) == 0;
        });
        EXPECT_TRUE(found) << "expected \"" << b.expected << "\" in:\n" << out;
    }
}

// ---------------------------------------------------------------------------
// render and sheet

namespace {
// A 2 x 10 x 2 pillar standing off the origin, in a file the scene does not know (scale 1).
std::string WritePillar(const std::string& dir) {
    Mesh m;
    m.Use(m.AddGroup("pillar", m.AddMaterial(PlainMaterial("white"))));
    AddBox(m, Move(21, 5, 0), {2, 10, 2}, BoxUv::All({}));
    Image white(8, 8);
    std::fill(white.rgba.begin(), white.rgba.end(), 255);
    const Bytes picture = EncodeTga(white, 24, TgaEncoding::Uncompressed);
    WriteBytes(dir + "/pillar.brm", BuildLumpFile({{EncodeMs3d(m.ToMs3d(1.0f)), 2, 0}, {picture, 1, 0}}));
    return dir + "/pillar.brm";
}

// `render MODEL DIR/out.png ARGS`, DIR being the model's folder; the picture.
Picture Render(const std::string& model, const std::string& args, int want = 0) {
    const std::string out = std::filesystem::path(model).replace_filename("out.png");
    int status = -1;
    Inspect("render " + model + " " + out + " " + args, &status);
    EXPECT_EQ(status, want) << model << " " << args;
    return ReadPng(out);
}
}  // namespace

TEST(InspectRender, FramesTheModelLitAtTheAskedSizeWhateverItsScaleAndTurn) {
    TempDir dir;
    const std::string pillar = WritePillar(dir.path());
    const Picture p = Render(pillar, "--size 300x200 --yaw 0 --pitch 0");
    ASSERT_EQ(p.width, 300);
    ASSERT_EQ(p.height, 200);
    // The pillar is framed wherever it stands: its middle is lit, not black, not background.
    EXPECT_GT(p.Brightness(150, 100), 120);
    EXPECT_GT(p.Covered(145, 40, 155, 160), 0.95);
    // Tall and thin: the sides stay night blue.
    EXPECT_EQ(p.Covered(0, 0, 100, 200), 0.0);
    EXPECT_EQ(p.Covered(200, 0, 300, 200), 0.0);
    // From straight above, a 2 x 2 top face in a sphere of radius ~5.2: a small square in the middle;
    // framing follows the scale, so three times larger is the same picture, give or take an edge pixel.
    const Picture top = Render(pillar, "--size 128x128 --yaw 0 --pitch 89");
    EXPECT_FALSE(top.Background(64, 64));
    EXPECT_EQ(top.Covered(0, 0, 128, 30), 0.0);
    EXPECT_NEAR(Render(pillar, "--size 128x128 --scale 3 --yaw 0 --pitch 89").Covered(0, 0, 128, 128),
                top.Covered(0, 0, 128, 128), 0.01);
}

TEST(InspectRender, AnimatedPosesAndFilmStrip) {
    TempDir dir;
    GoodFixture().Write(dir.path());
    const std::string santa = dir / "santa.brm";
    const Picture seated = Render(santa, "--size 160x160 --frame 1");
    EXPECT_NE(seated.rgba, Render(santa, "--size 160x160 --frame 85").rgba);
    const Picture strip = Render(santa, "--size 400x300 --frames 1 121 30");
    ASSERT_EQ(strip.width, 400);
    ASSERT_EQ(strip.height, 300);
    // Five poses on a 3 x 2 grid of 133 x 150 cells: each of the five holds the model, the sixth is empty.
    for (int i = 0; i < 6; ++i) {
        const int x0 = (i % 3) * 133, y0 = (i / 3) * 150;
        const double covered = strip.Covered(x0 + 2, y0 + 25, x0 + 131, y0 + 148);
        if (i < 5) {
            EXPECT_GT(covered, 0.02) << "cell " << i;
        } else {
            EXPECT_EQ(covered, 0.0);
        }
    }
    Render(dir / "sleigh.brm", "--frame 3", 1);  // static models have no frames to show
}

TEST(InspectRender, RefusesBadArgumentsAndMissingTextures) {
    TempDir dir;
    Fixture f = GoodFixture();
    f.files.erase("tex.brm");
    f.Write(dir.path());
    for (const char* args : {"--size 10x10", "--size 64", "--frames 5 1 1", "--frames 1 5 0",
                             "--frame 1 --frames 1 5 1", "--lump x"}) {
        Render(dir / "santa.brm", args, 1);
    }
    Render(dir / "other.brm", "--lump 2", 1);   // the trees take their pictures from "tex.brm", which is gone
    Render(dir / "houses.brm", "--lump 3", 1);  // an image, not a model
    EXPECT_FALSE(std::filesystem::exists(dir / "out.png"));
}

TEST(InspectSheet, AllModelsOnOneSheetAndMissingOnesMarked) {
    TempDir dir;
    Fixture f = GoodFixture();
    f.Write(dir.path());
    int status = -1;
    Inspect("sheet " + dir.path() + " " + dir.path() + "/sheet.png", &status);
    ASSERT_EQ(status, 0);
    const Picture sheet = ReadPng(dir.path() + "/sheet.png");
    ASSERT_EQ(sheet.width, 1024);
    ASSERT_EQ(sheet.height, 768);
    // Ten models on a 4 x 3 grid of 256-pixel cells; the last two cells stay empty.
    for (int i = 0; i < 12; ++i) {
        const int x0 = (i % 4) * 256, y0 = (i / 4) * 256;
        const double covered = sheet.Covered(x0, y0 + 40, x0 + 256, y0 + 256);
        if (i < 10) {
            EXPECT_GT(covered, 0.03) << "cell " << i;
        } else {
            EXPECT_EQ(sheet.Covered(x0, y0, x0 + 256, y0 + 256), 0.0) << "cell " << i;
        }
    }
    // Labels: text in the label colour in the first cell's top-left corner.
    EXPECT_GT(sheet.Covered(0, 0, 250, 30, 0xEEF4FF) * 250 * 30, 50);

    std::filesystem::remove(dir.path() + "/elf.brm");
    Inspect("sheet " + dir.path() + " " + dir.path() + "/partial.png --size 500x400", &status);
    EXPECT_EQ(status, 1);
    const Picture partial = ReadPng(dir.path() + "/partial.png");
    EXPECT_EQ(partial.width, 500);
}

TEST(InspectMidi, ReportsTracksLengthAndSeconds) {
    TrackBuilder conductor, voice, empty;
    conductor.Tempo(0, 1000000).Tempo(96 * 2, 250000).End();
    voice.Program(0, 0, 0).NoteOn(96, 0, 60, 100).NoteOff(96, 0, 60).NoteOn(96, 0, 62, 100).NoteOff(48, 0, 62).End();
    const TempFile tune("tune.mid", BuildMidi(1, 96, {conductor, voice, empty}));
    int status = -1;
    const std::string out = Inspect("midi " + tune.path(), &status);
    EXPECT_EQ(status, 0);
    // Last event at beat 3, so 7 beats: 2 s for the first two, 5 x 0.25 s after.
    EXPECT_EQ(out,
              "format 1\ndivision 96\ntracks 3\n"
              "track 0 events 0 notes 0 last none\n"
              "track 1 events 3 notes 2 last 3.0000\n"
              "track 2 events 0 notes 0 last none\n"
              "length 7.0000\nseconds 3.2500\n");

    const TempFile smpte("smpte.mid", BuildMidi(0, 0xE728, {voice}));
    const std::string said = Inspect("midi " + smpte.path(), &status, true);
    EXPECT_EQ(status, 1);
    EXPECT_NE(said.find("SMPTE"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << "one plain sentence";
    Inspect("midi /nonexistent/absent.mid", &status);
    EXPECT_EQ(status, 1);
}

TEST(InspectPlay, WritesA16BitStereoWav) {
    TempDir dir;
    TrackBuilder voice;
    voice.Program(0, 0, 0).NoteOn(0, 0, 64, 110).NoteOff(96, 0, 64);
    const std::string file = dir / "tune.mid";
    WriteBytes(file, BuildMidi(0, 96, {voice}));
    const std::string wav = dir.path() + "/out.wav";
    int status = -1;
    Inspect("play " + file + " --wav " + wav + " --seconds 0.5", &status);
    if (status != 0 && !std::filesystem::exists("/usr/share/sounds/sf2")) GTEST_SKIP() << "no soundfont installed";
    ASSERT_EQ(status, 0);
    const std::string text = ReadBytes(wav);
    const std::vector<unsigned char> bytes(text.begin(), text.end());
    ASSERT_EQ(bytes.size(), 44u + 22050u * 4u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(bytes[22], 2);                                      // channels
    EXPECT_EQ(bytes[24] | (bytes[25] << 8) | (bytes[26] << 16), 44100);
    EXPECT_EQ(bytes[34], 16);                                     // bits per sample
    int peak = 0;
    for (std::size_t i = 44; i + 1 < bytes.size(); i += 2)
        peak = std::max(peak, std::abs(static_cast<std::int16_t>(bytes[i] | (bytes[i + 1] << 8))));
    EXPECT_GT(peak, 1000);

    Inspect("play " + file + " --wav " + wav + " --seconds -3", &status);
    EXPECT_EQ(status, 1);
    Inspect("play " + file, &status);
    EXPECT_EQ(status, 1);
}
