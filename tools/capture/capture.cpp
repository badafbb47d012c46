// Stills, frame sequences and videos: which frames to draw and where they go.
#include "capture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>

#include "app/grid.h"
#include "resources/data_files.h"
#include "png_writer.h"
#include "progress.h"
#include "render.h"
#include "video.h"

std::string stillName(double t) {
    char name[32];
    std::snprintf(name, sizeof name, "at-%06lld.png", (long long)std::llround(t * 1000.0));
    return name;
}

int printTimeline() {
    for (const SceneWindow& window : timeline)
        if (std::isfinite(window.to))
            std::printf("scene %g %g %s\n", double(window.from), double(window.to), window.name);
    std::printf("music %g\nend %g\n", double(timelineMusicStart()), double(timelineEnd()));
    for (float edge : timelineEdges())
        std::printf("edge %g\n", double(edge));
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}

std::string frameName(int64_t i) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06lld.png", (long long)i);
    return name;
}

static bool makeFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder)) {
        std::fprintf(stderr, "Cannot make the folder %s\n", folder.c_str());
        return false;
    }
    return true;
}

int captureStills(const CaptureOptions& options) {
    CaptureContext capture;
    if (!openCapture(capture, options.width, options.height, captureGridFps)) return 1;
    if (!makeFolder(options.outDir)) return 1;
    std::vector<uint8_t> rgb;
    for (double t : options.stillTimes) {
        // Each still is drawn after its own history, so it does not depend on
        // the other stills of the same run.
        drawFrameWithHistory(capture, float(t));
        readFrame(capture, rgb);
        const std::string path = options.outDir + "/" + stillName(t);
        if (!writePng(path, capture.width, capture.height, rgb)) return 1;
        std::printf("%s\n", path.c_str());
    }
    return 0;
}

// The grid frames of the request: first and count; count 0 when none falls in it.
static int64_t gridFrames(const CaptureOptions& options, int64_t& first) {
    first = firstGridFrameFrom(options.from, options.fps);
    const int64_t last = lastGridFrameUpTo(options.to, options.fps);
    return last >= first ? last - first + 1 : 0;
}

static void reportEmptyRange(const CaptureOptions& options) {
    std::fprintf(stderr, "quarnel-capture: no frame of the %d fps grid lies between %g and %g s\n",
                 options.fps, options.from, options.to);
}

int captureFrames(const CaptureOptions& options) {
    int64_t first = 0;
    const int64_t count = gridFrames(options, first);
    if (count == 0) {
        reportEmptyRange(options);
        return 2;
    }
    CaptureContext capture;
    if (!openCapture(capture, options.width, options.height, options.fps)) return 1;
    if (!makeFolder(options.outDir)) return 1;

    // Encoding takes the cores that drawing leaves; one is kept for drawing.
    const int writers = int(std::clamp(std::thread::hardware_concurrency(), 2u, 5u)) - 1;
    PngWriterThread writer(capture.width, capture.height, writers);
    Progress progress;
    startProgress(progress, count);
    std::vector<uint8_t> previous;
    for (int64_t i = 0; i < count; i++) {
        const float t = gridTime(first + i, capture.fps);
        if (i == 0)
            drawFrameWithHistory(capture, t);
        else
            drawCaptureFrame(capture, t);
        std::vector<uint8_t> rgb = writer.spareBuffer();
        readFrame(capture, rgb);
        // Still stretches of the demo (held pictures, the credits) repeat a
        // frame for seconds; its file is compressed once.
        const std::string path = options.outDir + "/" + frameName(i);
        const bool same = i > 0 && rgb == previous;
        if (!same) previous = rgb;
        if (!(same ? writer.repeat(path) : writer.write(path, std::move(rgb)))) return 1;
        showProgress(progress, i + 1);
    }
    if (!writer.finish()) return 1;
    finishProgress(progress, count);
    return 0;
}

int captureVideo(const CaptureOptions& options) {
    int64_t first = 0;
    const int64_t count = gridFrames(options, first);
    if (count == 0) {
        reportEmptyRange(options);
        return 2;
    }
    CaptureContext capture;
    if (!openCapture(capture, options.width, options.height, options.fps)) return 1;

    VideoRequest request;
    request.path = options.videoPath;
    request.width = capture.width;
    request.height = capture.height;
    request.fps = capture.fps;
    request.frameCount = count;
    request.firstFrameTime = gridTime(first, capture.fps);
    request.musicStart = capture.musicStart;
    if (capture.hasSoundtrack) request.soundtrackPath = soundtrackFile;

    VideoEncoder encoder;
    if (!startVideo(encoder, request)) return 1;
    Progress progress;
    startProgress(progress, count);
    std::vector<uint8_t> rgb;
    bool ok = true;
    for (int64_t i = 0; i < count && ok; i++) {
        const float t = gridTime(first + i, capture.fps);
        if (i == 0)
            drawFrameWithHistory(capture, t);
        else
            drawCaptureFrame(capture, t);
        readFrame(capture, rgb);
        ok = writeVideoFrame(encoder, rgb);
        showProgress(progress, i + 1);
    }
    ok = finishVideo(encoder) && ok;
    if (!ok) {
        // A half-written file must not pass for the video.
        std::error_code error;
        std::filesystem::remove(options.videoPath, error);
        std::fprintf(stderr, "quarnel-capture: ffmpeg did not write %s\n",
                     options.videoPath.c_str());
        return 1;
    }
    finishProgress(progress, count);
    std::printf("%s\n", options.videoPath.c_str());
    return 0;
}
