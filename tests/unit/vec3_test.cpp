// Vec3: the small vector arithmetic the normals are built from.
#include <gtest/gtest.h>

#include <cmath>

#include "mesh/vec3.h"

static void expectVec(const Vec3& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

TEST(Vec3, ConstructionAndDifferences) {
    expectVec(Vec3(), 0, 0, 0);
    expectVec(Vec3(1, 2, 3, 4, 6, 8), 3, 4, 5);

    Vec3 v(9, 9, 9);
    v.setFromTo(Vec3(1, 2, 3), Vec3(4, 6, 8));
    expectVec(v, 3, 4, 5);
    EXPECT_FLOAT_EQ(Vec3(3, 4, 0).length(), 5.0f);
}

TEST(Vec3, NormalizeDividesByLength) {
    Vec3 v(0, 3, 4);
    v.normalize();
    expectVec(v, 0, 0.6f, 0.8f);
    v.normalize();
    expectVec(v, 0, 0.6f, 0.8f);
}

TEST(Vec3, CrossIsRightHanded) {
    expectVec(Vec3(1, 0, 0).cross(Vec3(0, 1, 0)), 0, 0, 1);
    expectVec(Vec3(0, 1, 0).cross(Vec3(1, 0, 0)), 0, 0, -1);
    expectVec(Vec3(0, 0, 1).cross(Vec3(1, 0, 0)), 0, 1, 0);
    expectVec(Vec3(2, -3, 5).cross(Vec3(2, -3, 5)), 0, 0, 0);
}

TEST(Vec3, DotSumAndDifferenceLeaveOperandsAlone) {
    const Vec3 a(1, 2, 3), b(4, 5, 6);
    EXPECT_FLOAT_EQ(a.dot(b), 32.0f);
    expectVec(a + b, 5, 7, 9);
    expectVec(a - b, -3, -3, -3);
    expectVec(a, 1, 2, 3);
    expectVec(b, 4, 5, 6);

    Vec3 c(1, 1, 1);
    c += b;
    expectVec(c, 5, 6, 7);
    expectVec(b, 4, 5, 6);
}

TEST(Vec3, EqualityIsExact) {
    EXPECT_TRUE(Vec3(1, 2, 3) == Vec3(1, 2, 3));
    EXPECT_FALSE(Vec3(1, 2, 3) == Vec3(1, 2, 3.0001f));
    EXPECT_FALSE(Vec3(1, 2, 3) == Vec3(0, 2, 3));
    const Vec3 n(1, NAN, 3);
    EXPECT_FALSE(n == n);
}
