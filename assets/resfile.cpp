#include "assets/resfile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <new>

namespace {
std::string Bytes(std::uint64_t n) { return std::to_string(n) + (n == 1 ? " byte" : " bytes"); }
}  // namespace

int RESFILE::Open(const char* name, SetupError* error) {
    Close();
    path = name != nullptr ? name : "";
    errno = 0;
    file.open(path, std::ios::binary);
    if (!file.is_open() || !file) {
        const int reason = errno != 0 ? errno : ENOENT;
        Close();
        return NoteFailure(error, {.file = path, .systemError = reason, .byReader = true});
    }
    auto fail = [this, error](std::string why) {
        Close();
        return NoteFailure(error, {.file = path, .what = std::move(why), .byReader = true});
    };

    // A folder opens as a stream too, and seeking its end gives a nonsense size.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return fail("is a folder, not a file");
    file.seekg(0, std::ios::end);
    const std::streamoff end = file.tellg();
    file.seekg(0, std::ios::beg);
    if (end < 0) return fail("cannot be read: its size is unknown");
    if (end > std::numeric_limits<std::int32_t>::max()) return fail("is too large for a resource file");
    fileLength = static_cast<std::int32_t>(end);
    if (fileLength == 0) return fail("is empty");

    std::uint8_t raw[kResHeaderSize];
    BoundedReader whole(&file, static_cast<std::uint64_t>(fileLength));
    if (!whole.Read(raw, sizeof raw)) {
        return fail("is " + Bytes(static_cast<std::uint64_t>(fileLength)) + " long, shorter than the " +
                    std::to_string(kResHeaderSize) + "-byte header");
    }
    std::memcpy(header.magic, raw, 4);
    std::memcpy(header.reserved, raw + 4, 8);
    header.lumpCount = LoadU32LE(raw + 12);
    header.sizeCheck = LoadU32LE(raw + 16);
    header.directoryOffset = LoadU32LE(raw + 20);

    if (std::memcmp(header.magic, "BRMF", 4) != 0) return fail("is not a resource file (no \"BRMF\" at its start)");
    const std::uint64_t length = static_cast<std::uint64_t>(fileLength);
    const std::uint64_t stated = ~header.sizeCheck;
    const std::uint64_t directoryEnd =
        std::uint64_t{header.directoryOffset} + std::uint64_t{header.lumpCount} * kResEntrySize;
    if (length != stated) {
        // Name what the cut lost when the header can tell.
        std::string lost;
        if (length < stated && directoryEnd > length) {
            lost = "; the directory at byte " + std::to_string(header.directoryOffset) + " is cut off";
        } else if (length < stated) {
            file.seekg(header.directoryOffset, std::ios::beg);
            BoundedReader entries(&file, std::uint64_t{header.lumpCount} * kResEntrySize);
            std::uint8_t e[kResEntrySize];
            for (std::uint32_t i = 0; i < header.lumpCount && entries.Read(e, sizeof e); ++i) {
                const std::uint64_t lumpEnd = std::uint64_t{LoadU32LE(e + 4)} + LoadU32LE(e);
                if (lumpEnd <= length) continue;
                lost = "; lump " + std::to_string(i) + " (bytes " + std::to_string(LoadU32LE(e + 4)) + " to " +
                       std::to_string(lumpEnd) + ") is cut off";
                break;
            }
        }
        return fail(std::string(length < stated ? "is truncated" : "is longer than its header says") + ": " +
                    Bytes(length) + ", the header says " + Bytes(stated) + lost);
    }
    if (directoryEnd > length) {
        return fail("has a directory of " + std::to_string(header.lumpCount) + " entries at byte " +
                    std::to_string(header.directoryOffset) + " that runs past the end (" + Bytes(length) + ")");
    }

    file.seekg(header.directoryOffset, std::ios::beg);
    BoundedReader entries(&file, std::uint64_t{header.lumpCount} * kResEntrySize);
    try {
        directory.resize(header.lumpCount);
    } catch (const std::bad_alloc&) {
        return fail("has a directory too large to hold in memory");
    }
    for (RESENTRY& entry : directory) {
        std::uint8_t e[kResEntrySize];
        if (!entries.Read(e, sizeof e)) return fail("cannot be read: its directory ends early");
        entry = {LoadU32LE(e), LoadU32LE(e + 4), LoadU32LE(e + 8), LoadU32LE(e + 12)};
    }
    return 1;
}

bool RESFILE::SeekLump(int index, SetupError* error) {
    auto fail = [this, error](int lump, std::string why) {
        return NoteFailure(error, {.file = path, .lump = lump, .what = std::move(why), .byReader = true});
    };
    if (!file.is_open()) return fail(-1, "is not open");
    if (index < 0 || static_cast<std::uint32_t>(index) >= header.lumpCount) {
        return fail(-1, "has no lump " + std::to_string(index) + " (it has " + std::to_string(header.lumpCount) + ")");
    }
    const RESENTRY& entry = directory[static_cast<std::size_t>(index)];
    if (std::uint64_t{entry.offset} + entry.size > static_cast<std::uint64_t>(fileLength)) {
        return fail(index, "lies past the end of the file (offset " + std::to_string(entry.offset) + ", size " +
                               std::to_string(entry.size) + ", the file is " +
                               Bytes(static_cast<std::uint64_t>(fileLength)) + ")");
    }
    file.clear();
    file.seekg(entry.offset, std::ios::beg);
    if (!file) return fail(index, "cannot be read");
    currentLumpSize = entry.size;
    return true;
}

void RESFILE::Close() {
    directory.clear();
    directory.shrink_to_fit();
    header = {};
    fileLength = 0;
    currentLumpSize = 0;
    if (file.is_open()) file.close();
    file.clear();
}
