// The GL 1.1 calls the demo makes, checked against values worked out from
// the geometry. The same source runs on OpenGL itself (gl_gl11_calls_test)
// and, built with the layer's names, on OpenGL ES 2 through the layer
// (gl_gl11_calls_test_layer): the first shows the expectations are GL's.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>

#include "platform/headless_gl.h"

constexpr int side = 64;

struct Pixel {
    uint8_t r, g, b, a;
};

static Pixel pixelAt(int x, int y) {
    Pixel p{};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &p);
    return p;
}

// A 4 x 2 texture: the lower row (t < 0.5) red, green, blue, white by s
// quarter; the upper row the same colours at half strength.
static GLuint quarterTexture() {
    const uint8_t texels[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255,
                              128, 0, 0, 0, 128, 0, 0, 0, 128, 128, 128, 128};
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 4, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return name;
}

// Red, green and blue of the pixel at window (x, y), each 0 or 1 (or 2 for
// the half-strength row), for readable failures.
static int code(int x, int y) {
    const Pixel p = pixelAt(x, y);
    auto level = [](uint8_t c) { return c > 192 ? 2 : c > 64 ? 1 : 0; };
    return level(p.r) * 100 + level(p.g) * 10 + level(p.b);
}

// With identity matrices the sphere of radius 0.9 fills the window's middle;
// the window point at 45 degrees from +y towards +x has azimuth 45 degrees.
// GLU's s runs from 1 at +y down through +x (0.75), -y (0.5), -x (0.25); t
// from 0 at -z to 1 at +z; with identity matrices the -z half is the near one.
TEST(Gl11Calls, SphereTexturedAsGluLaysItOut) {
    HeadlessGl gl;
    ASSERT_TRUE(createHeadlessGl(gl, side, side));
    glViewport(0, 0, side, side);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, quarterTexture());
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    GLUquadric* quadric = gluNewQuadric();
    gluQuadricTexture(quadric, GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gluSphere(quadric, 0.9, 32, 32);
    const int near = side / 2 - 12, far = side / 2 + 12;
    EXPECT_EQ(code(far, far), 222);  // upper right: s 0.875, white
    EXPECT_EQ(code(far, near), 2);   // lower right: s 0.625, blue
    EXPECT_EQ(code(near, near), 20); // lower left: s 0.375, green
    EXPECT_EQ(code(near, far), 200); // upper left: s 0.125, red
    EXPECT_EQ(code(2, 2), 0);        // outside the sphere

    // Turned half round about x, the +z half (t > 0.5) faces the window,
    // upside down: the upper right is now azimuth 135 degrees.
    glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gluSphere(quadric, 0.9, 32, 32);
    EXPECT_EQ(code(far, far), 1);   // s 0.625, blue at half strength
    EXPECT_EQ(code(near, far), 10); // s 0.375, green at half strength
    gluDeleteQuadric(quadric);
}

