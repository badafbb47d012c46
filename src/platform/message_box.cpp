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
#include <pthread.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif
#include <thread>
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
// writes each child's id to the same pipe.
struct Wake {
    char what;   // 'd' the box is done, 's' a signal came, 'c' a child was forked
    pid_t child; // for 'c'
};
static std::atomic<int> wakeFd{-1}; // the pipe's write end while a box is up

// Async-signal-safe; a record this small is written whole.
static void wake(char what, pid_t child) {
    const int fd = wakeFd.load();
    if (fd < 0) return;
    const Wake record{what, child};
    const ssize_t written = write(fd, &record, sizeof record);
    (void)written; // nobody to tell: the waiter then waits for the box
}

static void onSignal(int) {
    const int saved = errno;
    wake('s', 0);
    errno = saved;
}

static void inForkedChild() {
#ifdef __linux__
    // A box must not outlive a run that was killed outright.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
    wake('c', getpid());
}

static BoxResult showBox(const char* text, const char* caption, SDL_Window* owner) {
    static const bool forkHandlerSet = pthread_atfork(nullptr, nullptr, inForkedChild) == 0;
    int fds[2];
    if (!forkHandlerSet || pipe2(fds, O_CLOEXEC) != 0) return showSdlBox(text, caption, owner);
    wakeFd = fds[1];
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    struct sigaction previousInt {};
    struct sigaction previousTerm {};
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);

    BoxResult result;
    std::thread box([&] {
        result = showSdlBox(text, caption, owner);
        wake('d', 0);
    });
    bool signalled = false;
    pid_t child = 0;
    Wake record{};
    while (read(fds[0], &record, sizeof record) == ssize_t(sizeof record) && record.what != 'd') {
        if (record.what == 'c') child = record.child;
        if (record.what == 's') signalled = true;
        // After a signal every child goes as soon as it is known: SDL may try
        // zenity once its own box has failed.
        if (signalled && child > 0) {
            kill(child, SIGKILL);
            child = 0;
        }
    }
    box.join();

    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
    wakeFd = -1;
    close(fds[0]);
    close(fds[1]);
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
