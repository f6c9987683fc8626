// The baked characters played the way the scene plays them: each file is
// loaded with the engine's reader, scaled, made into a template and an
// instance, and driven with the scene's ranges, speeds and 60 updates a
// second; the points the scene hangs things on are checked at the moments
// its thresholds fire. The rigging kit is checked against the engine too.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "assets/animation.h"
#include "assets/ms3d.h"
#include "assets/resfile.h"
#include "tools/bake/characters.h"
#include "tools/bake/model/primitives.h"
#include "tools/bake/model/rig.h"

namespace {
constexpr double kStep = 1.0 / 60.0;

std::string Baked(const char* name) { return std::string(FROSTVALE_BAKED_DIR) + "/" + name; }

bool LoadLump0(const std::string& path, MS3D* model) {
    RESFILE file;
    if (!file.Open(path.c_str()) || !file.SeekLump(0)) return false;
    BoundedReader lump = file.Lump();
    return model->LoadFromFStream(&lump);
}

// A template and one instance, built as the scene builds them.
struct Character {
    MS3D model;
    ANIMATIONTEMPLATE animTemplate;
    ONEMODEL instance;

    bool Load(const std::string& path, float scale) {
        if (!LoadLump0(path, &model)) return false;
        model.Scale(scale);
        model.InitialSetup();
        return animTemplate.Setup(&model) && instance.Setup(&animTemplate, &model, {});
    }
    VECTOR3D Point(int joint, VECTOR3D local) const {
        return MatrixPointMultiply(instance.joints[static_cast<std::size_t>(joint)].absolute, local);
    }
    // Posed vertices (model space between updates), optionally of one joint only.
    std::vector<VECTOR3D> Vertices(int joint = -2) const {
        std::vector<VECTOR3D> out;
        for (const MOD_GROUP_TYP& g : instance.groups) {
            for (const MOD_VERTEX_TYP& v : g.verts) {
                if (joint == -2 || v.jointIndex == joint) out.push_back(v.position);
            }
        }
        return out;
    }
    // Evaluates one frame's pose without moving on.
    void Pose(double frame) {
        instance.SetAnimation(frame, frame + 1.0, 1000.0, false, false);
        instance.Update(0.0);
    }
};

double Distance(VECTOR3D a, VECTOR3D b) { return VectorLength(SubtractVectors(a, b)); }

double Nearest(const std::vector<VECTOR3D>& points, VECTOR3D p) {
    double best = std::numeric_limits<double>::max();
    for (const VECTOR3D& q : points) best = std::min(best, Distance(p, q));
    return best;
}

// Updates at 60 a second until `done` (at most `seconds`), calling `each` after every update.
template <typename Each>
void Play(ONEMODEL& m, double seconds, Each each) {
    for (int i = 0; i < static_cast<int>(seconds / kStep); ++i) {
        m.Update(kStep);
        each();
    }
}

void PlayToEnd(ONEMODEL& m) {
    for (int i = 0; i < 6000 && m.currentTime < m.endTime; ++i) m.Update(kStep);
}

// How far any vertex moves between two poses of the same model.
double Jump(const std::vector<VECTOR3D>& a, const std::vector<VECTOR3D>& b) {
    EXPECT_EQ(a.size(), b.size());
    double worst = 0.0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        worst = std::max(worst, Distance(a[i], b[i]));
    }
    return worst;
}

// ---------------------------------------------------------------- reindeer

class Reindeer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(deer.Load(Baked(kReindeerModel.file), kReindeerModel.scale)); }
    Character deer;
};

