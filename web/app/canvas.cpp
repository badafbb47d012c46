#include "canvas.h"

#include <GL/gl.h>
#include <emscripten/html5.h>

#include "gl11.h"

#include "platform/view.h"

static const char canvasSelector[] = "#canvas";
static bool used = false;

bool createCanvasContext() {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = false; // the page behind never shows through
    attributes.depth = true;
    attributes.stencil = false;
    attributes.antialias = false; // the same edges as the native demo's
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
        emscripten_webgl_create_context(canvasSelector, &attributes);
    if (context <= 0) return false;
    if (emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS) return false;
    // The models' index arrays are 32-bit.
    if (!emscripten_webgl_enable_extension(context, "OES_element_index_uint")) return false;
    gl11StartContext();
    return true;
}

void canvasSize(int& width, int& height) {
    width = height = 0;
    emscripten_get_canvas_element_size(canvasSelector, &width, &height);
}

void followCanvasSize() {
    int width = 0, height = 0;
    canvasSize(width, height);
    if (width > 0 && height > 0) followOutputSize(width, height);
}

void noteCanvasUsed() {
    used = true;
}

bool canvasUsed() {
    return used;
}
