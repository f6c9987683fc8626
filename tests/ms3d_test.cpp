#include <gtest/gtest.h>

#include <GL/gl.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>

#include "assets/alert.h"
#include "assets/animation.h"
#include "assets/ms3d.h"
#include "tests/gl_pictures.h"
#include "tests/model_fixtures.h"
#include "tests/model_gl_fixture.h"

namespace {
// Little-endian bytes laid out by hand, field by field, independently of
// the writer under test.
struct Le {
    Bytes b;
    Le& u8(std::uint8_t v) { b.push_back(v); return *this; }
    Le& u16(std::uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
    Le& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Le& f32(float v) { return u32(std::bit_cast<std::uint32_t>(v)); }
    Le& str(const char* s, std::size_t n) {
        const std::size_t len = std::strlen(s);
        for (std::size_t i = 0; i < n; ++i) u8(i < len ? static_cast<std::uint8_t>(s[i]) : 0);
        return *this;
    }
};

Bytes HandMadeVersion3File() {
    Le f;
    f.str("MS3D000000", 10).u32(3);
    f.u16(2);                                                     // vertices
    f.u8(1).f32(1.5f).f32(-2.0f).f32(3.0f).u8(0).u8(7);           // bound to joint 0
    f.u8(0).f32(0.0f).f32(0.0f).f32(0.0f).u8(0xFF).u8(0);         // unattached
    f.u16(1);                                                     // triangles
    f.u16(0x0201).u16(0).u16(1).u16(1);
    for (int k = 0; k < 3; ++k) f.f32(0.0f).f32(0.0f).f32(1.0f);
    f.f32(0.25f).f32(0.5f).f32(0.75f).f32(0.1f).f32(0.2f).f32(0.3f).u8(5).u8(0);
    f.u16(1);                                                     // groups
    f.u8(0).str("body", 32).u16(1).u16(0).u8(0);
    f.u16(1);                                                     // materials
    f.str("skin", 32);
    for (int c = 0; c < 16; ++c) f.f32(static_cast<float>(c) / 16.0f);
    f.f32(12.5f).f32(0.75f).u8(0x80).str("skin.tga", 128).str("", 128);
    f.f32(24.0f).f32(3.0f).u32(48);                               // animation block
    f.u16(1);                                                     // joints
    f.u8(8).str("root", 32).str("", 32).f32(0.5f).f32(0.0f).f32(0.0f).f32(1.0f).f32(2.0f).f32(3.0f);
    f.u16(1).u16(1);
    f.f32(0.5f).f32(0.0f).f32(1.0f).f32(0.0f);                    // rotation key
    f.f32(1.0f).f32(4.0f).f32(5.0f).f32(6.0f);                    // translation key
    return f.b;
}

// What the reader made of a model, in the writer's terms. The reader keeps
// neither the version nor the editor's clock, so those are given.
Ms3dModelDesc Described(const MS3D& m, int version, float editorTime) {
    auto v3 = [](VECTOR3D v) { return std::array<float, 3>{v.x, v.y, v.z}; };
    auto a4 = [](const float* f) { return std::array<float, 4>{f[0], f[1], f[2], f[3]}; };
    Ms3dModelDesc d;
    d.version = version;
    for (const MS3D_VERTEX& v : m.vertices) {
        d.vertices.push_back({v3(v.position), v.jointIndex, v.flags, v.referenceCount});
    }
    for (const MS3D_TRIANGLE& t : m.triangles) {
        d.triangles.push_back({{t.vertexIndices[0], t.vertexIndices[1], t.vertexIndices[2]},
                               {v3(t.vertexNormals[0]), v3(t.vertexNormals[1]), v3(t.vertexNormals[2])},
                               {t.s[0], t.s[1], t.s[2]},
                               {t.t[0], t.t[1], t.t[2]},
                               t.flags,
                               t.smoothingGroup,
                               t.groupIndex});
    }
    for (const MS3D_GROUP& g : m.groups) {
        d.groups.push_back({g.name, g.triangleIndices, g.materialIndex, g.flags});
    }
    for (const MS3D_MATERIAL& x : m.materials) {
        d.materials.push_back({x.name, a4(x.ambient), a4(x.diffuse), a4(x.specular), a4(x.emissive), x.shininess,
                               x.transparency, x.mode, x.texture, x.alphamap});
    }
    d.fps = m.animationFps;
    d.editorTime = editorTime;
    d.totalFrames = m.totalFrames;
    for (const MS3D_JOINT& j : m.joints) {
        Ms3dJointDesc k{j.name, j.parentName, v3(j.rotation), v3(j.position), {}, {}, j.flags};
        for (const MS3D_KEYFRAME& r : j.rotationKeys) k.rotationKeys.push_back({r.time, v3(r.value)});
        for (const MS3D_KEYFRAME& t : j.translationKeys) k.translationKeys.push_back({t.time, v3(t.value)});
        d.joints.push_back(k);
    }
    return d;
}

void ExpectRefused(const Bytes& bytes, const char* why) {
    MS3D model;
    SetupError error;
    EXPECT_FALSE(LoadFromBytes(bytes, &model, &error)) << why;
    EXPECT_TRUE(error.what.starts_with(kMs3dInvalidMessage)) << why << ": " << error.what;
    EXPECT_TRUE(error.quotesReader) << why << ": " << error.what;
    EXPECT_EQ(model.numVertices, 0) << why;
    EXPECT_TRUE(model.vertices.empty()) << why;
    EXPECT_TRUE(model.triangles.empty()) << why;
    EXPECT_TRUE(model.groups.empty()) << why;
    EXPECT_TRUE(model.materials.empty()) << why;
    EXPECT_TRUE(model.joints.empty()) << why;
}

// Offsets into the chain model's file, found by walking its layout.
struct Layout {
    std::size_t triangles, groups, materials, joints;
};
Layout LayoutOf(const Ms3dModelDesc& d) {
    Layout l{};
    l.triangles = 14 + 2 + d.vertices.size() * 15;
    l.groups = l.triangles + 2 + d.triangles.size() * 70;
    l.materials = l.groups + 2;
    for (const auto& g : d.groups) l.materials += 36 + 2 * g.triangles.size();
    l.joints = l.materials + 2 + d.materials.size() * 361 + 12;
    return l;
}

void PutU16At(Bytes* b, std::size_t at, std::uint16_t v) {
    (*b)[at] = static_cast<std::uint8_t>(v);
    (*b)[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

VECTOR3D V(float x, float y, float z) { return {x, y, z}; }
void ExpectNear(VECTOR3D a, VECTOR3D b, float tolerance) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}
}  // namespace

// ---------------------------------------------------------------------------
// Reading

// Every field read lands in its place and the writer puts it back there: written
// back, the model gives the very bytes laid out by hand (flags little-endian
// whatever the host).
TEST(Ms3dRead, DecodesEveryFieldOfAHandLaidFileAndTheWriterMatchesIt) {
    const Bytes bytes = HandMadeVersion3File();
    MS3D model;
    ASSERT_TRUE(LoadFromBytes(bytes, &model));
    EXPECT_EQ(EncodeMs3d(Described(model, 3, 3.0f)), bytes);
    EXPECT_EQ(model.numVertices, 2);
    EXPECT_EQ(model.numTriangles, 1);
    EXPECT_EQ(model.numGroups, 1);
    EXPECT_EQ(model.groups[0].numTriangles, 1);
    EXPECT_EQ(model.numMaterials, 1);
    EXPECT_EQ(model.numJoints, 1);
    EXPECT_EQ(model.joints[0].numRotationKeys, 1);
    EXPECT_EQ(model.joints[0].numTranslationKeys, 1);
    EXPECT_FLOAT_EQ(model.totalTime, 2000.0f);
    EXPECT_TRUE(model.skeleton.empty());
}

TEST(Ms3dRead, AcceptsVersions3And4OnlyAndTheRightIdentifier) {
    Ms3dModelDesc d = MakeChainModel();
    for (int version : {3, 4}) {
        d.version = version;
        MS3D model;
        EXPECT_TRUE(LoadFromBytes(EncodeMs3d(d), &model)) << version;
        EXPECT_EQ(model.numJoints, 4);
    }
    for (int version : {0, 2, 5, -4, 0x04000000}) {
        d.version = version;
        ExpectRefused(EncodeMs3d(d), "version");
    }
    d.version = 4;
    Bytes wrong = EncodeMs3d(d);
    wrong[9] = '1';
    ExpectRefused(wrong, "identifier");
    ExpectRefused({}, "empty");
}

TEST(Ms3dRead, TrailingBlocksAreIgnoredAndAReloadReplacesTheModel) {
    Bytes bytes = EncodeMs3d(MakeChainModel());
    for (int i = 0; i < 40; ++i) bytes.push_back(0xAB);  // a comment block, say
    MS3D model;
    ASSERT_TRUE(LoadFromBytes(bytes, &model));
    EXPECT_EQ(model.numVertices, 20);
    ASSERT_TRUE(LoadFromBytes(HandMadeVersion3File(), &model));
    EXPECT_EQ(model.numVertices, 2);
    EXPECT_EQ(model.vertices.size(), 2u);
    // A failed reload leaves nothing of the old model behind.
    EXPECT_FALSE(LoadFromBytes({'M', 'S'}, &model));
    EXPECT_EQ(model.numJoints, 0);
    EXPECT_TRUE(model.joints.empty());
}

// Every proper prefix of a valid file must be refused cleanly; under the
// sanitizers this also proves no read runs past the bytes given.
TEST(Ms3dRead, RefusesEveryTruncation) {
    const Bytes full = EncodeMs3d(MakeChainModel());
    for (std::size_t n = 0; n < full.size(); ++n) {
        const Bytes part(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
        MS3D model;
        ASSERT_FALSE(LoadFromBytes(part, &model)) << "prefix " << n;
        ASSERT_EQ(model.numTriangles, 0);
        ASSERT_TRUE(model.groups.empty());
        ASSERT_TRUE(model.joints.empty());
    }
}

// A lump file's directory may promise more bytes than the file holds.
TEST(Ms3dRead, RefusesAStreamShorterThanItsLimit) {
    const Bytes full = EncodeMs3d(MakeChainModel());
    for (std::size_t n : {full.size() / 2, full.size()}) {
        std::istringstream stream(std::string(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n)));
        BoundedReader reader(&stream, full.size());
        MS3D model;
        EXPECT_EQ(model.LoadFromFStream(&reader), n == full.size()) << n;
    }
}

TEST(Ms3dRead, RefusesIndicesOutOfRangeAndCountsPastTheEnd) {
    const Ms3dModelDesc good = MakeChainModel();
    const std::pair<const char*, void (*)(Ms3dModelDesc&)> spoils[] = {
        {"triangle corner names no vertex",
         [](Ms3dModelDesc& d) { d.triangles[3].vertices[2] = static_cast<std::uint16_t>(d.vertices.size()); }},
        {"group names no triangle",
         [](Ms3dModelDesc& d) { d.groups[1].triangles.push_back(static_cast<std::uint16_t>(d.triangles.size())); }},
        {"group names no material", [](Ms3dModelDesc& d) { d.groups[0].material = 2; }},
        {"vertex names no joint", [](Ms3dModelDesc& d) { d.vertices[5].joint = 4; }},
        {"bound vertex in a model without joints", [](Ms3dModelDesc& d) {
             d.joints.clear();
             d.vertices[0].joint = 0;
         }},
    };
    for (const auto& [why, spoil] : spoils) {
        Ms3dModelDesc d = good;
        spoil(d);
        ExpectRefused(EncodeMs3d(d), why);
    }
    {
        // Negative indices mean "none" and are fine.
        Ms3dModelDesc d = good;
        d.groups[0].material = -1;
        d.vertices[0].joint = -7;
        MS3D model;
        EXPECT_TRUE(LoadFromBytes(EncodeMs3d(d), &model));
    }

    const Bytes bytes = EncodeMs3d(good);
    const Layout at = LayoutOf(good);
    const std::pair<std::size_t, const char*> counts[] = {
        {14, "vertex count"},
        {at.triangles, "triangle count"},
        {at.groups, "group count"},
        {at.groups + 2 + 33, "first group's triangle count"},
        {at.materials, "material count"},
        {at.joints, "joint count"},
        {at.joints + 2 + 89, "first joint's rotation key count"},
        {at.joints + 2 + 91, "first joint's translation key count"},
    };
    for (const auto& [offset, what] : counts) {
        Bytes broken = bytes;
        PutU16At(&broken, offset, 0xFFFF);
        ExpectRefused(broken, what);
    }
}

// A frame rate of 0 or NaN, or a key that is not a number, would put NaN
// or infinity into every pose of every instance built on the model.
TEST(Ms3dRead, RefusesNumbersThatWouldPoisonThePose) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* why;
        void (*spoil)(Ms3dModelDesc*, float);
        float value;
    };
    const Case cases[] = {
        {"frame rate NaN", [](Ms3dModelDesc* d, float v) { d->fps = v; }, nan},
        {"frame rate 0", [](Ms3dModelDesc* d, float v) { d->fps = v; }, 0.0f},
        {"frame rate negative", [](Ms3dModelDesc* d, float v) { d->fps = v; }, -24.0f},
        {"key time NaN", [](Ms3dModelDesc* d, float v) { d->joints[0].rotationKeys[0].time = v; }, nan},
        {"key value infinite", [](Ms3dModelDesc* d, float v) { d->joints[0].translationKeys[0].value[1] = v; }, inf},
        {"joint position huge", [](Ms3dModelDesc* d, float v) { d->joints[0].position[0] = v; }, 3.0e38f},
        {"vertex NaN", [](Ms3dModelDesc* d, float v) { d->vertices[0].position[2] = v; }, nan},
        {"normal NaN", [](Ms3dModelDesc* d, float v) { d->triangles[0].normals[1][2] = v; }, nan},
        {"texture s infinite", [](Ms3dModelDesc* d, float v) { d->triangles[0].s[2] = v; }, inf},
        {"texture t NaN", [](Ms3dModelDesc* d, float v) { d->triangles[0].t[0] = v; }, nan},
        {"joint rotation NaN", [](Ms3dModelDesc* d, float v) { d->joints[0].rotation[1] = v; }, nan},
    };
    for (const Case& c : cases) {
        Ms3dModelDesc d = MakeChainModel();
        c.spoil(&d, c.value);
        MS3D model;
        SetupError error;
        EXPECT_FALSE(LoadFromBytes(EncodeMs3d(d), &model, &error)) << c.why;
        EXPECT_EQ(error.what, kMs3dBadNumberMessage) << c.why;
        EXPECT_TRUE(model.vertices.empty()) << c.why;
        EXPECT_TRUE(model.joints.empty()) << c.why;
    }
    MS3D model;
    EXPECT_TRUE(LoadFromBytes(EncodeMs3d(MakeChainModel()), &model)) << "the untouched model still loads";
}

