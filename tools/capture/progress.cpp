// Drawing the progress bar.
#include "progress.h"

#include <cstdio>
#include <unistd.h>

using Clock = std::chrono::steady_clock;

static void draw(const Progress& progress, int64_t done, const char* end) {
    const double seconds = std::chrono::duration<double>(Clock::now() - progress.start).count();
    const double rate = seconds > 0.0 ? done / seconds : 0.0;
    const double left = rate > 0.0 ? (progress.total - done) / rate : 0.0;
    constexpr int barWidth = 30;
    const int filled = progress.total > 0 ? int(barWidth * done / progress.total) : barWidth;
    char bar[barWidth + 1];
    for (int i = 0; i < barWidth; i++)
        bar[i] = i < filled ? '#' : '.';
    bar[barWidth] = '\0';
    const int leftSeconds = int(left + 0.5);
    std::fprintf(stderr, "%s[%s] %lld/%lld frames  %.1f fps  %d:%02d left%s",
                 progress.terminal ? "\r" : "", bar, (long long)done, (long long)progress.total,
                 rate, leftSeconds / 60, leftSeconds % 60, end);
    std::fflush(stderr);
}

void startProgress(Progress& progress, int64_t total) {
    progress.total = total;
    progress.start = progress.lastShown = Clock::now();
    progress.terminal = isatty(STDERR_FILENO);
}

void showProgress(Progress& progress, int64_t done) {
    const auto now = Clock::now();
    // A terminal is redrawn ten times a second; a log gets a line every ten.
    const auto interval =
        progress.terminal ? std::chrono::milliseconds(100) : std::chrono::milliseconds(10000);
    if (now - progress.lastShown < interval) return;
    progress.lastShown = now;
    draw(progress, done, progress.terminal ? "" : "\n");
}

void finishProgress(Progress& progress, int64_t done) {
    draw(progress, done, "\n");
}
