#include "platform/headless_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <cstdio>

// Built for the OpenGL 1.1 layer, the context is OpenGL ES 2, as the web's.
#ifdef QUARNEL_GL11
constexpr EGLint renderableType = EGL_OPENGL_ES2_BIT;
constexpr EGLenum contextApi = EGL_OPENGL_ES_API;
static const EGLint contextAttributes[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
#else
constexpr EGLint renderableType = EGL_OPENGL_BIT;
constexpr EGLenum contextApi = EGL_OPENGL_API;
static const EGLint* const contextAttributes = nullptr;
#endif

// Mesa's surfaceless platform needs no display server; the default display
// is the fallback.
static EGLDisplay openDisplay() {
    auto getPlatformDisplay =
        (PFNEGLGETPLATFORMDISPLAYEXTPROC)eglGetProcAddress("eglGetPlatformDisplayEXT");
    if (getPlatformDisplay) {
        EGLDisplay display =
            getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr)) return display;
    }
    EGLDisplay display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr)) return display;
    return EGL_NO_DISPLAY;
}

bool createHeadlessGl(HeadlessGl& gl, int width, int height) {
    EGLDisplay display = openDisplay();
    if (display == EGL_NO_DISPLAY) {
        std::fprintf(stderr, "No EGL display for an offscreen OpenGL context\n");
        return false;
    }
    // clang-format off
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RED_SIZE, 8,
                                       EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
                                       EGL_DEPTH_SIZE, 24, EGL_RENDERABLE_TYPE, renderableType,
                                       EGL_NONE};
    // clang-format on
    EGLConfig config;
    EGLint count = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &count) || count < 1) {
        std::fprintf(stderr, "No EGL configuration with RGBA and depth\n");
        eglTerminate(display);
        return false;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display, config, surfaceAttributes);
    eglBindAPI(contextApi);
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (surface == EGL_NO_SURFACE || context == EGL_NO_CONTEXT ||
        !eglMakeCurrent(display, surface, surface, context)) {
        std::fprintf(stderr, "Cannot make an offscreen OpenGL context current\n");
        if (context != EGL_NO_CONTEXT) eglDestroyContext(display, context);
        if (surface != EGL_NO_SURFACE) eglDestroySurface(display, surface);
        eglTerminate(display);
        return false;
    }
    gl.display = display;
    gl.surface = surface;
    gl.context = context;
    gl.width = width;
    gl.height = height;
#ifdef QUARNEL_GL11
    gl11StartContext();
#endif
    return true;
}

HeadlessGl::~HeadlessGl() {
    if (!display) return;
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display, context);
    eglDestroySurface(display, surface);
    eglTerminate(display);
}
