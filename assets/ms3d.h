// MilkShape 3D models: the file format, the reader, rigid skinning and drawing.
//
// An MS3D lives only during set-up: it is loaded from lump 0 of a lump file,
// scaled, optionally prepared for animation (InitialSetup), then either drawn
// into a display list or turned into an animation template and instances
// (assets/animation.h), and destroyed.
//
// Units: the file stores angles in radians and key times in seconds. After
// SetupSkeleton the skeleton (and the file joints' bind rotations) hold
// degrees and every key time is in milliseconds; key values stay as read.
//
// Only the drawing functions touch OpenGL, so tools and tests can load,
// scale and skin a model without a context.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "assets/reader.h"
#include "assets/texture.h"
#include "math/matrix.h"
#include "math/vector.h"

inline constexpr char kMs3dIdentifier[10] = {'M', 'S', '3', 'D', '0', '0', '0', '0', '0', '0'};
inline constexpr char kMs3dInvalidMessage[] = "Not a valid MS3D file!";
// A frame rate, position or key that is not a finite number (or a frame rate
// that is not positive) would put NaN or infinity into every pose.
inline constexpr char kMs3dBadNumberMessage[] = "MS3D file holds a frame rate, position or key that is not a number!";

// Sizes of the records on disk (little-endian, no padding).
inline constexpr std::size_t kMs3dHeaderSize = 14;
inline constexpr std::size_t kMs3dVertexSize = 15;
inline constexpr std::size_t kMs3dTriangleSize = 70;
inline constexpr std::size_t kMs3dGroupFixedSize = 36;     // plus 2 bytes per triangle index
inline constexpr std::size_t kMs3dMaterialSize = 361;
inline constexpr std::size_t kMs3dAnimationBlockSize = 12;
inline constexpr std::size_t kMs3dJointFixedSize = 93;     // plus 16 bytes per key
inline constexpr std::size_t kMs3dKeySize = 16;

struct MS3D_VERTEX {
    std::uint8_t flags = 0;
    std::uint8_t referenceCount = 0;
    std::int8_t jointIndex = -1;  // negative: not attached to any joint
    VECTOR3D position = {0.0f, 0.0f, 0.0f};
};

struct MS3D_TRIANGLE {
    std::uint16_t flags = 0;
    std::uint16_t vertexIndices[3] = {0, 0, 0};
    VECTOR3D vertexNormals[3] = {};  // one normal per corner
    float s[3] = {0.0f, 0.0f, 0.0f};
    float t[3] = {0.0f, 0.0f, 0.0f};  // drawn flipped, as 1 - t
    std::uint8_t smoothingGroup = 0;
    std::uint8_t groupIndex = 0;
};

struct MS3D_GROUP {
    std::uint8_t flags = 0;
    char name[32] = {};
    std::uint16_t numTriangles = 0;
    std::vector<std::uint16_t> triangleIndices;
    std::int8_t materialIndex = -1;  // negative: no material
};

struct MS3D_MATERIAL {
    char name[32] = {};
    float ambient[4] = {};
    float diffuse[4] = {};
    float specular[4] = {};
    float emissive[4] = {};
    float shininess = 0.0f;
    float transparency = 0.0f;
    std::uint8_t mode = 0;  // bit 0x80: sphere-mapped
    char texture[128] = {};
    char alphamap[128] = {};
};

struct MS3D_KEYFRAME {
    float time = 0.0f;  // seconds in the file, milliseconds once copied into a skeleton
    VECTOR3D value = {0.0f, 0.0f, 0.0f};  // Euler radians (rotation key) or a position
};

struct MS3D_JOINT {
    std::uint8_t flags = 0;
    char name[32] = {};
    char parentName[32] = {};  // empty: a root
    VECTOR3D rotation = {0.0f, 0.0f, 0.0f};  // radians as read; degrees after SetupSkeleton
    VECTOR3D position = {0.0f, 0.0f, 0.0f};  // relative to the parent
    std::uint16_t numRotationKeys = 0;
    std::uint16_t numTranslationKeys = 0;
    std::vector<MS3D_KEYFRAME> rotationKeys;
    std::vector<MS3D_KEYFRAME> translationKeys;
};

// One joint of a prepared skeleton. The last six fields are per-instance
// animation state, carried here so that the template joint extends this record.
struct SKELETON_JOINT {
    std::int32_t parent = -1;  // index of the parent joint, -1 for a root
    std::uint8_t flags = 0;
    VECTOR3D rotation = {0.0f, 0.0f, 0.0f};  // bind rotation, degrees
    VECTOR3D position = {0.0f, 0.0f, 0.0f};  // bind position relative to the parent, scaled
    VECTOR3D animRotation = {0.0f, 0.0f, 0.0f};
    VECTOR3D animTranslation = {0.0f, 0.0f, 0.0f};
    MATRIX relative;  // relative to the parent
    MATRIX absolute;  // model space
    std::int32_t numRotationKeys = 0;
    std::int32_t numTranslationKeys = 0;
    std::vector<MS3D_KEYFRAME> rotationKeys;     // times in milliseconds, values in radians
    std::vector<MS3D_KEYFRAME> translationKeys;  // times in milliseconds
    std::int32_t translationCursor = 0;
    std::int32_t rotationCursor = 0;
    std::int32_t lastTranslationKey = -1;
    std::int32_t lastRotationKey = -1;
    QUAT rotationQuat;
    MATRIX animMatrix;
    QUAT blendFromQuat;
    VECTOR3D blendFromTranslation = {0.0f, 0.0f, 0.0f};
};

