// What the C++ side of the web build asks of its page (web/page/page.js):
// the page owns the Web Audio context, the decoded soundtrack's playback and
// what the viewer sees around the canvas.
#pragma once

extern "C" {
// True when the page has an audio context to play the soundtrack through.
int pageHasAudio();
// Starts the soundtrack so that the sound leaving the speakers is `offset`
// seconds into it now (the output's latency accounted for); true when it plays.
int pagePlayMusic(double offset);
// Stops the soundtrack; nothing is heard until it is played again.
void pageStopMusic();
// Seconds into the soundtrack of the sound the viewer hears now, read off the
// audio output's clock; negative while nothing is heard (before the start,
// until the first sound reaches the output, and while the output does not
// play: the page then tells the viewer once).
double pageHeardSeconds();
// The audio output's clock now, in seconds (0 without an audio context).
double pageAudioClock();
// The run ended (Escape, leaving full screen or the end): back to the prompt.
void pageRunEnded();
// Whether the data arrived whole; when not, the page says so.
int pageDataComplete();
// Loading is done: the prompt shows.
void pageLoaded();
// The browser gave no WebGL context: the page says so instead.
void pageHasNoWebGl();
}
