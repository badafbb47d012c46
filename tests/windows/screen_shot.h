// Reading what a virtual X server's screen shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The whole screen of the display (":NN") as RGB rows, top row first, read
// from its root window; empty when the display cannot be opened.
std::vector<uint8_t> screenRgb(const std::string& displayName, int& width, int& height);
