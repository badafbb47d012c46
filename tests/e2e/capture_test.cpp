// quarnel-capture end to end: stills against sequences, the state a scene
// inherits, the offline spectrum, video files and bad command lines. Each
// test makes its own small data set: flat pictures of distinct colours, an
// octahedron for every model and a soundtrack with one tone burst.
#include <GL/gl.h>
#include <png.h>
#include <gtest/gtest.h>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "audio/decode.h"
#include "audio/fft_bands.h"
#include "demo_process.h"
#include "eye_space.h"
#include "mesh/object_file.h"
#include "mp3_files.h"
#include "picture_files.h"
#include "png_writer.h"
#include "render.h"
#include "resources/demo_state.h"
#include "tree_paths.h"

namespace fs = std::filesystem;

static const std::string captureBinary = binaryDir() + "/quarnel-capture";

// The tone burst in the test soundtrack: 0.5 s of a sine centred on band 2,
// starting 2 s into the track.
constexpr double burstStart = 2.0;
constexpr double burstHz = 2 * 44100.0 / 512;
constexpr double burstAmplitude = 0.5;

// Distinct opaque colour of PNG file i; the JPEGs get greys.
static std::vector<uint8_t> pngColour(int i) {
    return {uint8_t(40 + 4 * i), uint8_t(250 - 5 * i), uint8_t((i * 53) % 200 + 30), 255};
}

static int pngIndex(const char* path) {
    for (int i = 0; i < pngFileCount; i++)
        if (std::string(pngFiles[i].path) == path) return i;
    return -1;
}

static void writeDataSet(const fs::path& folder, bool soundtrack) {
    for (const char* sub : {"data/pic/pokemon", "data/objects", "data/sound"})
        fs::create_directories(folder / sub);
    for (int i = 0; i < jpegFileCount; i++)
        ASSERT_TRUE(writeTestJpeg((folder / jpegFiles[i]).string(),
                                  solidPicture(8, 8, {uint8_t(60 + 20 * i), 90, 90})));
    for (int i = 0; i < pngFileCount; i++)
        ASSERT_TRUE(
            writeTestPng((folder / pngFiles[i].path).string(), solidPicture(8, 8, pngColour(i))));

    ObjectMesh octahedron;
    const float c[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (const auto& p : c)
        octahedron.vertices.push_back({p[0], p[1], p[2], 0.5f, 0.5f});
    octahedron.triangles = {{0, 2, 4}, {2, 1, 4}, {1, 3, 4}, {3, 0, 4},
                            {2, 0, 5}, {1, 2, 5}, {3, 1, 5}, {0, 3, 5}};
    for (const char* name : {"tunnel.ebr", "bicube.ebr", "kube2.ebr", "kule.ebr"})
        ASSERT_TRUE(writeObjectFile((folder / "data/objects" / name).string(), {octahedron}));

    if (!soundtrack) return;
    std::vector<float> track(size_t(44100 * 4), 0.0f);
    const std::vector<float> burst = sineWave(burstHz, burstAmplitude, 0.5, 44100);
    std::copy(burst.begin(), burst.end(), track.begin() + int64_t(burstStart * 44100));
    ASSERT_TRUE(writeTestMp3((folder / "data/sound/pokemon.mp3").string(), track, 44100, 1));
}

// Every test works in a folder under this one, removed when the tests end.
static fs::path testRoot() {
    return fs::temp_directory_path() / ("quarnel-capture-" + std::to_string(getpid()));
}

struct RemoveTestRoot : ::testing::Environment {
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(testRoot(), ignored);
    }
};
static ::testing::Environment* const removeTestRoot =
    ::testing::AddGlobalTestEnvironment(new RemoveTestRoot);

