// A new context: the layer's record and everything it made in the old one
// start again. And the count of ES calls.
#include "draw.h"
#include "es.h"
#include "gl11.h"
#include "kept.h"
#include "state.h"
#include "stream.h"

uint64_t esCallCount = 0;

unsigned long long gl11EsCalls() {
    return esCallCount;
}

void gl11StartContext() {
    Gl11State& state = gl11State();
    forgetDrawingObjects();
    forgetStreamBuffers();
    forgetKeptModels();
    forgetKeptSpheres();
    state = Gl11State();
    // GL's first viewport and scissor box are the surface's size.
    glGetIntegerv(GL_VIEWPORT, state.attrib.viewport);
    glGetIntegerv(GL_SCISSOR_BOX, state.attrib.scissor);
}
