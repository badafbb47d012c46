#include "gl_fixture.h"

#include <GL/gl.h>
#include <vector>

#include "resources/load_resources.h"

void GlTest::SetUp() {
    ASSERT_TRUE(createHeadlessGl(gl, 640, 480));
    initContextState(640, 480); // as the demo's window starts
}

Rgba GlTest::pixelAt(int x, int y) const {
    uint8_t p[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, gl.height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return Rgba{p[0], p[1], p[2], p[3]};
}

void expectSceneLeaves(const LeftState& expected) {
    GLint value = 0;
    glGetIntegerv(GL_MATRIX_MODE, &value);
    EXPECT_EQ(value, GL_MODELVIEW);
    for (GLenum depth :
         {GL_MODELVIEW_STACK_DEPTH, GL_PROJECTION_STACK_DEPTH, GL_TEXTURE_STACK_DEPTH}) {
        glGetIntegerv(depth, &value);
        EXPECT_EQ(value, 1) << "stack depth " << depth;
    }
    EXPECT_EQ(bool(glIsEnabled(GL_BLEND)), expected.blend);
    EXPECT_EQ(bool(glIsEnabled(GL_DEPTH_TEST)), expected.depthTest);
    EXPECT_EQ(bool(glIsEnabled(GL_TEXTURE_2D)), expected.texturing);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    if (expected.blendSrc != 0) {
        glGetIntegerv(GL_BLEND_SRC, &value);
        EXPECT_EQ(GLuint(value), expected.blendSrc);
        glGetIntegerv(GL_BLEND_DST, &value);
        EXPECT_EQ(GLuint(value), expected.blendDst);
    }
    if (expected.texture != 0) {
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
        EXPECT_EQ(GLuint(value), expected.texture);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

uint32_t makeFlatTexture(uint8_t r, uint8_t g, uint8_t b, uint8_t a, int width, int height) {
    std::vector<uint8_t> texels(size_t(width) * height * 4);
    for (size_t i = 0; i < texels.size(); i += 4) {
        texels[i] = r;
        texels[i + 1] = g;
        texels[i + 2] = b;
        texels[i + 3] = a;
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 texels.data());
    return name;
}
