// The recipes of the pictures, grouped by role. Each paints one picture onto an
// empty canvas of the size the picture table gives it; all draw in 256 x 256
// design units, so a recipe is the same picture at any size.
#pragma once

#include "canvas.h"

// Monsters: one creature on a transparent square, facing left.
void paintClawomon(Canvas& cv);
void paintCorvumon(Canvas& cv);
void paintCrocomon(Canvas& cv);
void paintTeddymon(Canvas& cv);
void paintPicamon(Canvas& cv);
void paintKukukkmon(Canvas& cv);
void paintBurkamon(Canvas& cv);
void paintJobbermole(Canvas& cv);
void paintMexico(Canvas& cv);
void paintPhantomon(Canvas& cv);
void paintQuadromon(Canvas& cv);

// Name ribbons (lower half only) and skills cards.
void paintNameRibbon(Canvas& cv, const char* name, Color colour);
void paintClawSkills(Canvas& cv);
void paintCorvSkills(Canvas& cv);

// Credits, greetings and the makers' logo.
void paintCredit(Canvas& cv, const char* name, const char* role, Color colour);
void paintGreeting(Canvas& cv, const char* group, Color colour);
void paintVormakLogo(Canvas& cv);

// Comic lettering: the attacks and the battle's captions.
void paintLightning(Canvas& cv);
void paintPow(Canvas& cv);
void paintScissors(Canvas& cv);
void paintDodge(Canvas& cv);
void paintWinner(Canvas& cv);
void paintVs(Canvas& cv);
void paintLoading(Canvas& cv);
void paintStarring(Canvas& cv);

// Full-bleed slides and the additive pair of the gliding overlay.
void paintPresents(Canvas& cv);
void paintTitle(Canvas& cv);
void paintDisco(Canvas& cv);
void paintIsoScene(Canvas& cv);
void paintGem(Canvas& cv);

// Textures, the ball and the full-window background.
void paintBlueTiles(Canvas& cv);
void paintWall(Canvas& cv);
void paintBallTexture(Canvas& cv);
void paintDiamondOverlay(Canvas& cv);
void paintBackground(Canvas& cv);
void paintMonsterBall(Canvas& cv);
