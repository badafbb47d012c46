// The attacks and the credits read back from offscreen frames: which attack
// pictures show at the edges of their windows, where they stand, the mirrored
// monster, the full-window background and the projections carried over.
#include <GL/gl.h>
#include <cmath>

#include "app/timeline.h"
#include "eye_space.h"
#include "gl_fixture.h"
#include "resources/demo_state.h"
#include "scenes/scenes.h"
#include "test_meshes.h"

namespace {

// One colour per picture, so that every pixel tells which picture it shows.
const Rgba background{60, 60, 60, 255};
const Rgba clawomon{255, 0, 0, 255}, corvumon{0, 0, 255, 255}, lyn{0, 255, 0, 255},
    pow{255, 255, 0, 255}, saks{0, 255, 255, 255}, dodge{255, 0, 255, 255},
    winner{255, 128, 0, 255};
const Rgba picamon{128, 0, 0, 255}, blint{0, 128, 0, 255}, crocomon{0, 0, 128, 255},
    prall{128, 128, 0, 255}, teddymon{0, 128, 128, 255}, ulva{128, 0, 128, 255},
    movik{255, 255, 255, 255};

uint32_t textureOf(Rgba c) {
    return makeFlatTexture(c.r, c.g, c.b, 255);
}

class AttacksAndCredits : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        demo.spectrum[0] = 0.0f;
        PngTextures& pic = demo.pngTextures;
        pic.bakgrunn = textureOf(background);
        pic.clawomon = textureOf(clawomon);
        pic.corvumon = textureOf(corvumon);
        pic.lyn = textureOf(lyn);
        pic.pow = textureOf(pow);
        pic.saks = textureOf(saks);
        pic.dodge = textureOf(dodge);
        pic.winner = textureOf(winner);
        pic.picamon = textureOf(picamon);
        pic.blint = textureOf(blint);
        pic.crocomon = textureOf(crocomon);
        pic.prall = textureOf(prall);
        pic.teddymon = textureOf(teddymon);
        pic.ulva = textureOf(ulva);
        pic.movik = textureOf(movik);
    }

    // The battle set draws under the projection the battle opening leaves.
    void drawBattleAt(float t) {
        glEnable(GL_TEXTURE_2D);
        setClocks(54.5f);
        drawBattleOpening();
        setClocks(t);
        drawAttacksAndCredits();
    }
    // The credits draw under the projection the wobble scene leaves.
    void drawCreditsAt(float t) {
        glEnable(GL_TEXTURE_2D);
        setClocks(79.5f);
        drawWobbleAndGreetings();
        setClocks(t);
        drawAttacksAndCredits();
    }
    void expectCornersShow(Rgba colour) {
        expectColour(0, 0, colour);
        expectColour(639, 0, colour);
        expectColour(0, 479, colour);
        expectColour(639, 479, colour);
    }
};

// Under the 45-degree projection the attack plates lie at depth 14: they span
// rows rowOf(+-1, -14) and columns columnOf(offset +- 1, -14).
const double battleFov = 45.0, attackZ = -14.0;
const double attackRow = 220; // above the monsters, whose tops are at row 240

// At 59.5 s lyn rests at x = -1.5 (fade55 held at 4), pow and dodge stand at
// the sides and saks rests at x = 1.5; the monsters stand below.
TEST_F(AttacksAndCredits, AllFourAttacksShowAt59AndAHalf) {
    drawBattleAt(59.5f);
    const double lynRight = columnOf(-1.5 + 1, attackZ, battleFov);
    expectColour(lynRight - 3, attackRow, lyn);
    expectColour(lynRight + 3, attackRow, background);
    expectColour(columnOf(-2.5, attackZ, battleFov), attackRow, pow);
    const double saksLeft = columnOf(1.5 - 1, attackZ, battleFov);
    expectColour(saksLeft - 3, attackRow, background);
    expectColour(saksLeft + 3, attackRow, saks);
    expectColour(columnOf(2.5, attackZ, battleFov), attackRow, dodge);
    expectColour(320, rowOf(1, attackZ, battleFov) - 3, background);
    expectColour(columnOf(2.5, -9, battleFov), 300, clawomon);
    expectColour(columnOf(-2.5, -9, battleFov), 300, corvumon);
    expectCornersShow(background);
    expectOnlyColours({background, clawomon, corvumon, lyn, pow, saks, dodge});
}

