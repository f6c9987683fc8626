#define GL_GLEXT_PROTOTYPES 1
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "assets/animation.h"
#include "platform/egl_offscreen.h"
#include "tests/gl_pictures.h"
#include "tests/model_gl_fixture.h"
#include "tests/model_fixtures.h"

// ---------------------------------------------------------------------------
// An independent, deliberately plain model of how a character's joints move:
// rigid transforms as (unit quaternion, translation) pairs instead of
// matrices, Hamilton products for Euler angles, and key searches that start
// from the first key every time. Only the stored precision of the clocks
// (single-precision milliseconds) is shared with the engine, because it
// decides which side of a key or range end a step lands on.
namespace ref {
using V3 = std::array<double, 3>;
struct Q {
    double w = 1, x = 0, y = 0, z = 0;
};

Q Mul(const Q& a, const Q& b) {
    return {a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z, a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x, a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w};
}
Q AboutAxis(int axis, double radians) {
    Q q;
    q.w = std::cos(radians / 2);
    (axis == 0 ? q.x : axis == 1 ? q.y : q.z) = std::sin(radians / 2);
    return q;
}
// x first, then y, then z.
Q FromEuler(const std::array<float, 3>& r) { return Mul(AboutAxis(2, r[2]), Mul(AboutAxis(1, r[1]), AboutAxis(0, r[0]))); }

Q Slerp(const Q& a, Q b, double t) {
    double dot = a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z;
    if (dot < 0) {
        b = {-b.w, -b.x, -b.y, -b.z};
        dot = -dot;
    }
    double ka = 1 - t, kb = t;
    if (1 - dot > 1e-5) {
        const double omega = std::acos(dot);
        ka = std::sin((1 - t) * omega) / std::sin(omega);
        kb = std::sin(t * omega) / std::sin(omega);
    }
    return {ka * a.w + kb * b.w, ka * a.x + kb * b.x, ka * a.y + kb * b.y, ka * a.z + kb * b.z};
}

V3 Turn(const Q& q, const V3& v) {
    const Q p = Mul(Mul(q, Q{0, v[0], v[1], v[2]}), Q{q.w, -q.x, -q.y, -q.z});
    return {p.x, p.y, p.z};
}
V3 Add(const V3& a, const V3& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
V3 Lerp(const V3& a, const V3& b, double f) {
    return {a[0] + (b[0] - a[0]) * f, a[1] + (b[1] - a[1]) * f, a[2] + (b[2] - a[2]) * f};
}

struct Rigid {
    Q q;
    V3 t = {0, 0, 0};
};
Rigid Then(const Rigid& outer, const Rigid& inner) { return {Mul(outer.q, inner.q), Add(Turn(outer.q, inner.t), outer.t)}; }
V3 Apply(const Rigid& r, const V3& p) { return Add(Turn(r.q, p), r.t); }
Rigid Inverse(const Rigid& r) {
    const Q c{r.q.w, -r.q.x, -r.q.y, -r.q.z};
    const V3 t = Turn(c, r.t);
    return {c, {-t[0], -t[1], -t[2]}};
}

struct Key {
    float ms;
    V3 value;
    Q quat;
};
struct Joint {
    int parent = -1;
    Rigid bind;
    std::vector<Key> rotation, translation;
    Q rot;
    V3 trans = {0, 0, 0};
    Q fromRot;
    V3 fromTrans = {0, 0, 0};
    int lastKey = -1;  // the rotation key last shown at either end of the keys
    Rigid absolute;
};

// Index of the first key at or after `ms`, or keys.size() when all are earlier.
std::size_t Search(const std::vector<Key>& keys, float ms) {
    std::size_t k = 0;
    while (k < keys.size() && keys[k].ms < ms) ++k;
    return k;
}

class Character {
public:
    Character(const Ms3dModelDesc& d, float scale) : fps_(d.fps) {
        for (std::size_t i = 0; i < d.joints.size(); ++i) {
            const Ms3dJointDesc& src = d.joints[i];
            Joint j;
            for (std::size_t p = 0; p < d.joints.size() && !src.parent.empty(); ++p) {
                if (d.joints[p].name == src.parent) {
                    j.parent = static_cast<int>(p);
                    break;
                }
            }
            j.bind = {FromEuler(src.rotation), Scaled(src.position, scale)};
            for (const auto& k : src.rotationKeys) j.rotation.push_back({Ms(k.time), {}, FromEuler(k.value)});
            for (const auto& k : src.translationKeys) j.translation.push_back({Ms(k.time), Scaled(k.value, scale), {}});
            joints_.push_back(j);
        }
        Pose();
        bindPose_ = joints_;
        for (const auto& v : d.vertices) vertices_.push_back({Scaled(v.position, scale), v.joint});
    }

    void SetAnimation(double startFrame, double endFrame, double speed, bool loop, bool blend) {
        start_ = static_cast<float>(startFrame * 1000 / fps_);
        end_ = static_cast<float>(endFrame * 1000 / fps_);
        now_ = start_;
        speed_ = static_cast<float>(speed);
        loop_ = loop;
        blending_ = blend;
        blendFactor_ = 0;
        for (Joint& j : joints_) {
            j.fromRot = j.rot;
            j.fromTrans = j.trans;
        }
    }

    void Step(double seconds) {
        if (blending_) {
            blendFactor_ = static_cast<float>(blendFactor_ + seconds * 4.0);
            if (blendFactor_ >= 1.0f) {
                blendFactor_ = 1.0f;
                blending_ = false;
            }
            for (Joint& j : joints_) {
                if (!j.rotation.empty()) {
                    const std::size_t k = std::min(Search(j.rotation, now_), j.rotation.size() - 1);
                    j.rot = Slerp(j.fromRot, j.rotation[k].quat, blendFactor_);
                }
                if (!j.translation.empty()) {
                    const std::size_t k = std::min(Search(j.translation, now_), j.translation.size() - 1);
                    j.trans = Lerp(j.fromTrans, j.translation[k].value, blendFactor_);
                }
            }
        } else if (now_ < end_) {
            now_ = static_cast<float>(now_ + seconds * speed_);
            if (now_ >= end_) now_ = loop_ ? start_ : end_;
            for (Joint& j : joints_) {
                if (!j.translation.empty()) j.trans = SampleTranslation(j.translation, now_);
                if (!j.rotation.empty()) SampleRotation(&j, now_);
            }
        }
        Pose();
    }

    float now() const { return now_; }
    V3 JointPosition(std::size_t j) const { return joints_[j].absolute.t; }
    // Where a vertex of the model (bind pose, model space) is now.
    V3 VertexPosition(std::size_t v) const {
        const auto& [p, joint] = vertices_[v];
        if (joint < 0) return p;
        const auto j = static_cast<std::size_t>(joint);
        return Apply(joints_[j].absolute, Apply(Inverse(bindPose_[j].absolute), p));
    }

private:
    static float Ms(float seconds) { return static_cast<float>(seconds * 1000.0); }
    static V3 Scaled(const std::array<float, 3>& v, float s) { return {v[0] * s, v[1] * s, v[2] * s}; }
    static double Fraction(const std::vector<Key>& keys, std::size_t k, float ms) {
        return (double{ms} - keys[k - 1].ms) / (double{keys[k].ms} - keys[k - 1].ms);
    }
    static V3 SampleTranslation(const std::vector<Key>& keys, float ms) {
        const std::size_t k = Search(keys, ms);
        if (k == 0) return keys.front().value;
        if (k == keys.size()) return keys.back().value;
        return Lerp(keys[k - 1].value, keys[k].value, Fraction(keys, k, ms));
    }
    // Before the first key or after the last, the rotation is set only when
    // a different key was shown last, whatever happened to it in between.
    static void SampleRotation(Joint* j, float ms) {
        const std::vector<Key>& keys = j->rotation;
        const std::size_t k = Search(keys, ms);
        if (k == 0) {
            if (j->lastKey != 0) j->rot = keys.front().quat;
        } else if (k == keys.size()) {
            if (j->lastKey != static_cast<int>(k)) j->rot = keys.back().quat;
        } else {
            j->rot = Slerp(keys[k - 1].quat, keys[k].quat, Fraction(keys, k, ms));
        }
        j->lastKey = static_cast<int>(k);
    }
    void Pose() {
        for (Joint& j : joints_) {
            const Rigid relative = Then(j.bind, Rigid{j.rot, j.trans});
            j.absolute = j.parent >= 0 ? Then(joints_[static_cast<std::size_t>(j.parent)].absolute, relative) : relative;
        }
    }

    float fps_;
    std::vector<Joint> joints_, bindPose_;
    std::vector<std::pair<V3, int>> vertices_;
    float start_ = 0, end_ = 0, now_ = 0, speed_ = 1000, blendFactor_ = 0;
    bool loop_ = false, blending_ = false;
};
}  // namespace ref

namespace {
// A character from a model description, at a place that does not move.
std::unique_ptr<Character> Build(const Ms3dModelDesc& desc, float scale, std::span<const Texture> textures = {}) {
    auto built = std::make_unique<Character>();
    EXPECT_TRUE(built->Load(EncodeMs3d(desc), scale, textures));
    return built;
}

VECTOR3D JointOrigin(const ONEMODEL& m, std::size_t j) {
    const MATRIX& a = m.joints[j].absolute;
    return {static_cast<float>(a[12]), static_cast<float>(a[13]), static_cast<float>(a[14])};
}

void ExpectSame(const VECTOR3D& got, const ref::V3& want, double tolerance, const std::string& where) {
    EXPECT_NEAR(got.x, want[0], tolerance) << where;
    EXPECT_NEAR(got.y, want[1], tolerance) << where;
    EXPECT_NEAR(got.z, want[2], tolerance) << where;
}

struct Range {
    double start, end;
};
}  // namespace

// ---------------------------------------------------------------------------
// Poses against the independent model

namespace {
// Plays the gallop-like range 1..20 looping for a while, so that the range
// under test starts (and blends) from a pose that is not the bind pose, then
// that range, comparing joints every step and the skinned vertices at the end.
void ExpectFollowsTheIndependentModel(Range range, bool loop, bool blend, double speed, double dt) {
    SCOPED_TRACE(testing::Message() << "range " << range.start << "-" << range.end << " loop " << loop << " blend "
                                    << blend << " speed " << speed << " dt " << dt);
    const Ms3dModelDesc desc = MakeChainModel();
    const float scale = 0.8f;
    auto built = Build(desc, scale);
    ONEMODEL& m = built->instance;
    ref::Character c(desc, scale);
    m.SetAnimation(1, 20, 1000, true, false);
    c.SetAnimation(1, 20, 1000, true, false);
    for (int i = 0; i < 23; ++i) {
        m.Update(1.0 / 30);
        c.Step(1.0 / 30);
    }
    m.SetAnimation(range.start, range.end, speed, loop, blend);
    c.SetAnimation(range.start, range.end, speed, loop, blend);
    for (int step = 0; step < 160; ++step) {
        m.Update(dt);
        c.Step(dt);
        const std::string where = "step " + std::to_string(step);
        ASSERT_NEAR(m.currentTime, c.now(), 1e-3) << where;
        for (std::size_t j = 0; j < m.joints.size(); ++j) {
            ExpectSame(JointOrigin(m, j), c.JointPosition(j), 1e-4, where + " joint " + std::to_string(j));
        }
    }
    // Group 0 holds model vertices 0..7 and group 1 the rest, in order.
    for (std::size_t g = 0; g < 2; ++g) {
        for (std::size_t i = 0; i < m.groups[g].verts.size(); ++i) {
            ExpectSame(m.groups[g].verts[i].position, c.VertexPosition(g == 0 ? i : 8 + i), 1e-4, "vertex");
        }
    }
}

}  // namespace

// Every flag combination, at speeds and steps that land on and between keys.
TEST(AnimationPose, JointsAndVerticesFollowTheIndependentModel) {
    for (const Range range : {Range{4, 30}, Range{0, 36}, Range{10, 12}, Range{38, 40}}) {
        for (bool loop : {false, true}) {
            for (bool blend : {false, true}) {
                for (double speed : {1000.0, 450.0, 2500.0}) {
                    for (double dt : {1.0 / 60, 0.05, 0.137}) {
                        ExpectFollowsTheIndependentModel(range, loop, blend, speed, dt);
                        if (::testing::Test::HasFailure()) return;
                    }
                }
            }
        }
    }
}

// `frostvale-inspect pose` prints the same numbers, from a lump file or
// (the same numbers again) a bare MS3D file.
TEST(AnimationPose, InspectPoseMatchesTheIndependentModel) {
    const Ms3dModelDesc desc = MakeChainModel();
    const Bytes bytes = EncodeMs3d(desc);
    TempFile lumpFile("pose.brm", ModelLumpFile(bytes));
    TempFile bareFile("pose.ms3d", bytes);
    const auto pose = [](const std::string& file) {
        const std::string args = " --scale 0.5 --range 2 30 --speed 700 --loop --blend --dt 0.04 --steps 90";
        int status = -1;
        const std::string out = RunCommand(std::string(FROSTVALE_INSPECT) + " pose " + file + args, &status);
        EXPECT_EQ(status, 0) << file;
        return out;
    };
    const std::string out = pose(lumpFile.path());
    EXPECT_EQ(pose(bareFile.path()), out);

    ref::Character c(desc, 0.5f);
    c.SetAnimation(2, 30, 700, true, true);
    std::istringstream lines(out);
    for (int step = 1; step <= 90; ++step) {
        c.Step(0.04);
        std::string word;
        int number = 0;
        double time = 0;
        lines >> word >> number >> word >> time;
        ASSERT_EQ(number, step) << out.substr(0, 200);
        EXPECT_NEAR(time, c.now(), 1e-4);
        for (std::size_t j = 0; j < 4; ++j) {
            std::size_t index = 99;
            VECTOR3D p{};
            lines >> word >> index >> p.x >> p.y >> p.z;
            ASSERT_EQ(word, "joint");
            ASSERT_EQ(index, j);
            ExpectSame(p, c.JointPosition(j), 1e-4, "step " + std::to_string(step));
        }
    }
}

// ---------------------------------------------------------------------------
// Clock behaviour

// The rotation shown at the end of the keys is cached across ranges: a new
// range that blends to an earlier key and then jumps past the last key in
// one step keeps the blended pose.
TEST(AnimationClock, EndKeyCacheOutlivesARangeChange) {
    const Ms3dModelDesc desc = MakeChainModel();
    auto built = Build(desc, 1.0f);
    ONEMODEL& m = built->instance;
    ref::Character c(desc, 1.0f);
    auto both = [&](double dt) {
        m.Update(dt);
        c.Step(dt);
    };
    m.SetAnimation(0, 36, 1000, false, false);
    c.SetAnimation(0, 36, 1000, false, false);
    for (int i = 0; i < 20; ++i) both(0.1);
    ASSERT_EQ(m.joints[1].lastRotationKey, 3);  // past the arm's last key
    m.SetAnimation(1, 40, 1000, false, true);
    c.SetAnimation(1, 40, 1000, false, true);
    for (int i = 0; i < 5; ++i) both(0.05);  // blends to the arm's key 0
    both(1.3);                               // jumps past its key 2, keeping key 0's turn
    for (std::size_t j = 0; j < 4; ++j) ExpectSame(JointOrigin(m, j), c.JointPosition(j), 1e-4, "joint");
}

// ---------------------------------------------------------------------------
// Templates and instances

TEST(AnimationTemplate, RefusesModelsWithoutSkeletonOrThatDoNotFit) {
    MS3D model;
    ASSERT_TRUE(LoadFromBytes(EncodeMs3d(MakeChainModel()), &model));
    ANIMATIONTEMPLATE t;
    EXPECT_FALSE(t.Setup(&model));  // InitialSetup not run
    EXPECT_EQ(t.numJoints, 0);

    Ms3dModelDesc small = MakeChainModel();
    small.joints.resize(1);
    for (auto& v : small.vertices) v.joint = v.joint > 0 ? 0 : v.joint;
    MS3D smallModel;
    ASSERT_TRUE(LoadFromBytes(EncodeMs3d(small), &smallModel));
    smallModel.InitialSetup();
    ASSERT_TRUE(t.Setup(&smallModel));
    model.InitialSetup();
    ONEMODEL m;
    SetupError why;
    EXPECT_FALSE(m.Setup(&t, &model, {}, &why));  // vertices bound to joints 1..3
    EXPECT_EQ(why.Line(), "assets: a model instance does not fit its animation template");
    EXPECT_EQ(m.numGroups, 0);
    EXPECT_TRUE(m.groups.empty());
    // An instance without a template is inert: its clock stays and no GL call is made.
    m.SetAnimation(0, 10, 1000, true, true);
    m.Update(1.0);
    m.DrawGroup(-1);
    EXPECT_EQ(m.currentTime, 0.0f);
    EXPECT_FALSE(m.blending);
    m.Release();
    m.Release();
    t.Release();
    t.Release();
}

TEST(AnimationInstance, AddVertToGroupMatchesExactlyAndKnowsWhenFull) {
    ONEMODEL m;
    MOD_GROUP_TYP g;
    const float p[3] = {1, 2, 3}, n[3] = {0, 1, 0};
    EXPECT_EQ(m.AddVertToGroup(&g, p, n, 0.5f, 0.25f, 2), 0);
    EXPECT_EQ(m.AddVertToGroup(&g, p, n, 0.5f, 0.25f, 3), 1);  // another joint
    EXPECT_EQ(m.AddVertToGroup(&g, p, n, 0.5f, 0.26f, 2), 2);  // another v
    const float q[3] = {1, 2, 3.0001f};
    EXPECT_EQ(m.AddVertToGroup(&g, q, n, 0.5f, 0.25f, 2), 3);
    EXPECT_EQ(m.AddVertToGroup(&g, p, n, 0.5f, 0.25f, 3), 1);
    EXPECT_EQ(g.numVerts, 4);
    // -0 in a normal where +0 was is the same vertex, as == says; a NaN never
    // equals anything and always gets its own.
    const float negative[3] = {-0.0f, 1, 0}, nan[3] = {std::nanf(""), 0, 0};
    EXPECT_EQ(m.AddVertToGroup(&g, p, negative, 0.5f, 0.25f, 2), 0);
    EXPECT_EQ(m.AddVertToGroup(&g, nan, n, 0, 0, 0), 4);
    EXPECT_EQ(m.AddVertToGroup(&g, nan, n, 0, 0, 0), 5);

    MOD_GROUP_TYP full;
    full.verts.resize(0xFFFF);
    for (std::size_t i = 0; i < full.verts.size(); ++i) full.verts[i].position.x = static_cast<float>(i);
    full.numVerts = 0xFFFF;
    const float last[3] = {65534.0f, 0, 0}, fresh[3] = {-1.0f, 0, 0}, zero[3] = {0, 0, 0};
    EXPECT_EQ(m.AddVertToGroup(&full, last, zero, 0, 0, -1), 0xFFFE);
    EXPECT_EQ(m.AddVertToGroup(&full, fresh, zero, 0, 0, -1), ONEMODEL::kGroupFull);
    EXPECT_EQ(full.verts.size(), 0xFFFFu);
}

// Setup finds equal corners by hashing; the result must be exactly what the
// corner-by-corner search gives, for every baked character (thousands of
// corners, shared and split vertices, sphere-mapped groups).
TEST(AnimationInstance, SetupRegroupsBakedModelsExactlyAsTheSearchDoes) {
    for (const char* file : {"reindeer.brm", "santa.brm", "elf.brm"}) {
        SCOPED_TRACE(file);
        Character c;
        ASSERT_TRUE(c.Load(std::string(FROSTVALE_BAKED_DIR) + "/" + file, 0.1f));
        const MS3D& model = c.model;
        ONEMODEL& instance = c.instance;
        ASSERT_EQ(instance.groups.size(), model.groups.size());
        std::size_t corners = 0;
        for (std::size_t g = 0; g < model.groups.size(); ++g) {
            MOD_GROUP_TYP expected;
            std::vector<std::uint16_t> indices;
            for (std::uint16_t triangle : model.groups[g].triangleIndices) {
                const MS3D_TRIANGLE& t = model.triangles[triangle];
                for (int k = 0; k < 3; ++k) {
                    const MS3D_VERTEX& v = model.vertices[t.vertexIndices[k]];
                    indices.push_back(instance.AddVertToGroup(&expected, &v.position.x, &t.vertexNormals[k].x, t.s[k],
                                                              1.0f - t.t[k], static_cast<char>(v.jointIndex)));
                    ++corners;
                }
            }
            const MOD_GROUP_TYP& got = instance.groups[g];
            EXPECT_EQ(got.indices, indices);
            ASSERT_EQ(got.verts.size(), expected.verts.size());
            EXPECT_EQ(got.numVerts, expected.numVerts);
            for (std::size_t i = 0; i < got.verts.size(); ++i) {
                EXPECT_EQ(std::memcmp(&got.verts[i], &expected.verts[i], sizeof(MOD_VERTEX_TYP)), 0) << "vertex " << i;
            }
        }
        EXPECT_GT(corners, 300u);
    }
}

// Materials keep their mode and take the texture names in order, none beyond
// the span; with two or more, the first and last exchange their pictures.
TEST(AnimationInstance, MaterialsTakeTheTexturesAndExchangeOnlyWithTwoOrMore) {
    // The two materials' pictures, as set up and while swapped.
    constexpr unsigned kPictures[2][2] = {{11u, 22u}, {22u, 11u}};
    std::vector<Texture> textures(2);
    textures[0].texID = 11;  // names only; nothing here touches GL
    textures[1].texID = 22;
    auto two = Build(MakeChainModel(), 1.0f, textures);
    Ms3dModelDesc oneDesc = MakeChainModel();
    oneDesc.materials.resize(1);
    oneDesc.groups[1].material = 0;
    auto one = Build(oneDesc, 1.0f, textures);
    const auto fewer = Build(MakeChainModel(), 1.0f, std::span(textures).first(1));
    EXPECT_EQ(fewer->instance.materials[0].textureId, 11u);
    EXPECT_EQ(fewer->instance.materials[1].textureId, 0u);
    EXPECT_EQ(fewer->instance.materials[1].mode, 0x80);

    std::srand(7);
    const double dt = 0.01;
    double swappedFor = 0;
    int exchanges = 0;
    bool wasSwapped = false;
    for (int i = 0; i < 2000; ++i) {
        two->instance.Update(dt);
        one->instance.Update(dt);
        const ONEMODEL& m = two->instance;
        EXPECT_EQ(m.materials[0].textureId, kPictures[m.texturesSwapped][0]);
        EXPECT_EQ(m.materials[1].textureId, kPictures[m.texturesSwapped][1]);
        EXPECT_EQ(one->instance.materials[0].textureId, 11u);
        if (m.texturesSwapped) {
            swappedFor += dt;
        } else if (wasSwapped) {
            EXPECT_NEAR(swappedFor, 0.16, 0.011);  // 0.15 s, rounded up to whole steps
            swappedFor = 0;
            ++exchanges;
        }
        wasSwapped = m.texturesSwapped;
        if (i == 0) {
            EXPECT_TRUE(m.texturesSwapped);  // a fresh instance exchanges at once
        }
    }
    EXPECT_GT(exchanges, 3);
    textures[0].texID = textures[1].texID = 0;  // never created
}

// ---------------------------------------------------------------------------
// Drawing, in an offscreen context

TEST(AnimationDraw, InstancesDrawWithClientArraysAndRestoreState) {
    GlFixture gl(64);
    ASSERT_NE(gl.context, nullptr) << gl.error;

    auto built = Build(MakeChainModel(), 1.0f);
    ONEMODEL& m = built->instance;
    m.SetAnimation(0, 20, 1000, true, false);
    m.Update(0.0);
    auto lit = [&] { return gl.Lit(); };
    m.DrawGroup(-1);
    m.DrawGroup(2);
    EXPECT_EQ(lit(), 0);

    m.Draw();
    const int drawn = lit();
    EXPECT_GT(drawn, 100);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));  // group 1 is sphere-mapped
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));

    // Moved out of view by its position, the instance draws nothing.
    glClear(GL_COLOR_BUFFER_BIT);
    m.position = {100.0f, 0.0f, 0.0f};
    m.Draw();
    EXPECT_EQ(lit(), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(AnimationDraw, BufferObjectsDrawWhatClientArraysDrawAndAreRemadeAfterRelease) {
    GlFixture gl(64);
    ASSERT_NE(gl.context, nullptr) << gl.error;
    GLint bound = -1;

    auto buffered = Build(MakeChainModel(), 1.0f);
    auto arrays = Build(MakeChainModel(), 1.0f);
    arrays->instance.useBuffers = false;
    const auto picture = [&gl](ONEMODEL& m, bool wholeModel) {
        glClear(GL_COLOR_BUFFER_BIT);
        if (wholeModel) {
            m.Draw();
        } else {
            m.DrawGroup(1);  // found at its offset into the shared buffers
            m.DrawGroup(0);
        }
        glFinish();
        return gl.context->ReadPixels();
    };
    // Every step moves the chain, so a buffer that was not refilled shows;
    // a skipped step (none drawn) then two draws of one pose cover refilling
    // only once per move.
    for (int step = 0; step < 12; ++step) {
        for (Character* b : {buffered.get(), arrays.get()}) {
            if (step == 0) b->instance.SetAnimation(0, 20, 1000, true, false);
            b->instance.Update(1.0 / 30);
        }
        if (step == 5) continue;
        const bool whole = step % 3 != 2;
        const auto want = picture(arrays->instance, whole);
        ASSERT_FALSE(testpics::AllBlack(want)) << step;
        EXPECT_EQ(picture(buffered->instance, whole), want) << "step " << step;
        EXPECT_EQ(picture(buffered->instance, !whole), want) << "step " << step << ", drawn again";
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &bound);
        EXPECT_EQ(bound, 0) << "a later client array would read from the buffer";
        glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &bound);
        EXPECT_EQ(bound, 0);
    }
    // The only buffer names in this context are the instance's: two for the
    // vertices, one for the indices.
    const auto buffers = [] {
        int live = 0;
        for (GLuint name = 1; name < 32; ++name) live += glIsBuffer(name) ? 1 : 0;
        return live;
    };
    EXPECT_EQ(buffers(), 3);
    buffered->instance.Release();
    EXPECT_EQ(buffers(), 0);

    // Set up again, as when the engine is rebuilt: new buffers, same picture.
    MS3D model;
    ASSERT_TRUE(LoadFromBytes(EncodeMs3d(MakeChainModel()), &model));
    model.Scale(1.0f);
    model.InitialSetup();
    ASSERT_TRUE(buffered->instance.Setup(&buffered->animTemplate, &model, {}));
    arrays = Build(MakeChainModel(), 1.0f);
    arrays->instance.useBuffers = false;
    for (ONEMODEL* m : {&buffered->instance, &arrays->instance}) {
        m->SetAnimation(0, 20, 1000, true, false);
        m->Update(0.25);
    }
    EXPECT_EQ(picture(buffered->instance, true), picture(arrays->instance, true));
    EXPECT_EQ(buffers(), 3);

    // A group grown after the buffers were made must not be copied past their end.
    const float far[3] = {9.0f, 9.0f, 9.0f}, up[3] = {0.0f, 1.0f, 0.0f};
    for (ONEMODEL* m : {&buffered->instance, &arrays->instance}) {
        ASSERT_NE(m->AddVertToGroup(&m->groups[0], far, up, 0.0f, 0.0f, 0), ONEMODEL::kGroupFull);
        m->Update(0.25);
    }
    EXPECT_EQ(picture(buffered->instance, true), picture(arrays->instance, true));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
