// Every picture the demo loads, in the data set's own order and paths: its
// size, its file format and the recipe that paints it.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "datagen.h"
#include "picture_files.h"
#include "picture_recipes.h"
#include "resources/data_files.h"
#include "text.h"

namespace {

// How one picture is made: its size in pixels a side and what paints it.
struct JpegRecipe {
    int size;
    std::function<void(Canvas&)> paint;
};
struct PngRecipe {
    uint32_t PngTextures::*slot; // the file, known by the slot it fills
    int size;
    PictureFormat format;
    std::function<void(Canvas&)> paint;
};

constexpr auto alpha = PictureFormat::PngAlpha;
constexpr auto opaque = PictureFormat::PngOpaque;

std::function<void(Canvas&)> ribbon(const char* name, Color colour) {
    return [=](Canvas& cv) { paintNameRibbon(cv, name, colour); };
}
std::function<void(Canvas&)> credit(const char* name, const char* role, Color colour) {
    return [=](Canvas& cv) { paintCredit(cv, name, role, colour); };
}
std::function<void(Canvas&)> greeting(const char* group, Color colour) {
    return [=](Canvas& cv) { paintGreeting(cv, group, colour); };
}

// The JPEGs in the order of jpegFiles: recipe i makes file i. JPEG pictures
// get mip-maps, so they may be larger.
std::vector<JpegRecipe> jpegRecipes() {
    return {
        {512, paintIsoScene},    // iso512utenzem.jpg
        {256, paintGem},         // zem256.jpg
        {512, paintBlueTiles},   // blue.jpg
        {256, paintBallTexture}, // kuletex.jpg
        {512, paintPresents},    // 1.jpg
        {512, paintTitle},       // 2.jpg
        {512, paintDisco},       // disco.jpg
    };
}

// PNG pictures are loaded without mip-maps and mostly shown at about 200 px,
// so they are made at 256 px: larger ones would shimmer when minified.
std::vector<PngRecipe> pngRecipes() {
    return {
        {&PngTextures::clawomon, 256, alpha, paintClawomon},
        {&PngTextures::lyn, 256, alpha, paintLightning},
        {&PngTextures::pow, 256, alpha, paintPow},
        {&PngTextures::kukukkmon, 256, alpha, paintKukukkmon},
        {&PngTextures::loading, 256, alpha, paintLoading},
        {&PngTextures::clawtekst, 256, alpha, ribbon("CLAWOMON", pal::orange)},
        {&PngTextures::burkamon, 256, alpha, paintBurkamon},
        {&PngTextures::burktest, 256, alpha, ribbon("BURKAMON", pal::magenta)},
        {&PngTextures::corvumon, 256, alpha, paintCorvumon},
        {&PngTextures::corvtekst, 256, alpha, ribbon("CORVUMON", pal::cyan)},
        {&PngTextures::crocomon, 256, alpha, paintCrocomon},
        {&PngTextures::croctekst, 256, alpha, ribbon("CROCOMON", pal::leaf)},
        {&PngTextures::jobbermole, 256, alpha, paintJobbermole},
        {&PngTextures::jobtekst, 256, alpha, ribbon("JOBBERMOLE", pal::orange)},
        {&PngTextures::kuktekst, 256, alpha, ribbon("KUKUKKMON", pal::sun)},
        {&PngTextures::mexico, 256, alpha, paintMexico},
        {&PngTextures::mextekst, 256, alpha, ribbon("MEXICO", pal::leaf)},
        {&PngTextures::phantomon, 256, alpha, paintPhantomon},
        {&PngTextures::phantekst, 256, alpha, ribbon("PHANTOMON", pal::magenta)},
        {&PngTextures::picamon, 256, alpha, paintPicamon},
        {&PngTextures::pictekst, 256, alpha, ribbon("PICAMON", pal::sun)},
        {&PngTextures::quadromon, 256, alpha, paintQuadromon},
        {&PngTextures::quadtekst, 256, alpha, ribbon("QUADROMON", pal::cyan)},
        {&PngTextures::teddymon, 256, alpha, paintTeddymon},
        {&PngTextures::teddytekst, 256, alpha, ribbon("TEDDYMON", pal::orange)},
        {&PngTextures::vs, 256, alpha, paintVs},
        {&PngTextures::clawskills, 256, alpha, paintClawSkills},
        {&PngTextures::corvskills, 256, alpha, paintCorvSkills},
        {&PngTextures::pokeball, 256, alpha, paintMonsterBall},
        {&PngTextures::overlayRuter, 256, alpha, paintDiamondOverlay},
        {&PngTextures::vegg, 256, opaque, paintWall},
        {&PngTextures::starring, 256, opaque, paintStarring},
        {&PngTextures::kuletex, 256, opaque, paintBallTexture},
        {&PngTextures::vormakalization, 256, alpha, paintVormakLogo},
        {&PngTextures::bakgrunn, 512, opaque, paintBackground},
        {&PngTextures::saks, 256, alpha, paintScissors},
        {&PngTextures::dodge, 256, alpha, paintDodge},
        {&PngTextures::movik, 256, alpha, credit("MOVIK", "DESIGN", pal::sun)},
        {&PngTextures::winner, 256, alpha, paintWinner},
        {&PngTextures::karnholt, 256, alpha, greeting("KARNHOLT", pal::orange)},
        {&PngTextures::ybo, 256, alpha, greeting("YBO", pal::leaf)},
        {&PngTextures::sentiq, 256, alpha, greeting("SENTIQ", pal::magenta)},
        {&PngTextures::prall, 256, alpha, credit("PRALL", "CODE", pal::cyan)},
        {&PngTextures::ulva, 256, alpha, credit("ULVA", "MUSIC", pal::magenta)},
        {&PngTextures::blint, 256, alpha, credit("BLINT", "GRAPHICS", pal::leaf)},
        {&PngTextures::ferda, 256, alpha, greeting("FERDA", pal::cyan)},
    };
}

} // namespace

