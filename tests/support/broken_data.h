// Data folders with missing, damaged or replaced files for the end-to-end
// tests, a watch that records which data files a run opens, and stills read
// back from quarnel-capture.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// A folder holding data/ with real copies of the generated data set (not
// links, so that a watch on the folder sees every open), less leaveOut.
std::string copyDataFolder(const std::vector<std::string>& leaveOut);
// Puts bytes at folder/data/relative in place of whatever is there (a link
// is removed first, so the generated data set itself is never written).
bool replaceDataFile(const std::string& folder, const std::string& relative,
                     const std::vector<uint8_t>& bytes);
// The bytes of the generated data set's file data/relative.
std::vector<uint8_t> generatedDataFile(const std::string& relative);
// Removes a folder made by makeDataFolder or copyDataFolder.
void removeDataFolder(const std::string& folder);
// count bytes of reproducible noise.
std::vector<uint8_t> garbageBytes(size_t count, uint32_t seed);

// Records every file opened under folder/data while it lives (inotify).
struct OpenWatch {
    int fd = -1;
    std::map<int, std::string> folders; // watch descriptor -> path below data/
    std::vector<std::string> opened;    // paths below data/, first opens in order
    OpenWatch() = default;
    ~OpenWatch();
    OpenWatch(const OpenWatch&) = delete;
    OpenWatch& operator=(const OpenWatch&) = delete;
};
bool startOpenWatch(OpenWatch& watch, const std::string& folder);
// The files opened so far ("pic/1.jpg", ...), each once, in the order of
// their first open.
const std::vector<std::string>& openedFiles(OpenWatch& watch);

// A still written by quarnel-capture, as RGB rows, top row first.
struct Still {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};
struct Pixel {
    int r = 0, g = 0, b = 0;
};
bool readStill(const std::string& path, Still& still);
// The pixel whose area holds window point (column, row), row 0 at the top;
// (-1, -1, -1) for an empty still.
Pixel pixelOf(const Still& still, double column, double row);
bool near(Pixel a, Pixel b, int tolerance);
std::string describe(Pixel c);

// Where eye-space (x, y) at depth z < 0 lands on the 640 x 480 window under
// gluPerspective(fovDegrees, aspect, ...): window column and row (0 at top).
double columnAt(double x, double z, double fovDegrees, double aspect);
double rowAt(double y, double z, double fovDegrees);

// Window points of eye-space samples (x, y) at depth z < 0 under
// gluPerspective(fov, aspect, ...).
struct Region {
    double z, fov, aspect;
    std::vector<double> xs, ys;
};
std::vector<std::pair<double, double>> pointsOf(const Region& region);
// How many of a region's samples are within tolerance of colour.
int samplesNear(const Still& still, const Region& region, Pixel colour, int tolerance);

// quarnel-capture run in folder with no display, stills at the given times
// into folder/out; its exit code and standard error.
struct CaptureRun {
    int exitCode = -1;
    std::string err;
};
CaptureRun captureStills(const std::string& folder, const std::vector<double>& times);
// The still at demo time t of such a run; empty when there is none.
Still stillAt(const std::string& folder, double t);
// How often line occurs in text.
int countOf(const std::string& text, const std::string& line);
