// Where eye-space points land on the 640 x 480 test window under the scenes'
// aspect-1 perspectives (stretched sideways onto 4:3), worked out by hand, and
// a check of the projection matrix against the same numbers.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <vector>

#include "gl_fixture.h"

// 1 / tan(fov / 2) for a vertical field of view in degrees.
inline double focalOf(double fovDegrees) {
    return 1.0 / std::tan(fovDegrees * 3.14159265358979323846 / 360.0);
}
// Window column (0 at the left edge) of eye-space x at eye-space depth z < 0.
inline double columnOf(double x, double z, double fovDegrees) {
    return (x * focalOf(fovDegrees) / -z + 1.0) * 320.0;
}
// Window row (0 at the top edge) of eye-space y at eye-space depth z < 0.
inline double rowOf(double y, double z, double fovDegrees) {
    return (1.0 - y * focalOf(fovDegrees) / -z) * 240.0;
}

inline bool sameColour(Rgba p, Rgba c) {
    return std::abs(p.r - c.r) <= 2 && std::abs(p.g - c.g) <= 2 && std::abs(p.b - c.b) <= 2;
}

inline std::ostream& operator<<(std::ostream& out, Rgba p) {
    return out << "(" << int(p.r) << ", " << int(p.g) << ", " << int(p.b) << ")";
}

// The pixel at (column, row) of the window, row 0 at the top; fractions are
// dropped, so (x + 0.5, y) is the pixel whose centre is there.
inline Rgba pixelUnder(double column, double row) {
    uint8_t p[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(int(std::floor(column)), 479 - int(std::floor(row)), 1, 1, GL_RGBA,
                 GL_UNSIGNED_BYTE, p);
    return Rgba{p[0], p[1], p[2], p[3]};
}

inline void expectColour(double column, double row, Rgba colour) {
    const Rgba p = pixelUnder(column, row);
    EXPECT_TRUE(sameColour(p, colour))
        << "at " << column << ", " << row << ": " << p << " wanted " << colour;
}

// A 64 x 4 repeating texture with one colour on its left half and another on
// its right half, filtered as the PNG pictures are.
inline uint32_t makeSplitTexture(Rgba left, Rgba right) {
    std::vector<uint8_t> texels(64 * 4 * 4);
    for (int i = 0; i < 64 * 4; ++i) {
        const Rgba c = i % 64 < 32 ? left : right;
        texels[4 * i] = c.r;
        texels[4 * i + 1] = c.g;
        texels[4 * i + 2] = c.b;
        texels[4 * i + 3] = 255;
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 64, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return name;
}

// The current projection matrix is gluPerspective(fov, aspect, zNear, zFar).
inline void expectPerspective(double fov, double aspect, double zNear, double zFar) {
    const double f = focalOf(fov);
    double expected[16] = {};
    expected[0] = f / aspect;
    expected[5] = f;
    expected[10] = (zFar + zNear) / (zNear - zFar);
    expected[11] = -1.0;
    expected[14] = 2.0 * zFar * zNear / (zNear - zFar);
    GLfloat actual[16];
    glGetFloatv(GL_PROJECTION_MATRIX, actual);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-4 * (1.0 + std::fabs(expected[i])))
            << "element " << i;
}

// Every pixel of the window has one of the given colours.
inline void expectOnlyColours(std::initializer_list<Rgba> allowed) {
    static uint8_t frame[640 * 480 * 4];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, frame);
    int strays = 0;
    for (int i = 0; i < 640 * 480; ++i) {
        const Rgba p{frame[4 * i], frame[4 * i + 1], frame[4 * i + 2], frame[4 * i + 3]};
        bool known = false;
        for (Rgba c : allowed)
            known = known || sameColour(p, c);
        if (!known && strays++ < 3)
            ADD_FAILURE() << "pixel " << i % 640 << ", " << 479 - i / 640 << " is " << p;
    }
    EXPECT_EQ(strays, 0);
}