TEST_F(Reindeer, HoovesStrikeInTheirSparkleWindows) {
    using namespace reindeer;
    deer.instance.SetAnimation(kGallop.first, kGallop.last, 1000.0, true, false);
    const int hooves[4] = {kHindHoofPlusX, kHindHoofMinusX, kFrontHoofPlusX, kFrontHoofMinusX};
    // The scene's windows (milliseconds), strict on both ends.
    auto window = [](int joint) {
        return joint == kHindHoofPlusX || joint == kHindHoofMinusX ? std::pair{208.33334, 333.33334}
                                                                  : std::pair{666.6667, 791.6667};
    };
    float inside[4], outside[4], otherPairInside[4];
    std::fill(inside, inside + 4, 1e9f);
    std::fill(outside, outside + 4, 1e9f);
    std::fill(otherPairInside, otherPairInside + 4, 1e9f);
    Play(deer.instance, 3.0, [&] {
        const double t = deer.instance.currentTime;
        for (int h = 0; h < 4; ++h) {
            const auto [from, to] = window(hooves[h]);
            const float y = deer.Point(hooves[h], {0, 0, 1}).y;
            if (t > from && t < to) {
                inside[h] = std::min(inside[h], y);
                const int partner = h < 2 ? 2 : 0;  // the other pair, while this one strikes
                otherPairInside[h] = std::min({otherPairInside[h], deer.Point(hooves[partner], {0, 0, 1}).y,
                                               deer.Point(hooves[partner + 1], {0, 0, 1}).y});
            } else if (t < from - 42.0 || t > to + 42.0) {
                outside[h] = std::min(outside[h], y);
            }
        }
    });
    for (int h = 0; h < 4; ++h) {
        SCOPED_TRACE("hoof joint " + std::to_string(hooves[h]));
        EXPECT_LT(inside[h], outside[h] - 0.1f) << "the hoof is not at its lowest while it strikes";
        EXPECT_LT(inside[h], otherPairInside[h] - 0.2f) << "the other pair reaches as low meanwhile";
    }
}

TEST_F(Reindeer, HoofJointsPointDownTheirLegsToTheTips) {
    using namespace reindeer;
    deer.Pose(kStand.last);
    const std::vector<VECTOR3D> all = deer.Vertices();
    float lowest = 1e9f;
    for (const VECTOR3D& v : all) lowest = std::min(lowest, v.y);
    for (int j : {kFrontHoofPlusX, kFrontHoofMinusX, kHindHoofPlusX, kHindHoofMinusX}) {
        const VECTOR3D knee = deer.Point(j, {0, 0, 0}), tip = deer.Point(j, {0, 0, 1});
        EXPECT_NEAR(knee.y - tip.y, 1.0, 0.05) << "joint " << j;
        EXPECT_NEAR(tip.y, lowest, 0.1) << "joint " << j << ": the tip is not at the hoof's sole";
        EXPECT_LT(Nearest(deer.Vertices(j), tip), 0.2) << "joint " << j;
    }
}

TEST_F(Reindeer, StandsOnTheRoofAfterBlendingOutOfTheGallop) {
    using namespace reindeer;
    deer.instance.SetAnimation(kGallop.first, kGallop.last, 1000.0, true, false);
    Play(deer.instance, 0.4, [] {});
    deer.instance.SetAnimation(kStand.first, kStand.last, 500.0, false, true);
    Play(deer.instance, 1.0, [] {});
    EXPECT_FLOAT_EQ(deer.instance.currentTime, deer.instance.endTime);
    float lo = 1e9f, hi = -1e9f;
    for (int j : {kFrontHoofPlusX, kFrontHoofMinusX, kHindHoofPlusX, kHindHoofMinusX}) {
        const float y = deer.Point(j, {0, 0, 1}).y;
        lo = std::min(lo, y);
        hi = std::max(hi, y);
    }
    EXPECT_LT(hi - lo, 0.1f) << "hooves not level on the roof";
}

TEST_F(Reindeer, NoseTipAndHarnessRingsSitOnTheBody) {
    using namespace reindeer;
    ASSERT_EQ(deer.instance.numJoints, kJoints);
    deer.instance.SetAnimation(kGallop.first, kGallop.last, 1000.0, true, false);
    Play(deer.instance, 0.5, [&] {
        const std::vector<VECTOR3D> all = deer.Vertices();
        float front = -1e9f;
        for (const VECTOR3D& v : all) front = std::max(front, v.z);
        const VECTOR3D nose = deer.Point(kNose, {0, 0, 0});
        ASSERT_GT(nose.z, front - 0.15f) << "the nose glow would not sit at the front";
        ASSERT_LT(Nearest(all, nose), 0.1);
        const VECTOR3D h = deer.Point(kHarness, {0, 0, 0});
        ASSERT_LT(Nearest(all, {h.x + 1.1f, h.y, h.z}), 0.25);
        ASSERT_LT(Nearest(all, {h.x - 1.1f, h.y, h.z}), 0.25);
    });
}

