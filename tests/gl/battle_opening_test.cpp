// The battle opening read back from an offscreen frame: the pulsing vs plate,
// which pictures the tunnel can hide, the tunnel-only texture scroll, and the
// projection the scene leaves for the next one.
#include <GL/gl.h>
#include <cmath>

#include "app/timeline.h"
#include "eye_space.h"
#include "gl_fixture.h"
#include "resources/demo_state.h"
#include "scenes/scenes.h"
#include "test_meshes.h"

namespace {

const Rgba black{0, 0, 0, 255}, red{255, 0, 0, 255}, green{0, 255, 0, 255}, blue{0, 0, 255, 255},
    yellow{255, 255, 0, 255}, cyan{0, 255, 255, 255};
const double fov = 45.0;

// The model point that the scene's camera and tunnel placement put at
// eye-space (x, y, z): eye (x, y, z) is world (-x, y, -z - 85), the tunnel's
// origin is world (0, 0, -80), and a half turn about n = (-9, 1, 1) / sqrt(83)
// is its own inverse, 2 n n^T - I.
Vec3 tunnelPointAtEye(double x, double y, double z) {
    const double w[3] = {-x, y, -z - 85.0 + 80.0};
    const double n[3] = {-9.0 / std::sqrt(83.0), 1.0 / std::sqrt(83.0), 1.0 / std::sqrt(83.0)};
    const double d = n[0] * w[0] + n[1] * w[1] + n[2] * w[2];
    return Vec3(float(2 * d * n[0] - w[0]), float(2 * d * n[1] - w[1]), float(2 * d * n[2] - w[2]));
}

// A tunnel of one eye-facing rectangle at depth z, x from -3 to 3, y from
// yLow to yHigh, every texture coordinate uv.
void setTunnelWall(double z, double yLow, double yHigh, uint32_t texture, TexCoord uv) {
    Mesh* wall = makeMesh({tunnelPointAtEye(-3, yLow, z), tunnelPointAtEye(3, yLow, z),
                           tunnelPointAtEye(3, yHigh, z), tunnelPointAtEye(-3, yHigh, z)},
                          {Triangle{{0, 1, 2}}, Triangle{{0, 2, 3}}}, uv);
    wall->setTexture(texture);
    addMesh(demo.tunnelModel, wall);
}

class BattleOpening : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        glClearColor(0, 0, 0, 1);
        clearModel(demo.tunnelModel);
        demo.spectrum[0] = 0.0f;
        demo.pngTextures.clawomon = makeFlatTexture(255, 0, 0, 255);
        demo.pngTextures.vs = makeFlatTexture(0, 255, 0, 255);
        demo.pngTextures.corvumon = makeFlatTexture(0, 0, 255, 255);
        demo.pngTextures.loading = makeFlatTexture(255, 255, 0, 255);
    }
    void TearDown() override { clearModel(demo.tunnelModel); }

    void drawAt(float t) {
        glEnable(GL_TEXTURE_2D);
        setClocks(t);
        drawBattleOpening();
    }
};

