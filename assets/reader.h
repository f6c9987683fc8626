// The one bounded reader every loader reads through.
//
// A reader covers a window of bytes (a lump of an open file, or a buffer) and
// refuses any read that would run past its end, so counts, offsets and sizes
// taken from a file can never make a loader read outside it. Readers are
// cheap views: they do not own the stream or the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>

class BoundedReader {
public:
    BoundedReader() = default;
    // `limit` bytes readable from the stream's current position.
    BoundedReader(std::istream* stream, std::uint64_t limit) : stream_(stream), remaining_(limit) {}
    BoundedReader(const void* data, std::size_t size)
        : bytes_(static_cast<const std::uint8_t*>(data)), inMemory_(true), remaining_(size) {}

    bool IsOpen() const { return stream_ != nullptr || inMemory_; }
    std::uint64_t Remaining() const { return remaining_; }

    // All or nothing: on a short read nothing is consumed and false is returned.
    bool Read(void* out, std::size_t size);
    bool Skip(std::uint64_t size);
    bool ReadU8(std::uint8_t* out) { return Read(out, 1); }
    bool ReadU16(std::uint16_t* out);  // little-endian on any host
    bool ReadU32(std::uint32_t* out);  // little-endian on any host
    bool ReadI32(std::int32_t* out);
    bool ReadF32(float* out);          // little-endian IEEE single

private:
    std::istream* stream_ = nullptr;
    const std::uint8_t* bytes_ = nullptr;
    bool inMemory_ = false;  // an empty buffer may have a null pointer
    std::uint64_t remaining_ = 0;
};

inline std::uint16_t LoadU16LE(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t LoadU32LE(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