// Open and shut pictures of a pair differ only in the face (the lower half of
// every character's layout), so swapping them blinks without touching the body.
void ExpectBlinkPair(const Canvas& open, const Canvas& shut, const std::string& what) {
    ASSERT_EQ(open.width, shut.width);
    ASSERT_EQ(open.height, shut.height);
    int differ = 0, differAbove = 0;
    for (int y = 0; y < open.height; ++y) {
        for (int x = 0; x < open.width; ++x) {
            const Colour a = open.At(x, y), b = shut.At(x, y);
            if (std::fabs(a.r - b.r) + std::fabs(a.g - b.g) + std::fabs(a.b - b.b) > 1e-4f) {
                ++differ;
                if (y < open.height / 2) ++differAbove;
            }
        }
    }
    EXPECT_GT(differ, 20) << what << ": no blink";
    EXPECT_EQ(differAbove, 0) << what << ": the blink changes the body";
}

TEST(CharacterPictures, PairsDifferOnlyRoundTheEyesAndTheLeadHasTheRedNose) {
    const std::vector<Canvas> coats = ReindeerImages();
    ASSERT_EQ(coats.size(), 2u * reindeer::kCoats);
    for (int coat = 0; coat < reindeer::kCoats; ++coat) {
        ExpectBlinkPair(coats[2 * coat], coats[2 * coat + 1], "coat " + std::to_string(coat));
    }
    const std::vector<Canvas> santa = SantaImages(), elf = ElfImages();
    ASSERT_EQ(santa.size(), 2u);
    ASSERT_EQ(elf.size(), 2u);
    ExpectBlinkPair(santa[0], santa[1], "santa");
    ExpectBlinkPair(elf[0], elf[1], "elf");
    // The lead's nose (its picture's nose cell) is red, the others' dark.
    auto nose = [&](int image) { return coats[static_cast<std::size_t>(image)].At(72, 40); };
    EXPECT_GT(nose(0).r, 0.8f);
    EXPECT_LT(nose(0).g, 0.3f);
    for (int coat = 1; coat < reindeer::kCoats; ++coat) EXPECT_LT(nose(2 * coat).r, 0.4f);
}

// ---------------------------------------------------------------- Santa

class Santa : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(man.Load(Baked(kSantaModel.file), kSantaModel.scale)); }
    VECTOR3D Present() const { return man.Point(santa::kHandMinusX, {-0.9f, 0, 0}); }
    Character man;
};

TEST_F(Santa, FistsHoldTheReinsWhileSeated) {
    man.instance.SetAnimation(1, 49, 200, true, false);
    Play(man.instance, 10.0, [&] {
        for (int hand : {santa::kHandPlusX, santa::kHandMinusX}) {
            ASSERT_LT(Nearest(man.Vertices(hand), man.Point(hand, {0, 0, 0.5f})), 0.15) << "hand " << hand;
        }
        ASSERT_LT(man.Point(santa::kHandMinusX, {0, 0, 0}).x, -0.2f);
        ASSERT_GT(man.Point(santa::kHandPlusX, {0, 0, 0}).x, 0.2f);
    });
}

