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

// A width x height texture of one colour, made with the same filters as the
// demo's PNG textures. Returns its name.
uint32_t makeFlatTexture(uint8_t r, uint8_t g, uint8_t b, uint8_t a, int width = 4,
                         int height = 4);
