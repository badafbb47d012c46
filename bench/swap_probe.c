/* Preloaded into quarnel by bench/demo_timings: notes the time of every
   buffer swap, and of the steps of start-up that SDL takes (SDL_Init,
   SDL_CreateWindow, SDL_GL_CreateContext returning), in seconds on the
   monotonic clock. When the process ends, the swaps go one per line ("wall
   process-CPU thread-CPU call" seconds, the last when the swap was called)
   to the file named by QUARNEL_SWAP_LOG, and the steps, as "name seconds"
   lines, to the same name with ".steps" added.

   It also notes every program that Mesa's llvmpipe compiles with LLVM (a
   shader variant made the first time a new combination of state draws, a
   vertex or triangle-setup function): its module name, when it was made and
   when its code was ready and the seconds spent optimising and generating
   it, as "name made ready seconds" lines in the same name with ".compiles"
   added.

   With QUARNEL_VSYNC_HZ=N it also makes the swaps behave as a display's that
   wait for its vertical blank: each returns at the first boundary of an N Hz
   refresh (on the monotonic clock) after the frame was handed over. With
   QUARNEL_VSYNC_FREE="FROM TO" the swaps from FROM to TO seconds after the
   first do not wait (a covered or minimised window, where drivers often stop
   waiting), and after that stretch the boundaries fall a quarter period
   after the last swap in it: a loop that kept waiting on its own before
   swaps that wait again would wait three quarters of each period. The display reports N Hz as its mode's rate with
   QUARNEL_VSYNC_REPORTS_RATE=1, and no rate otherwise. */
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <math.h>
#include <pthread.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

enum { maxSwaps = 1 << 20 };
/* Per swap: the wall clock, the CPU time of the whole process (every
   thread: llvmpipe's rasterisers, the wobble helper, audio) and of the
   thread that swaps. The CPU times hardly depend on what else the machine
   runs, so they show a frame's own work even when the wall clock is noisy. */
static struct { double wall, processCpu, threadCpu, call; } swaps[maxSwaps];
static int swapCount;

enum { maxSteps = 8 };
static struct {
    const char* name;
    double seconds;
} steps[maxSteps];
static int stepCount;

