// The display guard on X11: this program again, started with a socket to the
// demo and the point at the centre of the window that goes full screen. It
// takes the display's "mode held" selection (or answers that another run has
// it), notes every CRTC's configuration through RandR, says so with one
// byte, and then waits: a "done" byte ends it quietly; the socket closing
// without one (the demo crashed, was killed, or left without giving the mode
// back) makes it put the CRTC showing that point and the screen's size back
// as they were, then end.
#ifndef _WIN32

#include "platform/display_guard.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

static const char* const guardArgument = "--display-guard";
// The guard's answers, then the demo's message to it.
static const char readyByte = 'r';
static const char busyByte = 'b';
static const char doneByte = 'd';

// The demo's end of the socket and the guard's process; -1 and 0 when there
// is no guard or it was released.
static int guardSocket = -1;
static pid_t guardPid = 0;

// Starts the guard with its end of a new socket and the point whose CRTC
// the run switches; false if it cannot start.
static bool spawnGuard(int x, int y) {
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return false;
    char fdText[16], xText[16], yText[16];
    std::snprintf(fdText, sizeof fdText, "%d", ends[1]);
    std::snprintf(xText, sizeof xText, "%d", x);
    std::snprintf(yText, sizeof yText, "%d", y);
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
    char* argv[] = {name, const_cast<char*>(guardArgument), fdText, xText, yText, nullptr};
    pid_t pid = 0;
    const bool started =
        posix_spawn(&pid, "/proc/self/exe", &actions, &attributes, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(ends[1]);
    if (started) {
        guardSocket = ends[0];
        guardPid = pid;
    } else {
        close(ends[0]);
    }
    return started;
}

// Closes the demo's end and collects the guard's exit, so that no zombie is
// left: a released guard ends within milliseconds; one that does not within
// two seconds (a display server that stopped answering) is left to init.
static void endGuard(bool killIt) {
    close(guardSocket);
    guardSocket = -1;
    if (killIt) kill(guardPid, SIGKILL);
    for (int i = 0; i < 400; i++) {
        const pid_t reaped = waitpid(guardPid, nullptr, WNOHANG);
        if (reaped == guardPid || (reaped < 0 && errno != EINTR)) break;
        usleep(5000);
    }
    guardPid = 0;
}

GuardAnswer startDisplayGuard(int x, int y) {
    if (guardSocket >= 0) return GuardAnswer::Holding;
    char byte = 0;
    if (spawnGuard(x, y)) {
        // The guard needs no more than opening the display and a few RandR
        // queries; one that has not answered in five seconds is taken for
        // absent.
        pollfd ready{guardSocket, POLLIN, 0};
        int polled;
        while ((polled = poll(&ready, 1, 5000)) < 0 && errno == EINTR) {
        }
        if (polled != 1 || recv(guardSocket, &byte, 1, 0) != 1) byte = 0;
        if (byte == readyByte) return GuardAnswer::Holding;
        // A guard that did not answer must not wake later and undo this run's switch.
        endGuard(byte != busyByte);
        if (byte == busyByte) return GuardAnswer::HeldElsewhere;
    }
    std::fprintf(stderr, "quarnel: the desktop's mode has no guard: if this run is killed, "
                         "the display may stay at 640 x 480\n");
    return GuardAnswer::Unguarded;
}

void releaseDisplayGuard() {
    if (guardSocket < 0) return;
    // MSG_NOSIGNAL: a guard that is already gone must not end the demo; it
    // has nothing left to restore either.
    const ssize_t sent = send(guardSocket, &doneByte, 1, MSG_NOSIGNAL);
    (void)sent;
    endGuard(false);
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
    return argc == 5 && std::strcmp(argv[1], guardArgument) == 0;
}

// One CRTC as the desktop had it.
struct CrtcState {
    RRCrtc crtc = 0;
    RRMode mode = 0; // None when the CRTC was off
    int x = 0, y = 0;
    int width = 0, height = 0; // on the screen, rotation included; 0 when off
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
        if (info->mode != None) {
            state.width = int(info->width);
            state.height = int(info->height);
        }
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

// The lit CRTC showing the point, the one a full-screen window there
// switches; every CRTC when none does, as any of them may be changed.
static std::vector<RRCrtc> crtcsSwitchedAt(const ScreenState& screen, int x, int y) {
    std::vector<RRCrtc> all;
    for (const CrtcState& crtc : screen.crtcs) {
        if (crtc.mode != None && x >= crtc.x && x < crtc.x + crtc.width && y >= crtc.y &&
            y < crtc.y + crtc.height)
            return {crtc.crtc};
        all.push_back(crtc.crtc);
    }
    return all;
}

static void setCrtc(Display* x, XRRScreenResources* resources, const CrtcState& state) {
    XRRSetCrtcConfig(x, resources, state.crtc, CurrentTime, state.x, state.y, state.mode,
                     state.rotation, const_cast<RROutput*>(state.outputs.data()),
                     int(state.outputs.size()));
}

// The run's CRTCs go back to their noted state and the screen to its noted
// size, grown where a CRTC the run did not touch (a monitor plugged in, a
// layout the viewer chose) now reaches beyond it; every other CRTC stays as
// it is. As RandR keeps every CRTC inside the screen, one that would not fit
// the new size is turned off first. All under one server grab, so no client
// sees a half-restored desktop.
static void restoreScreen(Display* x, const ScreenState& saved, const std::vector<RRCrtc>& runs) {
    const Window root = DefaultRootWindow(x);
    XGrabServer(x);
    ScreenState now;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(x, root);
    if (resources && readScreen(x, now)) {
        std::vector<const CrtcState*> back;
        int width = saved.width, height = saved.height;
        for (const CrtcState& current : now.crtcs) {
            const CrtcState* goal = &current;
            for (const CrtcState& old : saved.crtcs)
                if (old.crtc == current.crtc && !sameCrtc(old, current) &&
                    std::find(runs.begin(), runs.end(), old.crtc) != runs.end())
                    back.push_back(goal = &old);
            if (goal->mode == None) continue;
            width = std::max(width, goal->x + goal->width);
            height = std::max(height, goal->y + goal->height);
        }
        int minWidth = 0, minHeight = 0, maxWidth = width, maxHeight = height;
        XRRGetScreenSizeRange(x, root, &minWidth, &minHeight, &maxWidth, &maxHeight);
        width = std::min(width, maxWidth);
        height = std::min(height, maxHeight);
        for (const CrtcState& current : now.crtcs)
            if (current.x + current.width > width || current.y + current.height > height) {
                CrtcState off;
                off.crtc = current.crtc;
                setCrtc(x, resources, off);
            }
        if (now.width != width || now.height != height) {
            // The noted size keeps its millimetres; a grown one keeps the dots per inch.
            XRRSetScreenSize(x, root, width, height, int(long(saved.widthMm) * width / saved.width),
                             int(long(saved.heightMm) * height / saved.height));
        }
        for (const CrtcState* old : back)
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

// Everything the demo had open when it started the guard (a picture a
// worker was reading, say) is closed: the guard keeps the standard streams
// and its socket, moved to descriptor 3.
static int keepOnlySocket(int socket) {
    if (socket != 3) {
        dup2(socket, 3);
        close(socket);
    }
    if (close_range(4, ~0U, 0) == 0) return 3;
    // Kernels before 5.9: every descriptor /proc lists.
    std::vector<int> open;
    if (DIR* listing = opendir("/proc/self/fd")) {
        while (const dirent* entry = readdir(listing)) {
            const int fd = std::atoi(entry->d_name);
            if (fd > 3 && fd != dirfd(listing)) open.push_back(fd);
        }
        closedir(listing);
    }
    for (int fd : open)
        close(fd);
    return 3;
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
    const int socket = keepOnlySocket(int(fd));
    Display* x = XOpenDisplay(nullptr);
    if (!x) return 1;
    XSetErrorHandler(ignoreXError);
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(x, &eventBase, &errorBase) || !XRRQueryVersion(x, &major, &minor) ||
        major * 100 + minor < 102) {
        XCloseDisplay(x);
        return 1;
    }
    // The selection says a run holds this screen's mode. Its owner is this
    // process's window, so the server drops it when the guard ends, however
    // it ends: a record of a run that is gone cannot outlive it. Taking it
    // and noting the screen happen under one grab, so of two runs starting
    // at once exactly one holds the mode, and it notes the desktop's own.
    const Window root = DefaultRootWindow(x);
    const Window own = XCreateSimpleWindow(x, root, 0, 0, 1, 1, 0, 0, 0);
    char name[40];
    std::snprintf(name, sizeof name, "QUARNEL_DISPLAY_MODE_S%d", DefaultScreen(x));
    const Atom held = XInternAtom(x, name, False);
    ScreenState saved;
    XGrabServer(x);
    const bool free = XGetSelectionOwner(x, held) == None;
    if (free) XSetSelectionOwner(x, held, own, CurrentTime);
    const bool noted = free && readScreen(x, saved);
    XUngrabServer(x);
    XSync(x, False);
    if (!noted) {
        const ssize_t told = free ? 0 : write(socket, &busyByte, 1);
        (void)told; // a demo that is gone needs no answer
        XCloseDisplay(x);
        return free ? 1 : 0;
    }
    if (write(socket, &readyByte, 1) != 1) return 1;
    char byte = 0;
    ssize_t got;
    while ((got = read(socket, &byte, 1)) < 0 && errno == EINTR) {
    }
    if (got != 1 || byte != doneByte)
        restoreScreen(x, saved, crtcsSwitchedAt(saved, std::atoi(argv[3]), std::atoi(argv[4])));
    XCloseDisplay(x);
    return 0;
}

#endif
