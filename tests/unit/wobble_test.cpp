// The ball's wobble, without GL: the worked example, signs and bounds, no
// build-up between frames, and meshes of unequal size.
#include <gtest/gtest.h>
#include <cmath>
#include <memory>

#include "scenes/wobble.h"
#include "test_meshes.h"

namespace {

std::unique_ptr<Mesh> meshOf(const std::vector<Vec3>& positions) {
    return std::unique_ptr<Mesh>(makeMesh(positions, {}));
}

// (1, 1, 1) at 70 s: stage 1 gives (1.4934, 1.5776, 1), stage 2 (2.0179,
// 1.5776, 1.6340), stage 3 the result below.
TEST(Wobble, WorkedExampleAt70Seconds) {
    auto rest = meshOf({{1, 1, 1}});
    auto out = meshOf({{0, 0, 0}});
    wobbleBall(*rest, *out, 70.0f);
    EXPECT_NEAR(out->vertices[0].x, 2.0179, 1e-4);
    EXPECT_NEAR(out->vertices[0].y, 1.9729, 1e-4);
    EXPECT_NEAR(out->vertices[0].z, 2.7383, 1e-4);
    // The rest shape is only read.
    EXPECT_EQ(rest->vertices[0], Vec3(1, 1, 1));
}

// The axis vertex (1, 0, 0) is bent by the two x stages only:
// x = (1.5 + 0.5 sin 3t)^2 with y and z staying 0.
TEST(Wobble, OriginStaysAndAxisVertexStaysOnItsAxis) {
    auto rest = meshOf({{0, 0, 0}, {1, 0, 0}});
    auto out = meshOf({{9, 9, 9}, {9, 9, 9}});
    wobbleBall(*rest, *out, 67.25f);
    EXPECT_EQ(out->vertices[0], Vec3(0, 0, 0));
    const double f = 1.5 + 0.5 * std::sin(3.0 * 67.25);
    EXPECT_NEAR(out->vertices[1].x, f * f, 1e-5);
    EXPECT_EQ(out->vertices[1].y, 0.0f);
    EXPECT_EQ(out->vertices[1].z, 0.0f);
}

TEST(Wobble, EveryCoordinateKeepsItsSignAndGrowsOneToFourTimes) {
    const std::vector<Vec3> shape = {{1, 2, 3},    {-1, 2, -3},   {0.5f, -0.25f, 4},
                                     {-2, -2, -2}, {3, -1, 0.1f}, {-0.3f, 0.7f, -5}};
    auto rest = meshOf(shape);
    auto out = meshOf(shape);
    for (float t = 65.0f; t < 80.0f; t += 0.37f) {
        wobbleBall(*rest, *out, t);
        for (size_t i = 0; i < shape.size(); ++i) {
            const float p[3] = {shape[i].x, shape[i].y, shape[i].z};
            const float q[3] = {out->vertices[i].x, out->vertices[i].y, out->vertices[i].z};
            for (int c = 0; c < 3; ++c) {
                SCOPED_TRACE(testing::Message() << "t " << t << " vertex " << i << " axis " << c);
                EXPECT_GT(q[c] * p[c], 0.0f);
                EXPECT_GE(std::fabs(q[c]), std::fabs(p[c]) * (1.0f - 1e-6f));
                EXPECT_LE(std::fabs(q[c]), std::fabs(p[c]) * 4.0f * (1.0f + 1e-6f));
            }
        }
    }
}

// Every call starts from the rest shape, whatever the last call left.
TEST(Wobble, SameTimeGivesSameShapeAfterAnyOtherTime) {
    auto rest = meshOf({{1, 2, 3}, {-4, 0.5f, 2}});
    auto out = meshOf({{0, 0, 0}, {0, 0, 0}});
    wobbleBall(*rest, *out, 70.0f);
    const Vec3 first[2] = {out->vertices[0], out->vertices[1]};
    wobbleBall(*rest, *out, 73.5f);
    EXPECT_FALSE(out->vertices[0] == first[0]);
    wobbleBall(*rest, *out, 70.0f);
    wobbleBall(*rest, *out, 70.0f);
    EXPECT_EQ(out->vertices[0], first[0]);
    EXPECT_EQ(out->vertices[1], first[1]);
}

// A short or empty mesh on either side: only the vertices both have are
// wobbled, the rest of the longer output keeps what it held.
TEST(Wobble, UnequalAndEmptyMeshesWobbleOnlyTheCommonVertices) {
    auto rest = meshOf({{1, 1, 1}, {2, 2, 2}});
    auto longer = meshOf({{0, 0, 0}, {0, 0, 0}, {7, 8, 9}});
    wobbleBall(*rest, *longer, 70.0f);
    EXPECT_NEAR(longer->vertices[0].x, 2.0179, 1e-4);
    EXPECT_GT(longer->vertices[1].x, 2.0f);
    EXPECT_EQ(longer->vertices[2], Vec3(7, 8, 9));

    auto restLonger = meshOf({{1, 1, 1}, {2, 2, 2}, {3, 3, 3}});
    auto shorter = meshOf({{0, 0, 0}});
    wobbleBall(*restLonger, *shorter, 70.0f);
    EXPECT_NEAR(shorter->vertices[0].z, 2.7383, 1e-4);

    Mesh empty;
    auto untouched = meshOf({{5, 6, 7}});
    wobbleBall(empty, *untouched, 70.0f);
    EXPECT_EQ(untouched->vertices[0], Vec3(5, 6, 7));
    wobbleBall(*rest, empty, 70.0f);
    EXPECT_TRUE(empty.vertices.empty());
}

} // namespace
