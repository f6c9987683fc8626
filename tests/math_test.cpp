#include <gtest/gtest.h>

#include "math/failure.h"
#include "math/frustum.h"
#include "math/matrix.h"
#include "math/vector.h"

namespace {
void ExpectNear(VECTOR3D actual, VECTOR3D expected, double tolerance = 1e-5) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

VECTOR3D Rotated(VECTOR3D p, float ax, float ay, float az) {
    Rotate(&p, ax, ay, az);
    return p;
}
}  // namespace

// Every placement of houses, stars and the camera relies on this order and sense.
TEST(Rotate, TurnsAboutXThenYThenZRightHanded) {
    ExpectNear(Rotated(MakePoint(0.1f, 0.2f, 0.3f), 0, 0, 0), MakePoint(0.1f, 0.2f, 0.3f), 0);
    ExpectNear(Rotated(MakePoint(1, 0, 0), 0, 90, 0), MakePoint(0, 0, -1));
    ExpectNear(Rotated(MakePoint(1, 0, 0), 0, 0, 90), MakePoint(0, 1, 0));
    ExpectNear(Rotated(MakePoint(0, 1, 0), 90, 0, 0), MakePoint(0, 0, 1));
    ExpectNear(Rotated(MakePoint(0, 0, 1), 90, 90, 0), MakePoint(0, -1, 0));
    // x first, then z: (0,1,0) -x90-> (0,0,1), z leaves it.
    ExpectNear(Rotated(MakePoint(0, 1, 0), 90, 0, 90), MakePoint(0, 0, 1));
}

constexpr double kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// GL reads the matrices as they are: column-major, translation in 12 to 14.
TEST(Matrix, LayoutIsColumnMajorWithTranslationIn12To14) {
    MATRIX m;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m[i], kIdentity[i]) << i;
    m.SetTranslation(MakePoint(1, 2, 3));
    ExpectNear(MakePoint(m[12], m[13], m[14]), MakePoint(1, 2, 3), 0);
    ExpectNear(MatrixPointMultiply(m, MakePoint(1, 1, 1)), MakePoint(2, 3, 4), 0);
}

// MatrixFromAngle's x and z signs are the mirror of Rotate's; y agrees.
TEST(Matrix, FromAngleSignPatternDiffersFromRotate) {
    ExpectNear(MatrixRotatePoint(MatrixFromAngle(MakePoint(0, 90, 0)), MakePoint(1, 0, 0)), MakePoint(0, 0, -1));
    ExpectNear(MatrixRotatePoint(MatrixFromAngle(MakePoint(0, 0, 90)), MakePoint(1, 0, 0)), MakePoint(0, -1, 0));
    ExpectNear(MatrixRotatePoint(MatrixFromAngle(MakePoint(90, 0, 0)), MakePoint(0, 1, 0)), MakePoint(0, 0, -1));
    // It is Rz(-z) Ry(y) Rx(-x): the same as Rotate with x and z negated, applied z-last.
    const VECTOR3D angles = MakePoint(25, 40, -60);
    const VECTOR3D p = MakePoint(0.5f, 1.5f, -2.0f);
    ExpectNear(MatrixRotatePoint(MatrixFromAngle(angles), p), Rotated(p, -angles.x, angles.y, -angles.z), 1e-5);
}

// Products, inverses, quaternions and interpolating between keys (the short
// arc included) are what a character's joints are made of: they are held to
// an independent model of the animation in the animation tests.

TEST(Billboard, BasisFacesFromBTowardsA) {
    const MATRIX same = MatrixAngleBetweenVectors(MakePoint(3, 3, 3), MakePoint(3, 3, 3));
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(same[i], kIdentity[i], 1e-12) << i;

    const MATRIX up = MatrixAngleBetweenVectors(MakePoint(0, 5, 0), MakePoint(0, 0, 0));
    ExpectNear(MakePoint(up[8], up[9], up[10]), MakePoint(0, 1, 0));
    ExpectNear(MakePoint(up[0], up[1], up[2]), MakePoint(0, 0, -1));
    ExpectNear(MakePoint(up[4], up[5], up[6]), MakePoint(-1, 0, 0));

    // A general direction gives an orthonormal, right-handed basis.
    const MATRIX m = MatrixAngleBetweenVectors(MakePoint(4, 2, -7), MakePoint(-1, 0, 3));
    const VECTOR3D s = MakePoint(m[0], m[1], m[2]), u = MakePoint(m[4], m[5], m[6]), f = MakePoint(m[8], m[9], m[10]);
    ExpectNear(f, NormalizeVector(MakePoint(5, 2, -10)));
    ExpectNear(VectorCrossProduct(s, u), f);
    EXPECT_NEAR(VectorLength(s), 1.0, 1e-6);
    EXPECT_NEAR(VectorLength(u), 1.0, 1e-6);
}

TEST(Frustum, IdentityMatricesGiveTheUnitCube) {
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const FrustumPlanes cube = ExtractFrustumFrom(identity, identity);
    EXPECT_TRUE(PointInFrustum(cube, MakePoint(0, 0, 0)));
    EXPECT_FALSE(PointInFrustum(cube, MakePoint(1, 0, 0)));  // on a plane counts as outside
    EXPECT_FALSE(PointInFrustum(cube, MakePoint(0, 0, -1.5f)));
    EXPECT_TRUE(SphereInFrustum(cube, MakePoint(1.4f, 0, 0), 0.5f));
    EXPECT_FALSE(SphereInFrustum(cube, MakePoint(1.5f, 0, 0), 0.5f));
    // A negative radius is stricter than the point test by its margin.
    EXPECT_FALSE(SphereInFrustum(cube, MakePoint(0.8f, 0, 0), -0.25f));
    EXPECT_TRUE(SphereInFrustum(cube, MakePoint(0.7f, 0, 0), -0.25f));
}

TEST(Frustum, PerspectiveRejectsPointsBehindTheCamera) {
    // gluPerspective(90, 1, 1, 100), looking down -z from the origin.
    const float n = 1, f = 100;
    const float projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, (f + n) / (n - f), -1, 0, 0, 2 * f * n / (n - f), 0};
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const FrustumPlanes view = ExtractFrustumFrom(projection, identity);
    // Ahead, inside the 45-degree side; beyond it, behind the eye, before the near plane, past the far one.
    const std::pair<VECTOR3D, bool> points[] = {
        {MakePoint(0, 0, -10), true},    {MakePoint(9, 0, -10), true},   {MakePoint(11, 0, -10), false},
        {MakePoint(0, 0, 5), false},     {MakePoint(0, 0, -0.5f), false}, {MakePoint(0, 0, -150), false}};
    for (const auto& [p, inside] : points) EXPECT_EQ(PointInFrustum(view, p), inside) << p.x << ", " << p.z;
}

// The host prints Line() as it is, the first failure of a set-up only. (Each
// reader's wording reaches users through the saver in resource_files_test.sh,
// and "cannot open" in the view's test.)
TEST(SetupError, TheFirstFailureIsKept) {
    SetupError kept;
    EXPECT_FALSE(kept.Note({.file = "tex.brm", .what = "has 5 images, needs 7"}));
    EXPECT_TRUE(kept.Failed());
    EXPECT_FALSE(kept.Note({.file = "elf.brm", .what = "a knock-on failure"}));
    EXPECT_EQ(kept.Line(), "tex.brm: has 5 images, needs 7");
    SetupError none;
    ERRORCLOSE(nullptr, "nowhere to go");
    ERRORCLOSE(&none, "Unable to allocate memory!");
    EXPECT_EQ(none.Line(), "Unable to allocate memory!");
}