static double clockSeconds(clockid_t clock) {
    struct timespec t;
    clock_gettime(clock, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

static double now(void) {
    return clockSeconds(CLOCK_MONOTONIC);
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

/* The virtual display's refresh: its rate (0: none), the stretch of seconds
   after the first swap in which its swaps do not wait, and its phase. */
static double vsyncHz = -1.0, freeFrom, freeTo, vsyncPhase, firstSwap = -1.0;

static void readVsync(void) {
    const char* hz = getenv("QUARNEL_VSYNC_HZ");
    const char* free = getenv("QUARNEL_VSYNC_FREE");
    vsyncHz = hz ? atof(hz) : 0.0;
    if (!free || sscanf(free, "%lf %lf", &freeFrom, &freeTo) != 2) freeFrom = freeTo = -1.0;
}

/* Blocks until the first refresh boundary after now, as a swap that waits does. */
static void waitForBoundary(double call) {
    if (firstSwap < 0.0) firstSwap = call;
    const double period = 1.0 / vsyncHz;
    if (call - firstSwap >= freeFrom && call - firstSwap < freeTo) {
        vsyncPhase = fmod(call + period / 4.0, period);
        return;
    }
    const double at = vsyncPhase + (floor((now() - vsyncPhase) / period) + 1.0) * period;
    struct timespec until = {(time_t)at, (long)((at - floor(at)) * 1e9)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, NULL) != 0) {
    }
}

/* SDL's display mode, as SDL_video.h lays it out. */
struct DisplayMode {
    unsigned format;
    int w, h, refresh_rate;
    void* driverdata;
};

/* The mode's rate as the virtual display reports it. */
static int reportRate(int result, struct DisplayMode* mode) {
    if (vsyncHz < 0.0) readVsync();
    if (result == 0 && vsyncHz > 0.0)
        mode->refresh_rate = getenv("QUARNEL_VSYNC_REPORTS_RATE") ? (int)vsyncHz : 0;
    return result;
}

int SDL_GetCurrentDisplayMode(int display, struct DisplayMode* mode) {
    static int (*real)(int, struct DisplayMode*);
    if (!real)
        real = (int (*)(int, struct DisplayMode*))dlsym(RTLD_NEXT, "SDL_GetCurrentDisplayMode");
    return reportRate(real(display, mode), mode);
}

int SDL_GetWindowDisplayMode(void* window, struct DisplayMode* mode) {
    static int (*real)(void*, struct DisplayMode*);
    if (!real)
        real = (int (*)(void*, struct DisplayMode*))dlsym(RTLD_NEXT, "SDL_GetWindowDisplayMode");
    return reportRate(real(window, mode), mode);
}

int SDL_GetDesktopDisplayMode(int display, struct DisplayMode* mode) {
    static int (*real)(int, struct DisplayMode*);
    if (!real)
        real = (int (*)(int, struct DisplayMode*))dlsym(RTLD_NEXT, "SDL_GetDesktopDisplayMode");
    return reportRate(real(display, mode), mode);
}

void SDL_GL_SwapWindow(void* window) {
    static void (*realSwap)(void*);
    if (!realSwap) realSwap = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    if (vsyncHz < 0.0) readVsync();
    const double call = now();
    realSwap(window);
    if (vsyncHz > 0.0) waitForBoundary(call);
    /* QUARNEL_SWAP_QUIT_AFTER=N: after the Nth swap the demo is asked to
       quit as an interrupt would, which ends it through its own quit path. */
    static int quitAfter = -1;
    if (quitAfter < 0) {
        const char* value = getenv("QUARNEL_SWAP_QUIT_AFTER");
        quitAfter = value ? atoi(value) : 0;
    }
    if (quitAfter > 0 && swapCount + 1 == quitAfter) raise(SIGTERM);
    if (swapCount < maxSwaps) {
        swaps[swapCount].wall = now();
        swaps[swapCount].processCpu = clockSeconds(CLOCK_PROCESS_CPUTIME_ID);
        swaps[swapCount].threadCpu = clockSeconds(CLOCK_THREAD_CPUTIME_ID);
        swaps[swapCount++].call = call;
    }
}

/* LLVM programs: the module named when it is made, then the time spent in
   its passes and its code generation (done on the first address asked for),
   and when the last of that work ended. Only the thread that draws compiles;
   a lock keeps the records whole anyway. */
enum { maxCompiles = 1 << 14 };
static struct {
    void* module;
    char name[48];
    double made, done, seconds;
} compiles[maxCompiles];
static int compileCount;
static pthread_mutex_t compileLock = PTHREAD_MUTEX_INITIALIZER;

static void* realLlvm(const char* name) {
    void* real = dlvsym(RTLD_NEXT, name, "LLVM_15");
    return real ? real : dlsym(RTLD_NEXT, name);
}

/* Adds the work from start to now to the latest record of module. */
static void noteCompileWork(void* module, double start) {
    const double end = now();
    pthread_mutex_lock(&compileLock);
    for (int i = compileCount - 1; i >= 0; i--) {
        if (compiles[i].module != module) continue;
        compiles[i].seconds += end - start;
        compiles[i].done = end;
        break;
    }
    pthread_mutex_unlock(&compileLock);
}

void* LLVMModuleCreateWithNameInContext(const char* name, void* context) {
    static void* (*real)(const char*, void*);
    if (!real) real = (void* (*)(const char*, void*))realLlvm("LLVMModuleCreateWithNameInContext");
    const double made = now();
    void* module = real(name, context);
    pthread_mutex_lock(&compileLock);
    if (compileCount < maxCompiles) {
        compiles[compileCount].module = module;
        snprintf(compiles[compileCount].name, sizeof compiles[compileCount].name, "%s",
                 name && *name ? name : "-");
        for (char* c = compiles[compileCount].name; *c; c++)
            if (*c == ' ') *c = '_';
        compiles[compileCount].made = compiles[compileCount].done = made;
        compiles[compileCount++].seconds = 0.0;
    }
    pthread_mutex_unlock(&compileLock);
    return module;
}

void* LLVMRunPasses(void* module, const char* passes, void* machine, void* options) {
    static void* (*real)(void*, const char*, void*, void*);
    if (!real) real = (void* (*)(void*, const char*, void*, void*))realLlvm("LLVMRunPasses");
    const double start = now();
    void* result = real(module, passes, machine, options);
    noteCompileWork(module, start);
    return result;
}

int LLVMRunPassManager(void* manager, void* module) {
    static int (*real)(void*, void*);
    if (!real) real = (int (*)(void*, void*))realLlvm("LLVMRunPassManager");
    const double start = now();
    int result = real(manager, module);
    noteCompileWork(module, start);
    return result;
}

void* LLVMGetPointerToGlobal(void* engine, void* global) {
    static void* (*real)(void*, void*);
    static void* (*parentOf)(void*);
    if (!real) real = (void* (*)(void*, void*))realLlvm("LLVMGetPointerToGlobal");
    if (!parentOf) parentOf = (void* (*)(void*))realLlvm("LLVMGetGlobalParent");
    const double start = now();
    void* result = real(engine, global);
    noteCompileWork(parentOf(global), start);
    return result;
}

/* Every thread of the process, with the CPU seconds it has used, as "name
   cpu-seconds" lines (the thread that drew the frames named "main"): what
   the rasterisers, the audio callback and any helper cost. */
static void writeThreads(const char* path) {
    char threadsPath[4096];
    snprintf(threadsPath, sizeof threadsPath, "%s.threads", path);
    FILE* file = fopen(threadsPath, "w");
    DIR* tasks = opendir("/proc/self/task");
    if (!file || !tasks) {
        if (file) fclose(file);
        if (tasks) closedir(tasks);
        return;
    }
    const long tick = sysconf(_SC_CLK_TCK);
    const int self = (int)getpid();
    struct dirent* entry;
    while ((entry = readdir(tasks))) {
        if (entry->d_name[0] == '.') continue;
        char statPath[512], line[1024];
        snprintf(statPath, sizeof statPath, "/proc/self/task/%s/stat", entry->d_name);
        FILE* stat = fopen(statPath, "r");
        if (!stat) continue;
        const int read = fgets(line, sizeof line, stat) != NULL;
        fclose(stat);
        char* open = strchr(line, '(');
        char* close = strrchr(line, ')');
        if (!read || !open || !close) continue;
        unsigned long user = 0, system = 0;
        /* After the name: state and 10 more fields, then utime and stime. */
        if (sscanf(close + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user,
                   &system) != 2)
            continue;
        *close = '\0';
        for (char* c = open + 1; *c; c++)
            if (*c == ' ') *c = '_';
        fprintf(file, "%s %.2f\n", atoi(entry->d_name) == self ? "main" : open + 1,
                (double)(user + system) / (double)tick);
    }
    closedir(tasks);
    fclose(file);
}

/* The renderer's threads end with its context: they are counted just before. */
void SDL_GL_DeleteContext(void* context) {
    static void (*realDelete)(void*);
    if (!realDelete) realDelete = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_GL_DeleteContext");
    const char* path = getenv("QUARNEL_SWAP_LOG");
    if (path) writeThreads(path);
    realDelete(context);
}

__attribute__((destructor)) static void writeLogs(void) {
    const char* path = getenv("QUARNEL_SWAP_LOG");
    if (!path) return;
    FILE* file = fopen(path, "w");
    if (!file) return;
    for (int i = 0; i < swapCount; i++)
        fprintf(file, "%.6f %.6f %.6f %.6f\n", swaps[i].wall, swaps[i].processCpu,
                swaps[i].threadCpu, swaps[i].call);
    fclose(file);

    char stepsPath[4096];
    snprintf(stepsPath, sizeof stepsPath, "%s.steps", path);
    file = fopen(stepsPath, "w");
    if (!file) return;
    for (int i = 0; i < stepCount; i++)
        fprintf(file, "%s %.6f\n", steps[i].name, steps[i].seconds);
    fclose(file);

    char compilesPath[4096];
    snprintf(compilesPath, sizeof compilesPath, "%s.compiles", path);
    file = fopen(compilesPath, "w");
    if (!file) return;
    for (int i = 0; i < compileCount; i++)
        fprintf(file, "%s %.6f %.6f %.6f\n", compiles[i].name, compiles[i].made, compiles[i].done,
                compiles[i].seconds);
    fclose(file);
}
