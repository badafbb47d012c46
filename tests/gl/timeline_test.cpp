// The timeline: fade clocks, strict scene windows, the play and quit requests.
#include "gl_fixture.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "platform/frame_timer.h"
#include "app/timeline.h"
#include "platform/quit.h"
#include "resources/demo_state.h"

namespace {
std::vector<int> quits;
std::vector<float> plays; // demoTime of each play request
void recordQuit(int code) {
    quits.push_back(code);
}
void recordPlay(unsigned) {
    plays.push_back(demo.demoTime);
}

class TimelineTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        quits.clear();
        plays.clear();
        setQuitHandler(recordQuit);
        setPlayRequestHandler(recordPlay);
    }
    void TearDown() override {
        setQuitHandler(nullptr);
        setPlayRequestHandler(nullptr);
    }
    // Fills the frame with a colour no scene clears to.
    void markFrame() {
        glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    }
    bool frameStillMarked() {
        Rgba corner = pixelAt(1, 1), centre = pixelAt(320, 240);
        return corner.g == 255 && corner.r == 0 && centre.g == 255 && centre.r == 0;
    }
};
} // namespace

TEST(FadeClocks, LimitedClocksStopAtFourAndHaveNoLowerLimit) {
    setClocks(0.5f);
    EXPECT_FLOAT_EQ(demo.fade1, -0.5f);
    EXPECT_FLOAT_EQ(demo.fade14, -13.5f);
    EXPECT_FLOAT_EQ(demo.fade55, -54.5f);

    setClocks(18.0f);
    EXPECT_FLOAT_EQ(demo.fade14, 4.0f);
    setClocks(17.5f);
    EXPECT_FLOAT_EQ(demo.fade14, 3.5f);

    setClocks(70.0f);
    EXPECT_FLOAT_EQ(demo.demoTime, 70.0f);
    EXPECT_FLOAT_EQ(demo.fade1, 69.0f);
    EXPECT_FLOAT_EQ(demo.fade4, 66.0f);
    EXPECT_FLOAT_EQ(demo.fade8, 62.0f);
    EXPECT_FLOAT_EQ(demo.fade14, 4.0f);
    EXPECT_FLOAT_EQ(demo.fade23, 4.0f);
    EXPECT_FLOAT_EQ(demo.fade34, 4.0f);
    EXPECT_FLOAT_EQ(demo.fade55, 4.0f);
}

TEST(FrameTimerClock, CountsSecondsFromConstruction) {
    FrameTimer timer;
    float first = timer.elapsedSeconds();
    EXPECT_GE(first, 0.0f);
    EXPECT_LT(first, 0.5f);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    float later = timer.elapsedSeconds();
    EXPECT_GE(later - first, 0.029f);
    EXPECT_LT(later - first, 1.0f);
}

TEST_F(TimelineTest, NoSceneRunsExactlyOnAWindowBoundary) {
    for (float boundary : {14.0f, 23.0f, 44.0f, 55.0f, 65.0f, 80.0f, 90.0f}) {
        markFrame();
        drawFrameAt(boundary);
        EXPECT_TRUE(frameStillMarked()) << "at " << boundary;
    }
    EXPECT_TRUE(plays.empty());
    EXPECT_TRUE(quits.empty());
}

TEST_F(TimelineTest, ASceneRunsJustInsideEveryWindow) {
    for (float inside : {0.01f, 13.99f, 14.01f, 22.99f, 23.01f, 43.99f, 44.01f, 54.99f, 55.01f,
                         64.99f, 65.01f, 79.99f, 80.01f, 89.99f}) {
        markFrame();
        drawFrameAt(inside);
        EXPECT_FALSE(frameStillMarked()) << "at " << inside;
    }
}

TEST_F(TimelineTest, PlayRequestOnEveryFrameBetween14And23Only) {
    for (float t : {13.99f, 14.0f, 14.02f, 14.5f, 22.99f, 23.0f, 23.5f, 40.0f})
        drawFrameAt(t);
    EXPECT_EQ(plays, (std::vector<float>{14.02f, 14.5f, 22.99f}));
}

// A late start draws the last frame before every edge before it, then the
// one just before it, each once, whatever frames the run would have drawn.
TEST_F(TimelineTest, StateFramesAreTheLastBeforeEachEdgeAndBeforeTheStart) {
    std::vector<float> drawn;
    const auto record = [&drawn](float t) { drawn.push_back(t); };
    const auto tenthsOnly = [](float x) { return std::ceil(x * 10.0f) / 10.0f - 0.1f; };
    drawStateFramesBefore(14.05f, tenthsOnly, record);
    EXPECT_EQ(drawn, (std::vector<float>{1.9f, 5.9f, 9.9f, 13.9f, 14.0f}));
    drawn.clear();
    drawStateFramesBefore(0.0f, tenthsOnly, record);
    drawStateFramesBefore(0.05f, tenthsOnly, record); // the run's first frame, at 0
    EXPECT_EQ(drawn, (std::vector<float>{0.0f}));
    // The live one: the float just below each edge, nothing played, the viewport kept.
    GLint before[4] = {}, after[4] = {};
    glGetIntegerv(GL_VIEWPORT, before);
    drawStateFramesBefore(23.0f);
    glGetIntegerv(GL_VIEWPORT, after);
    EXPECT_TRUE(plays.empty());
    EXPECT_EQ(std::vector<GLint>(before, before + 4), std::vector<GLint>(after, after + 4));
    EXPECT_EQ(demo.demoTime, std::nextafter(23.0f, 0.0f));
}

TEST_F(TimelineTest, EveryFrameAfter90RequestsTheQuitEvenAfterAJump) {
    drawFrameAt(89.99f);
    drawFrameAt(90.0f);
    EXPECT_TRUE(quits.empty());
    markFrame();
    drawFrameAt(90.01f);
    EXPECT_TRUE(frameStillMarked()); // nothing is drawn, the frame is still swapped
    drawFrameAt(119.0f);
    drawFrameAt(120.0f);
    drawFrameAt(5000.0f);
    EXPECT_EQ(quits, (std::vector<int>{0, 0, 0, 0}));
}
