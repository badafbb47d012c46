#include "demo_process.h"
#include "tree_paths.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

static void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

VirtualDisplay::~VirtualDisplay() {
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    if (!scratch.empty()) fs::remove_all(scratch);
}

bool startVirtualDisplay(VirtualDisplay& display, int width, int height, int depth,
                         const std::vector<std::string>& serverOptions) {
    for (int number = 70 + int(getpid() % 200);; number++) {
        std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
        if (fs::exists(lock)) continue;
        std::string screen =
            std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth);
        std::string name = ":" + std::to_string(number);
        std::vector<const char*> argv = {"Xvfb",         name.c_str(), "-screen", "0",
                                         screen.c_str(), "-nolisten",  "tcp",     "-noreset"};
        for (const std::string& option : serverOptions) argv.push_back(option.c_str());
        argv.push_back(nullptr);
        pid_t pid = fork();
        if (pid == 0) {
            int devnull = open("/dev/null", O_WRONLY);
            dup2(devnull, 1);
            dup2(devnull, 2);
            execvp("Xvfb", const_cast<char* const*>(argv.data()));
            _exit(127);
        }
        display.pid = pid;
        display.name = name;
        for (int i = 0; i < 100; i++) {
            if (Display* x = XOpenDisplay(name.c_str())) {
                XCloseDisplay(x);
                return true;
            }
            if (waitpid(pid, nullptr, WNOHANG) == pid) break; // lost the race for the number
            sleepMs(50);
        }
        if (waitpid(pid, nullptr, WNOHANG) == 0) return false;
        display.pid = -1;
        if (number > 400) return false;
    }
}

DemoProcess::~DemoProcess() {
    if (pid > 0 && isRunning(*this)) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    if (!stderrPath.empty()) fs::remove(stderrPath);
}

bool startProcess(DemoProcess& process, const std::string& program, const std::string& folder,
                  const std::vector<std::string>& environment,
                  const std::vector<std::string>& arguments) {
    char pattern[] = "/tmp/quarnel-stderr-XXXXXX";
    int errFd = mkstemp(pattern);
    if (errFd < 0) return false;
    process.stderrPath = pattern;
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.c_str()) != 0) _exit(126);
        for (const std::string& entry : environment) putenv(strdup(entry.c_str()));
        dup2(errFd, 2);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(errFd);
    process.pid = pid;
    return pid > 0;
}

int waitForExit(DemoProcess& process, double seconds) {
    auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        int status = 0;
        if (waitpid(process.pid, &status, WNOHANG) == process.pid) {
            process.pid = -1;
            if (WIFEXITED(status)) return WEXITSTATUS(status);
            return 128 + WTERMSIG(status);
        }
        sleepMs(20);
    }
    kill(process.pid, SIGKILL);
    waitpid(process.pid, nullptr, 0);
    process.pid = -1;
    return -1;
}

bool isRunning(const DemoProcess& process) {
    if (process.pid <= 0) return false;
    // WNOWAIT leaves an ended process to be reaped by waitForExit, with its code.
    siginfo_t info{};
    if (waitid(P_PID, id_t(process.pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0) return false;
    return info.si_pid == 0;
}

std::string stderrText(const DemoProcess& process) {
    std::ifstream file(process.stderrPath);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

bool waitForStderr(const DemoProcess& process, const std::string& text, double seconds) {
    auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        if (stderrText(process).find(text) != std::string::npos) return true;
        sleepMs(20);
    }
    return false;
}

int runWithDisplay(const VirtualDisplay& display, const std::string& command) {
    std::string line = "DISPLAY=" + display.name + " " + command + " >/dev/null 2>&1";
    int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string commandOutput(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return "failed";
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    return pclose(pipe) == 0 ? output : "failed";
}

// Windows of other processes come and go while the tree is searched; Xlib's
// default handler would end the test on the first one that vanished mid-way.
static int ignoreXError(Display*, XErrorEvent*) { return 0; }

static Display* openDisplay(const VirtualDisplay& display) {
    XSetErrorHandler(ignoreXError);
    return XOpenDisplay(display.name.c_str());
}

static unsigned long searchTree(Display* x, Window window, const std::string& title) {
    // The name may be stored as UTF-8, which XFetchName does not return.
    XTextProperty name{};
    if (XGetWMName(x, window, &name) && name.value) {
        bool match = title == std::string(reinterpret_cast<char*>(name.value), name.nitems);
        XFree(name.value);
        if (match) return window;
    }
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    unsigned long found = 0;
    if (XQueryTree(x, window, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; i++) found = searchTree(x, children[i], title);
        if (children) XFree(children);
    }
    return found;
}

unsigned long findWindow(const VirtualDisplay& display, const std::string& title) {
    Display* x = openDisplay(display);
    if (!x) return 0;
    unsigned long found = searchTree(x, DefaultRootWindow(x), title);
    XCloseDisplay(x);
    return found;
}

unsigned long waitForWindow(const VirtualDisplay& display, const std::string& title,
                            double seconds) {
    auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        if (unsigned long window = findWindow(display, title)) return window;
        sleepMs(50);
    }
    return 0;
}

bool sendCloseRequest(const VirtualDisplay& display, unsigned long window) {
    Display* x = openDisplay(display);
    if (!x) return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(x, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    bool sent = XSendEvent(x, window, False, NoEventMask, &event) != 0;
    XFlush(x);
    XCloseDisplay(x);
    return sent;
}

std::string makeDataFolder(const std::vector<std::string>& leaveOut) {
    char pattern[] = "/tmp/quarnel-data-XXXXXX";
    std::string folder = mkdtemp(pattern);
    fs::path source = fs::path(binaryDir()) / "data";
    for (const auto& entry : fs::recursive_directory_iterator(source)) {
        if (!entry.is_regular_file()) continue;
        std::string relative = fs::relative(entry.path(), source).string();
        bool skip = false;
        for (const std::string& path : leaveOut) skip = skip || relative == path;
        if (skip) continue;
        fs::path target = fs::path(folder) / "data" / relative;
        fs::create_directories(target.parent_path());
        fs::create_symlink(entry.path(), target);
    }
    return folder;
}

bool focusWindow(const VirtualDisplay& display, unsigned long window) {
    Display* x = openDisplay(display);
    if (!x) return false;
    XSetInputFocus(x, window, RevertToParent, CurrentTime);
    XSync(x, False);
    XCloseDisplay(x);
    return true;
}
