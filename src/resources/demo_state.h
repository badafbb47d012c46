// DemoState: the one process-wide record through which the shell, the loaders
// and the scenes share everything. Scenes only read it, except where a slot
// names the one scene that writes it.
#pragma once

#include <cstdint>

#include "platform/frame_timer.h"
#include "mesh/tegn3d.h"
#include "resources/data_files.h"

struct SDL_Window;
struct GLUquadric;

struct ClientRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Members that need construction come first, in the order C++ must build
// them: the timer starts before anything else, then the five containers.
struct DemoState {
    FrameTimer frameTimer;    // running from process start; read by the frame
    tegn3d tunnelModel;       // Model::tunnel; drawn by the battle opening
    tegn3d ballModelPlain;    // Model::ball; rest shape of the wobble, never drawn
    tegn3d ballModelTextured; // Model::ball; mesh 0 rewritten by the wobble scene only
    tegn3d bicubeModel;       // Model::bicube; drawn by no scene
    tegn3d cubeModel;         // Model::room; the box of the wobble scene

    bool fullScreen = true;              // nobody changes it while the program runs
    SDL_Window* window = nullptr;        // stored by loadResources
    ClientRect clientRect;               // written and read by loadResources
    void* renderContext = nullptr;       // SDL GL context; made by initRendering
    GLUquadric* sphereQuadric = nullptr; // made with the window; the monster scene's ball

    float demoTime = 0.0f; // seconds, written once per frame by the timeline
    float fade1 = 0.0f, fade4 = 0.0f, fade8 = 0.0f; // demoTime - 1, 4, 8; unlimited
    float fade14 = 0.0f, fade23 = 0.0f, fade34 = 0.0f, fade55 = 0.0f; // limited to <= 4

    uint32_t musicStream = 0; // 0 when the soundtrack could not be opened
    float spectrum[512] = {}; // 256 magnitudes written by fetchSpectrum each frame

    uint32_t jpegTextures[jpegFileCount] = {}; // filled by loadResources, in jpegFiles order
    PngTextures pngTextures;                   // filled by loadResources
};

extern DemoState demo;
