// The display guard on X11: this program again, started with a socket to the
// demo. It notes every CRTC's configuration through RandR, says so with one
// byte, and then waits: a "done" byte ends it quietly; the socket closing
// without one (the demo crashed, was killed, or left without giving the mode
// back) makes it put every CRTC back as it was, then end.
#ifndef _WIN32

#include "platform/display_guard.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

extern char** environ;

static const char* const guardArgument = "--display-guard";
static const char readyByte = 'r';
static const char doneByte = 'd';

// The demo's end of the socket; -1 when there is no guard or it was released.
static int guardSocket = -1;

// Starts the guard with its end of a new socket; false if it cannot start.
static bool spawnGuard() {
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return false;
    char fdText[16];
    std::snprintf(fdText, sizeof fdText, "%d", ends[1]);
    // posix_spawn, not fork: the picture workers already run, and only an
    // exec gives the guard a process of its own to open X in. Dup'ing the
    // guard's end onto itself clears its close-on-exec flag.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], ends[1]);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    // A process group of its own: what a shell sends to the demo's job
    // (Ctrl+C, Ctrl+Z, kill -9 %1) must not stop or end the guard with it.
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF |
                                              POSIX_SPAWN_SETPGROUP);
    char name[] = "quarnel";
    char* argv[] = {name, const_cast<char*>(guardArgument), fdText, nullptr};
    pid_t pid = 0;
    const bool started =
        posix_spawn(&pid, "/proc/self/exe", &actions, &attributes, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(ends[1]);
    if (started)
        guardSocket = ends[0];
    else
        close(ends[0]);
    return started;
}

bool startDisplayGuard() {
    if (guardSocket >= 0) return true;
    if (!spawnGuard()) return false;
    // The guard needs no more than opening the display and one RandR query;
    // a guard that has not answered in five seconds is taken for absent.
    pollfd ready{guardSocket, POLLIN, 0};
    int polled;
    while ((polled = poll(&ready, 1, 5000)) < 0 && errno == EINTR) {
    }
    char byte = 0;
    if (polled == 1 && recv(guardSocket, &byte, 1, 0) == 1 && byte == readyByte) return true;
    std::fprintf(stderr, "quarnel: the desktop's mode has no guard: if this run is killed, "
                         "the display may stay at 640 x 480\n");
    close(guardSocket);
    guardSocket = -1;
    return false;
}

void releaseDisplayGuard() {
    if (guardSocket < 0) return;
    // MSG_NOSIGNAL: a guard that is already gone must not end the demo.
    const ssize_t sent = send(guardSocket, &doneByte, 1, MSG_NOSIGNAL);
    (void)sent; // a guard that is gone has nothing left to restore
    close(guardSocket);
    guardSocket = -1;
}

static void onHangUp(int) {
    raise(SIGTERM); // async-signal-safe: whoever handles a terminate request handles this
}

void endRunOnHangUp() {
    struct sigaction previous {};
    if (sigaction(SIGHUP, nullptr, &previous) != 0 || previous.sa_handler != SIG_DFL) return;
    struct sigaction action {};
    action.sa_handler = onHangUp;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGHUP, &action, nullptr);
}

bool isDisplayGuardCommand(int argc, char** argv) {
    return argc == 3 && std::strcmp(argv[1], guardArgument) == 0;
}

// One CRTC as the desktop had it.
struct CrtcState {
    RRCrtc crtc = 0;
    RRMode mode = 0; // None when the CRTC was off
    int x = 0, y = 0;
    Rotation rotation = RR_Rotate_0;
    std::vector<RROutput> outputs;
};

struct ScreenState {
    int width = 0, height = 0, widthMm = 0, heightMm = 0;
    std::vector<CrtcState> crtcs;
};

static CrtcState readCrtc(Display* x, XRRScreenResources* resources, RRCrtc crtc) {
    CrtcState state;
    state.crtc = crtc;
    if (XRRCrtcInfo* info = XRRGetCrtcInfo(x, resources, crtc)) {
        state.mode = info->mode;
        state.x = info->x;
        state.y = info->y;
        state.rotation = info->rotation;
        state.outputs.assign(info->outputs, info->outputs + info->noutput);
        XRRFreeCrtcInfo(info);
    }
    return state;
}

static bool sameCrtc(const CrtcState& a, const CrtcState& b) {
    return a.mode == b.mode && a.x == b.x && a.y == b.y && a.rotation == b.rotation &&
           a.outputs == b.outputs;
}

