// The wobbling ball and greetings read back from offscreen frames: the ball
// as lines, the box moving with the bass, the pictures in their places, the
// projection left for the credits, and a run without a usable ball model.
#include <GL/gl.h>
#include <cmath>

#include "app/timeline.h"
#include "eye_space.h"
#include "gl_fixture.h"
#include "resources/demo_state.h"
#include "scenes/scenes.h"
#include "test_meshes.h"

namespace {

const Rgba black{0, 0, 0, 255}, vormak{255, 0, 0, 255}, ferda{0, 255, 0, 255},
    karnholt{0, 0, 255, 255}, ybo{255, 255, 0, 255}, sentiq{0, 255, 255, 255},
    box{255, 0, 255, 255}, ball{255, 128, 0, 255};
const double fov = 80.0;

uint32_t textureOf(Rgba c) {
    return makeFlatTexture(c.r, c.g, c.b, 255);
}

// The ball's rest triangle: the origin, (2, 0, 0) and (0, -2, 0).
Mesh* makeBallTriangle() {
    return makeMesh({{0, 0, 0}, {2, 0, 0}, {0, -2, 0}}, {{{0, 1, 2}}});
}

class WobbleAndGreetings : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        glClearColor(0.3f, 0.3f, 0.3f, 1.0f); // the scene must clear to black itself
        demo.spectrum[0] = 0.0f;
        clearModels();
        PngTextures& pic = demo.pngTextures;
        pic.vormakalization = textureOf(vormak);
        pic.ferda = textureOf(ferda);
        pic.karnholt = textureOf(karnholt);
        pic.ybo = textureOf(ybo);
        pic.sentiq = textureOf(sentiq);
    }
    void TearDown() override { clearModels(); }
    void clearModels() {
        clearModel(demo.cubeModel);
        clearModel(demo.ballModelPlain);
        clearModel(demo.ballModelTextured);
    }
    void useBall(Mesh* rest, Mesh* textured) {
        if (rest) addMesh(demo.ballModelPlain, rest);
        if (textured) {
            textured->setTexture(textureOf(ball));
            addMesh(demo.ballModelTextured, textured);
        }
    }
    void drawAt(float t) {
        glEnable(GL_TEXTURE_2D);
        setClocks(t);
        drawWobbleAndGreetings();
    }
    // Whether the colour shows anywhere within two pixels of (column, row).
    bool showsNear(double column, double row, Rgba colour) {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                if (sameColour(pixelUnder(column + dx, row + dy), colour)) return true;
        return false;
    }
};

// At 72 s both spins are whole turns (3600 and 3240 degrees), so the ball's
// triangle faces the camera unturned. Its corner (2, 0, 0) is wobbled to
// x = 2 f^2 and (0, -2, 0) to y = -2 f g, with f = 1.5 + 0.5 sin 216 and
// g = 1.5 + 0.5 sin 252; world x shows on the left, and the origin lies at
// depth 35 in the middle of the window. Its edges show, its inside does not.
TEST_F(WobbleAndGreetings, BallIsDrawnAsItsEdgesOnly) {
    useBall(makeBallTriangle(), makeBallTriangle());
    drawAt(72.0f);
    const double f = 1.5 + 0.5 * std::sin(216.0), g = 1.5 + 0.5 * std::sin(252.0);
    const double cornerColumn = columnOf(-2 * f * f, -35, fov);
    const double cornerRow = rowOf(-2 * f * g, -35, fov);
    EXPECT_TRUE(showsNear((cornerColumn + 320) / 2, 240, ball));
    EXPECT_TRUE(showsNear(320, (cornerRow + 240) / 2, ball));
    EXPECT_TRUE(showsNear((cornerColumn + 320) / 2, (cornerRow + 240) / 2, ball));
    expectColour((cornerColumn + 640) / 3, (cornerRow + 480) / 3, black);
    expectColour(cornerColumn - 5, 240, black);
    expectColour(320, cornerRow + 5, black);

    GLint mode[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_FILL);
    EXPECT_EQ(mode[1], GL_FILL);
}

