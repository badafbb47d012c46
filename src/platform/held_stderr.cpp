// Standard error redirected to a temporary file and back, by descriptor, so
// that libraries writing with their own stdio or write() are held too.
#include "platform/held_stderr.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

HeldStderr::HeldStderr() : held(std::tmpfile()) {
    if (!held) return;
    std::fflush(stderr);
    saved = dup(2);
    if (saved >= 0 && dup2(fileno(held), 2) < 0) {
        close(saved);
        saved = -1;
    }
}

HeldStderr::~HeldStderr() {
    release(true);
    if (held) std::fclose(held);
}

void HeldStderr::release(bool show) {
    if (saved < 0) return;
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    saved = -1;
    if (!show) return;
    std::rewind(held);
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, held)) > 0;)
        std::fwrite(buffer, 1, n, stderr);
}
