// The unit plate under the demo's starting projection.
#include "gl_fixture.h"

#include <GL/gl.h>
#include <cmath>

#include "scenes/unit_plate.h"

// Under the 45-degree, 4:3 perspective a plate translated to z = -4 lies three
// units from the eye: its half-side of 1 covers 240 / (3 tan 22.5) = 193 px.
TEST_F(GlTest, PlateAtDepthThreeIsCentredSquareOf386Pixels) {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, makeFlatTexture(255, 0, 0, 255));
    glLoadIdentity();
    glTranslatef(0, 0, -4);
    drawUnitPlate();

    const double half = 240.0 / (3.0 * std::tan(22.5 * M_PI / 180.0));
    const int left = int(std::lround(320 - half)), right = int(std::lround(320 + half));
    EXPECT_EQ(pixelAt(320, 240).r, 255);
    EXPECT_EQ(pixelAt(left + 2, 240).r, 255);
    EXPECT_EQ(pixelAt(left - 2, 240).r, 0);
    EXPECT_EQ(pixelAt(right - 2, 240).r, 255);
    EXPECT_EQ(pixelAt(right + 2, 240).r, 0);
    EXPECT_EQ(pixelAt(320, 240 - int(half) + 2).r, 255);
    EXPECT_EQ(pixelAt(320, 240 - int(half) - 3).r, 0);
}
