// A device that plays only when pulled, for tests and tools that keep their own
// clock: the same mixing, history and spectrum as a real device, driven by hand.
#pragma once

// Opens the pulled device in place of a real one (44 100 Hz stereo). `clock`
// returns seconds on the caller's time line; the spectrum reads it to place the
// sound heard between pulls. closeAudio ends it like a real device.
bool openPulledAudioDevice(double (*clock)());
// Runs the device callback once: the next `frames` stereo frames of the mix are
// handed over into `stereo`, and start to be heard at the clock's current time.
// Writes silence when no pulled device is open.
void pullAudio(float* stereo, int frames);
