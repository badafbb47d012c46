// The scene routines: each clears, sets its state and draws one stretch of
// the timeline from demoTime, the fade clocks and spectrum[0]. When each
// runs is the timeline's table (app/timeline.cpp).
#pragma once

void drawIntroSlides();        // the fading title slides
void drawGlidingOverlay();     // the picture with the gliding overlay, as the music starts
void drawMonsterIntro();       // the two monster sets flying into place
void drawBattleOpening();      // the battle in front of the tunnel
void drawAttacksAndCredits();  // the attacks and the winner; later the credits
void drawWobbleAndGreetings(); // the wobbling ball and the greetings