static fs::path makeFolder(const std::string& name) {
    const fs::path folder = testRoot() / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

struct CaptureRun {
    int exitCode = -1;
    std::string err;
};

// Runs quarnel-capture in folder with no display.
static CaptureRun runCapture(const fs::path& folder, const std::string& arguments) {
    const std::string errPath = (folder / "stderr.txt").string();
    const std::string line = "cd '" + folder.string() + "' && env -u DISPLAY -u WAYLAND_DISPLAY '" +
                             captureBinary + "' " + arguments + " >/dev/null 2>'" + errPath + "'";
    const int status = std::system(line.c_str());
    CaptureRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream file(errPath);
    std::stringstream text;
    text << file.rdbuf();
    run.err = text.str();
    return run;
}

static std::string fileBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

TEST(CapturePng, FramesReadBackExactlyThroughLibpng) {
    // Sizes narrower than one Sub-filter step, odd widths, and noisy pixels
    // that exercise every filter difference.
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{{1, 1}, {2, 3}, {37, 11}}) {
        std::vector<uint8_t> rgb(size_t(width) * height * 3);
        uint32_t seed = 12345;
        for (uint8_t& byte : rgb)
            byte = uint8_t((seed = seed * 1103515245u + 12345u) >> 16);
        const std::vector<uint8_t> file = encodePng(width, height, rgb);
        ASSERT_FALSE(file.empty());

        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_memory(&image, file.data(), file.size()))
            << image.message;
        EXPECT_EQ(int(image.width), width);
        EXPECT_EQ(int(image.height), height);
        image.format = PNG_FORMAT_RGB;
        std::vector<uint8_t> decoded(PNG_IMAGE_SIZE(image));
        ASSERT_TRUE(png_image_finish_read(&image, nullptr, decoded.data(), 0, nullptr))
            << image.message;
        EXPECT_EQ(decoded, rgb) << width << "x" << height;
    }
}

TEST(CaptureCommandLine, BadArgumentsExitWithTwoAndSayWhy) {
    const fs::path folder = makeFolder("arguments");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "nothing to do"},
        {"--bogus", "unknown option '--bogus'"},
        {"--at", "needs a value"},
        {"--at soon", "--at needs seconds from 0 to 90, not 'soon'"},
        {"--at -1", "'-1'"},
        {"--at 91", "'91'"},
        {"--from 5 --to 2", "--from must not be after --to"},
        {"--from 5", "needs both --from and --to"},
        {"--from 1 --to 2 --fps 0", "choose 1 to"},
        {"--from 1 --to 2 --fps 2.5", "whole number"},
        {"--at 1 --size 640x20", "'640x20'"},
        {"--video x.mp4 --size 641x480", "even width and height"},
        {"--at 1 --size 100000x75000", "'100000x75000'"},
        {"--at 1 --video x.mp4", "cannot be combined"},
        {"--from 1.001 --to 1.002", "no frame of the 60 fps grid"},
    };
    for (const auto& [arguments, reason] : cases) {
        const CaptureRun run = runCapture(folder, arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_NE(run.err.find(reason), std::string::npos) << arguments << ": " << run.err;
    }
    EXPECT_FALSE(fs::exists(folder / "capture"));
}

