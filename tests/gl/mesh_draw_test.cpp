// Drawing meshes from client-side arrays under the demo's starting projection.
#include "gl_fixture.h"

#include <GL/gl.h>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "mesh/object_file.h"
#include "mesh/tegn3d.h"

// A right triangle with legs of length 1 along +x and +y, its right angle at
// (x, y), in the plane z = -3 (eye space: the modelview is the identity).
static ObjectMesh rightTriangle(float x, float y, float u) {
    ObjectMesh mesh;
    mesh.vertices = {{x, y, -3, u, 0.5f}, {x + 1, y, -3, u, 0.5f}, {x, y + 1, -3, u, 0.5f}};
    mesh.triangles = {{0, 1, 2}};
    return mesh;
}

// Under the 45-degree perspective a unit at depth 3 spans 240 / (3 tan 22.5)
// = 193.1 pixels; the view's centre is pixel (320, 240).
static const double unitPixels = 240.0 / (3.0 * std::tan(22.5 * M_PI / 180.0));

class MeshDrawTest : public GlTest {
  protected:
    std::string dir;
    void SetUp() override {
        GlTest::SetUp();
        char name[] = "/tmp/quarnel-draw-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
        glClearColor(0, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_TEXTURE_2D);
        glLoadIdentity();
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    void load(tegn3d& model, const std::vector<ObjectMesh>& meshes) {
        const std::string path = dir + "/model.ebr";
        ASSERT_TRUE(writeObjectFile(path, meshes));
        ASSERT_TRUE(model.loadFromFile(path.c_str()));
    }
    bool isRed(int x, int y) const {
        Rgba p = pixelAt(x, y);
        return p.r == 255 && p.g == 0 && p.b == 0;
    }
    bool isGreen(int x, int y) const {
        Rgba p = pixelAt(x, y);
        return p.r == 0 && p.g == 255 && p.b == 0;
    }
    bool isCleared(int x, int y) const {
        Rgba p = pixelAt(x, y);
        return p.r == 0 && p.g == 0 && p.b == 255;
    }
};

TEST_F(MeshDrawTest, TriangleCoversItsProjectedArea) {
    tegn3d model;
    load(model, {rightTriangle(0, 0, 0.5f)});
    model.meshes[0]->setTexture(makeFlatTexture(255, 0, 0, 255));
    model.drawAll();

    // Right angle at the centre; the hypotenuse is where dx + dy = 193.
    const int legs = int(unitPixels);
    EXPECT_TRUE(isRed(320 + 30, 240 - 30));
    EXPECT_TRUE(isRed(320 + 3, 240 - legs + 6));
    EXPECT_TRUE(isRed(320 + legs - 6, 240 - 3));
    EXPECT_TRUE(isRed(320 + legs / 2 - 4, 240 - legs / 2 + 1));
    EXPECT_TRUE(isCleared(320 + legs / 2 + 4, 240 - legs / 2 - 4));
    EXPECT_TRUE(isCleared(320 - 3, 240 - 30));
    EXPECT_TRUE(isCleared(320 + 30, 240 + 3));
    EXPECT_TRUE(isCleared(320 + legs + 3, 240 - 3));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// The file stores u = 0.25; the mesh samples s = 0.75, the right texel of a
// red|green texture. Unmirrored it would show red.
TEST_F(MeshDrawTest, TextureCoordinatesReachOpenGLMirrored) {
    const uint8_t texels[] = {255, 0, 0, 255, 0, 255, 0, 255};
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);

    tegn3d model;
    load(model, {rightTriangle(0, 0, 0.25f)});
    model.meshes[0]->setTexture(name);
    model.drawAll();
    EXPECT_TRUE(isGreen(320 + 30, 240 - 30));
}

// Each mesh is drawn with its own texture; the last one stays bound.
TEST_F(MeshDrawTest, DrawAllBindsEachMeshTexture) {
    tegn3d model;
    load(model, {rightTriangle(-1.2f, 0, 0.5f), rightTriangle(0.2f, 0, 0.5f)});
    const GLuint red = makeFlatTexture(255, 0, 0, 255);
    const GLuint green = makeFlatTexture(0, 255, 0, 255);
    model.meshes[0]->setTexture(red);
    model.meshes[1]->setTexture(green);
    glBindTexture(GL_TEXTURE_2D, 0);
    model.drawAll();

    const int step = int(0.2 * unitPixels); // 38 pixels
    EXPECT_TRUE(isRed(320 - 6 * step + 20, 240 - 20));
    EXPECT_TRUE(isGreen(320 + step + 20, 240 - 20));
    EXPECT_TRUE(isCleared(320, 240 - 20));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), green);
}

// draw changes no state it does not own: the arrays are off again afterwards,
// also for a mesh with no triangles, and the bound texture is the caller's.
TEST_F(MeshDrawTest, DrawLeavesClientStatesDisabled) {
    tegn3d model;
    ObjectMesh pointsOnly = rightTriangle(0, 0, 0.5f);
    pointsOnly.triangles.clear();
    load(model, {rightTriangle(0, 0, 0.5f), pointsOnly, ObjectMesh()});
    const GLuint red = makeFlatTexture(255, 0, 0, 255);

    for (int i = 0; i < model.meshCount; i++) {
        SCOPED_TRACE(i);
        model.meshes[i]->draw();
        EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
        EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(GLuint(bound), red);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
    // Only the first mesh has a face to show.
    EXPECT_TRUE(isRed(320 + 30, 240 - 30));
}

TEST_F(MeshDrawTest, EmptyContainerDrawsNothing) {
    tegn3d model;
    const GLuint red = makeFlatTexture(255, 0, 0, 255);
    model.drawAll();
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), red);
    EXPECT_TRUE(isCleared(320, 240));
    EXPECT_TRUE(isCleared(320 + 30, 240 - 30));
}
