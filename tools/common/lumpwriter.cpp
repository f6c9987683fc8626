#include "tools/common/lumpwriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
void PutU16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutU32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void SetU32(Bytes& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// One pixel as stored: B, G, R(, A).
void StoredPixel(const Image& image, int x, int y, int bytes, std::uint8_t* out) {
    const std::uint8_t* p = image.At(x, y);
    out[0] = p[2];
    out[1] = p[1];
    out[2] = p[0];
    if (bytes == 4) out[3] = p[3];
}
}  // namespace

Bytes EncodeTga(const Image& image, int bitsPerPixel, TgaEncoding encoding) {
    const int bytes = bitsPerPixel / 8;
    Bytes out = {0, 0, static_cast<std::uint8_t>(encoding == TgaEncoding::RunLength ? 10 : 2), 0, 0, 0, 0, 0, 0, 0, 0, 0};
    PutU16(out, static_cast<std::uint32_t>(image.width));
    PutU16(out, static_cast<std::uint32_t>(image.height));
    out.push_back(static_cast<std::uint8_t>(bitsPerPixel));
    out.push_back(bitsPerPixel == 32 ? 8 : 0);

    std::vector<std::uint8_t> stored;
    stored.reserve(static_cast<std::size_t>(image.width) * image.height * bytes);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            std::uint8_t px[4];
            StoredPixel(image, x, y, bytes, px);
            stored.insert(stored.end(), px, px + bytes);
        }
    }
    if (encoding == TgaEncoding::Uncompressed) {
        out.insert(out.end(), stored.begin(), stored.end());
        return out;
    }
    // Run-length packets never cross the end of the image; runs of two or more
    // equal pixels become run packets, everything else raw packets.
    const std::size_t count = stored.size() / bytes;
    auto same = [&](std::size_t a, std::size_t b) {
        return std::memcmp(&stored[a * bytes], &stored[b * bytes], bytes) == 0;
    };
    std::size_t i = 0;
    while (i < count) {
        std::size_t run = 1;
        while (i + run < count && run < 128 && same(i, i + run)) ++run;
        if (run >= 2) {
            out.push_back(static_cast<std::uint8_t>(127 + run));
            out.insert(out.end(), &stored[i * bytes], &stored[i * bytes] + bytes);
            i += run;
            continue;
        }
        std::size_t raw = 1;
        while (i + raw < count && raw < 128 && !(i + raw + 1 < count && same(i + raw, i + raw + 1))) ++raw;
        out.push_back(static_cast<std::uint8_t>(raw - 1));
        out.insert(out.end(), &stored[i * bytes], &stored[(i + raw) * bytes]);
        i += raw;
    }
    return out;
}

Bytes BuildLumpFile(const std::vector<Lump>& lumps) {
    Bytes out = {'B', 'R', 'M', 'F', 0, 0, 0, 0, 0, 0, 0, 0};
    PutU32(out, static_cast<std::uint32_t>(lumps.size()));
    PutU32(out, 0);  // size check, filled in at the end
    PutU32(out, 0);  // directory offset
    std::vector<std::uint32_t> offsets;
    for (const Lump& lump : lumps) {
        offsets.push_back(static_cast<std::uint32_t>(out.size()));
        out.insert(out.end(), lump.bytes.begin(), lump.bytes.end());
    }
    SetU32(out, 20, static_cast<std::uint32_t>(out.size()));
    for (std::size_t i = 0; i < lumps.size(); ++i) {
        PutU32(out, static_cast<std::uint32_t>(lumps[i].bytes.size()));
        PutU32(out, offsets[i]);
        PutU32(out, lumps[i].type);
        PutU32(out, lumps[i].alphaMode);
        out.insert(out.end(), 12, 0);
    }
    SetU32(out, 16, ~static_cast<std::uint32_t>(out.size()));
    return out;
}

bool WriteFileAtomically(const std::string& path, const Bytes& bytes, std::string* error) {
    const std::string temp = path + ".tmp";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (f == nullptr) {
        if (error) *error = "cannot create \"" + temp + "\": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed || std::rename(temp.c_str(), path.c_str()) != 0) {
        if (error) *error = "cannot write \"" + path + "\": " + std::strerror(errno);
        std::remove(temp.c_str());
        return false;
    }
    return true;
}
