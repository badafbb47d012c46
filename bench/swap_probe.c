/* Preloaded into quarnel by bench/demo_timings: notes the time of every
   buffer swap, and of the steps of start-up that SDL takes (SDL_Init,
   SDL_CreateWindow, SDL_GL_CreateContext returning), in seconds on the
   monotonic clock. When the process ends, the swaps go one per line to the
   file named by QUARNEL_SWAP_LOG, and the steps, as "name seconds" lines, to
   the same name with ".steps" added. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

enum { maxSwaps = 1 << 20 };
static double swaps[maxSwaps];
static int swapCount;

enum { maxSteps = 8 };
static struct {
    const char* name;
    double seconds;
} steps[maxSteps];
static int stepCount;

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

/* Notes the first time a step happens. */
static void noteStep(const char* name) {
    for (int i = 0; i < stepCount; i++)
        if (strcmp(steps[i].name, name) == 0) return;
    if (stepCount < maxSteps) {
        steps[stepCount].name = name;
        steps[stepCount++].seconds = now();
    }
}

/* Every library is mapped by now: this is about when main begins. */
__attribute__((constructor(101))) static void noteLibrariesLoaded(void) {
    noteStep("libraries-loaded");
}

int SDL_Init(unsigned flags) {
    static int (*realInit)(unsigned);
    if (!realInit) realInit = (int (*)(unsigned))dlsym(RTLD_NEXT, "SDL_Init");
    int result = realInit(flags);
    noteStep("sdl-init");
    return result;
}

void* SDL_CreateWindow(const char* title, int x, int y, int w, int h, unsigned flags) {
    static void* (*realCreate)(const char*, int, int, int, int, unsigned);
    if (!realCreate)
        realCreate = (void* (*)(const char*, int, int, int, int, unsigned))dlsym(
            RTLD_NEXT, "SDL_CreateWindow");
    void* window = realCreate(title, x, y, w, h, flags);
    noteStep("window");
    return window;
}

void* SDL_GL_CreateContext(void* window) {
    static void* (*realCreate)(void*);
    if (!realCreate) realCreate = (void* (*)(void*))dlsym(RTLD_NEXT, "SDL_GL_CreateContext");
    void* context = realCreate(window);
    noteStep("context");
    return context;
}

void SDL_GL_SwapWindow(void* window) {
    static void (*realSwap)(void*);
    if (!realSwap) realSwap = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    realSwap(window);
    if (swapCount < maxSwaps) swaps[swapCount++] = now();
}

__attribute__((destructor)) static void writeLogs(void) {
    const char* path = getenv("QUARNEL_SWAP_LOG");
    if (!path) return;
    FILE* file = fopen(path, "w");
    if (!file) return;
    for (int i = 0; i < swapCount; i++) fprintf(file, "%.6f\n", swaps[i]);
    fclose(file);

    char stepsPath[4096];
    snprintf(stepsPath, sizeof stepsPath, "%s.steps", path);
    file = fopen(stepsPath, "w");
    if (!file) return;
    for (int i = 0; i < stepCount; i++) fprintf(file, "%s %.6f\n", steps[i].name, steps[i].seconds);
    fclose(file);
}
