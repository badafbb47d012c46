// Every picture the demo loads, by path: its size, its file format and the
// recipe that paints it.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "datagen.h"
#include "picture_files.h"
#include "picture_recipes.h"
#include "text.h"

namespace {

struct PictureJob {
    const char* path; // under the data folder
    int size;
    PictureFormat format;
    std::function<void(Canvas&)> paint;
};

constexpr auto jpg = PictureFormat::Jpeg;
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

// PNG pictures are loaded without mip-maps and mostly shown at about 200 px,
// so they are made at 256 px: larger ones would shimmer when minified.
std::vector<PictureJob> pictureJobs() {
    return {
        {"pic/iso512utenzem.jpg", 512, jpg, paintIsoScene},
        {"pic/zem256.jpg", 256, jpg, paintGem},
        {"pic/blue.jpg", 512, jpg, paintBlueTiles},
        {"pic/kuletex.jpg", 256, jpg, paintBallTexture},
        {"pic/1.jpg", 512, jpg, paintPresents},
        {"pic/2.jpg", 512, jpg, paintTitle},
        {"pic/disco.jpg", 512, jpg, paintDisco},
        {"pic/pokemon/clawomon.png", 256, alpha, paintClawomon},
        {"pic/lyn.png", 256, alpha, paintLightning},
        {"pic/pow.png", 256, alpha, paintPow},
        {"pic/pokemon/kukukkmon.png", 256, alpha, paintKukukkmon},
        {"pic/loading.png", 256, alpha, paintLoading},
        {"pic/pokemon/clawtekst.png", 256, alpha, ribbon("CLAWOMON", pal::orange)},
        {"pic/pokemon/burkamon.png", 256, alpha, paintBurkamon},
        {"pic/pokemon/burktest.png", 256, alpha, ribbon("BURKAMON", pal::magenta)},
        {"pic/pokemon/corvumon.png", 256, alpha, paintCorvumon},
        {"pic/pokemon/corvtekst.png", 256, alpha, ribbon("CORVUMON", pal::cyan)},
        {"pic/pokemon/crocomon.png", 256, alpha, paintCrocomon},
        {"pic/pokemon/croctekst.png", 256, alpha, ribbon("CROCOMON", pal::leaf)},
        {"pic/pokemon/jobbermole.png", 256, alpha, paintJobbermole},
        {"pic/pokemon/jobtekst.png", 256, alpha, ribbon("JOBBERMOLE", pal::orange)},
        {"pic/pokemon/kuktekst.png", 256, alpha, ribbon("KUKUKKMON", pal::sun)},
        {"pic/pokemon/mexico.png", 256, alpha, paintMexico},
        {"pic/pokemon/mextekst.png", 256, alpha, ribbon("MEXICO", pal::leaf)},
        {"pic/pokemon/phantomon.png", 256, alpha, paintPhantomon},
        {"pic/pokemon/phantekst.png", 256, alpha, ribbon("PHANTOMON", pal::magenta)},
        {"pic/pokemon/picamon.png", 256, alpha, paintPicamon},
        {"pic/pokemon/pictekst.png", 256, alpha, ribbon("PICAMON", pal::sun)},
        {"pic/pokemon/quadromon.png", 256, alpha, paintQuadromon},
        {"pic/pokemon/quadtekst.png", 256, alpha, ribbon("QUADROMON", pal::cyan)},
        {"pic/pokemon/teddymon.png", 256, alpha, paintTeddymon},
        {"pic/pokemon/teddytekst.png", 256, alpha, ribbon("TEDDYMON", pal::orange)},
        {"pic/pokemon/vs.png", 256, alpha, paintVs},
        {"pic/pokemon/clawskills.png", 256, alpha, paintClawSkills},
        {"pic/pokemon/corvskills.png", 256, alpha, paintCorvSkills},
        {"pic/pokemon/pokeball.png", 256, alpha, paintMonsterBall},
        {"pic/overlay_ruter.png", 256, alpha, paintDiamondOverlay},
        {"pic/vegg.png", 256, opaque, paintWall},
        {"pic/starring.png", 256, opaque, paintStarring},
        {"pic/kuletex.png", 256, opaque, paintBallTexture},
        {"pic/vormakalization.png", 256, alpha, paintVormakLogo},
        {"pic/bakgrunn.png", 512, opaque, paintBackground},
        {"pic/saks.png", 256, alpha, paintScissors},
        {"pic/dodge.png", 256, alpha, paintDodge},
        {"pic/movik.png", 256, alpha, credit("MOVIK", "DESIGN", pal::sun)},
        {"pic/winner.png", 256, alpha, paintWinner},
        {"pic/karnholt.png", 256, alpha, greeting("KARNHOLT", pal::orange)},
        {"pic/ybo.png", 256, alpha, greeting("YBO", pal::leaf)},
        {"pic/sentiq.png", 256, alpha, greeting("SENTIQ", pal::magenta)},
        {"pic/prall.png", 256, alpha, credit("PRALL", "CODE", pal::cyan)},
        {"pic/ulva.png", 256, alpha, credit("ULVA", "MUSIC", pal::magenta)},
        {"pic/blint.png", 256, alpha, credit("BLINT", "GRAPHICS", pal::leaf)},
        {"pic/ferda.png", 256, alpha, greeting("FERDA", pal::cyan)},
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
    for (const PictureJob& job : pictureJobs()) {
        Canvas cv(job.size);
        job.paint(cv);
        ok = writePicture(outDir + "/" + job.path, cv, job.format) && ok;
    }
    return ok;
}
