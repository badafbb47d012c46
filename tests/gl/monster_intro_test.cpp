// The monster introduction: the sets' time windows, order and resting place,
// the starring plate, the ball's size and tumble, and the state it leaves.
#include "gl_fixture.h"
#include "scene_view.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <array>
#include <cmath>

#include "app/timeline.h"
#include "resources/demo_state.h"
#include "scenes/scenes.h"

using namespace sceneview;

namespace {

struct Colour {
    int r, g, b, a;
};
// Every picture its own colour. The claw portrait is half transparent, so
// where it lies over the starring plate both show. The starring plate is
// added whole whatever its alpha; the rest are opaque.
constexpr Colour starring{0, 0, 160, 100};
constexpr Colour clawPortrait{240, 0, 0, 128};
constexpr Colour clawName{0, 200, 0, 255};
constexpr Colour clawSkills{200, 200, 0, 255};
constexpr Colour corvPortrait{0, 240, 240, 255};
constexpr Colour corvName{240, 0, 240, 255};
constexpr Colour corvSkills{255, 255, 255, 255};
constexpr Colour ball{255, 128, 0, 255};

constexpr double restZ = -5.4; // the sets' plate plane at rest
constexpr double ballX = -3.5, ballY = -2.5, ballZ = -14.0;

bool is(Rgba p, Colour c) {
    return sameColour(p, c.r, c.g, c.b);
}
// A picture of alpha a over what lies beneath.
Colour over(Colour top, Colour under) {
    const double a = top.a / 255.0;
    auto mix = [a](int t, int u) { return int(std::lround(a * t + (1 - a) * u)); };
    return Colour{mix(top.r, under.r), mix(top.g, under.g), mix(top.b, under.b), 255};
}

// The window-space bounding box of a sphere of radius r at eye-space centre c:
// the extremes of x / -z (and y / -z) are where planes through the eye touch it.
struct Box {
    double left, right, top, bottom;
};
Box projectedSphere(double cx, double cy, double cz, double r) {
    // (c + u cz)^2 = r^2 (1 + u^2), for u = x / -z along one axis
    auto extremes = [&](double c) {
        const double a = cz * cz - r * r, b = 2 * c * cz, k = c * c - r * r;
        const double root = std::sqrt(b * b - 4 * a * k);
        return std::array<double, 2>{(-b - root) / (2 * a), (-b + root) / (2 * a)};
    };
    const auto u = extremes(cx), v = extremes(cy);
    // windowX/windowY of a point with -z = 1 and x (or y) = u
    const double x0 = windowX(u[0], -1), x1 = windowX(u[1], -1);
    const double y0 = windowY(v[0], -1), y1 = windowY(v[1], -1);
    return Box{std::min(x0, x1), std::max(x0, x1), std::min(y0, y1), std::max(y0, y1)};
}

class MonsterIntroTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        PngTextures& p = demo.pngTextures;
        auto flat = [](Colour c) { return makeFlatTexture(c.r, c.g, c.b, c.a); };
        p.starring = flat(starring);
        p.clawomon = flat(clawPortrait);
        p.clawtekst = flat(clawName);
        p.clawskills = flat(clawSkills);
        p.corvumon = flat(corvPortrait);
        p.corvtekst = flat(corvName);
        p.corvskills = flat(corvSkills);
        p.pokeball = flat(ball);
    }
    void TearDown() override {
        gluDeleteQuadric(demo.sphereQuadric);
        demo.sphereQuadric = nullptr;
        demo.spectrum[0] = 0.0f;
    }
    Frame drawAt(float t, float bass = 0.0f) {
        demo.spectrum[0] = bass;
        setClocks(t);
        drawMonsterIntro();
        return readFrame();
    }
    // The pixel at the window position of an eye-space point.
    static Rgba at(const Frame& frame, double x, double y, double z) {
        return frame.at(int(windowX(x, z)), int(windowY(y, z)));
    }
    // The ball's box at bass 0, with a margin for its edge pixels.
    static bool nearBall(int x, int y) {
        const Box box = projectedSphere(ballX, ballY, ballZ, 1.3);
        return x > box.left - 3 && x < box.right + 3 && y > box.top - 3 && y < box.bottom + 3;
    }
    // Pixels that differ between two frames, outside the ball.
    static int differingAwayFromBall(const Frame& a, const Frame& b) {
        int n = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                const Rgba p = a.at(x, y), q = b.at(x, y);
                if (!nearBall(x, y) && (p.r != q.r || p.g != q.g || p.b != q.b)) ++n;
            }
        return n;
    }
    // Pixels of the frame matching the colour, outside the ball.
    static int count(const Frame& frame, Colour c) {
        int n = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                if (!nearBall(x, y) && is(frame.at(x, y), c)) ++n;
        return n;
    }
};

