#include "assets/texture.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "assets/alert.h"
#include "assets/resfile.h"

namespace {
constexpr std::uint8_t kUncompressedSignature[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
constexpr std::uint8_t kRunLengthSignature[12] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// Where a decoder's refusal goes: shown at once through the view's alert, and
// kept for the set-up error with the file and lump the caller adds.
struct DecodeReport {
    const EngineContext* owner;
    SetupError* error;
};

int Fail(const DecodeReport& report, const char* message, const char* title = "ERROR") {
    MessageBox(report.owner, message, title);
    std::string what = message;
    while (!what.empty() && what.back() == ' ') what.pop_back();
    NoteFailure(report.error, {.what = std::move(what)});
    return 0;
}

void FreeImage(Texture* texture) {
    std::free(texture->imageData);
    texture->imageData = nullptr;
}

// Shared start of both decoders: the six info bytes, validation, allocation.
// `maxPlausibleBytes` bounds the allocation by what the lump could possibly
// hold, so a hostile header cannot ask for gigabytes from a tiny file.
int ReadInfoAndAllocate(Texture* texture, BoundedReader* reader, std::uint64_t* imageSize,
                        std::uint64_t maxPlausibleBytes, const DecodeReport& report) {
    std::uint8_t info[6];
    if (!reader->Read(info, sizeof info)) return Fail(report, "Could not read info header");
    texture->width = info[0] + 256u * info[1];
    texture->height = info[2] + 256u * info[3];
    texture->bpp = info[4];
    if (texture->width == 0 || texture->height == 0 || (texture->bpp != 24 && texture->bpp != 32)) {
        return Fail(report, "Invalid texture information");
    }
    texture->type = texture->bpp == 24 ? GL_RGB : GL_RGBA;
    *imageSize = std::uint64_t{texture->bpp / 8} * texture->width * texture->height;
    const std::uint64_t allocation = std::min(*imageSize, maxPlausibleBytes);
    texture->imageData = static_cast<unsigned char*>(std::malloc(std::max<std::uint64_t>(allocation, 1)));
    if (texture->imageData == nullptr) return Fail(report, "Could not allocate memory for image");
    return 1;
}
}  // namespace

Texture::Texture(Texture&& other) noexcept
    : imageData(std::exchange(other.imageData, nullptr)),
      bpp(other.bpp),
      width(other.width),
      height(other.height),
      texID(std::exchange(other.texID, 0)),
      type(other.type) {}

Texture& Texture::operator=(Texture&& other) noexcept {
    if (this != &other) {
        Release();
        imageData = std::exchange(other.imageData, nullptr);
        bpp = other.bpp;
        width = other.width;
        height = other.height;
        texID = std::exchange(other.texID, 0);
        type = other.type;
    }
    return *this;
}

void Texture::Release() {
    FreeImage(this);
    if (texID != 0) {
        glDeleteTextures(1, &texID);
        texID = 0;
    }
}

int LoadTGA2(Texture* texture, BoundedReader* reader, const EngineContext* owner, SetupError* error) {
    const DecodeReport report{owner, error};
    if (reader == nullptr || !reader->IsOpen()) return Fail(report, "Could not open texture file");
    std::uint8_t signature[12];
    if (!reader->Read(signature, sizeof signature)) return Fail(report, "Could not read file header");
    if (std::memcmp(signature, kUncompressedSignature, 12) == 0) {
        return LoadUncompressedTGA2(texture, reader, owner, error);
    }
    if (std::memcmp(signature, kRunLengthSignature, 12) == 0) return LoadCompressedTGA2(texture, reader, owner, error);
    return Fail(report, "TGA file be type 2 or type 10 ", "Invalid Image");
}

int LoadUncompressedTGA2(Texture* texture, BoundedReader* reader, const EngineContext* owner, SetupError* error) {
    const DecodeReport report{owner, error};
    FreeImage(texture);
    std::uint64_t imageSize = 0;
    // Past the info header every byte of a good image is pixel data.
    const std::uint64_t plausible = reader->Remaining() > 6 ? reader->Remaining() - 6 : 0;
    if (!ReadInfoAndAllocate(texture, reader, &imageSize, plausible, report)) return 0;
    if (imageSize > plausible || !reader->Read(texture->imageData, imageSize)) {
        FreeImage(texture);
        return Fail(report, "Could not read image data");
    }
    const std::uint32_t step = texture->bpp / 8;
    for (std::uint64_t i = 0; i < imageSize; i += step) {
        std::swap(texture->imageData[i], texture->imageData[i + 2]);
    }
    return 1;
}

int LoadCompressedTGA2(Texture* texture, BoundedReader* reader, const EngineContext* owner, SetupError* error) {
    const DecodeReport report{owner, error};
    FreeImage(texture);
    std::uint64_t imageSize = 0;
    // Each packet costs at least a header and one pixel and stores at most 128.
    const std::uint64_t remaining = reader->Remaining() > 6 ? reader->Remaining() - 6 : 0;
    const std::uint64_t plausible = remaining * 128 * 4;
    if (!ReadInfoAndAllocate(texture, reader, &imageSize, plausible, report)) return 0;

    const std::uint32_t bytesPerPixel = texture->bpp / 8;
    const std::uint64_t pixelCount = std::uint64_t{texture->width} * texture->height;
    const std::uint64_t capacity = std::min(imageSize, plausible) / bytesPerPixel;
    std::uint64_t current = 0;
    std::uint8_t pixel[4] = {};

    auto fail = [&](const char* message) {
        FreeImage(texture);
        return Fail(report, message);
    };
    auto store = [&](std::uint64_t at) {
        unsigned char* out = texture->imageData + at * bytesPerPixel;
        out[0] = pixel[2];
        out[1] = pixel[1];
        out[2] = pixel[0];
        if (bytesPerPixel == 4) out[3] = pixel[3];
    };

    while (current < pixelCount) {
        std::uint8_t header = 0;
        if (!reader->ReadU8(&header)) return fail("Could not read RLE header");
        if (header < 128) {
            const std::uint32_t count = header + 1u;
            // A raw packet that surely fits is read in one piece: a read per
            // pixel from the file stream was most of a texture's loading.
            // Anything doubtful goes pixel by pixel, failing where it did.
            if (current + count <= std::min(pixelCount, capacity)) {
                std::uint8_t packet[128 * 4];
                if (!reader->Read(packet, std::size_t{count} * bytesPerPixel)) return fail("Could not read image data");
                for (std::uint32_t i = 0; i < count; ++i) {
                    std::memcpy(pixel, packet + std::size_t{i} * bytesPerPixel, bytesPerPixel);
                    store(current++);
                }
                continue;
            }
            for (std::uint32_t i = 0; i < count; ++i) {
                if (!reader->Read(pixel, bytesPerPixel)) return fail("Could not read image data");
                if (current >= pixelCount || current >= capacity) return fail("Too many pixels read");
                store(current++);
            }
        } else {
            const std::uint32_t count = header - 127u;
            if (!reader->Read(pixel, bytesPerPixel)) return fail("Could not read from file");
            for (std::uint32_t i = 0; i < count; ++i) {
                if (current >= pixelCount || current >= capacity) return fail("Too many pixels read");
                store(current++);
            }
        }
    }
    return 1;
}

std::vector<std::uint8_t> MakeTexturePixels(const Texture& texture, int alphaMode) {
    const std::size_t pixels = std::size_t{texture.width} * texture.height;
    std::vector<std::uint8_t> rgba(pixels * 4);
    if (texture.imageData == nullptr) return rgba;
    const std::size_t step = texture.type == GL_RGBA ? 4 : 3;
    const std::uint8_t* key = texture.imageData;
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::uint8_t* in = texture.imageData + i * step;
        std::uint8_t* out = rgba.data() + i * 4;
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        switch (alphaMode) {
            case 1: out[3] = (in[0] == key[0] && in[1] == key[1] && in[2] == key[2]) ? 0 : 255; break;
            case 2: out[3] = std::max({in[0], in[1], in[2]}); break;
            default: out[3] = 255; break;
        }
    }
    return rgba;
}