// Damage anywhere in a model, through load, set-up and animation, is the
// fuzz target's (fuzz/ms3d_fuzz.cpp), whose corpus every build replays.

// ---------------------------------------------------------------------------
// Scale and skeleton

// A parent is the first joint of its name; a missing or a joint's own name is no parent.
TEST(Ms3dSkeleton, FindsParentsByName) {
    Ms3dModelDesc d = MakeChainModel();
    d.joints.push_back(Joint("stray", "nobody", {}, {}));
    d.joints.push_back(Joint("arm", "root", {}, {}));       // a second "arm"
    d.joints.push_back(Joint("finger", "arm", {}, {}));     // links to the first "arm"
    d.joints.push_back(Joint("self", "self", {}, {}));
    MS3D model;
    ASSERT_TRUE(LoadFromBytes(EncodeMs3d(d), &model));
    model.SetupSkeleton();
    ASSERT_EQ(model.skeleton.size(), 8u);
    const int parents[] = {-1, 0, 1, 2, -1, 0, 1, 7};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(model.skeleton[i].parent, parents[i]) << "joint " << i;
}

TEST(Ms3dSkeleton, OutOfOrderAndCyclicParentsNeitherLoopNorCrash) {
    Ms3dModelDesc d;
    d.joints = {Joint("child", "parent", {}, {0.0f, 1.0f, 0.0f}), Joint("parent", "", {}, {5.0f, 0.0f, 0.0f}),
                Joint("x", "y", {}, {1.0f, 0.0f, 0.0f}), Joint("y", "x", {}, {0.0f, 0.0f, 1.0f})};
    Ms3dVertexDesc v;
    v.joint = 3;
    v.position = {1.0f, 1.0f, 1.0f};
    d.vertices = {v};
    MS3D model;
    ASSERT_TRUE(LoadFromBytes(EncodeMs3d(d), &model));
    model.InitialSetup();
    EXPECT_EQ(model.skeleton[0].parent, 1);
    EXPECT_EQ(model.skeleton[2].parent, 3);
    EXPECT_EQ(model.skeleton[3].parent, 2);
    // First pass: the parent's absolute was still the identity.
    ExpectNear(MatrixPointMultiply(model.skeleton[0].absolute, V(0, 0, 0)), V(0, 1, 0), 0.0f);
    model.UpdateSkeleton();
    ExpectNear(MatrixPointMultiply(model.skeleton[0].absolute, V(0, 0, 0)), V(5, 1, 0), 0.0f);
    model.UpdatePoints();
    EXPECT_TRUE(std::isfinite(model.vertices[0].position.x));
}

