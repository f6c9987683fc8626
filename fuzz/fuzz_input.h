// Shared by the fuzz targets: the loaders under test read files from disk,
// so an input is written to a scratch file first.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// One file per process, rewritten for every input.
inline const std::string& ScratchFile(const char* suffix) {
    static const std::string path = [&] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/frostvale-fuzz-" +
               std::to_string(getpid()) + suffix;
    }();
    return path;
}

inline bool WriteScratch(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}
