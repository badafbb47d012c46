// Placeholder until the music stream lands.
#include "audio/music.h"

bool openAudioDevice() { return false; }
uint32_t createMusicStream(const char*) { return 0; }
void fetchSpectrum(uint32_t, float*) {}
void playMusic(uint32_t) {}
void closeAudio() {}
