#include "scenes/scenes.h"

void drawWobbleAndGreetings() {}
