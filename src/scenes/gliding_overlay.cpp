#include "scenes/scenes.h"

void drawGlidingOverlay() {}
