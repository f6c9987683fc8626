// The lump file: header, directory and every lump read through its bounded
// reader, images decoded the way the texture loader decodes them.
#include <cstdint>
#include <vector>

#include "assets/resfile.h"
#include "assets/texture.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = ScratchFile(".brm");
    if (!WriteScratch(path, data, size)) return 0;
    RESFILE file;
    if (file.Open(path.c_str()) != 1) return 0;
    // Directories can claim millions of lumps; the ones past a few dozen add
    // nothing the first ones do not already exercise.
    const int count = file.LumpCount() < 64 ? file.LumpCount() : 64;
    for (int i = -1; i <= count; ++i) {
        if (!file.SeekLump(i)) continue;
        BoundedReader lump = file.Lump();
        if (file.directory[static_cast<std::size_t>(i)].type == kLumpTypeImage) {
            Texture texture;
            if (LoadTGA2(&texture, &lump) != 0) {
                MakeTexturePixels(texture, static_cast<int>(file.directory[static_cast<std::size_t>(i)].alphaMode));
            }
        } else {
            std::uint8_t chunk[4096];
            while (lump.Remaining() > 0) {
                const std::size_t n = lump.Remaining() < sizeof chunk ? static_cast<std::size_t>(lump.Remaining()) : sizeof chunk;
                if (!lump.Read(chunk, n)) __builtin_trap();  // the directory promised these bytes
            }
        }
    }
    return 0;
}