TEST_F(MonsterIntroTest, ClawSetRestsInPlaceOverTheAdditiveStarringPlate) {
    const Frame frame = drawAt(30.0f);
    // the portrait alone over black, and half over the starring plate
    EXPECT_TRUE(is(at(frame, -2.2, 1.6, restZ), over(clawPortrait, {0, 0, 0, 255})));
    const int overlapX = int(windowX(-0.7, restZ)), overlapY = int(windowY(1.7, restZ));
    ASSERT_GT(overlapX, windowX(-1, -7));
    ASSERT_LT(overlapY, windowY(1, -7));
    EXPECT_TRUE(is(frame.at(overlapX, overlapY), over(clawPortrait, starring)));
    // the name covers the portrait's lower half; the skills card on the right
    EXPECT_TRUE(is(at(frame, -1.5, 0.5, restZ), clawName));
    EXPECT_TRUE(is(at(frame, 1.5, 0.0, restZ), clawSkills));
    // the starring plate, whose top lies above the view; black between
    EXPECT_TRUE(is(at(frame, 0.0, 2.5, -7), starring));
    EXPECT_TRUE(is(frame.at(320, 0), starring));
    EXPECT_TRUE(is(frame.at(320, 240), {0, 0, 0, 255}));

    // edges where the eye-space corners at z = -5.4 project
    const Span skillsAcross = rowSpan(frame, 240, clawSkills.r, clawSkills.g, clawSkills.b);
    EXPECT_NEAR(skillsAcross.first, firstCovered(windowX(0.5, restZ)), 1);
    EXPECT_NEAR(skillsAcross.last, lastCovered(windowX(2.5, restZ)), 1);
    const int skillsColumn = int(windowX(1.5, restZ));
    const Span skillsDown =
        columnSpan(frame, skillsColumn, clawSkills.r, clawSkills.g, clawSkills.b);
    EXPECT_NEAR(skillsDown.first, firstCovered(windowY(1, restZ)), 1);
    EXPECT_NEAR(skillsDown.last, lastCovered(windowY(-1, restZ)), 1);
    const Colour portrait = over(clawPortrait, {0, 0, 0, 255});
    const int portraitColumn = int(windowX(-2.2, restZ));
    const Span portraitDown = columnSpan(frame, portraitColumn, portrait.r, portrait.g, portrait.b);
    const Span nameDown = columnSpan(frame, portraitColumn, clawName.r, clawName.g, clawName.b);
    EXPECT_NEAR(portraitDown.first, firstCovered(windowY(2, restZ)), 1);
    EXPECT_NEAR(portraitDown.last, lastCovered(windowY(1, restZ)), 1);
    EXPECT_NEAR(nameDown.last, lastCovered(windowY(-1, restZ)), 1);
    const Span portraitAcross =
        rowSpan(frame, int(windowY(1.6, restZ)), portrait.r, portrait.g, portrait.b);
    EXPECT_NEAR(portraitAcross.first, firstCovered(windowX(-2.5, restZ)), 1);
}

TEST_F(MonsterIntroTest, ClawSetFliesInThenHoldsUntilItsWindowEnds) {
    // 23.5 s: its plates lie behind the eye; only the starring plate and the ball
    const Frame early = drawAt(23.5f);
    EXPECT_EQ(count(early, over(clawPortrait, {0, 0, 0, 255})) + count(early, clawName) +
                  count(early, clawSkills),
              0);
    EXPECT_GT(count(early, starring), 0);

    // at rest from 27 s; 34.5 s (corv set drawn but not yet in view) the same
    const Frame rest = drawAt(27.0f);
    EXPECT_GT(count(rest, clawSkills), 0);
    for (float t : {30.0f, 34.0f, 34.5f, 34.99f}) {
        const Frame later = drawAt(t);
        const int differing = differingAwayFromBall(later, rest);
        EXPECT_EQ(differing, 0) << "at " << t << " s";
    }

    // exactly 35 s: the claw set is gone and the corv set still out of view
    const Frame gone = drawAt(35.0f);
    EXPECT_EQ(count(gone, clawName) + count(gone, clawSkills) + count(gone, corvName) +
                  count(gone, corvSkills),
              0);
    EXPECT_GT(count(gone, starring), 0);
}

// Under a camera that sees the plates at every depth (the scene sets no
// projection of its own), the windows and the draw order show directly.
TEST_F(MonsterIntroTest, SetsDrawnInTheirStrictWindowsClawFirst) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-4, 4, -3, 3, -20, 20);
    glMatrixMode(GL_MODELVIEW);
    // the skills cards' common place, eye (1.5, 0): window (440, 240)
    struct Case {
        float t;
        Colour shown;
    };
    const Colour black{0, 0, 0, 255};
    for (Case c : {Case{23.0f, black}, Case{23.5f, clawSkills}, Case{34.0f, clawSkills},
                   Case{34.5f, corvSkills}, Case{35.0f, corvSkills}, Case{43.9f, corvSkills},
                   Case{44.0f, black}}) {
        const Frame frame = drawAt(c.t);
        EXPECT_TRUE(is(frame.at(440, 240), c.shown)) << "at " << c.t << " s";
    }
}