// Polygon mode GL_LINE draws a quad's four sides, not the diagonal its
// triangles share; the state queries answer what was set, and a popped
// attribute stack gives it all back.
TEST(Gl11Calls, QuadEdgesAndStateComeBack) {
    HeadlessGl gl;
    ASSERT_TRUE(createHeadlessGl(gl, side, side));
    glViewport(0, 0, side, side);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glColor4f(0.0f, 1.0f, 0.0f, 1.0f);
    glBegin(GL_QUADS); // the square from -0.5 to 0.5: window pixels 16 to 48
    glVertex3f(-0.5f, -0.5f, 0.0f);
    glVertex3f(0.5f, -0.5f, 0.0f);
    glVertex3f(0.5f, 0.5f, 0.0f);
    glVertex3f(-0.5f, 0.5f, 0.0f);
    glEnd();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    auto edgeNear = [](int x, int y, bool vertical) {
        for (int d = -1; d <= 1; d++)
            if (code(vertical ? x + d : x, vertical ? y : y + d) == 20) return true;
        return false;
    };
    EXPECT_TRUE(edgeNear(16, 32, true));  // left side
    EXPECT_TRUE(edgeNear(48, 32, true));  // right side
    EXPECT_TRUE(edgeNear(32, 16, false)); // bottom side
    EXPECT_TRUE(edgeNear(32, 48, false)); // top side
    for (int i = 20; i <= 44; i += 4) {   // neither diagonal
        EXPECT_EQ(code(i, i), 0) << i;
        EXPECT_EQ(code(i, side - i), 0) << i;
    }

    // The same square as two indexed triangles from vertex arrays: their
    // edges include the diagonal they share, from (16, 16) to (48, 48).
    const GLfloat corners[] = {-0.5f, -0.5f, 0, 0.5f, -0.5f, 0, 0.5f, 0.5f, 0, -0.5f, 0.5f, 0};
    const GLuint triangles[] = {0, 1, 2, 0, 2, 3};
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, corners);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, triangles);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    for (int i = 20; i <= 44; i += 4) {
        const int onLine = code(i - 1, i) + code(i, i) + code(i + 1, i);
        EXPECT_EQ(onLine, 200) << i;
        if (i != side / 2) { // not the other diagonal
            EXPECT_EQ(code(i, side - i), 0) << i;
        }
    }
    // Filled, it covers the square.
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, triangles);
    glDisableClientState(GL_VERTEX_ARRAY);
    EXPECT_EQ(code(20, 40) + code(40, 20) + code(32, 32), 600);
    EXPECT_EQ(code(10, 32), 0);

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_SCISSOR_TEST);
    glScissor(1, 2, 3, 4);
    glViewport(5, 6, 7, 8);
    glColor4f(0.25f, 0.5f, 0.75f, 0.5f);
    glMatrixMode(GL_PROJECTION);
    GLint box[4] = {};
    glGetIntegerv(GL_SCISSOR_BOX, box);
    EXPECT_EQ(box[0] + box[1] + box[2] + box[3], 10);
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[2], 0.75f);
    GLint source = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    EXPECT_EQ(source, GL_SRC_ALPHA);
    glPopAttrib();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    glGetIntegerv(GL_VIEWPORT, box);
    EXPECT_EQ(box[2], side);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[2], 0.0f); // red again
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    glGetIntegerv(GL_BLEND_SRC, &source);
    EXPECT_EQ(source, GL_ONE);

    // A matrix read back and loaded again, column by column, as the warm-up
    // keeps the scenes' matrices: a translation's offset is in the last column.
    GLfloat matrix[16] = {};
    glMatrixMode(GL_PROJECTION);
    glTranslatef(1.0f, 2.0f, 3.0f);
    glGetFloatv(GL_PROJECTION_MATRIX, matrix);
    EXPECT_EQ(matrix[12] * 100 + matrix[13] * 10 + matrix[14], 123.0f);
    glLoadIdentity();
    glMatrixMode(GL_TEXTURE);
    glLoadMatrixf(matrix);
    GLfloat loaded[16] = {}, modelview[16] = {};
    glGetFloatv(GL_TEXTURE_MATRIX, loaded);
    EXPECT_TRUE(std::equal(matrix, matrix + 16, loaded));
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview); // untouched: the identity
    EXPECT_EQ(modelview[0] + modelview[5] + modelview[10] + modelview[15] + modelview[12], 4.0f);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);

    // gluBuild2DMipmaps makes every level down to 1 x 1.
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    const uint8_t pixels[8 * 2 * 3] = {};
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, 8, 2, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_HEIGHT, &height);
    EXPECT_EQ(width * 10 + height, 21);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 3, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 1);

    // gluScaleImage keeps a one-colour picture one colour, reading and writing
    // rows padded to the alignment (4: 9 bytes a row in, 15 out): the padding
    // (255) never gets in, and the output's padding is left alone.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    uint8_t in[2 * 12], out[3 * 16];
    std::fill(std::begin(in), std::end(in), 255);
    std::fill(std::begin(out), std::end(out), 7);
    for (int row = 0; row < 2; row++)
        for (int i = 0; i < 9; i++)
            in[row * 12 + i] = uint8_t(40 + i % 3 * 20);
    ASSERT_EQ(gluScaleImage(GL_RGB, 3, 2, GL_UNSIGNED_BYTE, in, 5, 3, GL_UNSIGNED_BYTE, out), 0);
    for (int row = 0; row < 3; row++) {
        for (int i = 0; i < 15; i++)
            EXPECT_EQ(out[row * 16 + i], 40 + i % 3 * 20) << row << " " << i;
        EXPECT_EQ(out[row * 16 + 15], 7);
    }
}

