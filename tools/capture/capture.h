// The things quarnel-capture makes, each returning the exit code.
#pragma once

#include "options.h"

// The name of the still at t: "at-MMMMMM.png", t in whole milliseconds.
std::string stillName(double t);
// The name of frame i of a sequence: "frame-NNNNNN.png", counted from 0.
std::string frameName(int64_t i);

int captureStills(const CaptureOptions& options);
int captureFrames(const CaptureOptions& options);
int captureVideo(const CaptureOptions& options);
// The timeline as lines a script can read, to standard output: "scene FROM
// TO NAME" for each scene window in order, "music T", "end T", then "edge T"
// for every time a scene or element window opens or closes.
int printTimeline();
