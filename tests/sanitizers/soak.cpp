// quarnel-soak: the whole timeline captured again and again in one process,
// each pass in a fresh offscreen context, to show that nothing piles up.
// Every pass must draw the same frames, make no texture while it draws, and
// leave the heap where the second pass left it.
#include <GL/gl.h>
#include <malloc.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/timeline.h"
#include "app/grid.h"
#include "render.h"

struct SoakOptions {
    int passes = 10;
    int fps = 10;
    int width = 640;
    int height = 480;
    long heapToleranceKb = 256; // allowed rise of the bytes in use, second pass to last
};

struct PassFigures {
    int texturesAfterLoad = 0;
    int texturesAfterDrawing = 0;
    GLenum glError = GL_NO_ERROR;
    long rssOpenKb = 0;    // with the context still open, at the end of the pass
    long rssClosedKb = 0;  // after the context and its textures are gone
    long heapClosedKb = 0; // bytes malloc has handed out and not had back, then
};

// Resident set size of this process in kB, from /proc/self/status; -1 when unreadable.
static long residentKb() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "VmRSS:", 6) == 0) kb = std::strtol(line + 6, nullptr, 10);
    std::fclose(f);
    return kb;
}

// Bytes handed out by malloc and not freed, over all arenas, in kB. Unlike
// the RSS it does not move with fragmentation or with pages malloc keeps.
static long heapInUseKb() {
    const struct mallinfo2 info = mallinfo2();
    return long((info.uordblks + info.hblkhd) / 1024);
}

// Texture names alive in the current context. Mesa hands out names from 1
// upwards, so a scan far past the data set's few dozen finds them all.
static int liveTextures() {
    int count = 0;
    for (GLuint name = 1; name <= 65536; name++)
        if (glIsTexture(name)) count++;
    return count;
}

// 64-bit FNV-1a of one frame's pixels.
static uint64_t frameHash(const std::vector<uint8_t>& rgb) {
    uint64_t h = 1469598103934665603ull;
    for (uint8_t byte : rgb) {
        h ^= byte;
        h *= 1099511628211ull;
    }
    return h;
}

// One whole-timeline capture, as quarnel-capture draws a frame sequence from
// 0 to the timeline's end. Fills hashes with one entry per grid frame.
static bool capturePass(const SoakOptions& options, std::vector<uint64_t>& hashes,
                        PassFigures& figures) {
    {
        CaptureContext capture;
        if (!openCapture(capture, options.width, options.height, options.fps)) return false;
        figures.texturesAfterLoad = liveTextures();
        const int64_t count = lastGridFrameUpTo(timelineEnd(), options.fps) + 1;
        hashes.clear();
        std::vector<uint8_t> rgb;
        for (int64_t k = 0; k < count; k++) {
            const float t = gridTime(k, capture.fps);
            if (k == 0)
                drawFrameWithHistory(capture, t);
            else
                drawCaptureFrame(capture, t);
            readFrame(capture, rgb);
            hashes.push_back(frameHash(rgb));
        }
        figures.texturesAfterDrawing = liveTextures();
        figures.glError = glGetError();
        figures.rssOpenKb = residentKb();
    }
    figures.rssClosedKb = residentKb();
    figures.heapClosedKb = heapInUseKb();
    return true;
}

static bool parsePositive(const char* text, long& value) {
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && value > 0;
}

static bool parseOptions(int argc, char** argv, SoakOptions& options) {
    for (int i = 1; i < argc; i++) {
        long value = 0;
        if (i + 1 >= argc || !parsePositive(argv[i + 1], value)) return false;
        const std::string name = argv[i++];
        if (name == "--passes" && value <= 1000)
            options.passes = int(value);
        else if (name == "--fps" && value <= 240)
            options.fps = int(value);
        else if (name == "--heap-tolerance-kb")
            options.heapToleranceKb = value;
        else
            return false;
    }
    return options.passes >= 2;
}

int main(int argc, char** argv) {
    SoakOptions options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: quarnel-soak [--passes N>=2] [--fps N] [--heap-tolerance-kb N]\n"
                     "Runs in a folder that holds data/.\n");
        return 2;
    }
    std::printf("%d passes over 0..%g s at %d fps\n", options.passes, double(timelineEnd()),
                options.fps);
    std::printf("pass  frames  textures(load/end)  RSS open kB  RSS closed kB  heap closed kB  "
                "same frames\n");

    bool ok = true;
    std::vector<uint64_t> first, hashes;
    std::vector<PassFigures> passes(size_t(options.passes));
    for (int p = 0; p < options.passes; p++) {
        PassFigures& figures = passes[size_t(p)];
        if (!capturePass(options, p == 0 ? first : hashes, figures)) return 1;
        size_t differing = 0;
        if (p > 0) {
            for (size_t k = 0; k < first.size() && k < hashes.size(); k++)
                if (hashes[k] != first[k]) {
                    if (differing == 0)
                        std::printf("  pass %d: frame %zu differs from pass 1\n", p + 1, k);
                    differing++;
                }
            if (hashes.size() != first.size()) differing++;
        }
        const char* same = p == 0 ? "-" : differing ? "NO" : "yes";
        std::printf("%4d  %6zu  %8d/%-8d  %12ld  %13ld  %14ld  %s\n", p + 1,
                    (p == 0 ? first : hashes).size(), figures.texturesAfterLoad,
                    figures.texturesAfterDrawing, figures.rssOpenKb, figures.rssClosedKb,
                    figures.heapClosedKb, same);
        std::fflush(stdout);

        if (differing) ok = false;
        if (figures.texturesAfterDrawing != figures.texturesAfterLoad ||
            figures.texturesAfterLoad != passes[0].texturesAfterLoad) {
            std::printf("  pass %d: the texture count moved\n", p + 1);
            ok = false;
        }
        if (figures.glError != GL_NO_ERROR) {
            std::printf("  pass %d: OpenGL error 0x%x\n", p + 1, figures.glError);
            ok = false;
        }
    }

    // The first pass loads the drivers and fills the caches that live as long
    // as the process; from the second on, a process that keeps nothing holds
    // the same bytes after each pass. The RSS is shown, not judged: freed
    // pages that malloc keeps for later make it wander.
    const PassFigures& second = passes[1];
    const PassFigures& last = passes.back();
    const long rise = last.heapClosedKb - second.heapClosedKb;
    std::printf("after closing, pass 2 -> pass %d: heap in use %ld -> %ld kB (rise %ld, allowed "
                "%ld); RSS %ld -> %ld kB\n",
                options.passes, second.heapClosedKb, last.heapClosedKb, rise,
                options.heapToleranceKb, second.rssClosedKb, last.rssClosedKb);
    if (rise > options.heapToleranceKb) ok = false;
    if (second.heapClosedKb <= 0) {
        // A sanitizer's allocator answers mallinfo2 with zeros.
        std::printf("no heap figures from this allocator: run a build without sanitizers\n");
        ok = false;
    }
    std::printf("%s\n", ok ? "soak: steady" : "soak: FAILED");
    return ok ? 0 : 1;
}
