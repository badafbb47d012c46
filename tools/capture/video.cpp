// ffmpeg as a child process fed through a pipe.
#include "video.h"

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

static std::string decimal(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

std::vector<std::string> ffmpegArguments(const VideoRequest& request) {
    const double duration = double(request.frameCount) / request.fps;
    std::vector<std::string> args = {
        "ffmpeg", "-hide_banner", "-nostats", "-loglevel", "error", "-y",
        // Frames come in as raw RGB on standard input.
        "-f", "rawvideo", "-pix_fmt", "rgb24", "-video_size",
        std::to_string(request.width) + "x" + std::to_string(request.height), "-framerate",
        std::to_string(request.fps), "-i", "pipe:0"};
    const bool audio = !request.soundtrackPath.empty() && request.musicStart >= 0.0f;
    // Sound heard at demo time t is the track at t - musicStart; video time 0
    // is the first frame's demo time.
    const double offset = double(request.musicStart) - double(request.firstFrameTime);
    if (audio) {
        if (offset < 0.0) args.insert(args.end(), {"-ss", decimal(-offset)});
        args.insert(args.end(), {"-i", request.soundtrackPath});
    }
    args.insert(args.end(), {"-map", "0:v"});
    if (audio) {
        args.insert(args.end(), {"-map", "1:a", "-c:a", "aac", "-b:a", "192k"});
        if (offset > 0.0) {
            const long delay = std::lround(offset * 44100.0);
            args.insert(args.end(), {"-af", "aresample=44100,adelay=delays=" +
                                                std::to_string(delay) + "S:all=1"});
        }
    }
    args.insert(args.end(),
                {"-c:v", "libx264", "-preset", "veryfast", "-crf", "18", "-pix_fmt", "yuv420p",
                 "-r", std::to_string(request.fps),
                 // Same arguments, same bytes: no encoder or time tags.
                 "-fflags", "+bitexact", "-flags:v", "+bitexact", "-flags:a", "+bitexact",
                 "-map_metadata", "-1", "-t", decimal(duration), "-f", "mp4", request.path});
    return args;
}

bool startVideo(VideoEncoder& encoder, const VideoRequest& request) {
    // A write to an ffmpeg that has died must come back as an error, not a signal.
    std::signal(SIGPIPE, SIG_IGN);
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        std::perror("pipe");
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);

    const std::vector<std::string> args = ffmpegArguments(request);
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int result = posix_spawnp(&pid, "ffmpeg", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[0]);
    if (result != 0) {
        close(pipeEnds[1]);
        std::fprintf(stderr, "Cannot start ffmpeg (is it installed?)\n");
        return false;
    }
    encoder.pid = pid;
    encoder.input = pipeEnds[1];
    encoder.frameBytes = int64_t(request.width) * request.height * 3;
    return true;
}

bool writeVideoFrame(VideoEncoder& encoder, const std::vector<uint8_t>& rgb) {
    if (encoder.input < 0 || int64_t(rgb.size()) != encoder.frameBytes) return false;
    const uint8_t* bytes = rgb.data();
    size_t left = rgb.size();
    while (left > 0) {
        const ssize_t written = write(encoder.input, bytes, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        left -= size_t(written);
    }
    return true;
}

bool finishVideo(VideoEncoder& encoder) {
    if (encoder.input >= 0) close(encoder.input);
    encoder.input = -1;
    if (encoder.pid < 0) return false;
    int status = 0;
    while (waitpid(encoder.pid, &status, 0) < 0 && errno == EINTR) {
    }
    encoder.pid = -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

VideoEncoder::~VideoEncoder() {
    if (pid >= 0) finishVideo(*this);
}
