#include "platform/message_box.h"

#include <SDL.h>
#include <cstdio>
#include <string>

#include "platform/quit.h"

#ifndef _WIN32
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <pthread.h>
#include <sched.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif
#include <unistd.h>
#endif

static MessageBoxHandler handler = nullptr;
// Set once a box was ended by a signal or a close request: the run is ending.
static bool runEnding = false;

void setMessageBoxHandler(MessageBoxHandler replacement) {
    handler = replacement;
}

enum class BoxEnd { Answered, Closed, NotShown };

struct BoxResult {
    BoxEnd end = BoxEnd::NotShown;
    std::string reason; // SDL's, when the box was not shown
};

#ifdef _WIN32

// The box is modal and there are no signals to wait for.
static BoxResult showBox(const char* text, const char* caption, SDL_Window* owner) {
    BoxResult result;
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, owner) == 0)
        result.end = BoxEnd::Answered;
    else
        result.reason = SDL_GetError();
    return result;
}

#else

// The box SDL_ShowSimpleMessageBox shows, telling its OK (Return, Escape, a
// click) from the window's close, which leaves no button chosen.
static BoxResult showSdlBox(const char* text, const char* caption, SDL_Window* owner) {
    SDL_MessageBoxButtonData ok{};
    ok.flags = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    ok.buttonid = 0;
    ok.text = "OK";
    SDL_MessageBoxData box{};
    box.flags = SDL_MESSAGEBOX_ERROR;
    box.window = owner;
    box.title = caption;
    box.message = text;
    box.numbuttons = 1;
    box.buttons = &ok;
    int button = -1;
    BoxResult result;
    if (SDL_ShowMessageBox(&box, &button) != 0)
        result.reason = SDL_GetError(); // SDL's errors belong to the calling thread
    else
        result.end = button == ok.buttonid ? BoxEnd::Answered : BoxEnd::Closed;
    return result;
}

// SDL shows the box from a child process it forks (its X11 box, then zenity)
// and waits for that child, restarting the wait after every signal, so a
// signal alone cannot end the box. Instead the box runs on a thread of ours
// while the caller's thread waits on a pipe for the first of: the box's end,
// or SIGINT or SIGTERM, which then kills the box's child. A fork handler
// writes the id of each child the box's thread forks to the same pipe. When
// SDL could not fork and shows the box in this process, nothing can close it
// from outside: after a signal the caller stops waiting and the box goes when
// the run ends.
struct Wake {
    char what;   // 'd' the box is done, 's' a signal came, 'c' a child was forked
    pid_t child; // for 'c'
};
static std::atomic<int> wakeFd{-1};           // the pipe's write end while a box is up
static std::atomic<int> wakersInside{0};      // wake calls that may still write to it
static std::atomic<bool> signalCame{false};   // kept apart: a full pipe drops records
static thread_local bool onBoxThread = false; // also in each child it forks

// Async-signal-safe; a record this small is written whole. The write end is
// non-blocking, so a handler never waits: with the pipe full the waiter has
// records enough to wake for.
static void wake(char what, pid_t child) {
    ++wakersInside;
    const int fd = wakeFd.load();
    if (fd >= 0) {
        const Wake record{what, child};
        const ssize_t written = write(fd, &record, sizeof record);
        (void)written; // nobody to tell
    }
    --wakersInside;
}

static void onSignal(int) {
    const int saved = errno;
    signalCame = true;
    wake('s', 0);
    errno = saved;
}

// Other threads' children (a library's helper, say) are none of the box's business.
static void inForkedChild() {
    if (!onBoxThread) return;
#ifdef __linux__
    // The box must not outlive a run that was killed outright.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
    wake('c', getpid());
}

// What the box's thread needs, shared with the caller, who may stop waiting first.
struct BoxJob {
    std::string text, caption;
    SDL_Window* owner;
    BoxResult result;
};