TEST(Ms3dSkeleton, RevertThenUpdateRestoresGeometryAndLeavesUnboundVerticesAlone) {
    MS3D model;
    ASSERT_TRUE(LoadFromBytes(EncodeMs3d(MakeChainModel()), &model));
    // Normals are not lengths: scaling must leave them for the bind turn to restore.
    const std::vector<MS3D_TRIANGLE> trianglesBefore = model.triangles;
    model.Scale(0.5f);
    const std::vector<MS3D_VERTEX> before = model.vertices;
    model.InitialSetup();
    // Joint-local now: the root-bound vertex at model (-0.25, 0.25, 0) minus
    // the root's bind origin (0, 0.5, 0), turned back by the root's 0.3 rad about y.
    const VECTOR3D local = model.vertices[0].position;
    const float c = std::cos(0.3f), s = std::sin(0.3f);
    ExpectNear(local, V(c * -0.25f, -0.25f, s * -0.25f), 1e-5f);

    model.UpdatePoints();
    for (std::size_t i = 0; i < before.size(); ++i) {
        ExpectNear(model.vertices[i].position, before[i].position, 1e-5f);
        if (before[i].jointIndex < 0) {
            EXPECT_EQ(std::memcmp(&model.vertices[i].position, &before[i].position, sizeof(VECTOR3D)), 0);
        }
    }
    for (std::size_t t = 0; t < trianglesBefore.size(); ++t) {
        for (int k = 0; k < 3; ++k) ExpectNear(model.triangles[t].vertexNormals[k], trianglesBefore[t].vertexNormals[k], 1e-5f);
    }
}

