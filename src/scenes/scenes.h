// The scene routines: each clears, sets its state and draws one stretch of
// the timeline from demoTime, the fade clocks and spectrum[0].
#pragma once

void drawIntroSlides();        // 0-14 s
void drawGlidingOverlay();     // 14-23 s
void drawMonsterIntro();       // 23-44 s
void drawBattleOpening();      // 44-55 s
void drawAttacksAndCredits();  // 55-65 s and 80-90 s
void drawWobbleAndGreetings(); // 65-80 s
