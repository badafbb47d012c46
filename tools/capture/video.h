// Encoding frames to an MP4 with ffmpeg: raw RGB frames into its standard
// input, H.264 in yuv420p, and the soundtrack as AAC placed so that it starts
// at the demo time the music starts.
#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

#include "app/grid.h"

struct VideoRequest {
    std::string path;
    int width = 640;
    int height = 480;
    int fps = captureGridFps;
    int64_t frameCount = 0;
    float firstFrameTime = 0.0f; // demo time of the first frame
    std::string soundtrackPath;  // empty: no audio stream
    float musicStart = -1.0f;    // demo time the music starts; negative: silent
};

// The ffmpeg command line for a request (without the program name's path lookup).
std::vector<std::string> ffmpegArguments(const VideoRequest& request);

struct VideoEncoder {
    pid_t pid = -1;
    int input = -1; // ffmpeg's standard input
    int64_t frameBytes = 0;
    VideoEncoder() = default;
    ~VideoEncoder(); // ends an encoder left running: closes its input and waits
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;
};

// Starts ffmpeg. False with a message when it cannot be started.
bool startVideo(VideoEncoder& encoder, const VideoRequest& request);
// Hands one frame (RGB, top row first) to ffmpeg. False when ffmpeg has gone.
bool writeVideoFrame(VideoEncoder& encoder, const std::vector<uint8_t>& rgb);
// Closes the input and waits for ffmpeg; true when it wrote the file.
bool finishVideo(VideoEncoder& encoder);
