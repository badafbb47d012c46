/* Preloaded into quarnel by bench/demo_timings: notes the time of every
   buffer swap and writes them, in seconds since the process started, to the
   file named by QUARNEL_SWAP_LOG when the process ends. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

enum { maxSwaps = 1 << 20 };
static double swaps[maxSwaps];
static int swapCount;
static double startSeconds;

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

__attribute__((constructor(101))) static void noteStart(void) { startSeconds = now(); }

void SDL_GL_SwapWindow(void* window) {
    static void (*realSwap)(void*);
    if (!realSwap) realSwap = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    realSwap(window);
    if (swapCount < maxSwaps) swaps[swapCount++] = now() - startSeconds;
}

__attribute__((destructor)) static void writeSwaps(void) {
    const char* path = getenv("QUARNEL_SWAP_LOG");
    if (!path) return;
    FILE* file = fopen(path, "w");
    if (!file) return;
    for (int i = 0; i < swapCount; i++) fprintf(file, "%.6f\n", swaps[i]);
    fclose(file);
}