// ---------------------------------------------------------------------------
// Drawing, in an offscreen context

// Each group binds its material's picture, and what is drawn into a display
// list outlives the model.
TEST(Ms3dDraw, GroupsBindTheirMaterialsAndDisplayListsKeepWhatWasDrawn) {
    GlFixture gl(64);
    ASSERT_NE(gl.context, nullptr);
    MS3D model;
    ASSERT_TRUE(LoadFromBytes(EncodeMs3d(MakeChainModel()), &model));
    model.DrawGroup(-1);
    model.DrawGroup(model.numGroups);
    EXPECT_EQ(gl.Lit(), 0);

    std::vector<Texture> textures(2);
    textures[0].texID = testpics::MakeSolidPicture({255, 0, 0});
    textures[1].texID = testpics::MakeSolidPicture({0, 255, 0});
    glEnable(GL_TEXTURE_2D);
    model.Render(textures);
    glFinish();
    auto pixels = gl.context->ReadPixels();
    // Group 0 (the lower quads) is red, group 1 (the upper and side quads) green.
    auto at = [&pixels](float x, float y) {
        const int px = static_cast<int>((x + 4) / 8 * 64), py = static_cast<int>((y + 1) / 8 * 64);
        return pixels.data() + (static_cast<std::size_t>(py) * 64 + px) * 4;
    };
    EXPECT_GT(at(0.0f, 1.0f)[0], 200);
    EXPECT_LT(at(0.0f, 1.0f)[1], 50);
    EXPECT_GT(at(2.0f, 0.0f)[1], 200);
    EXPECT_LT(at(2.0f, 0.0f)[0], 50);
    // An empty span binds nothing: the current (green) binding stays.
    glClear(GL_COLOR_BUFFER_BIT);
    model.Render(std::span<const Texture>());
    glFinish();
    pixels = gl.context->ReadPixels();
    EXPECT_GT(at(0.0f, 1.0f)[1], 200);
    glDisable(GL_TEXTURE_2D);

    glClear(GL_COLOR_BUFFER_BIT);
    const GLuint list = CompileDisplayList([&] { model.Render(); });
    ASSERT_NE(list, 0u);
    EXPECT_EQ(gl.Lit(), 0);  // compiled, not drawn
    model.Release();  // the list keeps what was drawn
    glCallList(list);
    EXPECT_GT(gl.Lit(), 200);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDeleteLists(list, 1);
}