// What quarnel-capture prints on standard output, and its exit code.
static std::pair<std::string, int> captureOutput(const std::string& arguments) {
    FILE* pipe = popen(("'" + captureBinary + "' " + arguments + " 2>/dev/null").c_str(), "r");
    if (!pipe) return {"", -1};
    std::string text;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        text.append(chunk, n);
    const int status = pclose(pipe);
    return {text, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// --help ends its last line; --timeline lists the cue sheet, in order, for
// the bench scripts, and takes nothing else.
TEST(CaptureCommandLine, HelpAndTheTimelineListing) {
    const auto [help, helpExit] = captureOutput("--help");
    EXPECT_EQ(helpExit, 0);
    EXPECT_EQ(help.rfind("usage: quarnel-capture", 0), 0u) << help;
    EXPECT_EQ(help.back(), '\n');
    const auto [listing, listingExit] = captureOutput("--timeline");
    EXPECT_EQ(listingExit, 0);
    EXPECT_EQ(listing.rfind("scene 0 14 intro slides\nscene 14 23 gliding overlay\n", 0), 0u)
        << listing;
    EXPECT_NE(listing.find("scene 80 90 credits\nmusic 14\nend 90\nedge 0\nedge 2\n"),
              std::string::npos)
        << listing;
    EXPECT_NE(listing.find("\nedge 56.5\n"), std::string::npos) << listing;
    EXPECT_EQ(captureOutput("--timeline --at 1").second, 2);
}

TEST(CaptureCommandLine, MissingDataEndsWithTheLoadersMessageEvenWithADisplay) {
    const fs::path folder = makeFolder("nodata");
    // With a display present a real message box would wait for a click.
    VirtualDisplay display;
    ASSERT_TRUE(startVirtualDisplay(display, 640, 480));
    DemoProcess process;
    ASSERT_TRUE(startProcess(process, captureBinary, folder.string(), {"DISPLAY=" + display.name},
                             {"--at", "3"}));
    EXPECT_EQ(waitForExit(process, 20), 1);
    EXPECT_NE(stderrText(process).find("Unable to load JPG File!"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder / "capture/at-003000.png"));
}

TEST(CaptureFiles, StillsMatchTheSequenceFramesAndRepeatByteForByte) {
    const fs::path folder = makeFolder("stills");
    writeDataSet(folder, true);
    // 80 s ends the wobble scene: the still at 80 repeats the frame before it,
    // and the credits after it inherit the wobble's projection.
    const std::string stills = "--at 79.95 --at 80 --at 80.5 --size 320x240";
    ASSERT_EQ(runCapture(folder, stills + " --out first").exitCode, 0);
    ASSERT_EQ(runCapture(folder, stills + " --out second").exitCode, 0);
    ASSERT_EQ(runCapture(folder, "--from 79.9 --to 80.6 --size 320x240 --out seq").exitCode, 0);

    // 79.9 is grid frame 4794; 80 is frame 4800, the seventh of the sequence.
    EXPECT_EQ(fs::directory_entry(folder / "seq/frame-000042.png").exists(), true);
    EXPECT_EQ(fs::directory_entry(folder / "seq/frame-000043.png").exists(), false);
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {"at-079950.png", "frame-000003.png"},
        {"at-080000.png", "frame-000006.png"},
        {"at-080500.png", "frame-000036.png"}};
    for (const auto& [still, frame] : pairs) {
        const std::string first = fileBytes(folder / "first" / still);
        ASSERT_FALSE(first.empty()) << still;
        EXPECT_EQ(first, fileBytes(folder / "second" / still)) << still;
        EXPECT_EQ(first, fileBytes(folder / "seq" / frame)) << still << " vs " << frame;
    }
    EXPECT_EQ(fileBytes(folder / "seq/frame-000005.png"),
              fileBytes(folder / "seq/frame-000006.png"));
    EXPECT_NE(fileBytes(folder / "seq/frame-000006.png"),
              fileBytes(folder / "seq/frame-000007.png"));
}

// Where the first loud sample of the video's sound lies, in seconds of video.
static double soundOnset(const fs::path& video) {
    const std::string command = "ffmpeg -v error -i '" + video.string() +
                                "' -map 0:a -ac 1 -ar 44100 -f f32le - 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1.0;
    float sample = 0.0f;
    int64_t index = 0;
    double onset = -1.0;
    while (std::fread(&sample, sizeof sample, 1, pipe) == 1) {
        if (onset < 0.0 && std::fabs(sample) > 0.05f) onset = double(index) / 44100.0;
        index++;
    }
    pclose(pipe);
    return onset;
}

TEST(CaptureFiles, VideoHasItsFramesSizeRateAndSoundInSync) {
    const fs::path folder = makeFolder("video");
    writeDataSet(folder, true);
    // The music starts inside the clip, at its first frame after 14 s (14.1 on
    // the 10 fps grid), so the burst 2 s into the track is heard 2.6 s in.
    const std::string arguments = " --from 13.5 --to 16.5 --fps 10 --size 160x120";
    const CaptureRun run = runCapture(folder, "--video clip.mp4" + arguments);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string video = commandOutput(
        "ffprobe -v error -select_streams v:0 -count_frames -show_entries "
        "stream=codec_name,width,height,r_frame_rate,nb_read_frames,pix_fmt -of default=nw=1 '" +
        (folder / "clip.mp4").string() + "'");
    EXPECT_NE(video.find("codec_name=h264"), std::string::npos) << video;
    EXPECT_NE(video.find("width=160"), std::string::npos) << video;
    EXPECT_NE(video.find("height=120"), std::string::npos) << video;
    EXPECT_NE(video.find("pix_fmt=yuv420p"), std::string::npos) << video;
    EXPECT_NE(video.find("r_frame_rate=10/1"), std::string::npos) << video;
    EXPECT_NE(video.find("nb_read_frames=31"), std::string::npos) << video;
    const std::string audio = commandOutput(
        "ffprobe -v error -select_streams a -show_entries stream=codec_name -of default=nw=1 '" +
        (folder / "clip.mp4").string() + "'");
    EXPECT_NE(audio.find("codec_name=aac"), std::string::npos) << audio;
    EXPECT_NEAR(soundOnset(folder / "clip.mp4"), 14.1 - 13.5 + burstStart, 0.01);

    ASSERT_EQ(runCapture(folder, "--video again.mp4" + arguments).exitCode, 0);
    EXPECT_EQ(fileBytes(folder / "clip.mp4"), fileBytes(folder / "again.mp4"));
}

TEST(CaptureFiles, WithoutASoundtrackTheVideoIsSilentButWhole) {
    const fs::path folder = makeFolder("silent");
    writeDataSet(folder, false);
    const CaptureRun run =
        runCapture(folder, "--video clip.mp4 --from 20 --to 20.5 --fps 10 --size 160x120");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("No soundtrack"), std::string::npos) << run.err;
    const std::string streams =
        commandOutput("ffprobe -v error -count_frames -show_entries "
                      "stream=codec_type,nb_read_frames -of default=nw=1 '" +
                      (folder / "clip.mp4").string() + "'");
    EXPECT_NE(streams.find("nb_read_frames=6"), std::string::npos) << streams;
    EXPECT_EQ(streams.find("codec_type=audio"), std::string::npos) << streams;
}

