// Drawing the demo's frames offscreen: an EGL context set up as the demo's
// window is, the data set loaded as at start-up, and frames read back as RGB.
#pragma once

#include <cstdint>
#include <vector>

#include "app/grid.h"
#include "platform/headless_gl.h"

struct CaptureContext {
    HeadlessGl gl;
    int width = 0;
    int height = 0;
    int fps = captureGridFps;                // the grid the frames fall on
    float musicStart = -1.0f;                // demo time the music starts; negative: never
    bool hasSoundtrack = false;              // false: a silent run, spectrum zero throughout
    std::vector<float> soundtrack;           // mono, 44 100 Hz
    mutable std::vector<uint8_t> readBuffer; // scratch for readFrame
};

// Makes the context, loads every texture and model from data/ in the working
// folder and decodes the soundtrack. Error boxes go to standard error only.
// False (with a message) when no OpenGL context can be made; a missing JPEG
// ends the process as it does in the demo.
bool openCapture(CaptureContext& capture, int width, int height, int fps);
// The spectrum a live run fetches for a frame at demo time t.
void spectrumAt(const CaptureContext& capture, float t, float* spectrum);
// One frame at demo time t: spectrum, clocks and scene, drawn into the buffer.
void drawCaptureFrame(const CaptureContext& capture, float t);
// Draws the grid frames whose state the picture at t depends on (at one
// pixel: drawStateFramesBefore), then the frame at t.
void drawFrameWithHistory(const CaptureContext& capture, float t);
// The drawn frame as tightly packed RGB rows, top row first.
void readFrame(const CaptureContext& capture, std::vector<uint8_t>& rgb);
