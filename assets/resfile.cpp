#include "assets/resfile.h"

#include <cstring>
#include <limits>

int RESFILE::Open(const char* path) {
    Close();
    file.open(path, std::ios::binary);
    if (!file.is_open() || !file) return 0;

    file.seekg(0, std::ios::end);
    const std::streamoff end = file.tellg();
    file.seekg(0, std::ios::beg);
    if (end < 0 || end > std::numeric_limits<std::int32_t>::max()) {
        Close();
        return 0;
    }
    fileLength = static_cast<std::int32_t>(end);

    std::uint8_t raw[kResHeaderSize];
    BoundedReader whole(&file, static_cast<std::uint64_t>(fileLength));
    if (!whole.Read(raw, sizeof raw)) {
        Close();
        return 0;
    }
    std::memcpy(header.magic, raw, 4);
    std::memcpy(header.reserved, raw + 4, 8);
    header.lumpCount = LoadU32LE(raw + 12);
    header.sizeCheck = LoadU32LE(raw + 16);
    header.directoryOffset = LoadU32LE(raw + 20);

    if (std::memcmp(header.magic, "BRMF", 4) != 0 ||
        ~static_cast<std::uint32_t>(fileLength) != header.sizeCheck) {
        Close();
        return 0;
    }
    const std::uint64_t directoryEnd =
        std::uint64_t{header.directoryOffset} + std::uint64_t{header.lumpCount} * kResEntrySize;
    if (directoryEnd > static_cast<std::uint64_t>(fileLength)) {
        Close();
        return 0;
    }

    file.seekg(header.directoryOffset, std::ios::beg);
    BoundedReader entries(&file, std::uint64_t{header.lumpCount} * kResEntrySize);
    directory.resize(header.lumpCount);
    for (RESENTRY& entry : directory) {
        std::uint8_t e[kResEntrySize];
        if (!entries.Read(e, sizeof e)) {
            Close();
            return 0;
        }
        entry = {LoadU32LE(e), LoadU32LE(e + 4), LoadU32LE(e + 8), LoadU32LE(e + 12)};
    }
    return 1;
}

bool RESFILE::SeekLump(int index) {
    if (!file.is_open() || directory.empty()) return false;
    if (index < 0 || static_cast<std::uint32_t>(index) >= header.lumpCount) return false;
    const RESENTRY& entry = directory[static_cast<std::size_t>(index)];
    if (std::uint64_t{entry.offset} + entry.size > static_cast<std::uint64_t>(fileLength)) return false;
    file.clear();
    file.seekg(entry.offset, std::ios::beg);
    if (!file) return false;
    currentLumpSize = entry.size;
    return true;
}

void RESFILE::Close() {
    directory.clear();
    directory.shrink_to_fit();
    header = {};
    currentLumpSize = 0;
    if (file.is_open()) file.close();
    file.clear();
}