// The windows are strict at both ends: lyn is gone at exactly 60 s, saks
// has not come at exactly 56.5 s and shows at x = -1 just after it, and at
// exactly 63 s only the background and the monsters show.
TEST_F(AttacksAndCredits, AttackWindowsAreStrictAtBothEnds) {
    drawBattleAt(60.0f);
    expectColour(columnOf(-1.5 + 0.7, attackZ, battleFov), attackRow, background);
    expectColour(columnOf(-2.5, attackZ, battleFov), attackRow, pow);
    expectColour(columnOf(1.5, attackZ, battleFov), attackRow, saks);

    drawBattleAt(56.5f);
    expectColour(columnOf(-1, attackZ, battleFov), attackRow, background);
    expectColour(columnOf(1, attackZ, battleFov), attackRow, lyn);
    expectOnlyColours({background, clawomon, corvumon, lyn});

    drawBattleAt(56.51f);
    const double saksLeft = columnOf(-0.99 - 1, attackZ, battleFov);
    expectColour(saksLeft - 3, attackRow, background);
    expectColour(saksLeft + 3, attackRow, saks);

    drawBattleAt(63.0f);
    expectOnlyColours({background, clawomon, corvumon});

    drawBattleAt(64.0f);
    expectColour(columnOf(2.5, attackZ, battleFov), attackRow, winner);
    expectOnlyColours({background, clawomon, corvumon, winner});
}

// The left monster's plate is mirrored: where the right monster (unit
// plate, same picture) shows red on its left quarter, it shows blue, and its
// edges are where an unmirrored plate's would be.
TEST_F(AttacksAndCredits, MirroredPlateShowsThePictureFlippedInPlace) {
    const Rgba darkRed{200, 0, 0, 255}, darkBlue{0, 0, 200, 255};
    const uint32_t split = makeSplitTexture(darkRed, darkBlue);
    demo.pngTextures.clawomon = split;
    demo.pngTextures.corvumon = split;
    drawBattleAt(62.0f);
    const double leftEdge = columnOf(-3.5, -9, battleFov),
                 rightEdge = columnOf(-1.5, -9, battleFov);
    const double width = rightEdge - leftEdge;
    expectColour(leftEdge - 3, 300, background);
    expectColour(leftEdge + 0.25 * width, 300, darkBlue);
    expectColour(leftEdge + 0.75 * width, 300, darkRed);
    expectColour(rightEdge + 3, 300, background);
    expectColour(columnOf(-2.5, -9, battleFov), rowOf(0, -9, battleFov) - 3, background);
    expectColour(columnOf(-2.5, -9, battleFov), rowOf(-2, -9, battleFov) + 3, background);

    const double monsterLeft = columnOf(1.5, -9, battleFov);
    expectColour(monsterLeft + 0.25 * width, 300, darkRed);
    expectColour(monsterLeft + 0.75 * width, 300, darkBlue);
}

// The credits at 85 s under the 80-degree projection: plates at depth 4,
// the outer ones reaching past the window's sides (outer edges at x = +-1.04
// in device coordinates), the credit pictures over the monsters' lower halves.
TEST_F(AttacksAndCredits, CreditsFillTheRowUnderTheWobbleProjection) {
    drawCreditsAt(85.0f);
    const double fov = 80.0, z = -4.0;
    EXPECT_NEAR(3.5 * focalOf(fov) / 4.0, 1.04, 0.005);
    expectColour(639, rowOf(-0.5, z, fov), picamon);
    expectColour(639, rowOf(-2.5, z, fov), blint);
    expectColour(0, rowOf(-0.5, z, fov), crocomon);
    expectColour(0, rowOf(-2.5, z, fov), prall);
    expectColour(0, rowOf(2, z, fov), movik);
    expectColour(320, rowOf(-0.5, z, fov), teddymon);
    expectColour(320, rowOf(-2.5, z, fov), ulva);
    expectColour(columnOf(1.5, z, fov) - 3, rowOf(-0.5, z, fov), background);
    expectColour(columnOf(1.5, z, fov) + 3, rowOf(-0.5, z, fov), picamon);
    expectColour(columnOf(-1.5, z, fov) - 3, rowOf(2, z, fov), movik);
    expectColour(columnOf(-1.5, z, fov) + 3, rowOf(2, z, fov), background);
    expectColour(100, rowOf(3, z, fov) - 3, background);
    expectColour(100, rowOf(3, z, fov) + 3, movik);
    expectCornersShow(background);
    expectOnlyColours({background, picamon, blint, crocomon, prall, teddymon, ulva, movik});
}

// The background replaces the projection only for itself: the one the scene
// found is back afterwards, every stack at depth 1, the modelview current.
TEST_F(AttacksAndCredits, ProjectionFoundIsTheProjectionLeft) {
    drawBattleAt(60.0f);
    expectPerspective(45.0, 1.0, 1.0, 10000.0);
    expectSceneLeaves({});
    drawCreditsAt(85.0f);
    expectPerspective(80.0, 1.0, 1.0, 1000.0);
    expectSceneLeaves({});
}

} // namespace
