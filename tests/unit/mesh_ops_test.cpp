// Mesh operations without GL: normals, mirroring and scaling.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "mesh/mesh.h"

// A mesh owning copies of the given positions and triangles.
static void fill(Mesh& mesh, const std::vector<Vec3>& points, const std::vector<Triangle>& faces) {
    mesh.resize(int32_t(points.size()), int32_t(faces.size()));
    for (size_t i = 0; i < points.size(); i++)
        mesh.vertices[i] = points[i];
    for (size_t i = 0; i < faces.size(); i++)
        mesh.triangles[i] = faces[i];
}

static void expectNear(const Vec3& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-4f);
    EXPECT_NEAR(v.y, y, 1e-4f);
    EXPECT_NEAR(v.z, z, 1e-4f);
}

TEST(MeshNormals, FollowCornerOrder) {
    Mesh ccw, cw;
    fill(ccw, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{{0, 1, 2}}});
    fill(cw, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{{0, 2, 1}}});
    ccw.computeNormals();
    cw.computeNormals();
    for (int i = 0; i < 3; i++) {
        expectNear(ccw.normals[i], 0, 0, 1);
        expectNear(cw.normals[i], 0, 0, -1);
    }
}

// Faces (0,0,4) and (2,0,0): shared corners lean towards the larger face,
// not to the plain average of unit normals (0.7071, 0, 0.7071).
TEST(MeshNormals, AreWeightedByArea) {
    Mesh mesh;
    fill(mesh, {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {0, 0, 1}}, {{{0, 1, 2}}, {{0, 2, 3}}});
    mesh.computeNormals();
    expectNear(mesh.normals[0], 0.4472f, 0, 0.8944f);
    expectNear(mesh.normals[2], 0.4472f, 0, 0.8944f);
    expectNear(mesh.normals[1], 0, 0, 1);
    expectNear(mesh.normals[3], 1, 0, 0);
}

// An unused vertex and the corners of a zero-area face have no direction:
// they get (0, 0, 0), never NaN, and stale normals are cleared.
TEST(MeshNormals, ZeroSumGivesZeroNormal) {
    Mesh mesh;
    fill(mesh, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 5}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}},
         {{{0, 1, 2}}, {{4, 5, 6}}});
    mesh.normals[3] = Vec3(7, 7, 7);
    mesh.computeNormals();
    expectNear(mesh.normals[0], 0, 0, 1);
    for (int i = 3; i < 7; i++)
        EXPECT_TRUE(mesh.normals[i] == Vec3()) << "vertex " << i;
}

TEST(MeshNormals, UnchangedByNegateAndPositiveScale) {
    Mesh mesh;
    fill(mesh, {{0.3f, -1, 2}, {1.5f, 0.2f, -0.7f}, {-0.4f, 1.1f, 0.9f}, {2, 2, -1}},
         {{{0, 1, 2}}, {{1, 3, 2}}, {{0, 3, 1}}});
    mesh.computeNormals();
    std::vector<Vec3> before = mesh.normals;

    mesh.negate();
    mesh.computeNormals();
    for (int i = 0; i < 4; i++)
        expectNear(mesh.normals[i], before[i].x, before[i].y, before[i].z);

    mesh.scale(0.15f);
    mesh.computeNormals();
    for (int i = 0; i < 4; i++)
        expectNear(mesh.normals[i], before[i].x, before[i].y, before[i].z);
}

TEST(MeshPositions, ScaleAndNegateTouchPositionsOnly) {
    Mesh mesh;
    fill(mesh, {{5, -10, 1}}, {});
    mesh.normals[0] = Vec3(0, 1, 0);
    mesh.texCoords[0] = TexCoord{0.25f, 0.5f};

    mesh.scale(0.2f);
    expectNear(mesh.vertices[0], 1, -2, 0.2f);
    mesh.negate();
    expectNear(mesh.vertices[0], -1, 2, -0.2f);
    EXPECT_TRUE(mesh.normals[0] == Vec3(0, 1, 0));
    EXPECT_EQ(mesh.texCoords[0].s, 0.25f);
    EXPECT_EQ(mesh.texCoords[0].t, 0.5f);
}
