// The parts of the data-set generator. Each writes its files under outDir
// (the folder that becomes data/) and returns false, after a message on
// standard error, when a file cannot be written.
#pragma once

#include <string>

// data/pic/*.jpg and *.png: every picture the demo loads.
bool writePictures(const std::string& outDir);
// data/objects/*.ebr: the tunnel, the bevelled cube, the room and the ball.
bool writeMeshes(const std::string& outDir);
// data/sound/pokemon.mp3: the soundtrack.
bool writeSoundtrack(const std::string& outDir);
