// The picture in outputs that are not 4:3: black bars whatever the scene
// clears with, and the state a scene sets left as it set it.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <cmath>

#include "platform/view.h"
#include "platform/headless_gl.h"

static void expectPixel(int x, int yFromBottom, int r, int g, int b) {
    GLubyte p[4] = {};
    glReadPixels(x, yFromBottom, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    EXPECT_EQ(p[0], r) << x << ", " << yFromBottom;
    EXPECT_EQ(p[1], g) << x << ", " << yFromBottom;
    EXPECT_EQ(p[2], b) << x << ", " << yFromBottom;
}

TEST(PictureBars, StayBlackUnderAnyClearColourAndTheScenesStateIsKept) {
    struct Case {
        int width, height;
        GLint rect[4]; // x, y from the bottom, width, height
    };
    for (const Case& c : {Case{800, 800, {0, 100, 800, 600}}, Case{960, 600, {80, 0, 800, 600}}}) {
        HeadlessGl gl;
        ASSERT_TRUE(createHeadlessGl(gl, c.width, c.height));
        initView(c.width, c.height);
        EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
        // A swapped buffer may hold anything: white everywhere here.
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);

        // A frame whose scene clears with its own colour, then the bars.
        glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        clearBars();

        const GLint* r = c.rect;
        expectPixel(r[0], r[1], 255, 0, 0); // the picture's corners
        expectPixel(r[0] + r[2] - 1, r[1] + r[3] - 1, 255, 0, 0);
        expectPixel(0, 0, 0, 0, 0); // the bars, at the corners and beside the picture
        expectPixel(c.width - 1, c.height - 1, 0, 0, 0);
        if (r[0] > 0) expectPixel(r[0] - 1, r[1], 0, 0, 0);
        if (r[0] > 0) expectPixel(r[0] + r[2], r[1], 0, 0, 0);
        if (r[1] > 0) expectPixel(r[0], r[1] - 1, 0, 0, 0);
        if (r[1] > 0) expectPixel(r[0], r[1] + r[3], 0, 0, 0);

        GLfloat clear[4] = {};
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
        EXPECT_EQ(clear[0], 1.0f);
        EXPECT_EQ(clear[1], 0.0f);
        EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
        GLint viewport[4] = {}, scissor[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        glGetIntegerv(GL_SCISSOR_BOX, scissor);
        for (int i = 0; i < 4; i++)
            EXPECT_EQ(viewport[i], r[i]);
        EXPECT_EQ(scissor[2], c.width); // as OpenGL starts it
        EXPECT_EQ(scissor[3], c.height);
        // 45 degrees at the picture's own 4:3 aspect.
        GLfloat projection[16] = {};
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
        EXPECT_NEAR(projection[0], f * 3.0 / 4.0, 1e-5);
        EXPECT_NEAR(projection[5], f, 1e-5);
    }

    // The demo's own size: the whole buffer, and the scissor never switched on.
    HeadlessGl gl;
    ASSERT_TRUE(createHeadlessGl(gl, 640, 480));
    initView(640, 480);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
}