// ---------------------------------------------------------------------------
// frostvale-inspect model

TEST(InspectModel, ReportsCountsGroupsAndJointParents) {
    Ms3dModelDesc d = MakeChainModel();
    d.joints.push_back(Joint("stray", "nobody", {}, {}));
    TempFile file("inspect-model.brm", ModelLumpFile(EncodeMs3d(d)));
    int status = -1;
    const std::string out = RunCommand(std::string(FROSTVALE_INSPECT) + " model " + file.path() + " --scale 0.5", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out,
              "vertices 20\ntriangles 10\ngroups 2\nmaterials 2\njoints 5\nfps 24\nframes 40\ntime 1666.667\n"
              "group 0 triangles 4 material 0\ngroup 1 triangles 6 material 1\n"
              "joint 0 root parent -1 rotkeys 4 transkeys 3\njoint 1 arm parent 0 rotkeys 3 transkeys 0\n"
              "joint 2 hand parent 1 rotkeys 0 transkeys 2\njoint 3 tip parent 2 rotkeys 0 transkeys 0\n"
              "joint 4 stray parent -1 rotkeys 0 transkeys 0\n");

    d.version = 2;
    TempFile old("inspect-old.ms3d", EncodeMs3d(d));
    const std::string refused = RunCommand(std::string(FROSTVALE_INSPECT) + " model " + old.path() + " 2>&1", &status);
    EXPECT_NE(status, 0);
    EXPECT_NE(refused.find(kMs3dInvalidMessage), std::string::npos) << refused;
}

