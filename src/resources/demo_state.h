// DemoState: the one process-wide record through which the shell, the loaders
// and the scenes share everything. Scenes only read it, except where a slot
// names the one scene that writes it.
#pragma once

#include <cstdint>

#include "platform/frame_timer.h"
#include "mesh/tegn3d.h"
#include "resources/data_files.h"

struct GLUquadric;

// Members that need construction come first, in the order C++ must build
// them: the timer starts before anything else, then the five containers.
struct DemoState {
    FrameTimer frameTimer;    // from process start; the main loop moves it for --from and --loop
    tegn3d tunnelModel;       // Model::tunnel; drawn by the battle opening
    tegn3d ballModelPlain;    // Model::ball; rest shape of the wobble, never drawn
    tegn3d ballModelTextured; // Model::ball; mesh 0 rewritten by the wobble scene only
    tegn3d bicubeModel;       // Model::bicube; drawn by no scene
    tegn3d cubeModel;         // Model::room; the box of the wobble scene

    // The window and its context belong to platform/window.cpp, which made them.
    GLUquadric* sphereQuadric = nullptr; // made by initContextState; the monster scene's ball

    float demoTime = 0.0f; // seconds, written by setClocks before every frame drawn
    float fade1 = 0.0f, fade4 = 0.0f, fade8 = 0.0f; // demoTime - 1, 4, 8; unlimited
    float fade14 = 0.0f, fade23 = 0.0f, fade34 = 0.0f, fade55 = 0.0f; // limited to <= 4

    uint32_t musicStream = 0; // the main loop's; 0 without a soundtrack or once it cannot keep step
    float spectrum[512] = {}; // 256 magnitudes for the frame: the live loop's fetchSpectrum or
                              // the capture tool's offline spectrum

    // Filled by loadTexturesAndModels, the JPEGs in jpegFiles order.
    uint32_t jpegTextures[jpegFileCount] = {};
    PngTextures pngTextures;
};

extern DemoState demo;
