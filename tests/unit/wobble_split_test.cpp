// The wobble of a large mesh is shared between two threads: every vertex must
// come out with exactly the bits it gets when bent on its own.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

#include "scenes/wobble.h"
#include "test_meshes.h"

namespace {

std::vector<Vec3> randomPositions(int count, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> coordinate(-2.0f, 2.0f);
    std::vector<Vec3> positions;
    for (int i = 0; i < count; i++)
        positions.emplace_back(coordinate(random), coordinate(random), coordinate(random));
    return positions;
}

bool sameBits(const Vec3& a, const Vec3& b) {
    return std::memcmp(&a, &b, sizeof(Vec3)) == 0;
}

// Sizes about the split threshold and the halves' boundary, odd and even.
TEST(WobbleSplit, EveryVertexMatchesItsOwnWobble) {
    for (int count : {511, 512, 513, 2499, 4000}) {
        const std::vector<Vec3> positions = randomPositions(count, unsigned(count));
        std::unique_ptr<Mesh> rest(makeMesh(positions, {}));
        std::unique_ptr<Mesh> out(makeMesh(std::vector<Vec3>(count, Vec3(9, 9, 9)), {}));
        const float t = 71.3f;
        wobbleBall(*rest, *out, t);
        for (int i = 0; i < count; i++) {
            std::unique_ptr<Mesh> one(makeMesh({positions[i]}, {}));
            std::unique_ptr<Mesh> oneOut(makeMesh({Vec3()}, {}));
            wobbleBall(*one, *oneOut, t);
            ASSERT_TRUE(sameBits(out->vertices[i], oneOut->vertices[0]))
                << "vertex " << i << " of " << count;
        }
    }
}

// Frame after frame the shared work gives the same result, and a shorter
// output mesh bounds the split as it bounds the loop.
TEST(WobbleSplit, RepeatedFramesAgreeAndShortOutputIsBounded) {
    const std::vector<Vec3> positions = randomPositions(3000, 7);
    std::unique_ptr<Mesh> rest(makeMesh(positions, {}));
    std::unique_ptr<Mesh> first(makeMesh(std::vector<Vec3>(3000, Vec3()), {}));
    wobbleBall(*rest, *first, 66.0f);
    for (int frame = 0; frame < 200; frame++) {
        std::unique_ptr<Mesh> again(makeMesh(std::vector<Vec3>(3000, Vec3()), {}));
        wobbleBall(*rest, *again, 66.0f);
        ASSERT_EQ(std::memcmp(first->vertices.data(), again->vertices.data(), 3000 * sizeof(Vec3)),
                  0)
            << "frame " << frame;
    }

    std::unique_ptr<Mesh> shortOut(makeMesh(std::vector<Vec3>(1000, Vec3()), {}));
    shortOut->vertexCount = 999; // the last one must stay untouched
    shortOut->vertices[999] = Vec3(5, 6, 7);
    wobbleBall(*rest, *shortOut, 66.0f);
    EXPECT_EQ(std::memcmp(first->vertices.data(), shortOut->vertices.data(), 999 * sizeof(Vec3)),
              0);
    EXPECT_EQ(shortOut->vertices[999], Vec3(5, 6, 7));
}

} // namespace
