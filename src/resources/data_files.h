// The data set: every file the demo reads at start-up, in the order it reads
// them, each with the slot it fills. The start-up loader, the data-set
// generator and the tests all read these tables; nothing else lists the files.
// Paths are relative to the working folder; below data/ they are the same
// for the generator, which writes into a folder of its choosing.
#pragma once

#include <cstdint>

// One texture name per PNG file, named after the file; 0 when it failed.
struct PngTextures {
    uint32_t clawomon = 0;        // data/pic/pokemon/clawomon.png
    uint32_t lyn = 0;             // data/pic/lyn.png
    uint32_t pow = 0;             // data/pic/pow.png
    uint32_t kukukkmon = 0;       // data/pic/pokemon/kukukkmon.png
    uint32_t loading = 0;         // data/pic/loading.png
    uint32_t clawtekst = 0;       // data/pic/pokemon/clawtekst.png
    uint32_t burkamon = 0;        // data/pic/pokemon/burkamon.png
    uint32_t burktest = 0;        // data/pic/pokemon/burktest.png
    uint32_t corvumon = 0;        // data/pic/pokemon/corvumon.png
    uint32_t corvtekst = 0;       // data/pic/pokemon/corvtekst.png
    uint32_t crocomon = 0;        // data/pic/pokemon/crocomon.png
    uint32_t croctekst = 0;       // data/pic/pokemon/croctekst.png
    uint32_t jobbermole = 0;      // data/pic/pokemon/jobbermole.png
    uint32_t jobtekst = 0;        // data/pic/pokemon/jobtekst.png
    uint32_t kuktekst = 0;        // data/pic/pokemon/kuktekst.png
    uint32_t mexico = 0;          // data/pic/pokemon/mexico.png
    uint32_t mextekst = 0;        // data/pic/pokemon/mextekst.png
    uint32_t phantomon = 0;       // data/pic/pokemon/phantomon.png
    uint32_t phantekst = 0;       // data/pic/pokemon/phantekst.png
    uint32_t picamon = 0;         // data/pic/pokemon/picamon.png
    uint32_t pictekst = 0;        // data/pic/pokemon/pictekst.png
    uint32_t quadromon = 0;       // data/pic/pokemon/quadromon.png
    uint32_t quadtekst = 0;       // data/pic/pokemon/quadtekst.png
    uint32_t teddymon = 0;        // data/pic/pokemon/teddymon.png
    uint32_t teddytekst = 0;      // data/pic/pokemon/teddytekst.png
    uint32_t vs = 0;              // data/pic/pokemon/vs.png
    uint32_t clawskills = 0;      // data/pic/pokemon/clawskills.png
    uint32_t corvskills = 0;      // data/pic/pokemon/corvskills.png
    uint32_t pokeball = 0;        // data/pic/pokemon/pokeball.png
    uint32_t overlayRuter = 0;    // data/pic/overlay_ruter.png
    uint32_t vegg = 0;            // data/pic/vegg.png
    uint32_t starring = 0;        // data/pic/starring.png
    uint32_t kuletex = 0;         // data/pic/kuletex.png
    uint32_t vormakalization = 0; // data/pic/vormakalization.png
    uint32_t bakgrunn = 0;        // data/pic/bakgrunn.png
    uint32_t saks = 0;            // data/pic/saks.png
    uint32_t dodge = 0;           // data/pic/dodge.png
    uint32_t movik = 0;           // data/pic/movik.png
    uint32_t winner = 0;          // data/pic/winner.png
    uint32_t karnholt = 0;        // data/pic/karnholt.png
    uint32_t ybo = 0;             // data/pic/ybo.png
    uint32_t sentiq = 0;          // data/pic/sentiq.png
    uint32_t prall = 0;           // data/pic/prall.png
    uint32_t ulva = 0;            // data/pic/ulva.png
    uint32_t blint = 0;           // data/pic/blint.png
    uint32_t ferda = 0;           // data/pic/ferda.png
};

// The JPEG files in loading order; entry i fills jpegTextures[i].
constexpr int jpegFileCount = 7;
inline constexpr const char* jpegFiles[jpegFileCount] = {
    "data/pic/iso512utenzem.jpg", // 0: the background under the gliding overlay
    "data/pic/zem256.jpg",        // 1: the gliding overlay
    "data/pic/blue.jpg",          // 2: the tunnel's, the bevelled cube's and the ball's tiles
    "data/pic/kuletex.jpg",       // 3: loaded, shown by no scene
    "data/pic/1.jpg",             // 4: slide "Vormak presents"
    "data/pic/2.jpg",             // 5: slide with the title
    "data/pic/disco.jpg",         // 6: slide with the disco floor
};

