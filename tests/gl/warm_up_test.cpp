// The warm-up draws every scene out of sight before the first slide: each
// piece really draws, leaves every piece of OpenGL state and the clocks as it
// found them, and the opening's clear takes away all it drew; pieces are
// drawn only while the screen is still black.
#include "gl_fixture.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/timeline.h"
#include "demo_data_set.h"
#include "resources/demo_state.h"
#include "resources/load_resources.h"
#include "app/warm_up.h"

namespace fs = std::filesystem;

// The pixels of the whole buffer that are not black.
static int litPixels() {
    std::vector<uint8_t> rgba(640 * 480 * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    int lit = 0;
    for (size_t i = 0; i < rgba.size(); i += 4)
        lit += (rgba[i] | rgba[i + 1] | rgba[i + 2]) != 0;
    return lit;
}

static void expectMatrix(GLenum which, const GLfloat (&expected)[16]) {
    GLfloat m[16] = {};
    glGetFloatv(which, m);
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(m[i], expected[i]) << "matrix " << which << " element " << i;
}

class WarmUpTest : public GlTest {
  protected:
    std::string root, previous;
    void SetUp() override {
        GlTest::SetUp();
        char name[] = "/tmp/quarnel-warm-XXXXXX";
        ASSERT_TRUE(mkdtemp(name));
        root = name;
        previous = fs::current_path().string();
        ASSERT_TRUE(writeDemoDataSet(root));
        fs::current_path(root);
        loadTexturesAndModels();
    }
    void TearDown() override {
        gluDeleteQuadric(demo.sphereQuadric);
        demo.sphereQuadric = nullptr;
        for (tegn3d* model : {&demo.tunnelModel, &demo.ballModelPlain, &demo.ballModelTextured,
                              &demo.bicubeModel, &demo.cubeModel})
            model->clear();
        fs::current_path(previous);
        std::error_code error;
        fs::remove_all(root, error);
    }
};

TEST_F(WarmUpTest, EveryPieceDrawsAndLeavesStateAndClocksAsTheyWere) {
    // The start-up view, with state no scene would leave beside it, so that
    // any piece that changed it shows; none of it hides what a piece draws.
    GLfloat projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    const GLfloat texture[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0.125f, 0.5f, 0, 1};
    const GLfloat modelview[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1};
    glMatrixMode(GL_TEXTURE);
    glLoadMatrixf(texture);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(modelview);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDisable(GL_DEPTH_TEST);
    glLineWidth(3.0f);
    glColor4f(0.25f, 0.5f, 0.75f, 0.5f);
    glDisable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, demo.pngTextures.lyn);
    setClocks(1.25f);
    // OpenGL 1.1 promises only two levels of the projection and texture
    // stacks (Mesa has more): with all but one of each taken, a second push
    // overflows, so the warm-up's saving and a scene's push within it must fit.
    GLint levels[2] = {};
    glGetIntegerv(GL_MAX_PROJECTION_STACK_DEPTH, &levels[0]);
    glGetIntegerv(GL_MAX_TEXTURE_STACK_DEPTH, &levels[1]);
    for (GLenum stack : {GL_PROJECTION, GL_TEXTURE}) {
        glMatrixMode(stack);
        for (int taken = 1; taken < levels[stack == GL_TEXTURE] - 1; taken++)
            glPushMatrix();
    }
    glMatrixMode(GL_MODELVIEW);

    // One piece per stretch between the 17 edges of the scene and element
    // windows from 2 to 90 s.
    ASSERT_EQ(warmUpPieceCount(), 16);
    for (int piece = 0; piece < warmUpPieceCount(); piece++) {
        SCOPED_TRACE(piece);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawWarmUpPiece(piece);
        EXPECT_GT(litPixels(), 0);

        expectMatrix(GL_PROJECTION_MATRIX, projection);
        expectMatrix(GL_MODELVIEW_MATRIX, modelview);
        expectMatrix(GL_TEXTURE_MATRIX, texture);
        GLint value = 0, modes[2] = {};
        glGetIntegerv(GL_MATRIX_MODE, &value);
        EXPECT_EQ(value, GL_MODELVIEW);
        const GLint depths[4][2] = {{GL_PROJECTION_STACK_DEPTH, levels[0] - 1},
                                    {GL_TEXTURE_STACK_DEPTH, levels[1] - 1},
                                    {GL_MODELVIEW_STACK_DEPTH, 1},
                                    {GL_ATTRIB_STACK_DEPTH, 0}};
        for (const auto& depth : depths) {
            glGetIntegerv(GLenum(depth[0]), &value);
            EXPECT_EQ(value, depth[1]) << depth[0];
        }
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        glGetIntegerv(GL_BLEND_SRC, &value);
        EXPECT_EQ(value, GL_ONE);
        glGetIntegerv(GL_BLEND_DST, &value);
        EXPECT_EQ(value, GL_ONE);
        EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
        GLfloat width = 0.0f;
        glGetFloatv(GL_LINE_WIDTH, &width);
        EXPECT_EQ(width, 3.0f);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
        glGetIntegerv(GL_POLYGON_MODE, modes);
        EXPECT_EQ(modes[0], GL_FILL);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
        EXPECT_EQ(GLuint(value), demo.pngTextures.lyn);
        GLfloat colour[4] = {};
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_EQ(colour[0], 0.25f);
        EXPECT_EQ(colour[3], 0.5f);
        EXPECT_EQ(demo.demoTime, 1.25f);
        EXPECT_EQ(demo.fade1, 0.25f);
        GLint view[4] = {};
        glGetIntegerv(GL_VIEWPORT, view);
        EXPECT_EQ(view[2], 640);
        EXPECT_EQ(view[3], 480);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }

    // The opening before its first slide only clears: colour and depth are
    // as if nothing had been drawn.
    drawFrameAt(1.0f);
    EXPECT_EQ(litPixels(), 0);
    std::vector<GLfloat> depth(640 * 480);
    glReadPixels(0, 0, 640, 480, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    for (GLfloat d : depth)
        ASSERT_EQ(d, 1.0f);
}

TEST_F(WarmUpTest, PiecesAreDrawnOnlyBeforeTheScreenCanShowThem) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The first frame ends start-up and is left alone; the second draws.
    demo.frameTimer.restartAt(0.5);
    EXPECT_FALSE(warmUpBeforeFrame());
    EXPECT_EQ(litPixels(), 0);
    EXPECT_TRUE(warmUpBeforeFrame());
    EXPECT_GT(litPixels(), 0);

    // Past its time the warm-up stops for good, even if the clock went back.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    demo.frameTimer.restartAt(1.6);
    EXPECT_FALSE(warmUpBeforeFrame());
    demo.frameTimer.restartAt(0.5);
    EXPECT_FALSE(warmUpBeforeFrame());
    EXPECT_EQ(litPixels(), 0);
}