// Without bass the vs plate is a portrait's size at the portraits' depth 7;
// at spectrum 1 it spans -2.2 to 2.2 at depth 5.8. The left portrait lies
// under it, the right portrait over it.
TEST_F(BattleOpening, VsPlateGrowsAndComesNearerWithTheBass) {
    drawAt(50.0f);
    const double vsLeft = columnOf(-1, -7, fov), vsRight = columnOf(1, -7, fov);
    const double vsTop = rowOf(1, -7, fov), vsBottom = rowOf(-1, -7, fov);
    expectColour(columnOf(-2.5, -7, fov) - 3, 240, black);
    expectColour(columnOf(-2.5, -7, fov) + 3, 240, red);
    expectColour(vsLeft - 3, 240, red);
    expectColour(vsLeft + 3, 240, green);
    expectColour(columnOf(0.5, -7, fov) - 3, 240, green);
    expectColour(columnOf(0.5, -7, fov) + 3, 240, blue);
    expectColour(vsRight - 3, 240, blue);
    expectColour(320, vsTop - 3, black);
    expectColour(320, vsTop + 3, green);
    expectColour(300, vsBottom - 3, green);
    expectColour(300, vsBottom + 3, black);

    demo.spectrum[0] = 1.0f;
    drawAt(50.0f);
    const double z = -8.0 + 2.2;
    expectColour(columnOf(-2.2, z, fov) - 3, 240, black);
    expectColour(columnOf(-2.2, z, fov) + 3, 240, green);
    expectColour(columnOf(2.2, z, fov) - 3, 100, green);
    expectColour(columnOf(2.2, z, fov) + 3, 100, black);
    expectColour(320, rowOf(2.2, z, fov) - 3, black);
    expectColour(320, rowOf(2.2, z, fov) + 3, green);
    expectColour(200, rowOf(-2.2, z, fov) - 3, green);
    expectColour(200, rowOf(-2.2, z, fov) + 3, black);
    // The loading plate's lowest part falls below the window.
    expectColour(columnOf(1.6, -7, fov), 479, yellow);
}

// A tunnel wall at depth 6, in front of every picture, hides the left
// portrait (depth-tested) where it covers it and nothing else; behind the
// pictures, at depth 7.5, it hides nothing.
TEST_F(BattleOpening, TunnelHidesOnlyTheLeftPortraitWhereItIsNearer) {
    setTunnelWall(-6, -2.5, 0.5, makeFlatTexture(0, 255, 255, 255), {0.5f, 0.5f});
    drawAt(50.0f);
    const double wallTop = rowOf(0.5, -6, fov);
    const double leftPortrait = columnOf(-2.0, -7, fov);
    expectColour(leftPortrait, wallTop + 3, cyan);
    expectColour(leftPortrait, 300, cyan);
    expectColour(leftPortrait, wallTop - 3, red);
    expectColour(columnOf(0, -7, fov), 300, green);
    expectColour(columnOf(2.0, -7, fov), 300, blue);
    expectColour(columnOf(1.6, -7, fov), 400, yellow);
    expectColour(5, 300, cyan);

    clearModel(demo.tunnelModel);
    setTunnelWall(-7.5, -2.5, 0.5, makeFlatTexture(0, 255, 255, 255), {0.5f, 0.5f});
    drawAt(50.0f);
    expectColour(leftPortrait, 300, red);
    expectColour(columnOf(-3, -7.5, fov) + 3, 300, cyan);
}

// At 45 s the tunnel's texture is shifted by 3.6 in s: a wall textured at
// s = 0.25 of a red | blue picture shows blue. The right portrait, with the
// same picture, shows it unshifted, and the texture matrix comes back as it was.
TEST_F(BattleOpening, TextureScrollTouchesOnlyTheTunnel) {
    const uint32_t split = makeSplitTexture(red, blue);
    demo.pngTextures.corvumon = split;
    setTunnelWall(-7.5, -3, 3, split, {0.25f, 0.25f});
    drawAt(45.0f);
    expectColour(320, 60, blue);
    expectColour(columnOf(0.5 + 0.5, -7, fov), 240, red);
    expectColour(columnOf(0.5 + 1.5, -7, fov), 240, blue);

    GLfloat texture[16];
    glMatrixMode(GL_TEXTURE);
    glGetFloatv(GL_TEXTURE_MATRIX, texture);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(texture[i], i % 5 == 0 ? 1.0f : 0.0f);
}

// The scene leaves its own perspective (45 degrees, aspect 1, 1 to 10000),
// the modelview current, blending on, the depth test off.
TEST_F(BattleOpening, LeavesItsProjectionForTheNextScene) {
    drawAt(54.9f);
    expectPerspective(45.0, 1.0, 1.0, 10000.0);
    expectSceneLeaves({});
}

} // namespace