// The PNG files in loading order, each with its slot.
struct PngFile {
    const char* path;
    uint32_t PngTextures::*slot;
};
constexpr int pngFileCount = 46;
inline constexpr PngFile pngFiles[pngFileCount] = {
    {"data/pic/pokemon/clawomon.png", &PngTextures::clawomon},
    {"data/pic/lyn.png", &PngTextures::lyn},
    {"data/pic/pow.png", &PngTextures::pow},
    {"data/pic/pokemon/kukukkmon.png", &PngTextures::kukukkmon},
    {"data/pic/loading.png", &PngTextures::loading},
    {"data/pic/pokemon/clawtekst.png", &PngTextures::clawtekst},
    {"data/pic/pokemon/burkamon.png", &PngTextures::burkamon},
    {"data/pic/pokemon/burktest.png", &PngTextures::burktest},
    {"data/pic/pokemon/corvumon.png", &PngTextures::corvumon},
    {"data/pic/pokemon/corvtekst.png", &PngTextures::corvtekst},
    {"data/pic/pokemon/crocomon.png", &PngTextures::crocomon},
    {"data/pic/pokemon/croctekst.png", &PngTextures::croctekst},
    {"data/pic/pokemon/jobbermole.png", &PngTextures::jobbermole},
    {"data/pic/pokemon/jobtekst.png", &PngTextures::jobtekst},
    {"data/pic/pokemon/kuktekst.png", &PngTextures::kuktekst},
    {"data/pic/pokemon/mexico.png", &PngTextures::mexico},
    {"data/pic/pokemon/mextekst.png", &PngTextures::mextekst},
    {"data/pic/pokemon/phantomon.png", &PngTextures::phantomon},
    {"data/pic/pokemon/phantekst.png", &PngTextures::phantekst},
    {"data/pic/pokemon/picamon.png", &PngTextures::picamon},
    {"data/pic/pokemon/pictekst.png", &PngTextures::pictekst},
    {"data/pic/pokemon/quadromon.png", &PngTextures::quadromon},
    {"data/pic/pokemon/quadtekst.png", &PngTextures::quadtekst},
    {"data/pic/pokemon/teddymon.png", &PngTextures::teddymon},
    {"data/pic/pokemon/teddytekst.png", &PngTextures::teddytekst},
    {"data/pic/pokemon/vs.png", &PngTextures::vs},
    {"data/pic/pokemon/clawskills.png", &PngTextures::clawskills},
    {"data/pic/pokemon/corvskills.png", &PngTextures::corvskills},
    {"data/pic/pokemon/pokeball.png", &PngTextures::pokeball},
    {"data/pic/overlay_ruter.png", &PngTextures::overlayRuter},
    {"data/pic/vegg.png", &PngTextures::vegg},
    {"data/pic/starring.png", &PngTextures::starring},
    {"data/pic/kuletex.png", &PngTextures::kuletex},
    {"data/pic/vormakalization.png", &PngTextures::vormakalization},
    {"data/pic/bakgrunn.png", &PngTextures::bakgrunn},
    {"data/pic/saks.png", &PngTextures::saks},
    {"data/pic/dodge.png", &PngTextures::dodge},
    {"data/pic/movik.png", &PngTextures::movik},
    {"data/pic/winner.png", &PngTextures::winner},
    {"data/pic/karnholt.png", &PngTextures::karnholt},
    {"data/pic/ybo.png", &PngTextures::ybo},
    {"data/pic/sentiq.png", &PngTextures::sentiq},
    {"data/pic/prall.png", &PngTextures::prall},
    {"data/pic/ulva.png", &PngTextures::ulva},
    {"data/pic/blint.png", &PngTextures::blint},
    {"data/pic/ferda.png", &PngTextures::ferda},
};

// Every slot of PngTextures is filled by exactly one PNG file.
constexpr bool eachPngSlotOnce() {
    for (int i = 0; i < pngFileCount; i++)
        for (int j = i + 1; j < pngFileCount; j++)
            if (pngFiles[i].slot == pngFiles[j].slot) return false;
    return sizeof(PngTextures) == pngFileCount * sizeof(uint32_t);
}
static_assert(eachPngSlotOnce(), "a PNG slot without its file, or with two");

// The model containers the object files fill; kule.ebr fills both balls.
enum class Model { tunnel, bicube, room, ball };
struct ObjectFile {
    const char* path;
    Model model;
};
constexpr int objectFileCount = 4;
inline constexpr ObjectFile objectFiles[objectFileCount] = {
    {"data/objects/tunnel.ebr", Model::tunnel},
    {"data/objects/bicube.ebr", Model::bicube},
    {"data/objects/kube2.ebr", Model::room},
    {"data/objects/kule.ebr", Model::ball},
};
constexpr const char* objectPath(Model model) {
    for (const ObjectFile& file : objectFiles)
        if (file.model == model) return file.path;
    return nullptr;
}

// The soundtrack, opened by the main loop after the pictures and models.
inline constexpr const char* soundtrackFile = "data/sound/pokemon.mp3";

// A data-set path below data/ ("pic/1.jpg"), as the generator writes it.
constexpr const char* belowDataFolder(const char* path) {
    return path + 5;
}
