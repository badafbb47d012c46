// Guards the speed work: frames drawn from the generated data set at a fixed
// set of times, covering every scene and the changes between them, must hash
// exactly as recorded in tests/data/reference-frames.txt; and a looping run's
// second pass draws the first pass's frames.
//
// The hashes hold for the data set this build generates and for Mesa's
// llvmpipe rasteriser on an x86-64 machine like the one that recorded them;
// another rasteriser or another data set draws other (equally correct) bits.
// When the data set or a scene changes on purpose, record them afresh with
// scripts/record-reference-frames [BUILD_DIR].
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/next_pass.h"
#include "app/grid.h"
#include "render.h"
#include "tree_paths.h"

namespace fs = std::filesystem;

static const fs::path referenceFile = fs::path(sourceDir()) / "tests/data/reference-frames.txt";

// SHA-256 of a byte string, as lowercase hex.
static std::string sha256Hex(const std::vector<uint8_t>& data) {
    static const uint32_t k[64] = {
        0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4,
        0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe,
        0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f,
        0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7,
        0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc,
        0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b,
        0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116,
        0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
        0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
        0xc67178f2};
    uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                     0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::vector<uint8_t> m = data;
    const uint64_t bits = uint64_t(data.size()) * 8;
    m.push_back(0x80);
    while (m.size() % 64 != 56)
        m.push_back(0);
    for (int i = 7; i >= 0; i--)
        m.push_back(uint8_t(bits >> (8 * i)));
    auto rotr = [](uint32_t x, int n) { return (x >> n) | (x << (32 - n)); };
    for (size_t block = 0; block < m.size(); block += 64) {
        uint32_t w[64];
        for (int i = 0; i < 16; i++) {
            const uint8_t* p = &m[block + 4 * i];
            w[i] = uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
        }
        for (int i = 16; i < 64; i++) {
            const uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], hh = h[7];
        for (int i = 0; i < 64; i++) {
            const uint32_t t1 =
                hh + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + k[i] + w[i];
            const uint32_t t2 =
                (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            hh = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e, h[5] += f, h[6] += g, h[7] += hh;
    }
    char hex[65];
    for (int i = 0; i < 8; i++)
        std::snprintf(hex + 8 * i, 9, "%08x", h[i]);
    return std::string(hex, 64);
}

TEST(Sha256, MatchesKnownDigests) {
    EXPECT_EQ(sha256Hex({}), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    const std::string abc = "abc";
    EXPECT_EQ(sha256Hex(std::vector<uint8_t>(abc.begin(), abc.end())),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // Two blocks: the padding spills over.
    const std::string two = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    EXPECT_EQ(sha256Hex(std::vector<uint8_t>(two.begin(), two.end())),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

struct ReferenceFrame {
    std::string time; // as written in the file, so the frame is drawn at exactly that float
    std::string hash;
};

static std::vector<ReferenceFrame> readReferences() {
    std::vector<ReferenceFrame> frames;
    std::ifstream in(referenceFile);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        ReferenceFrame frame;
        if (fields >> frame.time >> frame.hash) frames.push_back(frame);
    }
    return frames;
}

// Draws every listed time after its own history, in a folder holding the
// generated data set, and hashes the RGB read-back.
TEST(ReferenceFrames, EveryRecordedFrameIsDrawnBitForBit) {
    std::vector<ReferenceFrame> frames = readReferences();
    ASSERT_GE(frames.size(), 20u) << "no reference list in " << referenceFile;
    const fs::path data = fs::path(binaryDir()) / "data";
    ASSERT_TRUE(fs::exists(data / ".made")) << "the data set is not generated in " << data;

    const fs::path previous = fs::current_path();
    fs::current_path(binaryDir());
    CaptureContext capture;
    ASSERT_TRUE(openCapture(capture, 640, 480, 60));
    const bool recording = std::getenv("QUARNEL_RECORD_REFERENCE_FRAMES") != nullptr;
    std::ostringstream recorded;
    std::vector<uint8_t> rgb;
    for (const ReferenceFrame& frame : frames) {
        drawFrameWithHistory(capture, std::strtof(frame.time.c_str(), nullptr));
        readFrame(capture, rgb);
        const std::string hash = sha256Hex(rgb);
        recorded << frame.time << ' ' << hash << '\n';
        if (!recording) {
            EXPECT_EQ(hash, frame.hash) << "frame at " << frame.time << " s";
        }
    }
    fs::current_path(previous);

    if (recording) {
        // Keep the header comments, replace the hashes.
        std::ifstream in(referenceFile);
        std::string header, line;
        while (std::getline(in, line))
            if (!line.empty() && line[0] == '#') header += line + '\n';
        in.close();
        std::ofstream(referenceFile) << header << recorded.str();
        std::printf("recorded %zu frames in %s\n", frames.size(), referenceFile.c_str());
    }
}

// A looping run draws the timeline again from 0 once it ends: every frame of
// the second pass, drawn in the same context after the end and the reset, is
// the frame the first pass drew at that time (grid frame 0 lies on the
// timeline's edge and draws nothing; a live frame is always later).
TEST(ReferenceFrames, ASecondPassDrawsEveryFrameOfTheFirst) {
    fs::current_path(binaryDir());
    constexpr int fps = 5;
    CaptureContext capture;
    ASSERT_TRUE(openCapture(capture, 320, 240, fps));
    const int64_t last = lastGridFrameBefore(90.0f, fps);
    std::vector<size_t> firstPass;
    std::vector<uint8_t> rgb;
    for (int pass = 0; pass < 2; pass++) {
        for (int64_t k = 1; k <= last; k++) {
            drawCaptureFrame(capture, gridTime(k, fps));
            readFrame(capture, rgb);
            const size_t hash = std::hash<std::string_view>{}(
                std::string_view(reinterpret_cast<const char*>(rgb.data()), rgb.size()));
            if (pass == 0)
                firstPass.push_back(hash);
            else
                ASSERT_EQ(hash, firstPass[size_t(k - 1)]) << "at " << gridTime(k, fps) << " s";
        }
        drawCaptureFrame(capture, 90.1f); // a live pass's last frame may fall past the end
        resetStateForNextPass();
    }
}