// The screen's size and every CRTC; false when RandR cannot tell.
static bool readScreen(Display* x, ScreenState& screen) {
    const Window root = DefaultRootWindow(x);
    XWindowAttributes rootAttributes;
    if (!XGetWindowAttributes(x, root, &rootAttributes)) return false;
    screen.width = rootAttributes.width;
    screen.height = rootAttributes.height;
    screen.widthMm = DisplayWidthMM(x, DefaultScreen(x));
    screen.heightMm = DisplayHeightMM(x, DefaultScreen(x));
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(x, root);
    if (!resources) return false;
    screen.crtcs.clear();
    for (int i = 0; i < resources->ncrtc; i++)
        screen.crtcs.push_back(readCrtc(x, resources, resources->crtcs[i]));
    XRRFreeScreenResources(resources);
    return true;
}

// Whether the CRTC as it is now lies inside a screen of that size.
static bool fitsIn(XRRScreenResources* resources, const CrtcState& crtc, int width, int height) {
    if (crtc.mode == None) return true;
    for (int i = 0; i < resources->nmode; i++) {
        const XRRModeInfo& mode = resources->modes[i];
        if (mode.id != crtc.mode) continue;
        const bool turned = crtc.rotation & (RR_Rotate_90 | RR_Rotate_270);
        const int w = int(turned ? mode.height : mode.width);
        const int h = int(turned ? mode.width : mode.height);
        return crtc.x + w <= width && crtc.y + h <= height;
    }
    return false;
}

static void setCrtc(Display* x, XRRScreenResources* resources, const CrtcState& state) {
    XRRSetCrtcConfig(x, resources, state.crtc, CurrentTime, state.x, state.y, state.mode,
                     state.rotation, const_cast<RROutput*>(state.outputs.data()),
                     int(state.outputs.size()));
}

// Every CRTC that differs goes back to its noted state, the screen to its
// size: first those that would not fit the old size are turned off, as
// RandR keeps every CRTC inside the screen. All under one server grab, so
// no client sees a half-restored desktop.
static void restoreScreen(Display* x, const ScreenState& saved) {
    XGrabServer(x);
    ScreenState now;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(x, DefaultRootWindow(x));
    if (resources && readScreen(x, now)) {
        std::vector<const CrtcState*> changed;
        for (const CrtcState& old : saved.crtcs)
            for (const CrtcState& current : now.crtcs)
                if (current.crtc == old.crtc && !sameCrtc(current, old)) {
                    changed.push_back(&old);
                    if (!fitsIn(resources, current, saved.width, saved.height)) {
                        CrtcState off;
                        off.crtc = old.crtc;
                        setCrtc(x, resources, off);
                    }
                }
        if (now.width != saved.width || now.height != saved.height)
            XRRSetScreenSize(x, DefaultRootWindow(x), saved.width, saved.height, saved.widthMm,
                             saved.heightMm);
        for (const CrtcState* old : changed)
            setCrtc(x, resources, *old);
    }
    if (resources) XRRFreeScreenResources(resources);
    XUngrabServer(x);
    XSync(x, False);
}

// A mode that has gone, or a server that refuses, leaves nothing more to do.
static int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

int runDisplayGuard(int, char** argv) {
    prctl(PR_SET_NAME, "quarnel-guard"); // started as /proc/self/exe, it would show as "exe"
    // The demo's end of the socket is the only thing that ends the guard: a
    // guard ended by a signal meant for the demo could restore nothing. (As
    // a background group it may still write to the terminal.)
    for (int ignored :
         {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGUSR1, SIGUSR2, SIGALRM, SIGTTOU})
        signal(ignored, SIG_IGN);
    char* end = nullptr;
    const long fd = std::strtol(argv[2], &end, 10);
    if (*end != '\0' || fd < 3 || fd > 1 << 20) return 2;
    const int socket = int(fd);
    Display* x = XOpenDisplay(nullptr);
    if (!x) return 1;
    XSetErrorHandler(ignoreXError);
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    ScreenState saved;
    if (!XRRQueryExtension(x, &eventBase, &errorBase) || !XRRQueryVersion(x, &major, &minor) ||
        major * 100 + minor < 102 || !readScreen(x, saved)) {
        XCloseDisplay(x);
        return 1;
    }
    if (write(socket, &readyByte, 1) != 1) return 1;
    char byte = 0;
    ssize_t got;
    while ((got = read(socket, &byte, 1)) < 0 && errno == EINTR) {
    }
    if (got != 1 || byte != doneByte) restoreScreen(x, saved);
    XCloseDisplay(x);
    return 0;
}

#endif