// The delivery as the state machine plays it: the climb with a blend, the
// present appearing at 2708.3335 ms, then either drop.
TEST_F(Santa, PresentAppearsInThePalmAndGoesDownTheChimney) {
    const VECTOR3D chimney = {-5.0f, 0.0f, 0.0f};
    for (bool second : {false, true}) {
        SCOPED_TRACE(second ? "second drop" : "first drop");
        man.instance.SetAnimation(1, 49, 200, true, false);
        Play(man.instance, 3.0, [] {});
        man.instance.SetAnimation(49, 77, 300, false, true);
        bool appeared = false;
        for (int i = 0; i < 2000 && !appeared; ++i) {
            man.instance.Update(kStep);
            if (man.instance.currentTime >= 2708.3335f) {
                appeared = true;
                const VECTOR3D p = Present();
                const double toHand = Nearest(man.Vertices(santa::kHandMinusX), p);
                EXPECT_LT(toHand, 0.6) << "the present is not at the palm";
                EXPECT_GT(toHand, 0.3) << "a present about 1 across would swallow the mitten";
                // Nothing else of Santa is nearer: it is in the hand, not against his belly.
                EXPECT_LE(toHand, Nearest(man.Vertices(), p) + 1e-6);
                EXPECT_LT(p.x, -2.0f) << "not held out towards the chimney";
            }
        }
        ASSERT_TRUE(appeared);
        PlayToEnd(man.instance);
        if (second) {
            man.instance.SetAnimation(94, 122, 500, false, false);
        } else {
            man.instance.SetAnimation(77, 93, 500, false, false);
        }
        man.instance.Update(0.0);
        double closest = 1e9;
        Play(man.instance, 3.0, [&] {
            const VECTOR3D p = Present();
            if (p.y > chimney.y - 0.5f) closest = std::min(closest, static_cast<double>(std::hypot(p.x - chimney.x, p.z - chimney.z)));
        });
        EXPECT_FLOAT_EQ(man.instance.currentTime, man.instance.endTime);
        EXPECT_LT(closest, 0.3) << "the present never comes over the chimney";
        // When the clip ends the present vanishes: it is down in the flue by then.
        const VECTOR3D end = Present();
        EXPECT_LT(std::hypot(end.x - chimney.x, end.z - chimney.z), 0.3);
        EXPECT_LT(end.y, chimney.y - 0.2f);
    }
}

TEST_F(Santa, ClipsMeetWhereTheSceneSwitchesWithoutBlending) {
    const std::pair<int, int> seams[] = {{1, 49}, {77, 94}, {93, 123}, {122, 123}, {194, 1}};
    for (const auto& [a, b] : seams) {
        man.Pose(a);
        const std::vector<VECTOR3D> first = man.Vertices();
        man.Pose(b);
        EXPECT_LT(Jump(first, man.Vertices()), 0.02) << "frames " << a << " and " << b;
    }
}

// ---------------------------------------------------------------- elf

using Triangle = std::array<VECTOR3D, 3>;

VECTOR3D Along(VECTOR3D a, VECTOR3D d, double t) { return AddVectors(a, ScaleVector(d, t)); }
double Dot(VECTOR3D a, VECTOR3D b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Distance from p to the triangle (closest point by regions, as in Ericson's
// Real-Time Collision Detection).
double DistanceToTriangle(VECTOR3D p, const Triangle& t) {
    const VECTOR3D a = t[0], b = t[1], c = t[2];
    const VECTOR3D ab = SubtractVectors(b, a), ac = SubtractVectors(c, a), ap = SubtractVectors(p, a);
    const double d1 = Dot(ab, ap), d2 = Dot(ac, ap);
    if (d1 <= 0 && d2 <= 0) return Distance(p, a);
    const VECTOR3D bp = SubtractVectors(p, b);
    const double d3 = Dot(ab, bp), d4 = Dot(ac, bp);
    if (d3 >= 0 && d4 <= d3) return Distance(p, b);
    const double vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0) return Distance(p, Along(a, ab, d1 / (d1 - d3)));
    const VECTOR3D cp = SubtractVectors(p, c);
    const double d5 = Dot(ab, cp), d6 = Dot(ac, cp);
    if (d6 >= 0 && d5 <= d6) return Distance(p, c);
    const double vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0) return Distance(p, Along(a, ac, d2 / (d2 - d6)));
    const double va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) {
        return Distance(p, Along(b, SubtractVectors(c, b), (d4 - d3) / ((d4 - d3) + (d5 - d6))));
    }
    const double denom = 1.0 / (va + vb + vc);
    return Distance(p, AddVectors(Along(a, ab, vb * denom), ScaleVector(ac, vc * denom)));
}