// Rendering through the capture library in this process, in a folder with the
// test data set.
class CaptureRender : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder = makeFolder("render");
        writeDataSet(folder, true);
        previous = fs::current_path();
        fs::current_path(folder);
        opened = openCapture(capture, 640, 480, 60);
    }
    static void TearDownTestSuite() { fs::current_path(previous); }
    void SetUp() override { ASSERT_TRUE(opened); }

    static Rgba pixelAt(int x, int y) {
        uint8_t p[4] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, 479 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return Rgba{p[0], p[1], p[2], p[3]};
    }

    static inline fs::path folder, previous;
    static inline CaptureContext capture;
    static inline bool opened = false;
};

TEST_F(CaptureRender, CreditsAtEightyFiveInheritTheWobbleProjection) {
    drawFrameWithHistory(capture, 85.0f);
    expectPerspective(80.0, 1.0, 1.0, 1000.0);

    // The middle monster's plate spans x -1..1, y -2..0 at eye depth 4; the
    // credit below it starts at y = -1.
    const std::vector<uint8_t> teddy = pngColour(pngIndex("data/pic/pokemon/teddymon.png"));
    const std::vector<uint8_t> back = pngColour(pngIndex("data/pic/bakgrunn.png"));
    const int row = int(rowOf(-0.5, -4.0, 80.0));
    const Rgba inside = pixelAt(int(columnOf(0.0, -4.0, 80.0)), row);
    EXPECT_TRUE(sameColour(inside, Rgba{teddy[0], teddy[1], teddy[2], 255})) << inside;
    // Between the left monster (x up to -1.5) and the middle one only the
    // background shows; under the 45-degree view the middle plate would cover it.
    const Rgba gap = pixelAt(int(columnOf(-1.25, -4.0, 80.0)), row);
    EXPECT_TRUE(sameColour(gap, Rgba{back[0], back[1], back[2], 255})) << gap;
    EXPECT_LT(columnOf(-1.0, -4.0, 45.0), columnOf(-1.25, -4.0, 80.0));
}

TEST_F(CaptureRender, SpectrumFollowsTheSoundHeardSinceTheMusicStarted) {
    // On the 60 fps grid the music starts at frame 841, the first after 14 s.
    const double musicStart = 841.0 / 60.0;
    EXPECT_FLOAT_EQ(capture.musicStart, float(musicStart));

    std::vector<float> track;
    ASSERT_TRUE(decodeMonoFile("data/sound/pokemon.mp3", track));
    const float t = float(musicStart + burstStart + 0.25);
    const int64_t heard = int64_t((double(t) - double(capture.musicStart)) * 44100.0);
    float expected[spectrumBands];
    computeSpectrum(&track[size_t(heard - spectrumInputSamples / 2)], expected);
    float actual[spectrumBands];
    spectrumAt(capture, t, actual);
    for (int k = 0; k < spectrumBands; k++)
        EXPECT_FLOAT_EQ(actual[k], expected[k]) << k;
    // The burst is a sine centred on band 2 at half scale.
    EXPECT_NEAR(actual[2], burstAmplitude / 2, 0.03);
    EXPECT_LT(actual[10], 0.01);

    // Before the music starts, and on its first frame (fetched before the play
    // request), nothing is heard; in the silence before the burst, next to nothing.
    spectrumAt(capture, 10.0f, actual);
    EXPECT_EQ(actual[0], 0.0f);
    EXPECT_EQ(actual[2], 0.0f);
    spectrumAt(capture, capture.musicStart, actual);
    EXPECT_EQ(actual[2], 0.0f);
    spectrumAt(capture, float(musicStart + 1.0), actual);
    EXPECT_LT(actual[2], 0.01);
}
