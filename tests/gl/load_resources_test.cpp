// Start-up loading against small data sets made by the test: which textures
// and models exist afterwards, how the models are prepared, and what a
// missing file does.
#include "gl_fixture.h"

#include <GL/gl.h>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <sys/inotify.h>
#include <unistd.h>
#include <vector>

#include "demo_data_set.h"
#include "platform/message_box.h"
#include "resources/demo_state.h"
#include "resources/load_resources.h"

namespace fs = std::filesystem;

struct BoxCall {
    std::string text, caption;
};
static std::vector<BoxCall> boxes;
static void recordBox(const char* text, const char* caption, SDL_Window*) {
    boxes.push_back({text, caption});
}

// demo is a global: every test starts from the state of a fresh process.
static void resetDemo() {
    for (uint32_t& name : demo.jpegTextures)
        name = 0;
    demo.pngTextures = PngTextures{};
    for (tegn3d* model : {&demo.tunnelModel, &demo.ballModelPlain, &demo.ballModelTextured,
                          &demo.bicubeModel, &demo.cubeModel})
        model->clear();
}

// A fresh folder holding a data set, made the working directory.
struct DataFolder {
    std::string root, previous;
    explicit DataFolder(int cubeMeshes = 7) {
        char name[] = "/tmp/quarnel-load-XXXXXX";
        if (!mkdtemp(name)) return;
        root = name;
        previous = fs::current_path().string();
        if (!writeDemoDataSet(root, cubeMeshes)) root.clear();
        fs::current_path(name);
    }
    ~DataFolder() {
        if (!previous.empty()) fs::current_path(previous);
        std::error_code error;
        fs::remove_all(root, error);
    }
};

static void expectVec(const Vec3& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

// Mesh n of the data set after scale(f): its first corner, and the normal
// (0, 0, 1) at every corner.
static void expectPrepared(const Mesh& mesh, int n, float f, bool mirrored) {
    const float sign = mirrored ? -1.0f : 1.0f;
    expectVec(mesh.vertices[0], sign * (5.0f + n) * f, sign * -10.0f * f, sign * 1.0f * f);
    for (int i = 0; i < 3; i++)
        expectVec(mesh.normals[i], 0, 0, 1);
}

static void expectAsRead(const Mesh& mesh, int n) {
    expectVec(mesh.vertices[0], 5.0f + n, -10, 1);
    for (int i = 0; i < 3; i++)
        EXPECT_TRUE(mesh.normals[i] == Vec3());
    EXPECT_EQ(mesh.texture, 0u);
}

class LoadResourcesTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        resetDemo();
        boxes.clear();
        setMessageBoxHandler(recordBox);
    }
    void TearDown() override {
        setMessageBoxHandler(nullptr);
        resetDemo();
    }
};

TEST_F(LoadResourcesTest, FullDataSetFillsEverySlotAndPreparesTheModels) {
    DataFolder folder;
    ASSERT_FALSE(folder.root.empty());
    loadTexturesAndModels();
    EXPECT_TRUE(boxes.empty());

    std::set<uint32_t> names;
    for (uint32_t name : demo.jpegTextures)
        names.insert(name);
    for (const PngFile& file : pngFiles)
        names.insert(demo.pngTextures.*file.slot);
    EXPECT_EQ(names.size(), size_t(jpegFileCount + pngFileCount));
    for (uint32_t name : names)
        EXPECT_TRUE(glIsTexture(name)) << name;

    const uint32_t blue = demo.jpegTextures[2];
    for (tegn3d* model : {&demo.tunnelModel, &demo.bicubeModel}) {
        ASSERT_EQ(model->meshCount, 2);
        expectPrepared(*model->meshes[0], 0, 0.2f, true);
        EXPECT_EQ(model->meshes[0]->texture, blue);
        expectAsRead(*model->meshes[1], 1);
    }

    ASSERT_EQ(demo.cubeModel.meshCount, 7);
    for (int i = 0; i < 7; i++) {
        SCOPED_TRACE(i);
        expectPrepared(*demo.cubeModel.meshes[i], i, 0.1f, false);
        EXPECT_EQ(demo.cubeModel.meshes[i]->texture, i < 6 ? demo.pngTextures.vegg : 0u);
    }
}

TEST_F(LoadResourcesTest, EveryPngMissingStillLoadsJpegsAndModels) {
    DataFolder folder;
    ASSERT_FALSE(folder.root.empty());
    for (const PngFile& file : pngFiles)
        ASSERT_TRUE(fs::remove(file.path));
    loadTexturesAndModels();

    EXPECT_TRUE(boxes.empty());
    for (uint32_t name : demo.jpegTextures)
        EXPECT_TRUE(glIsTexture(name)) << name;
    for (const PngFile& file : pngFiles)
        EXPECT_EQ(demo.pngTextures.*file.slot, 0u) << file.path;
    EXPECT_EQ(demo.tunnelModel.meshCount, 2);
    EXPECT_EQ(demo.bicubeModel.meshCount, 2);
    EXPECT_EQ(demo.ballModelPlain.meshCount, 1);
    EXPECT_EQ(demo.ballModelTextured.meshCount, 1);
    ASSERT_EQ(demo.cubeModel.meshCount, 7);
    for (const Mesh* mesh : demo.cubeModel.meshes)
        EXPECT_EQ(mesh->texture, 0u);
}