double DistanceToSurface(const std::vector<Triangle>& surface, VECTOR3D p) {
    double best = std::numeric_limits<double>::max();
    for (const Triangle& t : surface) best = std::min(best, DistanceToTriangle(p, t));
    return best;
}

// The sack's surface in the elf's own space: the sleigh model's "sack" group,
// scaled as the scene scales the sleigh, seen from the elf's seat.
std::vector<Triangle> SackFromTheElf() {
    MS3D sleigh;
    if (!LoadLump0(Baked("sleigh.brm"), &sleigh)) return {};
    sleigh.Scale(0.175f);
    const VECTOR3D seat = {0.0f, 1.6f, -1.0f};
    std::vector<Triangle> sack;
    for (int g = 0; g < sleigh.numGroups; ++g) {
        const MS3D_GROUP& group = sleigh.groups[static_cast<std::size_t>(g)];
        if (std::string(group.name) != "sack") continue;
        for (std::uint16_t i : group.triangleIndices) {
            Triangle t;
            for (int k = 0; k < 3; ++k) {
                t[static_cast<std::size_t>(k)] = SubtractVectors(sleigh.vertices[sleigh.triangles[i].vertexIndices[k]].position, seat);
            }
            sack.push_back(t);
        }
    }
    return sack;
}

TEST(SackSurface, DistanceToATriangleByRegion) {
    const Triangle t = {VECTOR3D{0, 0, 0}, VECTOR3D{2, 0, 0}, VECTOR3D{0, 2, 0}};
    EXPECT_NEAR(DistanceToTriangle({0.5f, 0.5f, 3.0f}, t), 3.0, 1e-6);    // over the face
    EXPECT_NEAR(DistanceToTriangle({-1.0f, -1.0f, 0.0f}, t), std::sqrt(2.0), 1e-6);  // past a corner
    EXPECT_NEAR(DistanceToTriangle({1.0f, -2.0f, 0.0f}, t), 2.0, 1e-6);   // beside an edge
    EXPECT_NEAR(DistanceToTriangle({2.0f, 2.0f, 0.0f}, t), std::sqrt(2.0), 1e-6);  // beyond the long edge
}

class Elf : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(elf.Load(Baked(kElfModel.file), kElfModel.scale)); }
    VECTOR3D Hand1() const { return elf.Point(elf::kHand1, {0.75f, 0, 0.5f}); }
    VECTOR3D Hand2() const { return elf.Point(elf::kHand2, {-0.75f, 0, 0.5f}); }
    Character elf;
};

TEST_F(Elf, PicksFromTheSackAndThrowsToEachSideInItsWindows) {
    const std::vector<Triangle> sack = SackFromTheElf();
    ASSERT_FALSE(sack.empty()) << "the sleigh has no sack group";
    elf.instance.SetAnimation(0, 53, 1000, true, false);
    int picks1 = 0, picks2 = 0, throws1 = 0, throws2 = 0;
    Play(elf.instance, 4.6, [&] {
        const double t = elf.instance.currentTime;
        if (t > 41.666668 && t < 166.66667) {
            ++picks2;
            ASSERT_LT(DistanceToSurface(sack, Hand2()), 0.3) << "hand 2 is not at the sack at " << t << " ms";
        }
        if (t > 1125.0 && t < 1250.0) {
            ++picks1;
            ASSERT_LT(DistanceToSurface(sack, Hand1()), 0.3) << "hand 1 is not at the sack at " << t << " ms";
        }
        if (t > 458.33334 && t < 666.6667) {
            ++throws2;
            ASSERT_GT(Hand2().x, 0.6f) << "hand 2 does not swing out to +x at " << t << " ms";
            ASSERT_GT(Hand2().y, 0.6f);
        }
        if (t > 1541.6667 && t < 1750.0) {
            ++throws1;
            ASSERT_LT(Hand1().x, -0.6f) << "hand 1 does not swing out to -x at " << t << " ms";
            ASSERT_GT(Hand1().y, 0.6f);
        }
    });
    // Both loops ran through every window more than once.
    EXPECT_GE(picks1, 12);
    EXPECT_GE(picks2, 12);
    EXPECT_GE(throws1, 20);
    EXPECT_GE(throws2, 20);
}