// Geometry drawn again from the same memory after it changed draws as it is
// now: a model whose positions, then indices, were rewritten in place (as the
// wobble scene rewrites its ball every frame), and a sphere of another size.
TEST(Gl11Calls, RedrawnGeometryIsWhatItIsNow) {
    HeadlessGl gl;
    ASSERT_TRUE(createHeadlessGl(gl, side, side));
    glViewport(0, 0, side, side);
    glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
    // Two squares: 0-3 on the left half (x -1 to 0), 4-7 on the right.
    GLfloat corners[] = {-1, -1, 0, 0, -1, 0, 0, 1, 0, -1, 1, 0,
                         0,  -1, 0, 1, -1, 0, 1, 1, 0, 0,  1, 0};
    GLuint triangles[] = {0, 1, 2, 0, 2, 3};
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, corners);
    auto draw = [&]() {
        glClear(GL_COLOR_BUFFER_BIT);
        glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, triangles);
        return code(side / 4, side / 4) * 1000 + code(3 * side / 4, side / 4); // lower left, right
    };
    EXPECT_EQ(draw(), 200000); // the left half
    EXPECT_EQ(draw(), 200000);
    for (int i = 0; i < 12; i += 3) // the left square moved up: its lower half empty
        corners[i + 1] = corners[i + 1] < 0 ? 0.0f : 1.0f;
    EXPECT_EQ(draw(), 0);
    for (GLuint& corner : triangles) // the right square
        corner += 4;
    EXPECT_EQ(draw(), 200);
    glDisableClientState(GL_VERTEX_ARRAY);

    // A sphere of radius 0.8, then 0.3, at the same place: a point 0.5 from
    // the centre is inside the first only.
    GLUquadric* quadric = gluNewQuadric();
    for (double radius : {0.8, 0.3, 0.8}) {
        glClear(GL_COLOR_BUFFER_BIT);
        gluSphere(quadric, radius, 16, 16);
        EXPECT_EQ(code(side / 2 + side / 4, side / 2), radius > 0.5 ? 200 : 0) << radius;
        EXPECT_EQ(code(side / 2, side / 2), 200) << radius;
    }
    gluDeleteQuadric(quadric);
}

#ifdef QUARNEL_THROUGH_LAYER
// Drawn again unchanged, a model, a sphere and an immediate-mode quad cost a
// few ES calls each (pointing the attributes at their buffers, the draw):
// nothing is built or uploaded again. A texture WebGL 1 would sample as black
// is named once, with its size and why; one it samples is not.
TEST(Gl11Calls, UnchangedGeometryIsNotSentAgain) {
    HeadlessGl gl;
    ASSERT_TRUE(createHeadlessGl(gl, side, side));
    const GLfloat corners[] = {-1, -1, 0, 1, -1, 0, 1, 1, 0};
    const GLuint triangle[] = {0, 1, 2};
    GLUquadric* quadric = gluNewQuadric();
    auto drawAll = [&]() {
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, corners);
        glDrawElements(GL_TRIANGLES, 3, GL_UNSIGNED_INT, triangle);
        glDisableClientState(GL_VERTEX_ARRAY);
        gluSphere(quadric, 0.5, 32, 32);
        glBegin(GL_QUADS);
        for (int i = 0; i < 4; i++)
            glVertex3f(i % 3 ? 0.5f : -0.5f, i < 2 ? -0.5f : 0.5f, 0.0f);
        glEnd();
    };
    drawAll();
    const unsigned long long before = gl11EsCalls();
    drawAll();
    EXPECT_LE(gl11EsCalls() - before, 20u);

    GLuint textures[2] = {};
    glGenTextures(2, textures);
    const uint8_t texels[3 * 2 * 4] = {};
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glEnable(GL_TEXTURE_2D);
    testing::internal::CaptureStderr();
    for (GLuint texture : {textures[0], textures[1], textures[0]}) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 3, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        if (texture == textures[1]) { // clamped: WebGL 1 samples it
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        }
        drawAll();
    }
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "gl11: texture " + std::to_string(textures[0]) +
                        " (3 x 2) draws black in WebGL 1: a side is not a power of two and it "
                        "repeats (GL_REPEAT; use GL_CLAMP_TO_EDGE)\n");
    gluDeleteQuadric(quadric); // after the last draw, which still uses it
}
#endif
