// Prints the spectrum the capture tool gives the frame at each demo time on
// the command line, one line of 256 magnitudes per time: the native side of
// the web page's spectrum test. Run it in the folder that holds data/.
#include <cstdio>
#include <cstdlib>

#include "audio/decode.h"
#include "audio/fft_bands.h"
#include "app/grid.h"
#include "render.h"
#include "resources/data_files.h"

int main(int argc, char** argv) {
    CaptureContext capture; // only the soundtrack part: no OpenGL is needed
    capture.musicStart = musicStartTime(capture.fps);
    if (!decodeMonoFile(soundtrackFile, capture.soundtrack)) {
        std::fprintf(stderr, "cannot decode %s\n", soundtrackFile);
        return 1;
    }
    capture.hasSoundtrack = true;
    for (int i = 1; i < argc; i++) {
        float spectrum[spectrumBands];
        spectrumAt(capture, float(std::atof(argv[i])), spectrum);
        for (int band = 0; band < spectrumBands; band++)
            std::printf("%.9g%c", spectrum[band], band + 1 < spectrumBands ? ' ' : '\n');
    }
    return 0;
}
