// The real message box in a forked copy of this test: a signal ends it even
// when SDL shows it in process after an interrupted wait; however it ends it
// leaves no handler, pipe of ours or doomed child; its pipe never blocks a writer.
#include <gtest/gtest.h>

#include <csignal>
#include <cstddef>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "demo_process.h"
#include "platform/message_box.h"

// From now on fork (threads false) or thread starts (true) fail with EAGAIN;
// clone3 is refused so that glibc uses clone, whose flags a filter can read.
static bool denyClones(bool threads) {
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_clone3, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSYS),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_clone, 0, 3),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[0])),
        BPF_STMT(BPF_ALU | BPF_AND | BPF_K, CLONE_THREAD),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, threads ? CLONE_THREAD : 0u, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EAGAIN),
    };
    sock_fprog program{sizeof filter / sizeof filter[0], filter};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

// The process's close-on-exec pipe ends (ours: SDL 2.26 leaks a plain pipe
// when zenity is missing), with the flags of each.
static std::vector<long> pipeFlags(pid_t pid) {
    std::vector<long> found;
    const std::string proc = "/proc/" + std::to_string(pid);
    for (const auto& fd : std::filesystem::directory_iterator(proc + "/fd")) {
        std::ifstream info(proc + "/fdinfo/" + fd.path().filename().string());
        std::string field, flags;
        while (info >> field >> flags && field != "flags:") {
        }
        const long bits = std::stol(flags, nullptr, 8);
        std::error_code error;
        if (bits & O_CLOEXEC && read_symlink(fd.path(), error).string().rfind("pipe:", 0) == 0)
            found.push_back(bits);
    }
    return found;
}

// In the forked copy, after the box, as bits: 1 the wrong result, 2 a handler
// or pipe left, 4 a later child set to die with a thread of ours.
static int leftBehind(bool result, bool expected, bool canFork) {
    struct sigaction now {};
    sigaction(SIGTERM, nullptr, &now);
    int faults = (result != expected) | (now.sa_handler != SIG_DFL || !pipeFlags(getpid()).empty())
                                            << 1;
    int deathSignal = 0, status = -1;
    if (canFork && fork() == 0) _exit(prctl(PR_GET_PDEATHSIG, &deathSignal) || deathSignal);
    if (canFork && (wait(&status) < 0 || status != 0)) faults |= 4;
    return faults;
}

// SDL cannot fork, so its X11 box runs in this process where nothing can close
// it; a handler without SA_RESTART interrupts the wait first. Then no display:
// the box is not shown, with its own thread or, when none can start, without.
TEST(MessageBox, ASignalEndsEveryBoxAndNoBoxLeavesAnythingBehind) {
    VirtualDisplay display;
    ASSERT_TRUE(startVirtualDisplay(display, 640, 480));
    DemoProcess box;
    if ((box.pid = fork()) == 0) {
        setenv("DISPLAY", display.name.c_str(), 1);
        struct sigaction interrupt {};
        interrupt.sa_handler = [](int) {};
        sigaction(SIGUSR1, &interrupt, nullptr);
        if (!denyClones(false)) _exit(100);
        _exit(leftBehind(showMessageBox("In process", "Box in process", nullptr), false, false));
    }
    ASSERT_NE(waitForWindow(display, "Box in process", 30), 0u);
    const std::vector<long> pipes = pipeFlags(box.pid);
    ASSERT_EQ(pipes.size(), 2u);
    for (long flags : pipes)
        EXPECT_TRUE((flags & O_ACCMODE) == O_RDONLY || flags & O_NONBLOCK);
    syscall(SYS_tgkill, box.pid, box.pid, SIGUSR1); // the waiting thread
    usleep(200 * 1000);
    kill(box.pid, SIGTERM);
    EXPECT_EQ(waitForExit(box, 5), 0);

    for (bool denyThreads : {false, true}) {
        if ((box.pid = fork()) == 0) {
            unsetenv("DISPLAY");
            if (denyThreads && !denyClones(true)) _exit(100);
            _exit(leftBehind(showMessageBox("Nowhere", "Box", nullptr), true, true));
        }
        EXPECT_EQ(waitForExit(box, 30), 0) << (denyThreads ? "no thread" : "a thread");
    }
}
