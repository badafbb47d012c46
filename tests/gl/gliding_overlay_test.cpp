// The gliding overlay: additive sum of the two pictures, the glide and the
// hold, and the state the scene leaves.
#include "gl_fixture.h"
#include "scene_view.h"

#include <GL/gl.h>

#include "app/timeline.h"
#include "resources/demo_state.h"
#include "scenes/scenes.h"

using namespace sceneview;

namespace {

// Red saturates where the two are added (200 + 100), green and blue do not.
// The overlay is fully transparent: additive blending ignores alpha.
constexpr int background[3] = {200, 60, 10};
constexpr int overlay[3] = {100, 70, 20};
constexpr int sum[3] = {255, 130, 30};

class GlidingOverlayTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        demo.jpegTextures[0] = makeFlatTexture(background[0], background[1], background[2], 255);
        demo.jpegTextures[1] = makeFlatTexture(overlay[0], overlay[1], overlay[2], 0);
    }
    Frame drawAt(float t) {
        setClocks(t);
        drawGlidingOverlay();
        return readFrame();
    }
    // The overlay's covered spans through its expected centre (x, y) at depth 7
    // match the projection of its 2 x 2 square.
    void expectOverlayAt(const Frame& frame, double x, double y) {
        const Span across = rowSpan(frame, int(windowY(y, -7)), sum[0], sum[1], sum[2]);
        const Span down = columnSpan(frame, int(windowX(x, -7)), sum[0], sum[1], sum[2]);
        EXPECT_NEAR(across.first, firstCovered(windowX(x - 1, -7)), 1);
        EXPECT_NEAR(across.last, lastCovered(windowX(x + 1, -7)), 1);
        EXPECT_NEAR(down.first, firstCovered(windowY(y + 1, -7)), 1);
        EXPECT_NEAR(down.last, lastCovered(windowY(y - 1, -7)), 1);
    }
};

TEST_F(GlidingOverlayTest, OverlayIsAddedOntoTheBackgroundSaturating) {
    const Frame frame = drawAt(14.001f);
    // centre: both pictures; inside the background only; outside both
    EXPECT_TRUE(sameColour(frame.at(320, 240), sum[0], sum[1], sum[2]));
    EXPECT_TRUE(sameColour(frame.at(320 + 150, 240), background[0], background[1], background[2]));
    EXPECT_TRUE(sameColour(frame.at(320, 240 - 150), background[0], background[1], background[2]));
    EXPECT_TRUE(sameColour(frame.at(20, 20), 0, 0, 0));
    EXPECT_TRUE(sameColour(frame.at(620, 460), 0, 0, 0));
    expectOverlayAt(frame, 0.0, 0.0);
}

TEST_F(GlidingOverlayTest, OverlayGlidesForFourSecondsThenHolds) {
    // halfway through the glide the centre is at (0.2, -0.6) at depth 7
    expectOverlayAt(drawAt(16.0f), 0.2, -0.6);

    // from 18 s on it rests at (0.4, -1.2): about 33 px right, 99 px down
    const Frame at18 = drawAt(18.0f);
    expectOverlayAt(at18, 0.4, -1.2);
    EXPECT_NEAR(windowX(0.4, -7) - 320, 33, 1);
    EXPECT_NEAR(windowY(-1.2, -7) - 240, 99, 1);
    for (float t : {20.0f, 22.9f}) {
        const Frame later = drawAt(t);
        EXPECT_TRUE(later.rgba == at18.rgba) << "the overlay moved by " << t << " s";
    }
}

TEST_F(GlidingOverlayTest, LeavesAdditiveBlendingAndIdentityModelview) {
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    drawAt(20.0f);
    expectSceneLeaves({true, false, true, GL_ONE, GL_ONE, demo.jpegTextures[1]});
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(modelview[i], i % 5 == 0 ? 1.0f : 0.0f) << "element " << i;
}

} // namespace
