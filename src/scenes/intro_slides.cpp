// The opening before the music: two seconds of empty screen, then three
// pictures, four seconds each, each fading out while it is shown.
#include "scenes/scenes.h"

#include <GL/gl.h>

#include "resources/demo_state.h"
#include "scenes/element_times.h"
#include "scenes/unit_plate.h"

// Each slide is a centred square three units away, blended over the cleared
// screen; its opacity falls by 0.15 per second (computed in double). The
// windows are strict at both ends, so 2, 6, 10 and 14 s show nothing.
void drawIntroSlides() {
    glEnable(GL_TEXTURE_2D);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // "Vormak presents" (opacity 0.85 down to 0.25), the title with the two
    // monsters and the disco floor (each 0.70 down to 0.10)
    struct Slide {
        ElementWindow shown;
        int slot;
        float fade;
    };
    const Slide slides[] = {
        {presentsSlide, 4, demo.fade1},
        {titleSlide, 5, demo.fade4},
        {discoSlide, 6, demo.fade8},
    };
    const float t = demo.demoTime;
    for (const Slide& slide : slides) {
        if (!(t > slide.shown.from && t < slide.shown.to)) continue;
        glLoadIdentity();
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDisable(GL_DEPTH_TEST);
        glColor4f(1.0f, 1.0f, 1.0f, float(1.0 - 0.15 * slide.fade));
        glTranslatef(0.0f, 0.0f, -4.0f);
        glBindTexture(GL_TEXTURE_2D, demo.jpegTextures[slide.slot]);
        drawUnitPlate();
    }
}
