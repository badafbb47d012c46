// The display guard on Windows. Windows itself undoes a full-screen mode
// change when the process that made it ends, however it ends; Wine does not,
// so under Wine this program runs again as a watchdog that waits on the
// demo's process and, when it ends without having set the "done" event, puts
// the registry's mode back, as Windows would. On Windows it never starts.
#ifdef _WIN32

#include "platform/display_guard.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <windows.h>

static const char* const guardArgument = "--display-guard";
// Set when the desktop has its mode again; null when there is no watchdog.
static HANDLE doneEvent = nullptr;

static bool underWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// The watchdog needs no note of the mode (the registry's is the desktop's),
// so there is nothing to wait for once it is started. Nor is any other run
// asked about: every way back, SDL's, Windows' own and the watchdog's, goes
// to the registry's mode, which a full-screen switch never changes, so no
// order of several runs can leave another run's mode behind.
GuardAnswer startDisplayGuard(int, int) {
    if (doneEvent) return GuardAnswer::Holding;
    if (!underWine()) return GuardAnswer::Unguarded;
    // The watchdog inherits the event and a handle on this process, so it
    // notices the end of a process that was killed before it even started.
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE done = CreateEventW(&inherited, TRUE, FALSE, nullptr);
    HANDLE self = nullptr;
    if (!done || !DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(),
                                  &self, SYNCHRONIZE, TRUE, 0)) {
        if (done) CloseHandle(done);
        return GuardAnswer::Unguarded;
    }
    wchar_t program[MAX_PATH];
    wchar_t commandLine[MAX_PATH + 64];
    const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    bool started = false;
    if (length > 0 && length < MAX_PATH) {
        _snwprintf(commandLine, sizeof commandLine / sizeof *commandLine,
                   L"\"%ls\" --display-guard %llu %llu", program,
                   (unsigned long long)(uintptr_t)self, (unsigned long long)(uintptr_t)done);
        started = CreateProcessW(program, commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                 &startup, &process);
    }
    CloseHandle(self);
    if (!started) {
        CloseHandle(done);
        return GuardAnswer::Unguarded;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    doneEvent = done;
    return GuardAnswer::Holding;
}

void releaseDisplayGuard() {
    if (!doneEvent) return;
    SetEvent(doneEvent);
    CloseHandle(doneEvent);
    doneEvent = nullptr;
}

void endRunOnHangUp() {} // no hang-ups on Windows

bool isDisplayGuardCommand(int argc, char** argv) {
    return argc == 4 && std::strcmp(argv[1], guardArgument) == 0;
}

int runDisplayGuard(int, char** argv) {
    HANDLE demo = HANDLE(uintptr_t(std::strtoull(argv[2], nullptr, 10)));
    HANDLE done = HANDLE(uintptr_t(std::strtoull(argv[3], nullptr, 10)));
    HANDLE both[2] = {done, demo};
    // The event first: a demo that set it and then ended has given the mode back.
    const DWORD first = WaitForMultipleObjects(2, both, FALSE, INFINITE);
    if (first == WAIT_OBJECT_0 + 1 && WaitForSingleObject(done, 0) != WAIT_OBJECT_0)
        ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);
    return 0;
}

#endif
