// An offscreen 640 x 480 context set up as the demo's window is, and helpers
// to read back what was drawn.
#pragma once

#include <gtest/gtest.h>
#include <cstdint>

#include "platform/headless_gl.h"

struct Rgba {
    uint8_t r, g, b, a;
};

class GlTest : public ::testing::Test {
  protected:
    HeadlessGl gl;
    void SetUp() override;
    // The pixel at window coordinates (x, y), y counted from the top row.
    Rgba pixelAt(int x, int y) const;
};

// What a scene leaves for the next frame, beside what every scene leaves: the
// modelview current, each matrix stack at its one level, lighting off and no
// OpenGL error. A blend factor or texture of 0 is not checked.
struct LeftState {
    bool blend = true;
    bool depthTest = false;
    bool texturing = true;
    uint32_t blendSrc = 0, blendDst = 0;
    uint32_t texture = 0; // bound to GL_TEXTURE_2D
};
void expectSceneLeaves(const LeftState& expected);

// A width x height texture of one colour, made with the same filters as the
// demo's PNG textures. Returns its name.
uint32_t makeFlatTexture(uint8_t r, uint8_t g, uint8_t b, uint8_t a, int width = 4, int height = 4);
