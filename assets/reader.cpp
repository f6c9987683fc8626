#include "assets/reader.h"

#include <bit>
#include <cstring>

bool BoundedReader::Read(void* out, std::size_t size) {
    if (size > remaining_) return false;
    if (size == 0) return true;
    if (inMemory_) {
        std::memcpy(out, bytes_, size);
        bytes_ += size;
    } else if (stream_ != nullptr) {
        stream_->read(static_cast<char*>(out), static_cast<std::streamsize>(size));
        if (!*stream_ || static_cast<std::size_t>(stream_->gcount()) != size) {
            remaining_ = 0;  // the file is shorter than its directory said
            return false;
        }
    } else {
        return false;
    }
    remaining_ -= size;
    return true;
}

bool BoundedReader::Skip(std::uint64_t size) {
    if (size > remaining_) return false;
    if (inMemory_) {
        bytes_ += size;
    } else if (stream_ != nullptr) {
        stream_->seekg(static_cast<std::streamoff>(size), std::ios::cur);
        if (!*stream_) return false;
    } else {
        return false;
    }
    remaining_ -= size;
    return true;
}

bool BoundedReader::ReadU16(std::uint16_t* out) {
    std::uint8_t b[2];
    if (!Read(b, 2)) return false;
    *out = LoadU16LE(b);
    return true;
}

bool BoundedReader::ReadU32(std::uint32_t* out) {
    std::uint8_t b[4];
    if (!Read(b, 4)) return false;
    *out = LoadU32LE(b);
    return true;
}

bool BoundedReader::ReadI32(std::int32_t* out) {
    std::uint32_t u;
    if (!ReadU32(&u)) return false;
    *out = static_cast<std::int32_t>(u);
    return true;
}

bool BoundedReader::ReadF32(float* out) {
    std::uint32_t u;
    if (!ReadU32(&u)) return false;
    *out = std::bit_cast<float>(u);
    return true;
}