bool writePictures(const std::string& outDir) {
    std::error_code error;
    std::filesystem::create_directories(outDir + "/pic/pokemon", error);
    if (error) {
        std::fprintf(stderr, "quarnel-datagen: cannot make %s/pic/pokemon: %s\n", outDir.c_str(),
                     error.message().c_str());
        return false;
    }
    // Without the fonts every caption would come out blank: refuse instead.
    std::string fontError;
    if (!fontsAvailable(fontError)) {
        std::fprintf(stderr, "quarnel-datagen: %s\n", fontError.c_str());
        return false;
    }
    bool ok = true;
    const std::vector<JpegRecipe> jpegs = jpegRecipes();
    if (jpegs.size() != size_t(jpegFileCount)) {
        std::fprintf(stderr, "quarnel-datagen: %zu JPEG recipes for %d files\n", jpegs.size(),
                     jpegFileCount);
        return false;
    }
    for (int i = 0; i < jpegFileCount; i++) {
        Canvas cv(jpegs[size_t(i)].size);
        jpegs[size_t(i)].paint(cv);
        ok = writePicture(outDir + "/" + belowDataFolder(jpegFiles[i]), cv, PictureFormat::Jpeg) &&
             ok;
    }
    const std::vector<PngRecipe> pngs = pngRecipes();
    for (const PngFile& file : pngFiles) {
        const auto recipe = std::find_if(pngs.begin(), pngs.end(),
                                         [&](const PngRecipe& r) { return r.slot == file.slot; });
        if (recipe == pngs.end()) {
            std::fprintf(stderr, "quarnel-datagen: no recipe for %s\n", file.path);
            ok = false;
            continue;
        }
        Canvas cv(recipe->size);
        recipe->paint(cv);
        ok = writePicture(outDir + "/" + belowDataFolder(file.path), cv, recipe->format) && ok;
    }
    return ok;
}
