// Writes the starting corpus of every fuzz target: small hand-made inputs
// that reach each branch of a format, plus the smallest lumps of the baked
// resource folder, so the fuzzers start from what the saver really reads.
//
//   fuzz_make_seeds OUTDIR [BAKEDDIR]
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "assets/resfile.h"
#include "tools/common/lumpwriter.h"
#include "tools/common/ms3dwriter.h"

namespace fs = std::filesystem;

namespace {
void Put(const fs::path& dir, const std::string& name, const Bytes& bytes) {
    fs::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                      static_cast<std::streamsize>(bytes.size()));
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Image Checker(int w, int h) {
    Image image(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = image.At(x, y);
            const bool on = ((x / 2) + (y / 2)) % 2 == 0;
            p[0] = on ? 255 : 10;
            p[1] = static_cast<std::uint8_t>(x * 16);
            p[2] = static_cast<std::uint8_t>(y * 16);
            p[3] = on ? 255 : 0;
        }
    }
    return image;
}

Ms3dModelDesc TwoJointModel() {
    Ms3dModelDesc m;
    for (Ms3dVertexDesc v : {Ms3dVertexDesc{{0, 0, 0}, 0}, {{1, 0, 0}, 1}, {{0, 1, 0}, 1}, {{0, 0, 1}, 0}}) m.vertices.push_back(v);
    m.groups = {{"body", {}, 0}};
    Ms3dMaterialDesc paint;
    paint.name = "paint";
    m.materials = {paint};
    for (std::array<std::uint16_t, 3> t : {std::array<std::uint16_t, 3>{0, 1, 2}, {0, 2, 3}, {0, 3, 1}, {1, 3, 2}}) {
        AddFlatTriangle(&m, 0, t, {0, 1, 0}, {0, 0, 1});
    }
    m.totalFrames = 10;
    Ms3dJointDesc root;
    root.name = "root";
    root.rotationKeys = {{0.0f, {0, 0, 0}}, {0.4f, {0, 1.0f, 0}}};
    root.translationKeys = {{0.0f, {0, 0, 0}}, {0.4f, {0, 0.5f, 0}}};
    Ms3dJointDesc arm;
    arm.name = "arm";
    arm.parent = "root";
    arm.rotation = {0.1f, 0, 0};
    arm.position = {1, 0, 0};
    arm.rotationKeys = {{0.1f, {0.5f, 0, 0}}, {0.3f, {0, 0, 0.5f}}};
    m.joints = {root, arm};
    return m;
}