static void* runBox(void* argument) {
    const std::unique_ptr<std::shared_ptr<BoxJob>> held(
        static_cast<std::shared_ptr<BoxJob>*>(argument));
    BoxJob& job = **held;
    onBoxThread = true;
    job.result = showSdlBox(job.text.c_str(), job.caption.c_str(), job.owner);
    wake('d', 0);
    return nullptr;
}

// The signal handlers and the pipe while a box is up; put back and closed on
// every way out.
struct Waiting {
    int fds[2] = {-1, -1};
    struct sigaction previousInt {};
    struct sigaction previousTerm {};

    bool start() {
        // Only the write end is non-blocking: the waiter sleeps on the read end.
        if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0 || fcntl(fds[0], F_SETFL, 0) != 0) {
            end();
            return false;
        }
        signalCame = false;
        wakeFd = fds[1];
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGINT, &action, &previousInt);
        sigaction(SIGTERM, &action, &previousTerm);
        return true;
    }
    void end() {
        if (wakeFd.load() >= 0) {
            sigaction(SIGINT, &previousInt, nullptr);
            sigaction(SIGTERM, &previousTerm, nullptr);
            wakeFd = -1;
            // A handler on another thread may have read the descriptor just before.
            while (wakersInside.load() != 0)
                sched_yield();
        }
        for (int& fd : fds) {
            if (fd >= 0) close(fd);
            fd = -1;
        }
    }
    ~Waiting() { end(); }
};

static BoxResult showBox(const char* text, const char* caption, SDL_Window* owner) {
    static const bool forkHandlerSet = pthread_atfork(nullptr, nullptr, inForkedChild) == 0;
    Waiting waiting;
    if (!forkHandlerSet || !waiting.start()) return showSdlBox(text, caption, owner);
    const auto job = std::make_shared<BoxJob>(BoxJob{text, caption, owner, {}});
    auto* argument = new std::shared_ptr<BoxJob>(job);
    pthread_t thread;
    if (pthread_create(&thread, nullptr, runBox, argument) != 0) {
        delete argument;
        waiting.end();
        return showSdlBox(text, caption, owner);
    }

    bool boxDone = false;
    pid_t child = 0;
    for (;;) {
        Wake record{};
        const ssize_t got = read(waiting.fds[0], &record, sizeof record);
        if (got < 0 && errno == EINTR) continue;  // a handler of someone else's
        if (got != ssize_t(sizeof record)) break; // the box goes on as a plain modal one
        if (record.what == 'd') {
            boxDone = true;
            break;
        }
        if (record.what == 'c') child = record.child;
        if (!signalCame) continue;
        // SDL may try zenity once its own box has failed: each child goes as
        // soon as it is known. With none, the box is in this process.
        if (child <= 0) break;
        kill(child, SIGKILL);
        child = 0;
    }
    waiting.end();

    const bool signalled = signalCame;
    if (signalled && !boxDone) {
        pthread_detach(thread);
        BoxResult closed;
        closed.end = BoxEnd::Closed;
        return closed;
    }
    pthread_join(thread, nullptr);
    BoxResult result = job->result;
    if (signalled) result.end = BoxEnd::Closed;
    return result;
}

#endif

bool showMessageBox(const char* text, const char* caption, SDL_Window* owner) {
    if (handler) {
        handler(text, caption, owner);
        return true;
    }
    std::fprintf(stderr, "%s: %s\n", caption, text);
    if (runEnding) return false;
    const BoxResult result = showBox(text, caption, owner);
    if (result.end == BoxEnd::NotShown) {
        // With no display, or an X11 box without its fonts, the line above is
        // all the user gets; SDL's reason is often that of its last fallback.
        const char* driver = SDL_GetCurrentVideoDriver();
        const bool x11 = driver && SDL_strcmp(driver, "x11") == 0;
        std::fprintf(stderr, "quarnel: the message box could not be shown: %s%s\n",
                     result.reason.c_str(),
                     x11 ? " (an X11 box needs the X core fonts, Debian's xfonts-base)" : "");
        return true;
    }
    if (result.end == BoxEnd::Closed) {
        runEnding = true;
        postQuitMessage(0);
        return false;
    }
    return true;
}
