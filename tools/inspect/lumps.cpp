#include <cstdio>

#include "assets/resfile.h"
#include "assets/texture.h"
#include "png/png.h"
#include "tools/inspect/commands.h"

namespace {
bool OpenOrSay(RESFILE* file, const std::string& path) {
    if (file->Open(path.c_str())) return true;
    std::fprintf(stderr, "frostvale-inspect: \"%s\" cannot be opened or is not a valid lump file\n", path.c_str());
    return false;
}
}  // namespace

int InspectLumps(const Args& args) {
    if (args.size() != 1) return UsageError("lumps FILE");
    RESFILE file;
    if (!OpenOrSay(&file, args[0])) return 1;
    std::printf("lumps %d\n", file.LumpCount());
    for (int i = 0; i < file.LumpCount(); ++i) {
        const RESENTRY& e = file.directory[static_cast<std::size_t>(i)];
        std::printf("%d %u %u %u %u\n", i, e.size, e.offset, e.type, e.alphaMode);
    }
    return 0;
}

int InspectImage(const Args& args) {
    long long index = 0;
    if (args.size() != 3 || !ParseInt(args[1], 0, 0x7fffffff, &index)) return UsageError("image FILE INDEX OUT.png");
    RESFILE file;
    if (!OpenOrSay(&file, args[0])) return 1;
    if (index >= file.LumpCount() || !file.SeekLump(static_cast<int>(index))) {
        std::fprintf(stderr, "frostvale-inspect: \"%s\" has no readable lump %lld\n", args[0].c_str(), index);
        return 1;
    }
    BoundedReader lump = file.Lump();
    Texture texture;
    if (!LoadTGA2(&texture, &lump)) return 1;  // the decoder has said why
    const int alphaMode = static_cast<int>(file.directory[static_cast<std::size_t>(index)].alphaMode);
    const std::vector<std::uint8_t> rgba = MakeTexturePixels(texture, alphaMode);
    // Rows stay in stored order, so the first stored row ends up at the bottom.
    if (!WritePng(args[2], static_cast<int>(texture.width), static_cast<int>(texture.height), rgba, false)) {
        std::fprintf(stderr, "frostvale-inspect: cannot write \"%s\"\n", args[2].c_str());
        return 1;
    }
    std::printf("%u %u %u\n", texture.width, texture.height, texture.bpp);
    return 0;
}