TEST(Ms3dLoadModel, LoadsImageLumpsAsTexturesInOrderAndNoneFromAModelOnlyFile) {
    GlFixture gl(8);
    ASSERT_NE(gl.context, nullptr) << gl.error;
    auto picture = [](std::uint8_t r) {
        Image image(2, 2);
        for (int i = 0; i < 4; ++i) image.rgba[static_cast<std::size_t>(i) * 4] = r;
        return EncodeTga(image, 24, TgaEncoding::Uncompressed);
    };
    const Bytes model = EncodeMs3d(MakeChainModel());
    TempFile good("textured.brm", ModelLumpFile(model, {Lump{picture(10), kLumpTypeImage, 0},
                                                        Lump{picture(20), kLumpTypeImage, 2}}));
    MS3D m;
    std::vector<Texture> textures(3);
    // A missing file is refused the way the saver says it for every file (resource_files_test.sh).
    EXPECT_FALSE(LoadModel("/nonexistent/frostvale.brm", nullptr, &textures));
    EXPECT_FALSE(LoadModel("/nonexistent/frostvale.brm", &m, &textures));
    TempFile bare("model-only.brm", ModelLumpFile(model));
    ASSERT_TRUE(LoadModel(bare.path().c_str(), &m, &textures));
    EXPECT_TRUE(textures.empty());
    EXPECT_EQ(m.numGroups, 2);
    ASSERT_TRUE(LoadModel(good.path().c_str(), &m, &textures));
    ASSERT_EQ(textures.size(), 2u);
    EXPECT_NE(textures[0].texID, textures[1].texID);
    EXPECT_TRUE(glIsTexture(textures[1].texID));
    EXPECT_EQ(textures[1].imageData, nullptr);  // handed to GL and freed

    // A broken second image: the first stays built in the array handed back.
    TempFile bad("bad-texture.brm", ModelLumpFile(model, {Lump{picture(10), kLumpTypeImage, 0},
                                                          Lump{Bytes(5, 0), kLumpTypeImage, 0}}));
    EngineContext quiet;
    quiet.alert = [](const char*, const char*) {};
    EXPECT_FALSE(LoadModel(bad.path().c_str(), &m, &textures, &quiet));
    ASSERT_EQ(textures.size(), 2u);
    EXPECT_TRUE(glIsTexture(textures[0].texID));
    EXPECT_EQ(quiet.error.lump, 2);
    EXPECT_EQ(quiet.error.file, bad.path());
    textures.clear();  // while the context lives

    // Halved on upload: the GL picture is a quarter, the record keeps the file's size and the wrap stays.
    Image wide(4, 2);
    for (std::size_t i = 0; i < wide.rgba.size(); ++i) wide.rgba[i] = static_cast<std::uint8_t>(i % 4 == 0 ? 80 : 255);
    TempFile halved("halved.brm", ModelLumpFile(model, {Lump{EncodeTga(wide, 24, TgaEncoding::Uncompressed),
                                                             kLumpTypeImage, 0},
                                                        Lump{picture(30), kLumpTypeImage, 0}}));
    EngineContext light;
    light.scenePictureHalvings = 1;
    ASSERT_TRUE(LoadModel(halved.path().c_str(), &m, &textures, &light));
    const std::pair<GLint, GLint> sizes[] = {{2, 1}, {1, 1}};
    for (std::size_t i = 0; i < 2; ++i) {
        glBindTexture(GL_TEXTURE_2D, textures[i].texID);
        GLint w = 0, h = 0, wrap = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
        EXPECT_EQ(std::make_pair(w, h), sizes[i]);
        EXPECT_EQ(wrap, GL_REPEAT);
    }
    EXPECT_EQ(textures[0].width, 4u);
    std::uint8_t texels[2 * 4] = {};
    glBindTexture(GL_TEXTURE_2D, textures[0].texID);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    EXPECT_EQ(texels[0], 80);
    EXPECT_EQ(texels[1], 255);
    textures.clear();
}
