// TGA images (uncompressed or run-length true-colour, 24 or 32 bits) and the
// OpenGL textures made from them.
//
// Pixels are kept as stored in the file: the first row in memory is the first
// stored row (the bottom of the picture for the usual origin), R, G, B(, A).
// The source's own alpha is never used; the alpha mode makes it instead:
//   0 (and anything but 1 or 2)  opaque
//   1                            transparent where R, G, B equal the first pixel's (colour key)
//   2                            max(R, G, B): brightness as opacity
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <vector>

#include <string>

#include "assets/context.h"
#include "assets/reader.h"

struct Texture {
    unsigned char* imageData = nullptr;  // C allocator; freed by BuildTexture
    std::uint32_t bpp = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    GLuint texID = 0;
    GLenum type = 0;  // GL_RGB for a 24-bit source, GL_RGBA for 32-bit

    Texture() = default;
    ~Texture() { Release(); }
    Texture(Texture&& other) noexcept;
    Texture& operator=(Texture&& other) noexcept;
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Frees the pixels and deletes the GL name; safe to call twice.
    void Release();
};

// The GL name of picture `index` of `set`; 0 (no texture) when the set is
// too short or the record holds no picture, so a short file draws untextured
// instead of reading past the array.
inline GLuint TextureName(const std::vector<Texture>& set, std::size_t index) {
    return index < set.size() ? set[index].texID : 0;
}

// Decoders. Each shows its error through MessageBox (assets/alert.h) with
// `owner`, notes the message (`what` alone: the caller knows the file) in
// `error` and returns 0; on any failure imageData is null, never dangling.
int LoadTGA2(Texture* texture, BoundedReader* reader, const EngineContext* owner = nullptr,
             SetupError* error = nullptr);
int LoadUncompressedTGA2(Texture* texture, BoundedReader* reader, const EngineContext* owner = nullptr,
                         SetupError* error = nullptr);
int LoadCompressedTGA2(Texture* texture, BoundedReader* reader, const EngineContext* owner = nullptr,
                       SetupError* error = nullptr);

// The RGBA pixels BuildTexture uploads, rows in stored order. No GL.
std::vector<std::uint8_t> MakeTexturePixels(const Texture& texture, int alphaMode);

// RGBA pixels of a width x height picture at half the size each way (an odd
// side rounds up, never below 1), each the mean of up to four, its colour
// weighted by their alphas so a colour key's colour never bleeds into the
// edges it borders. *width and *height become the new size. No GL.
std::vector<std::uint8_t> HalvePixels(const std::vector<std::uint8_t>& rgba, std::uint32_t* width,
                                      std::uint32_t* height);

// Needs a current GL context. Uploads with linear filtering, repeat wrapping,
// no mipmaps, halved `halvings` times, then frees imageData; the record keeps
// the picture's own size. 0 only when memory runs out.
int BuildTexture(Texture* texture, int alphaMode, int halvings = 0);

// Whose picture a lump is: the scene's are halved as the context says.
enum class PictureUse { Scene, Screen };

// Every image lump (type 1) of the lump file into `textures`, index i being
// lump i; lumps of other types leave an empty record. On failure returns 0,
// notes why in the context's error and leaves what was built in `textures`
// for the caller's clean-up.
int LoadTexturesFromDataFile(const char* path, std::vector<Texture>* textures, EngineContext* context = nullptr,
                             PictureUse use = PictureUse::Scene);

class RESFILE;
// Lump `index` of an open lump file decoded and built into `texture`. On
// failure notes the lump and why it could not be read or decoded, naming the
// file by `name` (its name in the resource folder) or, when that is null, by
// its path; returns false.
bool LoadImageLump(RESFILE* file, int index, Texture* texture, EngineContext* context, const char* name = nullptr,
                   PictureUse use = PictureUse::Scene);
