// What every fuzz target and the regression replay insist on: a loader either
// refuses its input or gives a result whose sizes agree with each other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Each runs one input through the loaders of the demo with the message box
// silenced, and returns a short verdict ("refused", "decoded ...") for the
// replay's log. A broken promise aborts, so the fuzzer sees it as a crash.
std::string fuzzObjectFile(const uint8_t* data, size_t size);
std::string fuzzJpeg(const uint8_t* data, size_t size);
std::string fuzzPng(const uint8_t* data, size_t size);
std::string fuzzMp3(const uint8_t* data, size_t size);