// The box's centre is at (0, 2, -35) without bass, two units above the eye;
// at spectrum 0.5 everything grows by a tenth about the world origin, which
// moves it to (0, 2.2, -38.5). A 2 x 2 square 20 units ahead of the centre
// (eye depth 20, or 18.5 at 0.5) shows where that puts it.
TEST_F(WobbleAndGreetings, BassMovesTheBoxAboutTheWorldOrigin) {
    // Upright after the box's quarter turn about x; at 72 s the turn about
    // the vertical is whole. Model (x, y, z) lies at centre + (x, -z, y).
    Mesh* square =
        makeMesh({{-1, 20, -1}, {1, 20, -1}, {1, 20, 1}, {-1, 20, 1}}, {{{0, 1, 2}}, {{0, 2, 3}}});
    square->setTexture(textureOf(box));
    addMesh(demo.cubeModel, square);

    for (float bass : {0.0f, 0.5f}) {
        SCOPED_TRACE(bass);
        demo.spectrum[0] = bass;
        drawAt(72.0f);
        const double s = bass * 0.2 + 1.0, depth = -(s * (-35.0 + 20.0) + 35.0);
        const double top = rowOf(s * 3.0, depth, fov), bottom = rowOf(s * 1.0, depth, fov);
        expectColour(320, top - 2, black);
        expectColour(320, top + 2, box);
        expectColour(320, bottom - 2, box);
        expectColour(320, bottom + 2, black);
        expectColour(columnOf(s, depth, fov) - 2, (top + bottom) / 2, box);
        expectColour(columnOf(s, depth, fov) + 2, (top + bottom) / 2, black);
    }
}

// A flat texture without alpha, as the loader makes from a PNG without it.
uint32_t opaqueTexture(Rgba c) {
    const uint8_t texels[4 * 3] = {c.r, c.g, c.b, c.r, c.g, c.b, c.r, c.g, c.b, c.r, c.g, c.b};
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    return name;
}

