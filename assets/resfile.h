// Resource lump files: "BRMF" header, a directory of 28-byte entries, and the
// lumps (whole TGA or MS3D files) anywhere in between. Little-endian on disk.
//
//   offset  0  "BRMF"
//           4  8 reserved bytes
//          12  u32 lumpCount
//          16  u32 sizeCheck = ~(file length)   (refuses truncated/extended files)
//          20  u32 directoryOffset
//   entry:  u32 size, u32 offset, u32 type (1 = TGA image), u32 alphaMode, 12 reserved
//
// Open and SeekLump report failure by their result and say why in the set-up
// error they are given, naming the file by its path; callers decide what it
// means (as a rule the whole set-up stops).
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "assets/reader.h"
#include "math/failure.h"

inline constexpr std::uint32_t kLumpTypeImage = 1;
inline constexpr std::uint32_t kLumpTypeModel = 2;  // what our baker writes; readers ignore it
inline constexpr int kResHeaderSize = 24;
inline constexpr int kResEntrySize = 28;

struct RESHEADER {
    char magic[4];
    std::uint8_t reserved[8];
    std::uint32_t lumpCount;
    std::uint32_t sizeCheck;
    std::uint32_t directoryOffset;
};

struct RESENTRY {
    std::uint32_t size;
    std::uint32_t offset;
    std::uint32_t type;
    std::uint32_t alphaMode;
};

class RESFILE {
public:
    RESFILE() = default;
    ~RESFILE() { Close(); }
    RESFILE(const RESFILE&) = delete;
    RESFILE& operator=(const RESFILE&) = delete;

    // 1 when the file is open, valid and its directory loaded; 0 otherwise.
    // Besides the header checks, a directory that does not lie wholly inside
    // the file is refused rather than half-read.
    int Open(const char* path, SetupError* error = nullptr);
    // Positions the stream at lump `index`. A lump whose bytes would lie
    // outside the file is refused, so the reader from Lump() is always safe.
    bool SeekLump(int index, SetupError* error = nullptr);
    void Close();

    bool IsOpen() const { return file.is_open(); }
    int LumpCount() const { return static_cast<int>(header.lumpCount); }
    // A reader over the lump chosen by the last successful SeekLump.
    BoundedReader Lump() { return BoundedReader(&file, currentLumpSize); }

    std::int32_t fileLength = 0;
    std::ifstream file;
    RESHEADER header = {};
    std::vector<RESENTRY> directory;  // empty while no file is open
    std::string path;  // as given to the last Open, for the errors it names

private:
    std::uint32_t currentLumpSize = 0;
};
