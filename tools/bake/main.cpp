// frostvale-bake OUTDIR: writes the complete resource folder.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>

#include "tools/bake/bake.h"
#include "tools/bake/characters.h"
#include "tools/bake/models.h"
#include "tools/bake/music/arranger.h"
#include "tools/bake/paint.h"

namespace {
struct BakedFile {
    const char* name;
    std::function<std::vector<Lump>()> build;
};

const BakedFile kFiles[] = {
    {kSceneImageFile, BuildSceneTextures},
    {kOverlayImageFile, BuildOverlayTextures},
    {kHouseModels[0].file, BuildHouses},
    {kGroundModel.file, BuildOther},
    {kSleighModel.file, BuildSleigh},
    {kPresentsModel.file, BuildPresents},
    {kReindeerModel.file, BuildReindeer},
    {kSantaModel.file, BuildSanta},
    {kElfModel.file, BuildElf},
};
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: frostvale-bake OUTDIR\n");
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::error_code error;
    std::filesystem::create_directories(out, error);
    if (error) {
        std::fprintf(stderr, "frostvale-bake: cannot create \"%s\": %s\n", out.c_str(), error.message().c_str());
        return 1;
    }
    for (const BakedFile& file : kFiles) {
        std::vector<Lump> lumps;
        try {
            lumps = file.build();
        } catch (const BakeError& e) {
            std::fprintf(stderr, "frostvale-bake: %s: %s\n", file.name, e.what());
            return 1;
        }
        std::string why;
        if (!WriteFileAtomically((out / file.name).string(), BuildLumpFile(lumps), &why)) {
            std::fprintf(stderr, "frostvale-bake: %s\n", why.c_str());
            return 1;
        }
    }
    // The carols: every file of the tune table, or none and a message naming what is missing.
    std::vector<MusicFile> music;
    try {
        music = BuildMusic();
    } catch (const BakeError& e) {
        std::fprintf(stderr, "frostvale-bake: music: %s\n", e.what());
        return 1;
    }
    std::filesystem::create_directories(out / "music", error);
    if (error) {
        std::fprintf(stderr, "frostvale-bake: cannot create \"%s\": %s\n", (out / "music").c_str(), error.message().c_str());
        return 1;
    }
    for (const MusicFile& file : music) {
        std::string why;
        if (!WriteFileAtomically((out / file.name).string(), file.bytes, &why)) {
            std::fprintf(stderr, "frostvale-bake: %s\n", why.c_str());
            return 1;
        }
    }
    return 0;
}
