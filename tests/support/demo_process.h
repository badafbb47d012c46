// Running the real demo under a virtual X server, for end-to-end tests.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// An X server (Xvfb, or Xorg for mode switches) on a free display, stopped
// when this goes away, with its scratch folder.
struct VirtualDisplay {
    pid_t pid = -1;
    std::string name;    // ":NN"
    std::string scratch; // removed with the server; empty when there is none
    VirtualDisplay() = default;
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;
};

// Starts Xvfb with one screen of the given size and depth, and any further
// server options (e.g. {"-fp", "built-ins"}); false if it will not start.
bool startVirtualDisplay(VirtualDisplay& display, int width, int height, int depth = 24,
                         const std::vector<std::string>& serverOptions = {});

// A started program with its standard error going to a file.
struct DemoProcess {
    pid_t pid = -1;
    std::string stderrPath;
    ~DemoProcess();
};

// Starts program in folder with extra environment entries ("NAME=value").
bool startProcess(DemoProcess& process, const std::string& program, const std::string& folder,
                  const std::vector<std::string>& environment,
                  const std::vector<std::string>& arguments = {});
// Waits up to seconds; the exit code, or -1 on a timeout (the process is then
// killed), or 128 + signal when a signal ended it.
int waitForExit(DemoProcess& process, double seconds);
// True while the process runs.
bool isRunning(const DemoProcess& process);
// What the process wrote to standard error so far.
std::string stderrText(const DemoProcess& process);
// Waits until standard error contains text; false after seconds.
bool waitForStderr(const DemoProcess& process, const std::string& text, double seconds);
// Runs a shell command with DISPLAY set; its exit code.
int runWithDisplay(const VirtualDisplay& display, const std::string& command);
// Runs a shell command: its standard output, or "failed" when it fails.
std::string commandOutput(const std::string& command);
// Finds a top-level window by title; 0 when there is none.
unsigned long findWindow(const VirtualDisplay& display, const std::string& title);
// Waits until a window with that title exists; 0 after seconds.
unsigned long waitForWindow(const VirtualDisplay& display, const std::string& title,
                            double seconds);
// Sends the window manager's close request (WM_DELETE_WINDOW) to a window.
bool sendCloseRequest(const VirtualDisplay& display, unsigned long window);
// Gives a window the keyboard focus (there is no window manager).
bool focusWindow(const VirtualDisplay& display, unsigned long window);
// A folder holding data/ with links to the generated data set, less the
// given relative paths (e.g. "sound/pokemon.mp3") and with extra files.
std::string makeDataFolder(const std::vector<std::string>& leaveOut);
