#include "scenes/scenes.h"

void drawIntroSlides() {}
