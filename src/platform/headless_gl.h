// An offscreen OpenGL context with no display server: EGL on Mesa, a pbuffer
// of the given size with RGBA and a depth buffer. For tests and the capture tool.
#pragma once

struct HeadlessGl {
    void* display = nullptr;
    void* context = nullptr;
    void* surface = nullptr;
    int width = 0;
    int height = 0;

    HeadlessGl() = default;
    ~HeadlessGl();
    HeadlessGl(const HeadlessGl&) = delete;
    HeadlessGl& operator=(const HeadlessGl&) = delete;
};

// Creates the context and makes it current. False (with a message on standard
// error) when EGL has none to give.
bool createHeadlessGl(HeadlessGl& gl, int width, int height);
