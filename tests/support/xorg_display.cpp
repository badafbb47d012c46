#include "xorg_display.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <thread>
#include <unistd.h>

// No input devices of the machine's: keys come through XTest (xdotool).
static std::string configuration(bool has640) {
    return std::string(R"(Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoEnableDevices" "false"
EndSection
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 256000
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync )") +
           (has640 ? "5.0" : "44.0") + R"(-1000.0
    VertRefresh 5.0-200.0
    Modeline "1920x1080" 148.50 1920 2008 2052 2200 1080 1084 1089 1125 +hsync +vsync
    Modeline "800x600" 40.00 800 840 968 1056 600 601 605 628 +hsync +vsync
    Modeline "640x480" 25.18 640 656 752 800 480 490 492 525 -hsync -vsync
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Modes "1920x1080" "800x600" "640x480"
        Virtual 1920 1080
    EndSubSection
EndSection
)";
}

bool startModeSwitchingDisplay(VirtualDisplay& display, bool has640) {
    char pattern[] = "/tmp/quarnel-xorg-XXXXXX";
    if (!mkdtemp(pattern)) return false;
    display.scratch = pattern;
    const std::string config = display.scratch + "/xorg.conf";
    std::ofstream(config) << configuration(has640);
    int numberPipe[2];
    if (pipe(numberPipe) != 0) return false;
    const std::string fd = std::to_string(numberPipe[1]);
    const std::string log = display.scratch + "/xorg.log";
    display.pid = fork();
    if (display.pid == 0) {
        close(numberPipe[0]);
        int devnull = open("/dev/null", O_RDWR);
        dup2(devnull, 0);
        dup2(devnull, 1);
        dup2(devnull, 2);
        // -sharevts: run as root, Xorg would otherwise take a virtual console
        // of its own and switch the machine's screen to it.
        execlp("Xorg", "Xorg", "-displayfd", fd.c_str(), "-config", config.c_str(), "-logfile",
               log.c_str(), "-noreset", "-nolisten", "tcp", "-sharevts", "-novtswitch", nullptr);
        _exit(127);
    }
    close(numberPipe[1]);
    // The server writes its display number once it accepts clients.
    std::string number;
    pollfd readable{numberPipe[0], POLLIN, 0};
    char c = 0;
    while (poll(&readable, 1, 30000) == 1 && read(numberPipe[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(numberPipe[0]);
    display.name = ":" + number;
    return c == '\n' && !number.empty();
}

static int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

std::string displayMode(const VirtualDisplay& display) {
    XSetErrorHandler(ignoreXError);
    Display* x = XOpenDisplay(display.name.c_str());
    if (!x) return "";
    std::string mode;
    const Window root = DefaultRootWindow(x);
    XWindowAttributes screen{};
    XGetWindowAttributes(x, root, &screen);
    if (XRRScreenResources* resources = XRRGetScreenResourcesCurrent(x, root)) {
        for (int i = 0; i < resources->ncrtc && mode.empty(); i++) {
            XRRCrtcInfo* crtc = XRRGetCrtcInfo(x, resources, resources->crtcs[i]);
            if (crtc && crtc->mode != None) {
                mode = std::to_string(crtc->width) + "x" + std::to_string(crtc->height);
                if (int(crtc->width) != screen.width || int(crtc->height) != screen.height)
                    mode += " in a " + std::to_string(screen.width) + "x" +
                            std::to_string(screen.height) + " screen";
            }
            if (crtc) XRRFreeCrtcInfo(crtc);
        }
        XRRFreeScreenResources(resources);
    }
    XCloseDisplay(x);
    return mode;
}

bool waitForDisplayMode(const VirtualDisplay& display, const std::string& mode, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    do {
        if (displayMode(display) == mode) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < end);
    return false;
}