TEST_F(Elf, GripPointsStayInThePalmsInEveryClip) {
    for (int frame = 0; frame <= 136; frame += 3) {
        elf.Pose(frame);
        ASSERT_LT(Nearest(elf.Vertices(elf::kHand1), Hand1()), 0.12) << "frame " << frame;
        ASSERT_LT(Nearest(elf.Vertices(elf::kHand2), Hand2()), 0.12) << "frame " << frame;
    }
}

TEST_F(Elf, LandingClipsChainAsTheStateMachineSwitchesThem) {
    elf.instance.SetAnimation(0, 53, 1000, true, false);
    Play(elf.instance, 0.7, [] {});
    elf.instance.SetAnimation(54, 66, 500, false, true);
    PlayToEnd(elf.instance);
    const std::vector<VECTOR3D> braced = elf.Vertices();
    // Santa's clock reaching 2375 ms switches to the roof clip without a blend.
    elf.instance.SetAnimation(66, 86, 1000, false, false);
    elf.instance.Update(0.0);
    EXPECT_LT(Jump(braced, elf.Vertices()), 0.02);
    PlayToEnd(elf.instance);
    const std::vector<VECTOR3D> watched = elf.Vertices();
    elf.instance.SetAnimation(87, 136, 500, false, false);
    elf.instance.Update(0.0);
    EXPECT_LT(Jump(watched, elf.Vertices()), 0.02);
    // The wave lifts hand 2 above the head.
    float highest = -1e9f;
    Play(elf.instance, 3.0, [&] { highest = std::max(highest, Hand2().y); });
    EXPECT_GT(highest, 1.3f);
}

// ---------------------------------------------------------------- rigging kit

using M3 = std::array<double, 9>;

TEST(RigEuler, RoundTripsThroughTheEnginesOrder) {
    const V3 cases[] = {{10, 20, 30}, {-170, 45, 100}, {0, 90, 0}, {0, -90, 30}, {90, 0, 180}, {33, -60, -140}};
    for (const V3& e : cases) {
        const M3 a = RotationFromEuler(e);
        const M3 b = RotationFromEuler(EulerDegrees(a));
        for (int i = 0; i < 9; ++i) EXPECT_NEAR(a[i], b[i], 1e-5) << e.x << " " << e.y << " " << e.z;
    }
}