// The box blends as the last frame left the state. Two walls lie on the same
// square (eye depth 20 about (0, 2)): an opaque red one, then a blue one that
// shows half over it when its texture or the colour is half transparent,
// adds to it under an additive blend, and covers it when nothing is see-through.
TEST_F(WobbleAndGreetings, BoxBlendsInTheInheritedState) {
    const Rgba red{200, 0, 0, 255}, blue{0, 0, 255, 255};
    struct Case {
        const char* name;
        GLenum source, destination;
        float colourAlpha;
        bool blueHasAlpha;
        Rgba expected;
    };
    const Case cases[] = {
        {"texture half transparent",
         GL_SRC_ALPHA,
         GL_ONE_MINUS_SRC_ALPHA,
         1.0f,
         true,
         {100, 0, 128, 255}},
        // the red wall is halved over black first
        {"colour half transparent",
         GL_SRC_ALPHA,
         GL_ONE_MINUS_SRC_ALPHA,
         0.5f,
         false,
         {50, 0, 128, 255}},
        {"additive", GL_ONE, GL_ONE, 1.0f, false, {200, 0, 255, 255}},
        {"nothing see-through", GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, 1.0f, false, blue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clearModels();
        for (bool second : {false, true}) {
            Mesh* wall = makeMesh({{-1, 20, -1}, {1, 20, -1}, {1, 20, 1}, {-1, 20, 1}},
                                  {{{0, 1, 2}}, {{0, 2, 3}}});
            wall->setTexture(!second          ? opaqueTexture(red)
                             : c.blueHasAlpha ? makeFlatTexture(0, 0, 255, 128)
                                              : opaqueTexture(blue));
            addMesh(demo.cubeModel, wall);
        }
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(c.source, c.destination);
        glColor4f(1.0f, 1.0f, 1.0f, c.colourAlpha);
        drawAt(72.0f);
        expectColour(320, rowOf(2, -20, fov), c.expected);
    }
}

// The pictures stand in eye space at depth 3 (the first) and 4 (the
// greetings), neither turned by the camera nor pulsing with the bass; the
// outer ones run off the window's sides, the first off its bottom.
TEST_F(WobbleAndGreetings, PicturesStandInTheirPlaces) {
    demo.spectrum[0] = 0.8f;
    drawAt(70.0f);
    expectColour(columnOf(0.5, -3, fov) - 3, 400, black);
    expectColour(columnOf(0.5, -3, fov) + 3, 400, vormak);
    expectColour(500, rowOf(-1, -3, fov) - 3, black);
    expectColour(500, rowOf(-1, -3, fov) + 3, vormak);
    expectColour(500, 479, vormak);
    expectColour(columnOf(2.5, -3, fov) - 3, 400, vormak);
    expectColour(639, 400, black);

    expectColour(columnOf(-1, -4, fov) - 3, 60, ferda);
    expectColour(columnOf(-1, -4, fov) + 3, 60, black);
    expectColour(100, rowOf(3, -4, fov) - 3, black);
    expectColour(100, rowOf(3, -4, fov) + 3, ferda);

    expectColour(639, 150, karnholt);
    expectColour(columnOf(1.5, -4, fov) - 3, 150, black);
    expectColour(columnOf(1.5, -4, fov) + 3, 150, karnholt);
    expectColour(550, rowOf(2, -4, fov) - 3, black);

    // ybo lies over ferda's lower part.
    expectColour(0, 150, ybo);
    expectColour(columnOf(-1.5, -4, fov) - 3, 150, ybo);
    expectColour(columnOf(-1.5, -4, fov) + 3, 150, ferda);

    expectColour(0, 300, sentiq);
    expectColour(100, rowOf(-2, -4, fov) - 3, sentiq);
    expectColour(100, rowOf(-2, -4, fov) + 3, black);
}

// The scene leaves its 80-degree aspect-1 perspective (1 to 1000) for the
// credits, blending on, the depth test and culling off.
TEST_F(WobbleAndGreetings, LeavesItsProjectionForTheCredits) {
    drawAt(79.9f);
    expectPerspective(80.0, 1.0, 1.0, 1000.0);
    expectSceneLeaves({});
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
}

// A missing or broken ball file leaves a container empty: then no ball is
// drawn (not even the other container's unwobbled mesh) and the rest of the
// scene goes on. Of meshes with unequal counts only the common vertices move.
TEST_F(WobbleAndGreetings, MissingBallModelDrawsNoBall) {
    Mesh* textured = makeBallTriangle();
    useBall(nullptr, textured);
    drawAt(72.0f);
    EXPECT_FALSE(showsNear(330, 240, ball));
    EXPECT_FALSE(showsNear(320, 250, ball));
    EXPECT_EQ(textured->vertices[1], Vec3(2, 0, 0));
    expectColour(0, 300, sentiq);

    clearModels();
    useBall(makeBallTriangle(), nullptr);
    drawAt(72.0f);
    expectColour(0, 300, sentiq);

    clearModels();
    Mesh* longer =
        makeMesh({{0, 0, 0}, {2, 0, 0}, {0, -2, 0}, {0, 0, 0}}, {{{0, 1, 2}}, {{3, 3, 3}}});
    useBall(makeMesh({{0, 0, 0}, {2, 0, 0}}, {{{0, 1, 1}}}), longer);
    drawAt(72.0f);
    const double f = 1.5 + 0.5 * std::sin(216.0);
    EXPECT_NEAR(longer->vertices[1].x, 2 * f * f, 1e-5);
    EXPECT_EQ(longer->vertices[2], Vec3(0, -2, 0));
}

} // namespace
