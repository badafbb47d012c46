#include "scenes/scenes.h"

void drawAttacksAndCredits() {}
