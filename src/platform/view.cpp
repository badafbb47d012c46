// Where the picture sits in the output, and the view every context starts with.
#include "platform/view.h"

#include <GL/gl.h>
#include <GL/glu.h>

// The output's size in pixels and where the picture sits in it.
static int outputWidth = 0;
static int outputHeight = 0;
static PictureRect picture;
static bool barsShown = false;

// Places the picture in a width x height window. No scissor: every scene
// clears the whole window black before it draws, which blackens the bars, and
// a scissored clear costs Mesa's software renderer several times a whole one.
static void fitPictureTo(int width, int height) {
    outputWidth = width;
    outputHeight = height;
    picture = centredPictureRect(width, height);
    barsShown = hasBars(picture, width, height);
}

void initView(int width, int height) {
    glEnable(GL_DEPTH_TEST);
    fitPictureTo(width, height);
    placeView(picture);
}

void resetView() {
    initView(outputWidth, outputHeight);
}

void resizeView(int width, int height) {
    placeView(PictureRect{0, 0, width, height});
}

void placeView(const PictureRect& rect) {
    const int height = rect.height == 0 ? 1 : rect.height;
    glViewport(rect.x, rect.y, rect.width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(rect.width) / double(height), 0.5, 150.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void clearBars() {
    if (!barsShown) return;
    // The frame's clears, in the colour it leaves set, covered the bars: with
    // black, as every scene clears today, they are black already.
    GLfloat clearColour[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    if (clearColour[0] == 0.0f && clearColour[1] == 0.0f && clearColour[2] == 0.0f) return;
    const int right = picture.x + picture.width;
    const int top = picture.y + picture.height;
    const PictureRect bars[] = {
        {0, 0, picture.x, outputHeight},
        {right, 0, outputWidth - right, outputHeight},
        {picture.x, 0, picture.width, picture.y},
        {picture.x, top, picture.width, outputHeight - top},
    };
    // The scissor and the clear colour are the scenes' and come back as they were.
    const bool scissored = glIsEnabled(GL_SCISSOR_TEST);
    GLint scissorBox[4] = {};
    glGetIntegerv(GL_SCISSOR_BOX, scissorBox);
    glEnable(GL_SCISSOR_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    for (const PictureRect& bar : bars) {
        if (bar.width <= 0 || bar.height <= 0) continue;
        glScissor(bar.x, bar.y, bar.width, bar.height);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    glScissor(scissorBox[0], scissorBox[1], scissorBox[2], scissorBox[3]);
    if (!scissored) glDisable(GL_SCISSOR_TEST);
}

void followOutputSize(int width, int height) {
    if (width == outputWidth && height == outputHeight) return;
    fitPictureTo(width, height);
    glViewport(picture.x, picture.y, picture.width, picture.height);
}

GLUquadric* makeSphereQuadric() {
    GLUquadric* quadric = gluNewQuadric();
    gluQuadricNormals(quadric, GLU_SMOOTH);
    gluQuadricTexture(quadric, GL_TRUE);
    return quadric;
}
