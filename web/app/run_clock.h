// The demo's clock in a page: the soundtrack's when it is heard, the browser's
// steady clock when it is not.
#pragma once

// A run starts at demo time `from`.
void startRunClock(double from);
// The demo time of the frame to draw now. While the soundtrack is heard, the
// music's start in the timeline plus its position at the speakers, so that
// picture and sound stay together however the browser schedules frames (a
// hidden tab draws none: on its first frame back the picture is where the
// music is). Before it is heard, or without sound, the steady clock on from
// the latest frame, without a jump. Where the timeline has the music playing
// and no play request came (frames that stopped before it and came back
// after), the music starts where the picture is; sound that comes back
// elsewhere than the picture (an output suspended, then resumed) starts
// again where the picture is. Never earlier than the latest frame's time.
double nextFrameTime();
// The latest frame's demo time.
double latestFrameTime();