std::vector<std::uint8_t> HalvePixels(const std::vector<std::uint8_t>& rgba, std::uint32_t* width,
                                      std::uint32_t* height) {
    const std::size_t w = *width, h = *height;
    const std::size_t halfW = std::max<std::size_t>(1, (w + 1) / 2), halfH = std::max<std::size_t>(1, (h + 1) / 2);
    std::vector<std::uint8_t> out(halfW * halfH * 4);
    *width = static_cast<std::uint32_t>(halfW);
    *height = static_cast<std::uint32_t>(halfH);
    if (rgba.size() < w * h * 4) return out;
    for (std::size_t y = 0; y < halfH; ++y) {
        for (std::size_t x = 0; x < halfW; ++x) {
            std::uint32_t sum[4] = {}, plain[3] = {}, n = 0;
            for (std::size_t sy = 2 * y; sy < std::min(2 * y + 2, h); ++sy) {
                for (std::size_t sx = 2 * x; sx < std::min(2 * x + 2, w); ++sx) {
                    const std::uint8_t* in = rgba.data() + (sy * w + sx) * 4;
                    for (int c = 0; c < 3; ++c) {
                        sum[c] += std::uint32_t{in[c]} * in[3];
                        plain[c] += in[c];
                    }
                    sum[3] += in[3];
                    ++n;
                }
            }
            std::uint8_t* o = out.data() + (y * halfW + x) * 4;
            // Wholly transparent: the plain mean, so filtering towards it stays near the key's colour.
            for (int c = 0; c < 3; ++c) {
                o[c] = static_cast<std::uint8_t>(sum[3] > 0 ? (sum[c] + sum[3] / 2) / sum[3] : (plain[c] + n / 2) / n);
            }
            o[3] = static_cast<std::uint8_t>((sum[3] + n / 2) / n);
        }
    }
    return out;
}