// A small rigged arm written to a file and played by the engine lands where
// the kit says, with turned joint axes and offsets.
TEST(RigAgainstEngine, PosedPointsMatchTheEnginesJoints) {
    Mesh m;
    m.Use(m.AddGroup("g", m.AddMaterial(PlainMaterial("g"))), -1);
    Rig rig(m);
    const int root = rig.AddJoint("root", -1, {0, 1, 0});
    const int mid = rig.AddJoint("mid", root, {1, 1, 0}, {0, 0, 180});
    const int tip = rig.AddJoint("tip", mid, {1, 0, 1}, {90, 0, 0});
    m.Use(0, tip);
    AddBox(m, Move(1, -0.5f, 1), {0.2f, 0.2f, 0.2f}, BoxUv::All({}));
    Pose rest;
    Pose bent;
    bent[root].rotation = {0, 30, 0};
    bent[root].offset = {0.5f, 0, -0.25f};
    bent[mid].rotation = {-40, 10, 0};
    bent[mid].offset = {0, 0.3f, 0};
    bent[tip].rotation = {20, 0, 60};
    rig.Key(0, rest);
    rig.Key(10, bent, Ease::Linear);
    rig.Finish();
    EXPECT_EQ(m.totalFrames, 10);

    MS3D model;
    const Bytes bytes = EncodeMs3d(m.ToMs3d(0.5f));
    BoundedReader reader(bytes.data(), bytes.size());
    ASSERT_TRUE(model.LoadFromFStream(&reader));
    model.Scale(0.5f);
    model.InitialSetup();
    ANIMATIONTEMPLATE t;
    ONEMODEL inst;
    ASSERT_TRUE(t.Setup(&model));
    ASSERT_TRUE(inst.Setup(&t, &model, {}));
    inst.SetAnimation(10, 11, 1000, false, false);
    inst.Update(0.0);
    for (int j : {root, mid, tip}) {
        for (const V3 local : {V3{0, 0, 0}, V3{0, 0, 1}, V3{-0.75f, 0.2f, 0.5f}}) {
            const V3 want = rig.PosedPoint(bent, j, local);
            const VECTOR3D got = MatrixPointMultiply(inst.joints[static_cast<std::size_t>(j)].absolute,
                                                     {local.x, local.y, local.z});
            EXPECT_LT(Length(V3{got.x, got.y, got.z} - want), 1e-3f) << "joint " << j;
        }
    }
    // Halfway the linear in-between keys put the tip halfway round.
    inst.SetAnimation(5, 6, 1000, false, false);
    inst.Update(0.0);
    Pose half;
    half[root].rotation = {0, 15, 0};
    half[root].offset = {0.25f, 0, -0.125f};
    const V3 want = rig.PosedPoint(half, root, {0, 0, 1});
    const VECTOR3D got = MatrixPointMultiply(inst.joints[static_cast<std::size_t>(root)].absolute, {0, 0, 1});
    EXPECT_NEAR(got.x, want.x, 1e-3);
    EXPECT_NEAR(got.z, want.z, 1e-3);
}

TEST(RigReach, BendsAChainOntoReachableTargetsAndReportsTheRest) {
    Mesh m;
    Rig rig(m);
    const int a = rig.AddJoint("a", -1, {0, 0, 0});
    const int b = rig.AddJoint("b", a, {0, -1, 0});
    Pose p;
    EXPECT_LT(rig.Reach(p, {a, b}, b, {0, -1, 0}, {1.2f, -1.0f, 0.6f}), 0.01f);
    // Two units of arm cannot reach three units away: the rest is reported.
    Pose q;
    EXPECT_NEAR(rig.Reach(q, {a, b}, b, {0, -1, 0}, {0.3f, 3, 0}), std::sqrt(9.09f) - 2.0f, 0.02f);
    // Orient sets the joint's turn whatever its parent does.
    Pose r;
    r[a].rotation = {0, 0, 50};
    rig.Orient(r, b, {0, 0, -20});
    const V3 tip = rig.PosedPoint(r, b, {0, -1, 0}) - rig.PosedPoint(r, b, {0, 0, 0});
    EXPECT_NEAR(tip.x, -std::sin(20.0 * M_PI / 180.0), 1e-4);  // Rz(-20) of (0, -1, 0)
    EXPECT_NEAR(tip.y, -std::cos(20.0 * M_PI / 180.0), 1e-4);
}

TEST(RigKeys, RefusesKeysOutOfOrderAndUnknownJoints) {
    Mesh m;
    Rig rig(m);
    const int a = rig.AddJoint("a", -1, {0, 0, 0});
    rig.Key(5, {});
    EXPECT_THROW(rig.Key(5, {}), BakeError);
    EXPECT_THROW(rig.Key(3, {}), BakeError);
    Pose bad;
    bad[a + 1].rotation = {1, 0, 0};
    EXPECT_THROW(rig.Key(9, bad), BakeError);
    EXPECT_THROW(rig.AddJoint("b", 4, {0, 0, 0}), BakeError);
}

TEST(CharacterBake, SameBytesEveryTime) {
    EXPECT_EQ(BuildElf().front().bytes, BuildElf().front().bytes);
    EXPECT_EQ(BuildSanta().front().bytes, BuildSanta().front().bytes);
}
}  // namespace
