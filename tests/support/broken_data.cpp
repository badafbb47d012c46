// Data folders with missing, damaged or replaced files, an inotify watch over
// a folder's data/, and capture stills read back through libpng.
#include "broken_data.h"
#include "tree_paths.h"

#include <png.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

static const fs::path generatedData = fs::path(binaryDir()) / "data";

std::string copyDataFolder(const std::vector<std::string>& leaveOut) {
    char pattern[] = "/tmp/quarnel-data-XXXXXX";
    if (!mkdtemp(pattern)) return "";
    const std::string folder = pattern;
    for (const auto& entry : fs::recursive_directory_iterator(generatedData)) {
        if (!entry.is_regular_file()) continue;
        const std::string relative = fs::relative(entry.path(), generatedData).string();
        if (relative == ".made") continue;
        if (std::find(leaveOut.begin(), leaveOut.end(), relative) != leaveOut.end()) continue;
        const fs::path target = fs::path(folder) / "data" / relative;
        fs::create_directories(target.parent_path());
        fs::copy_file(entry.path(), target);
    }
    return folder;
}

bool replaceDataFile(const std::string& folder, const std::string& relative,
                     const std::vector<uint8_t>& bytes) {
    const fs::path target = fs::path(folder) / "data" / relative;
    std::error_code error;
    fs::create_directories(target.parent_path(), error);
    fs::remove(target, error); // a link goes, its target stays as it was
    std::ofstream file(target, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(file);
}

std::vector<uint8_t> generatedDataFile(const std::string& relative) {
    std::ifstream file(generatedData / relative, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

void removeDataFolder(const std::string& folder) {
    if (folder.empty()) return;
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

std::vector<uint8_t> garbageBytes(size_t count, uint32_t seed) {
    std::vector<uint8_t> bytes(count);
    for (uint8_t& byte : bytes) {
        seed = seed * 1664525u + 1013904223u;
        byte = uint8_t(seed >> 24);
    }
    return bytes;
}

OpenWatch::~OpenWatch() {
    if (fd >= 0) close(fd);
}

bool startOpenWatch(OpenWatch& watch, const std::string& folder) {
    watch.fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch.fd < 0) return false;
    const fs::path data = fs::path(folder) / "data";
    std::vector<fs::path> folders{data};
    for (const auto& entry : fs::recursive_directory_iterator(data))
        if (entry.is_directory()) folders.push_back(entry.path());
    for (const fs::path& path : folders) {
        const int wd = inotify_add_watch(watch.fd, path.c_str(), IN_OPEN);
        if (wd < 0) return false;
        const std::string below = fs::relative(path, data).string();
        watch.folders[wd] = below == "." ? "" : below + "/";
    }
    return true;
}

const std::vector<std::string>& openedFiles(OpenWatch& watch) {
    alignas(inotify_event) char buffer[16 * (sizeof(inotify_event) + NAME_MAX + 1)];
    for (;;) {
        const ssize_t length = read(watch.fd, buffer, sizeof buffer);
        if (length <= 0) break; // EAGAIN: nothing more waits
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            if (event->len == 0 || (event->mask & IN_ISDIR)) continue;
            const std::string path = watch.folders[event->wd] + event->name;
            if (std::find(watch.opened.begin(), watch.opened.end(), path) == watch.opened.end())
                watch.opened.push_back(path);
        }
    }
    return watch.opened;
}

bool readStill(const std::string& path, Still& still) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    still.width = int(image.width);
    still.height = int(image.height);
    still.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, still.rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    return true;
}

Pixel pixelOf(const Still& still, double column, double row) {
    if (still.rgb.empty()) return Pixel{-1, -1, -1};
    const int x = std::clamp(int(std::floor(column)), 0, still.width - 1);
    const int y = std::clamp(int(std::floor(row)), 0, still.height - 1);
    const uint8_t* p = &still.rgb[(size_t(y) * still.width + x) * 3];
    return Pixel{p[0], p[1], p[2]};
}

bool near(Pixel a, Pixel b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

std::string describe(Pixel c) {
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) +
           ")";
}

static double focal(double fovDegrees) {
    return 1.0 / std::tan(fovDegrees * 3.14159265358979323846 / 360.0);
}

double columnAt(double x, double z, double fovDegrees, double aspect) {
    return (x * focal(fovDegrees) / (aspect * -z) + 1.0) * 320.0;
}

double rowAt(double y, double z, double fovDegrees) {
    return (1.0 - y * focal(fovDegrees) / -z) * 240.0;
}

std::vector<std::pair<double, double>> pointsOf(const Region& region) {
    std::vector<std::pair<double, double>> points;
    for (double x : region.xs)
        for (double y : region.ys)
            points.push_back(
                {columnAt(x, region.z, region.fov, region.aspect), rowAt(y, region.z, region.fov)});
    return points;
}

int samplesNear(const Still& still, const Region& region, Pixel colour, int tolerance) {
    int count = 0;
    for (const auto& [column, row] : pointsOf(region))
        count += near(pixelOf(still, column, row), colour, tolerance);
    return count;
}

CaptureRun captureStills(const std::string& folder, const std::vector<double>& times) {
    std::string line = "cd '" + folder + "' && env -u DISPLAY -u WAYLAND_DISPLAY '" + binaryDir() +
                       "/quarnel-capture' --out out";
    for (double t : times)
        line += " --at " + std::to_string(t);
    line += " >/dev/null 2>stderr.txt";
    const int status = std::system(line.c_str());
    CaptureRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream file(folder + "/stderr.txt");
    std::stringstream text;
    text << file.rdbuf();
    run.err = text.str();
    return run;
}

Still stillAt(const std::string& folder, double t) {
    char name[32];
    std::snprintf(name, sizeof name, "at-%06d.png", int(t * 1000.0 + 0.5));
    Still still;
    if (!readStill(folder + "/out/" + name, still)) still = Still{};
    return still;
}

int countOf(const std::string& text, const std::string& line) {
    int count = 0;
    for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
        count++;
    return count;
}
