#include "scenes/scenes.h"

void drawBattleOpening() {}
