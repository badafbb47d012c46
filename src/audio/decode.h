// Decoding a whole MP3 file at once, for the capture tool and tests: the same
// decoder and rate conversion as the live stream.
#pragma once

#include <string>
#include <vector>

// Mono mix at 44 100 Hz, samples in [-1, 1]. False (and nothing) when the file
// is missing or undecodable.
bool decodeMonoFile(const std::string& path, std::vector<float>& mono);