class MS3D {
public:
    MS3D() = default;
    MS3D(const MS3D&) = delete;
    MS3D& operator=(const MS3D&) = delete;
    MS3D(MS3D&&) = default;
    MS3D& operator=(MS3D&&) = default;

    // Reads one model from `reader`, which covers the model's bytes (a lump
    // after RESFILE::SeekLump, or a buffer). Any previous content is dropped.
    // Beyond the header, every count must fit in the bytes that remain and
    // every vertex, triangle, material and joint index must name a record
    // that exists; otherwise "Not a valid MS3D file!", with what was found
    // wrong ("(the triangles run past the end of the model)"), goes to
    // `error` as the reader's own message for the caller to place in its
    // file and lump, the model is left empty and the result is false.
    bool LoadFromFStream(BoundedReader* reader, SetupError* error = nullptr);

    // Multiplies vertex positions, joint bind positions and translation key
    // values by `factor`. Call before InitialSetup, which copies positions.
    void Scale(float factor);

    // With at least one joint: SetupSkeleton, UpdateSkeleton, RevertPoints,
    // leaving the vertices in joint-local space. Without joints: nothing.
    void InitialSetup();

    // Builds `skeleton` from `joints`: bind rotations become degrees (in the
    // file joints too), key times milliseconds, parents are found by name
    // (first joint whose name matches, the joint itself included; no match
    // or an empty name gives a root).
    void SetupSkeleton();
    // relative = bind * animated; absolute = parent.absolute * relative, in
    // index order (a parent listed after its child contributes its previous
    // absolute matrix).
    void UpdateSkeleton();
    // Model space -> joint-local space (positions and corner normals) with
    // the joints' current absolute matrices; unattached vertices stay put.
    void RevertPoints();
    // Joint-local space -> model space; the inverse of RevertPoints.
    void UpdatePoints();

    // Drawing; needs a current GL context. Each group is one
    // glBegin(GL_TRIANGLES)/glEnd pair with per-corner normals and t flipped.
    // Render() binds nothing; Render(textures) binds, before each group,
    // texture materialIndex of `textures` (an empty span behaves as Render();
    // a group whose material has no texture in the span binds nothing).
    void Render();
    void Render(std::span<const Texture> textures);
    // Nothing for an index below 0 or not below numGroups.
    void DrawGroup(int group);
    // DrawGroup in the colour and emission of the group's material, for
    // surfaces whose look lives in the material (the snow); with colour
    // material on, the colour sets ambient and diffuse. Leaves the colour
    // white and no emission, so what is drawn next is unaffected. A group
    // without a material draws as DrawGroup does.
    void DrawGroupInMaterial(int group);

    // Drops every array; safe twice and after a failed load.
    void Release();

    std::uint16_t numVertices = 0;
    std::vector<MS3D_VERTEX> vertices;
    std::uint16_t numTriangles = 0;
    std::vector<MS3D_TRIANGLE> triangles;
    std::uint16_t numGroups = 0;
    std::vector<MS3D_GROUP> groups;
    std::uint16_t numMaterials = 0;
    std::vector<MS3D_MATERIAL> materials;
    std::uint16_t numJoints = 0;
    std::vector<MS3D_JOINT> joints;
    std::vector<SKELETON_JOINT> skeleton;  // empty until SetupSkeleton
    std::int32_t totalFrames = 0;
    float animationFps = 0.0f;
    float totalTime = 0.0f;  // milliseconds

private:
    // `why` is what Parse found wrong when it refuses.
    bool Parse(BoundedReader* reader, const char** why);
    bool IndicesInRange() const;
    bool NumbersAreFinite() const;
    void EmitGroup(const MS3D_GROUP& group) const;
};

// Static scenery is drawn once into a display list and called every frame:
// compiles whatever `draw` issues (for example a texture bind and
// model.Render()) into a new list. 0 when no list name could be had.
GLuint CompileDisplayList(const std::function<void()>& draw);

// Loads lump 0 of the lump file `path` into `model` and every later lump as
// a TGA texture built with its directory entry's alpha mode: texture k of
// `textures` is lump k + 1 (so a material or group index k uses it). Needs a
// GL context when the file holds images. False for a null model, a file that
// cannot be opened, a model that does not load, or any image that cannot be
// decoded or built; textures built before the failure stay in `textures`.
// The first failure is noted in the context's error, naming the file by its path.
// With `imagesEnd` at 0 or more, only lumps before it are read as textures:
// a file may hold more models after its pictures.
bool LoadModel(const char* path, MS3D* model, std::vector<Texture>* textures, EngineContext* context = nullptr,
               int imagesEnd = -1);

class RESFILE;
// Loads lump `lump` of `file`, already positioned there by SeekLump, into
// `model`. A refusal is noted with the file's path and the lump; running out
// of memory is no file's fault and is noted bare.
bool ReadModelLump(RESFILE* file, int lump, MS3D* model, SetupError* error);
