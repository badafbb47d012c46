// The intro slides: which slide shows when, how opaque, where, and the state
// the scene leaves.
#include "gl_fixture.h"
#include "scene_view.h"

#include <GL/gl.h>

#include "app/timeline.h"
#include "resources/demo_state.h"
#include "scenes/scenes.h"

using namespace sceneview;

namespace {

// One flat colour per slide, so a frame tells which slide it shows.
constexpr uint8_t slideColour[3][3] = {{200, 120, 40}, {40, 200, 120}, {120, 40, 200}};

class IntroSlidesTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        for (int i = 0; i < 3; ++i)
            demo.jpegTextures[4 + i] =
                makeFlatTexture(slideColour[i][0], slideColour[i][1], slideColour[i][2], 255);
    }
    // Paints the buffer grey first, so that a frame that only clears shows it.
    void drawAt(float t) {
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        setClocks(t);
        drawIntroSlides();
    }
};

TEST_F(IntroSlidesTest, OnlyTheClearedScreenBeforeAndBetweenSlides) {
    for (float t : {0.5f, 1.0f, 2.0f, 6.0f, 10.0f, 14.0f}) {
        drawAt(t);
        const Frame frame = readFrame();
        int lit = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                if (!sameColour(frame.at(x, y), 0, 0, 0, 0)) ++lit;
        EXPECT_EQ(lit, 0) << "at " << t << " s";
    }
}

// The picture's colour scaled by the slide's opacity over black.
TEST_F(IntroSlidesTest, EachSlideFadesOverBlackWithItsOwnClock) {
    struct Case {
        float t;
        int slide;
        double alpha;
    };
    for (Case c : {Case{2.5f, 0, 0.775}, Case{5.9f, 0, 0.265}, Case{6.5f, 1, 0.625},
                   Case{9.9f, 1, 0.115}, Case{10.5f, 2, 0.625}, Case{13.9f, 2, 0.115}}) {
        drawAt(c.t);
        const uint8_t* colour = slideColour[c.slide];
        for (auto [x, y] : {std::pair{320, 240}, std::pair{200, 130}, std::pair{440, 350}})
            EXPECT_TRUE(sameColour(pixelAt(x, y), int(std::lround(c.alpha * colour[0])),
                                   int(std::lround(c.alpha * colour[1])),
                                   int(std::lround(c.alpha * colour[2]))))
                << "at " << c.t << " s, pixel " << x << ", " << y;
    }
}

// The plate's half-side of 1 at three units from the eye, about 193 px.
TEST_F(IntroSlidesTest, SlideIsCentredSquareWhereTheGeometryPutsIt) {
    drawAt(6.5f);
    const Frame frame = readFrame();
    const int r = int(std::lround(0.625 * slideColour[1][0]));
    const int g = int(std::lround(0.625 * slideColour[1][1]));
    const int b = int(std::lround(0.625 * slideColour[1][2]));
    const Span across = rowSpan(frame, 240, r, g, b);
    const Span down = columnSpan(frame, 320, r, g, b);
    EXPECT_NEAR(across.first, firstCovered(windowX(-1, -3)), 1);
    EXPECT_NEAR(across.last, lastCovered(windowX(1, -3)), 1);
    EXPECT_NEAR(down.first, firstCovered(windowY(1, -3)), 1);
    EXPECT_NEAR(down.last, lastCovered(windowY(-1, -3)), 1);
    EXPECT_NEAR(across.last - across.first + 1, 386, 2);
}

TEST_F(IntroSlidesTest, LeavesBlendingOnDepthTestOffAndTheSlidesFrame) {
    glDisable(GL_TEXTURE_2D);
    drawAt(10.5f);
    expectSceneLeaves(
        {true, false, true, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, demo.jpegTextures[6]});
    GLfloat colour[4], modelview[16];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_NEAR(colour[3], 1.0 - 0.15 * 2.5, 1e-6);
    // Identity with a translation of -4 along z.
    for (int i = 0; i < 16; ++i) {
        const float expected = i == 14 ? -4.0f : (i % 5 == 0 ? 1.0f : 0.0f);
        EXPECT_FLOAT_EQ(modelview[i], expected) << "element " << i;
    }
}

} // namespace
