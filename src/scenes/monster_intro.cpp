#include "scenes/scenes.h"

void drawMonsterIntro() {}
