// Replays every input the fuzzers ever tripped on (and a few hostile hand-made
// ones) through the same loaders and checks, and checks that the in-memory
// entry points the fuzzers use read exactly what the file ones read.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/mp3_reader.h"
#include "fuzz_checks.h"
#include "image/jpeg_decode.h"
#include "image/png_decode.h"
#include "mesh/object_file.h"
#include "mesh/tegn3d.h"
#include "mp3_files.h"
#include "picture_files.h"
#include "platform/message_box.h"
#include "tree_paths.h"

namespace fs = std::filesystem;

// Sanitizer builds let the replay see every allocation: the largest one made
// while a file is read must stay within what the loader promises. Absent (null)
// in a plain build, where only refusals and sizes are checked.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*))
    __attribute__((weak));

namespace {

using FuzzCheck = std::string (*)(const uint8_t*, size_t);

std::atomic<size_t> largestAllocation{0};

void noteAllocation(const volatile void*, size_t size) {
    size_t largest = largestAllocation.load(std::memory_order_relaxed);
    while (size > largest && !largestAllocation.compare_exchange_weak(largest, size)) {
    }
}
void noteRelease(const volatile void*) {}

bool watchAllocations() {
    static const bool watching =
        __sanitizer_install_malloc_and_free_hooks &&
        __sanitizer_install_malloc_and_free_hooks(noteAllocation, noteRelease) != 0;
    return watching;
}

// Every file of one target's folder, in name order; a check that breaks a
// promise aborts, so the file name goes out first. Under a sanitizer no
// single allocation may exceed allocationLimit bytes.
void replayFolder(const char* target, FuzzCheck check, uint64_t allocationLimit) {
    const fs::path folder = fs::path(sourceDir()) / "tests/data/fuzz-regressions" / target;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty()) << "no regression inputs in " << folder;
    const bool watching = watchAllocations();
    for (const fs::path& file : files) {
        std::fprintf(stderr, "replaying %s\n", file.c_str());
        std::fflush(stderr);
        const std::vector<uint8_t> bytes = readFileBytes(file.string());
        largestAllocation = 0;
        const std::string verdict = check(bytes.data(), bytes.size());
        std::fprintf(stderr, "  %s\n", verdict.c_str());
        if (watching) {
            EXPECT_LE(largestAllocation.load(), allocationLimit)
                << file << " made the loader ask for that many bytes at once";
        }
    }
}

int boxes = 0;
void countBox(const char*, const char*, SDL_Window*) {
    boxes++;
}

std::vector<float> readAll(Mp3Reader& reader) {
    std::vector<float> stereo;
    float chunk[2 * 1000];
    for (int got; (got = readMp3(reader, chunk, 1000)) > 0;)
        stereo.insert(stereo.end(), chunk, chunk + 2 * got);
    return stereo;
}

TEST(FuzzRegressions, EverySavedInputIsRefusedOrLoadsWholeAndConsistent) {
    // Small files: their meshes take a few times the file's bytes.
    replayFolder("object_file", fuzzObjectFile, 16u << 20);
    // Pictures: the decoded rows, or libjpeg's working memory, at most.
    replayFolder("jpeg", fuzzJpeg, uint64_t(maxJpegLibraryMemory));
    replayFolder("png", fuzzPng, maxPngBytes);
    // Sound is decoded a frame at a time: nothing large is ever needed.
    replayFolder("mp3", fuzzMp3, 16u << 20);
}

TEST(MemoryEntryPoints, ObjectFileFromMemoryMatchesTheFile) {
    setMessageBoxHandler(countBox);
    ObjectMesh triangle;
    triangle.vertices = {{1, 2, 3, 0.25f, 0.5f}, {4, 5, 6, 1, 0}, {7, 8, 9, 0, 1}};
    triangle.triangles = {{2, 1, 0}};
    triangle.ignoredBlock = {9, 9, 9};
    const std::vector<uint8_t> bytes = encodeObjectFile({triangle, triangle});
    const std::string path = testFilePath("fuzz-memory.ebr");
    ASSERT_TRUE(writeFileBytes(path, bytes));

    tegn3d fromFile, fromMemory;
    ASSERT_TRUE(fromFile.loadFromFile(path.c_str()));
    ASSERT_TRUE(fromMemory.loadFromMemory(bytes.data(), bytes.size()));
    ASSERT_EQ(fromMemory.meshCount, 2);
    ASSERT_EQ(fromMemory.meshes.size(), fromFile.meshes.size());
    for (size_t m = 0; m < fromFile.meshes.size(); m++) {
        const Mesh& a = *fromFile.meshes[m];
        const Mesh& b = *fromMemory.meshes[m];
        ASSERT_EQ(b.vertexCount, 3);
        ASSERT_EQ(b.triangleCount, 1);
        for (int v = 0; v < 3; v++) {
            EXPECT_EQ(b.vertices[v].x, a.vertices[v].x);
            EXPECT_EQ(b.vertices[v].z, a.vertices[v].z);
            EXPECT_EQ(b.texCoords[v].s, a.texCoords[v].s);
            EXPECT_EQ(b.texCoords[v].t, a.texCoords[v].t);
            EXPECT_EQ(b.triangles[0].corner[v], a.triangles[0].corner[v]);
        }
    }

    // A cut copy is refused with the same box and leaves the meshes alone;
    // so is a null buffer that claims bytes.
    boxes = 0;
    EXPECT_FALSE(fromMemory.loadFromMemory(bytes.data(), bytes.size() - 1));
    EXPECT_FALSE(fromMemory.loadFromMemory(nullptr, 16));
    EXPECT_EQ(boxes, 2);
    EXPECT_EQ(fromMemory.meshCount, 2);
    EXPECT_EQ(fromMemory.meshes.size(), 2u);
    setMessageBoxHandler(nullptr);
}

TEST(MemoryEntryPoints, Mp3FromMemoryGivesTheFilesSamples) {
    // A tagged stereo file, so the decoder skips a tag and seeks in the data.
    std::vector<float> stereo;
    for (float s : sineWave(660.0, 0.6, 0.4, 32000)) {
        stereo.push_back(s);
        stereo.push_back(0.5f * s);
    }
    const std::string path = testFilePath("fuzz-memory.mp3");
    ASSERT_TRUE(writeTestMp3(path, stereo, 32000, 2, true));
    const std::vector<uint8_t> bytes = readFileBytes(path);

    Mp3ReaderPtr fromFile = openMp3(path.c_str());
    Mp3ReaderPtr fromMemory = openMp3Memory(bytes.data(), bytes.size());
    ASSERT_TRUE(fromFile && fromMemory);
    const std::vector<float> expected = readAll(*fromFile);
    const std::vector<float> got = readAll(*fromMemory);
    // 0.4 s at 44 100 Hz, give or take the resampler's rounding.
    EXPECT_NEAR(double(got.size()) / 2, 0.4 * 44100, 2);
    EXPECT_EQ(got, expected);

    // Nothing, or no MPEG audio at all, opens nothing.
    EXPECT_FALSE(openMp3Memory(nullptr, 0));
    EXPECT_FALSE(openMp3Memory(nullptr, 100));
    const std::vector<uint8_t> text(4000, 'a');
    EXPECT_FALSE(openMp3Memory(text.data(), text.size()));
}

} // namespace
