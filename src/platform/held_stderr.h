// Standard error held back for a while: what a library prints while it
// searches for something is shown only if the search succeeds.
#pragma once

#include <cstdio>

// From construction, what the process writes to standard error goes to a
// temporary file. release(show) restores standard error and, when show is
// true, writes the held text to it after all. Holds nothing where no
// temporary file can be made.
struct HeldStderr {
    std::FILE* held = nullptr;
    int saved = -1; // the real standard error, while held
    HeldStderr();
    ~HeldStderr(); // release(true) if still held
    HeldStderr(const HeldStderr&) = delete;
    HeldStderr& operator=(const HeldStderr&) = delete;
    void release(bool show);
};