int BuildTexture(Texture* texture, int alphaMode, int halvings) {
    glGenTextures(1, &texture->texID);
    glBindTexture(GL_TEXTURE_2D, texture->texID);
    std::vector<std::uint8_t> rgba;
    std::uint32_t width = texture->width, height = texture->height;
    try {
        rgba = MakeTexturePixels(*texture, alphaMode);
        // The file's pixels are not read again: gone before the smaller copy is made.
        FreeImage(texture);
        for (int i = 0; i < halvings && (width > 1 || height > 1); ++i) rgba = HalvePixels(rgba, &width, &height);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    glTexImage2D(GL_TEXTURE_2D, 0, 4, static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, rgba.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return 1;
}

bool LoadImageLump(RESFILE* file, int index, Texture* texture, EngineContext* context, const char* name,
                   PictureUse use) {
    SetupError* error = context != nullptr ? &context->error : nullptr;
    // Where the lump lies is the reader's to say, not the decoder's "Could not open texture file".
    if (!file->SeekLump(index, error)) return false;
    // The scene names its own files; a loader of any file names it by its path.
    SetupError about{.lump = index, .byReader = name == nullptr};
    about.file = name != nullptr ? std::string(name) : file->path;
    BoundedReader lump = file->Lump();
    SetupError decoder;
    if (!LoadTGA2(texture, &lump, context, &decoder)) {
        about.what = "is not a readable image: " + decoder.what;
        return NoteFailure(error, std::move(about));
    }
    const int alphaMode = static_cast<int>(file->directory[static_cast<std::size_t>(index)].alphaMode);
    const int halvings = use == PictureUse::Scene && context != nullptr ? context->scenePictureHalvings : 0;
    if (!BuildTexture(texture, alphaMode, halvings)) {
        about.what = "out of memory";
        about.quotesReader = true;
        return NoteFailure(error, std::move(about));
    }
    return true;
}

int LoadTexturesFromDataFile(const char* path, std::vector<Texture>* textures, EngineContext* context,
                             PictureUse use) {
    RESFILE file;
    if (!file.Open(path, context != nullptr ? &context->error : nullptr)) return 0;
    textures->clear();
    textures->resize(static_cast<std::size_t>(file.LumpCount()));
    for (int i = 0; i < file.LumpCount(); ++i) {
        const RESENTRY& entry = file.directory[static_cast<std::size_t>(i)];
        if (entry.type != kLumpTypeImage) continue;
        if (!LoadImageLump(&file, i, &(*textures)[static_cast<std::size_t>(i)], context, nullptr, use)) return 0;
    }
    return 1;
}