// The `count` smallest lumps of a baked file whose type is (or is not) an image.
std::vector<Bytes> SmallestLumps(const fs::path& file, bool images, std::size_t count) {
    RESFILE res;
    std::vector<Bytes> lumps;
    if (res.Open(file.c_str()) != 1) return lumps;
    std::vector<int> order(res.directory.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        return res.directory[static_cast<std::size_t>(a)].size < res.directory[static_cast<std::size_t>(b)].size;
    });
    for (int i : order) {
        if ((res.directory[static_cast<std::size_t>(i)].type == kLumpTypeImage) != images) continue;
        if (!res.SeekLump(i)) continue;
        BoundedReader reader = res.Lump();
        Bytes bytes(static_cast<std::size_t>(reader.Remaining()));
        if (!reader.Read(bytes.data(), bytes.size())) continue;
        lumps.push_back(std::move(bytes));
        if (lumps.size() == count) break;
    }
    return lumps;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: fuzz_make_seeds OUTDIR [BAKEDDIR]\n");
        return 2;
    }
    const fs::path out = argv[1];
    const Image small = Checker(8, 4);

    // TGA: the first byte is the alpha mode.
    int n = 0;
    for (int bpp : {24, 32}) {
        for (TgaEncoding encoding : {TgaEncoding::Uncompressed, TgaEncoding::RunLength}) {
            Bytes tga = EncodeTga(small, bpp, encoding);
            tga.insert(tga.begin(), static_cast<std::uint8_t>(n % 3));
            Put(out / "tga", "hand-" + std::to_string(n++), tga);
        }
    }

    const Bytes model = EncodeMs3d(TwoJointModel());
    Put(out / "ms3d", "two-joints", model);

    Put(out / "lumps", "image-and-model",
        BuildLumpFile({{EncodeTga(small, 32, TgaEncoding::RunLength), kLumpTypeImage, 2},
                       {model, kLumpTypeModel, 0},
                       {EncodeTga(small, 24, TgaEncoding::Uncompressed), kLumpTypeImage, 1}}));
    Put(out / "lumps", "empty-directory", BuildLumpFile({}));

    // MIDI: a conductor track with a tempo change, a part with running
    // status, a sysex and a note closed by a velocity-0 note-on.
    const Bytes midi = {
        'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0x01, 0xE0,
        'M', 'T', 'r', 'k', 0, 0, 0, 19,
        0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,
        0x83, 0x60, 0xFF, 0x51, 0x03, 0x05, 0x00, 0x00,
        0x00, 0xFF, 0x2F, 0x00,
        'M', 'T', 'r', 'k', 0, 0, 0, 29,
        0x00, 0xC0, 0x08,
        0x00, 0xF0, 0x03, 0x7E, 0x7F, 0xF7,
        0x00, 0x90, 0x3C, 0x64,
        0x00, 0x40, 0x50,
        0x83, 0x60, 0x3C, 0x00,
        0x81, 0x70, 0x80, 0x40, 0x00,
        0x00, 0xFF, 0x2F, 0x00,
    };
    Put(out / "midi", "two-tracks", midi);

    Put(out / "store", "defaults",
        Text("version=1.0\nMainMonitorOnly=0\nPlayMusic=1\nShowCountdown=1\nShowSparkles=1\nShowSmoke=1\n"
             "ShowTrees=1\nSelectedTune=58\nNumStars=400\nNumSnow=750\nNumReindeer=1\nNumHouses=40\n"));
    Put(out / "store", "edited", Text("version=1.0\r\nNumHouses=0\r\nNumSnow=-5\r\nNumStars=99999999999\r\nNumReindeer=12abc\r\n"));

    const std::vector<std::vector<std::string>> commandLines = {
        {"--headless", "--size", "64x64", "--seconds", "2", "--seed", "7"},
        {"-root", "-fps"},
        {"-window-id", "0x1e00007", "--preview"},
        {"--now=2026-12-24 18:00:00", "--print-settings"},
    };
    for (std::size_t i = 0; i < commandLines.size(); ++i) {
        Bytes joined;
        for (const std::string& word : commandLines[i]) {
            if (!joined.empty()) joined.push_back(0);
            joined.insert(joined.end(), word.begin(), word.end());
        }
        Put(out / "cmdline", "words-" + std::to_string(i), joined);
    }

    if (argc > 2) {
        const fs::path baked = argv[2];
        int k = 0;
        for (const Bytes& image : SmallestLumps(baked / "tex.brm", true, 3)) {
            Bytes seed = image;
            seed.insert(seed.begin(), 2);
            Put(out / "tga", "baked-" + std::to_string(k++), seed);
        }
        for (const char* tune : {"music/hark.mid", "music/JBROCK.MID"}) {
            std::ifstream in(baked / tune, std::ios::binary);
            const Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            if (!bytes.empty()) Put(out / "midi", fs::path(tune).filename().string(), bytes);
        }
        k = 0;
        for (const char* file : {"presents.brm", "elf.brm"}) {
            for (const Bytes& lump : SmallestLumps(baked / file, false, 1)) Put(out / "ms3d", "baked-" + std::to_string(k++), lump);
        }
    }
    std::printf("seeds written to %s\n", out.c_str());
    return 0;
}