TEST_F(MonsterIntroTest, BallSwellsWithTheBassFromRadius1_3) {
    for (auto [bass, radius] : {std::pair{0.0f, 1.3}, std::pair{0.5f, 2.6}}) {
        const Frame frame = drawAt(23.5f, bass);
        int left = 640, right = -1, top = 480, bottom = -1;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                if (is(frame.at(x, y), ball)) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        const Box box = projectedSphere(ballX, ballY, ballZ, radius);
        EXPECT_NEAR(left, firstCovered(box.left), 1) << "bass " << bass;
        EXPECT_NEAR(right, lastCovered(box.right), 1) << "bass " << bass;
        EXPECT_NEAR(top, firstCovered(box.top), 1) << "bass " << bass;
        EXPECT_NEAR(bottom, lastCovered(box.bottom), 1) << "bass " << bass;
    }
}

TEST_F(MonsterIntroTest, BallTumblesWithTheClockAlone) {
    // a ball with a pattern, so that its turning shows
    uint8_t texels[8 * 8 * 4];
    for (int i = 0; i < 64; ++i) {
        const bool light = ((i % 8) / 2 + (i / 8) / 2) % 2;
        texels[i * 4] = light ? 250 : 20, texels[i * 4 + 1] = light ? 220 : 60;
        texels[i * 4 + 2] = light ? 40 : 200, texels[i * 4 + 3] = 255;
    }
    glBindTexture(GL_TEXTURE_2D, demo.pngTextures.pokeball);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 8, 8, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);

    const Frame first = drawAt(31.3f, 0.3f);
    drawAt(40.2f, 0.1f);
    const Frame again = drawAt(31.3f, 0.3f);
    EXPECT_TRUE(first.rgba == again.rgba);
    const Frame turned = drawAt(31.4f, 0.3f);
    EXPECT_FALSE(first.rgba == turned.rgba);
}

TEST_F(MonsterIntroTest, LeavesTheBallsStateAndTransform) {
    glEnable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    GLfloat projectionBefore[16], projectionAfter[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projectionBefore);
    const float t = 36.25f, bass = 0.2f;
    drawAt(t, bass);

    expectSceneLeaves(
        {true, true, true, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, demo.pngTextures.pokeball});
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    for (float channel : colour)
        EXPECT_FLOAT_EQ(channel, 1.0f);
    glGetFloatv(GL_PROJECTION_MATRIX, projectionAfter);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(projectionAfter[i], projectionBefore[i]);

    // translate, turn about x, y, z by 60t, 30t, 60t degrees, scale by 1 + 2 bass
    using M = std::array<double, 16>; // column-major, as OpenGL stores it
    auto times = [](const M& a, const M& b) {
        M c{};
        for (int col = 0; col < 4; ++col)
            for (int row = 0; row < 4; ++row)
                for (int k = 0; k < 4; ++k)
                    c[col * 4 + row] += a[k * 4 + row] * b[col * 4 + k];
        return c;
    };
    auto turn = [](double degrees, int axis) {
        const double a = degrees * pi / 180.0, c = std::cos(a), s = std::sin(a);
        M m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        const int i = (axis + 1) % 3, j = (axis + 2) % 3; // the plane it turns
        m[i * 4 + i] = c, m[j * 4 + j] = c, m[i * 4 + j] = s, m[j * 4 + i] = -s;
        return m;
    };
    const double k = 1.0 + 2.0 * bass;
    const M move{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, ballX, ballY, ballZ, 1};
    const M scale{k, 0, 0, 0, 0, k, 0, 0, 0, 0, k, 0, 0, 0, 0, 1};
    const M expected = times(
        times(times(times(move, turn(60.0 * t, 0)), turn(30.0 * t, 1)), turn(60.0 * t, 2)), scale);
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(modelview[i], expected[i], 1e-4) << "element " << i;
}

TEST_F(MonsterIntroTest, WithoutAQuadricThePicturesShowAndTheBallIsLeftOut) {
    gluDeleteQuadric(demo.sphereQuadric);
    demo.sphereQuadric = nullptr;
    const Frame frame = drawAt(30.0f);
    EXPECT_TRUE(is(at(frame, 1.5, 0.0, restZ), clawSkills));
    // below the name picture, where the ball would be
    const int x = int(windowX(ballX, ballZ)), y = int(windowY(ballY, ballZ)) + 20;
    ASSERT_GT(y, windowY(-1, restZ) + 2);
    EXPECT_TRUE(is(frame.at(x, y), {0, 0, 0, 255}));
}

} // namespace
