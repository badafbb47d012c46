// DemoState: the one process-wide record through which the shell, the loaders
// and the scenes share everything. Scenes only read it, except where a slot
// names the one scene that writes it.
#pragma once

#include <cstdint>

#include "app/frame_timer.h"
#include "mesh/tegn3d.h"

struct SDL_Window;
struct GLUquadric;

// One texture name per PNG file, named after the file; 0 when it failed.
struct PngTextures {
    uint32_t clawomon = 0;    // data/pic/pokemon/clawomon.png
    uint32_t lyn = 0;         // data/pic/lyn.png
    uint32_t pow = 0;         // data/pic/pow.png
    uint32_t kukukkmon = 0;   // data/pic/pokemon/kukukkmon.png
    uint32_t loading = 0;     // data/pic/loading.png
    uint32_t clawtekst = 0;   // data/pic/pokemon/clawtekst.png
    uint32_t burkamon = 0;    // data/pic/pokemon/burkamon.png
    uint32_t burktest = 0;    // data/pic/pokemon/burktest.png
    uint32_t corvumon = 0;    // data/pic/pokemon/corvumon.png
    uint32_t corvtekst = 0;   // data/pic/pokemon/corvtekst.png
    uint32_t crocomon = 0;    // data/pic/pokemon/crocomon.png
    uint32_t croctekst = 0;   // data/pic/pokemon/croctekst.png
    uint32_t jobbermole = 0;  // data/pic/pokemon/jobbermole.png
    uint32_t jobtekst = 0;    // data/pic/pokemon/jobtekst.png
    uint32_t kuktekst = 0;    // data/pic/pokemon/kuktekst.png
    uint32_t mexico = 0;      // data/pic/pokemon/mexico.png
    uint32_t mextekst = 0;    // data/pic/pokemon/mextekst.png
    uint32_t phantomon = 0;   // data/pic/pokemon/phantomon.png
    uint32_t phantekst = 0;   // data/pic/pokemon/phantekst.png
    uint32_t picamon = 0;     // data/pic/pokemon/picamon.png
    uint32_t pictekst = 0;    // data/pic/pokemon/pictekst.png
    uint32_t quadromon = 0;   // data/pic/pokemon/quadromon.png
    uint32_t quadtekst = 0;   // data/pic/pokemon/quadtekst.png
    uint32_t teddymon = 0;    // data/pic/pokemon/teddymon.png
    uint32_t teddytekst = 0;  // data/pic/pokemon/teddytekst.png
    uint32_t vs = 0;          // data/pic/pokemon/vs.png
    uint32_t clawskills = 0;  // data/pic/pokemon/clawskills.png
    uint32_t corvskills = 0;  // data/pic/pokemon/corvskills.png
    uint32_t pokeball = 0;    // data/pic/pokemon/pokeball.png
    uint32_t overlayRuter = 0; // data/pic/overlay_ruter.png
    uint32_t vegg = 0;        // data/pic/vegg.png
    uint32_t starring = 0;    // data/pic/starring.png
    uint32_t kuletex = 0;     // data/pic/kuletex.png
    uint32_t vormakalization = 0; // data/pic/vormakalization.png
    uint32_t bakgrunn = 0;    // data/pic/bakgrunn.png
    uint32_t saks = 0;        // data/pic/saks.png
    uint32_t dodge = 0;       // data/pic/dodge.png
    uint32_t movik = 0;       // data/pic/movik.png
    uint32_t winner = 0;      // data/pic/winner.png
    uint32_t karnholt = 0;    // data/pic/karnholt.png
    uint32_t ybo = 0;         // data/pic/ybo.png
    uint32_t sentiq = 0;      // data/pic/sentiq.png
    uint32_t prall = 0;       // data/pic/prall.png
    uint32_t ulva = 0;        // data/pic/ulva.png
    uint32_t blint = 0;       // data/pic/blint.png
    uint32_t ferda = 0;       // data/pic/ferda.png
};

// The PNG files in loading order, each with its slot.
struct PngFile {
    const char* path;
    uint32_t PngTextures::*slot;
};
constexpr int pngFileCount = 46;
extern const PngFile pngFiles[pngFileCount];

// The JPEG files in loading order; entry i fills jpegTextures[i].
constexpr int jpegFileCount = 7;
extern const char* const jpegFiles[jpegFileCount];

struct ClientRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Members that need construction come first, in the order C++ must build
// them: the timer starts before anything else, then the five containers.
struct DemoState {
    FrameTimer frameTimer;         // running from process start; read by the frame
    tegn3d tunnelModel;            // data/objects/tunnel.ebr; drawn by the battle opening
    tegn3d ballModelPlain;         // data/objects/kule.ebr; rest shape of the wobble, never drawn
    tegn3d ballModelTextured;      // data/objects/kule.ebr; mesh 0 rewritten by the wobble scene only
    tegn3d bicubeModel;            // data/objects/bicube.ebr; drawn by no scene
    tegn3d cubeModel;              // data/objects/kube2.ebr; the box of the wobble scene

    bool fullScreen = true;        // nobody changes it while the program runs
    SDL_Window* window = nullptr;  // stored by loadResources
    ClientRect clientRect;         // written and read by loadResources
    void* renderContext = nullptr; // SDL GL context; made by initRendering
    GLUquadric* sphereQuadric = nullptr; // made with the window; the monster scene's ball

    float demoTime = 0.0f;         // seconds, written once per frame by the timeline
    float fade1 = 0.0f, fade4 = 0.0f, fade8 = 0.0f; // demoTime - 1, 4, 8; unlimited
    float fade14 = 0.0f, fade23 = 0.0f, fade34 = 0.0f, fade55 = 0.0f; // limited to <= 4

    uint32_t musicStream = 0;      // 0 when the soundtrack could not be opened
    float spectrum[512] = {};      // 256 magnitudes written by fetchSpectrum each frame

    uint32_t jpegTextures[jpegFileCount] = {}; // filled by loadResources, in jpegFiles order
    PngTextures pngTextures;       // filled by loadResources
};

extern DemoState demo;