// Both containers read kule.ebr; had they shared a mesh it would have been
// scaled twice and textured for both.
TEST_F(LoadResourcesTest, BallModelsHoldSeparateMeshes) {
    DataFolder folder;
    ASSERT_FALSE(folder.root.empty());
    loadTexturesAndModels();

    ASSERT_EQ(demo.ballModelPlain.meshCount, 1);
    ASSERT_EQ(demo.ballModelTextured.meshCount, 1);
    Mesh& plain = *demo.ballModelPlain.meshes[0];
    Mesh& textured = *demo.ballModelTextured.meshes[0];
    EXPECT_NE(&plain, &textured);
    expectPrepared(plain, 0, 0.15f, false);
    expectPrepared(textured, 0, 0.15f, false);
    EXPECT_EQ(plain.texture, 0u);
    EXPECT_NE(textured.texture, 0u);
    EXPECT_EQ(textured.texture, demo.jpegTextures[2]);

    textured.vertices[0] = Vec3(9, 9, 9);
    expectPrepared(plain, 0, 0.15f, false);
}

TEST_F(LoadResourcesTest, SmallCubeFileTexturesOnlyWhatItHas) {
    DataFolder folder(3);
    ASSERT_FALSE(folder.root.empty());
    loadTexturesAndModels();

    ASSERT_EQ(demo.cubeModel.meshCount, 3);
    ASSERT_NE(demo.pngTextures.vegg, 0u);
    for (int i = 0; i < 3; i++) {
        expectPrepared(*demo.cubeModel.meshes[i], i, 0.1f, false);
        EXPECT_EQ(demo.cubeModel.meshes[i]->texture, demo.pngTextures.vegg);
    }
}

// A missing tunnel and a malformed ball file: those containers stay empty,
// each failure is reported once, and the rest still loads.
TEST_F(LoadResourcesTest, MissingOrBadObjectFileLeavesItsContainerEmpty) {
    DataFolder folder;
    ASSERT_FALSE(folder.root.empty());
    ASSERT_TRUE(fs::remove(objectPath(Model::tunnel)));
    fs::resize_file(objectPath(Model::ball), 20);
    loadTexturesAndModels();

    ASSERT_EQ(boxes.size(), 3u);
    for (const BoxCall& box : boxes) {
        EXPECT_EQ(box.text, "Unable to open object file");
        EXPECT_EQ(box.caption, "tegn3d::loadFromFile");
    }
    for (tegn3d* model : {&demo.tunnelModel, &demo.ballModelPlain, &demo.ballModelTextured}) {
        EXPECT_EQ(model->meshCount, 0);
        EXPECT_TRUE(model->meshes.empty());
    }
    ASSERT_EQ(demo.bicubeModel.meshCount, 2);
    expectPrepared(*demo.bicubeModel.meshes[0], 0, 0.2f, true);
    EXPECT_EQ(demo.cubeModel.meshCount, 7);
}

static void printBox(const char* text, const char* caption, SDL_Window*) {
    std::fprintf(stderr, "message box: caption %s, text %s\n", caption, text);
}

// The names of files opened in the watched folders, from the events queued.
static std::set<std::string> openedFiles(int watcher) {
    std::set<std::string> names;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t length = read(watcher, buffer, sizeof buffer);
        if (length <= 0) break;
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if ((event->mask & IN_OPEN) && event->len > 0) names.insert(event->name);
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
    return names;
}

// Runs first, in a process that has no GL context yet, so the child forked
// for the death test starts clean and makes its own.
TEST(LoadResourcesDeathTest, MissingJpegEndsTheRunBeforeAnyPngOrModel) {
    DataFolder folder;
    ASSERT_FALSE(folder.root.empty());
    ASSERT_TRUE(fs::remove(jpegFiles[3])); // the fourth of seven

    const int watcher = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(watcher, 0);
    for (const char* dir : {"data/pic", "data/pic/pokemon", "data/objects"})
        ASSERT_GE(inotify_add_watch(watcher, dir, IN_OPEN), 0) << dir;

    EXPECT_EXIT(
        {
            HeadlessGl gl;
            if (!createHeadlessGl(gl, 640, 480)) std::exit(2);
            setMessageBoxHandler(printBox);
            loadTexturesAndModels();
            std::exit(3);
        },
        ::testing::ExitedWithCode(1), "message box: caption Error, text Unable to load JPG File!");

    const std::set<std::string> opened = openedFiles(watcher);
    close(watcher);
    std::set<std::string> earlier;
    for (int slot = 0; slot < 3; slot++)
        earlier.insert(fs::path(jpegFiles[slot]).filename().string());
    EXPECT_EQ(opened, earlier) << "a file opened after the missing picture, or one before not";
}
